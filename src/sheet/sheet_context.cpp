#include "sheet/sheet_context.h"

void ReportApplied(const SheetContext& context)
{
    if (context.pfnComPropSheet == nullptr) return;
    context.pfnComPropSheet(context.hComPropSheet, CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(context.hPage),
                            CPSUI_OK);
}
