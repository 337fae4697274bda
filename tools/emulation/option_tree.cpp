#include "emulation/option_tree.h"

#include <cwchar>

namespace {

// One driver item. nameId is a common property sheet string id (0: the item is named by text, as
// a printer feature of the driver's data file is).
struct DriverItemRow {
    const wchar_t* name;
    WORD nameId;
    BYTE dmPubId;
    BYTE type;
    std::initializer_list<const wchar_t*> choices;  // for TVOT_UDARROW: the unit, and the range below
    LONG sel;
    LONG low, high;
};

const DriverItemRow DriverItems[] = {
    {L"Orientation", IDS_CPSUI_ORIENTATION, DMPUB_ORIENTATION, TVOT_2STATES, {L"Portrait", L"Landscape"}, 0, 0, 0},
    {L"Scaling", IDS_CPSUI_SCALING, DMPUB_SCALE, TVOT_UDARROW, {L"%"}, 100, 1, 1000},
    {L"Copy Count", IDS_CPSUI_COPIES, DMPUB_COPIES_COLLATE, TVOT_UDARROW, {L"copies"}, 1, 1, 999},
    {L"Paper Source", IDS_CPSUI_SOURCE, DMPUB_DEFSOURCE, TVOT_LISTBOX, {L"Printer Table", L"Manual Feed"}, 0, 0, 0},
    {L"Print Quality",
     IDS_CPSUI_PRINTQUALITY,
     DMPUB_PRINTQUALITY,
     TVOT_LISTBOX,
     {L"720 x 720 dots per inch", L"1440 x 720 dots per inch"},
     0,
     0,
     0},
    {L"Color Appearance", IDS_CPSUI_COLOR_APPERANCE, DMPUB_COLOR, TVOT_2STATES, {L"Monochrome", L"Color"}, 1, 0, 0},
    {L"Paper Size", IDS_CPSUI_FORMNAME, DMPUB_FORMNAME, TVOT_LISTBOX, {L"Letter", L"A4", L"Legal"}, 0, 0, 0},
    {L"Image Color Management",
     IDS_CPSUI_ICMMETHOD,
     DMPUB_ICMMETHOD,
     TVOT_LISTBOX,
     {L"ICM Disabled", L"ICM Handled by Host System"},
     1,
     0,
     0},
    {L"ICM Intent",
     IDS_CPSUI_ICMINTENT,
     DMPUB_ICMINTENT,
     TVOT_LISTBOX,
     {L"Pictures", L"Contrast", L"Graphics", L"Match"},
     2,
     0,
     0},
    {L"Media Type", IDS_CPSUI_MEDIA, DMPUB_MEDIATYPE, TVOT_LISTBOX, {L"Plain Paper", L"Board", L"Textile"}, 0, 0, 0},
    {L"Dithering",
     IDS_CPSUI_DITHERING,
     DMPUB_DITHERTYPE,
     TVOT_LISTBOX,
     {L"None", L"Coarse", L"Fine", L"Line Art", L"Error Diffusion"},
     4,
     0,
     0},
    {L"Pages per Sheet", IDS_CPSUI_NUP, DMPUB_NUP, TVOT_LISTBOX, {L"1", L"2", L"4", L"6", L"9", L"16"}, 0, 0, 0},
    {L"Page Order", IDS_CPSUI_PAGEORDER, DMPUB_PAGEORDER, TVOT_2STATES, {L"Front to Back", L"Back to Front"}, 0, 0, 0},
    {L"Printing Table Height", 0, DMPUB_NONE, TVOT_LISTBOX, {L"Low", L"High"}, 0, 0, 0},
};

template <typename T>
T* HeapNew(HANDLE heap, size_t count = 1)
{
    return static_cast<T*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(T) * count));
}

}  // namespace

