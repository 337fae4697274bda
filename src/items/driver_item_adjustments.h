// What the plug-in changes in the driver's own document options, and the debugger trace of those
// options. The Orlin prints on a flatbed table one sheet at a time, so copies, page order, pages per
// sheet and scaling are not the user's choice there.
#pragma once

#include "platform/printoem.h"

enum class DriverItemChange {
    SetSelection,  // Sel = value
    AddItemFlags,  // Flags |= value
    AddTypeFlags,  // pOptType->Flags |= value
};

struct DriverItemAdjustment {
    BYTE dmPubId;
    DriverItemChange change;
    DWORD value;
};

inline constexpr DriverItemAdjustment DriverItemAdjustments[] = {
    {DMPUB_ICMINTENT, DriverItemChange::SetSelection, 0},
    {DMPUB_DITHERTYPE, DriverItemChange::SetSelection, 1},
    {DMPUB_PAGEORDER, DriverItemChange::AddItemFlags, OPTIF_HIDE},
    {DMPUB_NUP, DriverItemChange::AddItemFlags, OPTIF_HIDE},
    {DMPUB_SCALE, DriverItemChange::AddItemFlags, OPTIF_DISABLED},
    {DMPUB_COPIES_COLLATE, DriverItemChange::AddItemFlags, OPTIF_HIDE},
    {DMPUB_DEFSOURCE, DriverItemChange::AddTypeFlags, OPTTF_TYPE_DISABLED},
};

// Applies the row for the item's DMPubID, if there is one.
void AdjustDriverItem(OPTITEM& item);

// Three or four debugger outputs: "index, Level n,", the name (then ",") or "resource id,", and
// "DMPubID\r\n".
void TraceDriverItem(DWORD index, const OPTITEM& item);

// Every driver item in order: adjusted, then traced.
void AdjustAndTraceDriverItems(POPTITEM items, DWORD count);
