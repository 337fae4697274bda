// The record every document page reaches the common property sheet, the printer and the job's
// settings through. Allocated on the driver's plug-in heap; the driver frees it with that heap.
#pragma once

#include "platform/printoem.h"

struct SheetContext {
    HANDLE hComPropSheet;
    HANDLE hPage;  // never assigned by registration: the set-result call reports for the whole group
    POEMUIPSPARAM pOemUiParam;
    PFNCOMPROPSHEET pfnComPropSheet;
};
static_assert(sizeof(SheetContext) == 4 * sizeof(void*), "four pointer-sized fields");

// The document sheet a plug-in object serves: the record of the sheet it initialised last, until
// that sheet is destroyed. Owned by the plug-in object; the document item reaches it through
// OEMCUIPPARAM::pOEMUserData to report Apply for the pages.
struct CurrentSheet {
    SheetContext* context = nullptr;
};

// CPSFUNC_SET_RESULT with CPSUI_OK for the plug-in's pages: their pages' Apply and the document
// item's both report through it.
void ReportApplied(const SheetContext& context);