DriverOptionTree::DriverOptionTree(HANDLE heap)
{
    const DWORD rows = sizeof(DriverItems) / sizeof(DriverItems[0]);
    items_ = HeapNew<OPTITEM>(heap, rows);
    if (items_ == nullptr) return;
    count_ = rows;
    for (DWORD i = 0; i < rows; ++i) {
        const DriverItemRow& row = DriverItems[i];
        OPTITEM& item = items_[i];
        item.cbSize = sizeof(OPTITEM);
        item.Level = 1;
        item.pName = row.nameId != 0 ? reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(row.nameId))
                                     : const_cast<LPWSTR>(row.name);
        item.Sel = row.sel;
        item.DMPubID = row.dmPubId;

        const bool upDown = row.type == TVOT_UDARROW;
        const WORD paramCount = upDown ? 2 : static_cast<WORD>(row.choices.size());
        OPTTYPE* type = HeapNew<OPTTYPE>(heap);
        OPTPARAM* params = HeapNew<OPTPARAM>(heap, paramCount);
        if (type == nullptr || params == nullptr) continue;
        type->cbSize = sizeof(OPTTYPE);
        type->Type = row.type;
        type->Count = paramCount;
        type->pOptParam = params;
        for (WORD p = 0; p < paramCount; ++p) params[p].cbSize = sizeof(OPTPARAM);
        if (upDown) {
            params[0].pData = const_cast<LPWSTR>(*row.choices.begin());
            params[1].IconID = static_cast<ULONG_PTR>(row.low);
            params[1].lParam = row.high;
        } else {
            WORD p = 0;
            for (const wchar_t* choice : row.choices) params[p++].pData = const_cast<LPWSTR>(choice);
        }
        item.pOptType = type;
    }
}

const wchar_t* DriverOptionTree::displayName(DWORD i) const
{
    return i < count_ ? DriverItems[i].name : L"?";
}

std::vector<DriverItemSnapshot> DriverOptionTree::Snapshot() const
{
    std::vector<DriverItemSnapshot> snapshot(count_);
    for (DWORD i = 0; i < count_; ++i) {
        snapshot[i].flags = items_[i].Flags;
        snapshot[i].sel = items_[i].Sel;
        snapshot[i].optTypeFlags = items_[i].pOptType != nullptr ? items_[i].pOptType->Flags : 0;
    }
    return snapshot;
}

std::vector<std::wstring> DriverOptionTree::DescribeChanges(const std::vector<DriverItemSnapshot>& before) const
{
    std::vector<std::wstring> lines;
    for (DWORD i = 0; i < count_ && i < before.size(); ++i) {
        const OPTITEM& item = items_[i];
        const DriverItemSnapshot& was = before[i];
        std::wstring change;
        const DWORD gained = item.Flags & ~was.flags;
        if (gained & OPTIF_HIDE) change += L" hidden;";
        if (gained & OPTIF_DISABLED) change += L" disabled;";
        const BYTE typeGained = (item.pOptType != nullptr ? item.pOptType->Flags : 0) & ~was.optTypeFlags;
        if (typeGained & OPTTF_TYPE_DISABLED) change += L" choices disabled;";
        if (item.Sel != was.sel) {
            const OPTTYPE* type = item.pOptType;
            auto choice = [type](LONG sel) -> std::wstring {
                if (type == nullptr || type->Type == TVOT_UDARROW || sel < 0 || sel >= type->Count) {
                    return std::to_wstring(sel);
                }
                return L"\"" + std::wstring(static_cast<const wchar_t*>(type->pOptParam[sel].pData)) + L"\"";
            };
            change += L" " + choice(was.sel) + L" -> " + choice(item.Sel) + L";";
        }
        if (change.empty()) continue;
        change.pop_back();
        wchar_t head[96];
        swprintf(head, 96, L"%ls (DMPubID %u):", DriverItems[i].name, static_cast<unsigned>(item.DMPubID));
        lines.push_back(head + change);
    }
    return lines;
}
