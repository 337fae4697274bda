#include "pages/sheet_registration.h"

#include "pages/page_procs.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"

namespace {

// The plug-in's pages in the order the document properties show them. The About page needs no
// sheet: it shows only the product line and version.
struct DocumentPage {
    WORD templateId;
    DLGPROC procedure;
    bool usesSheetContext;
};
constexpr DocumentPage DocumentPages[] = {
    {IDD_PRINT_MODE_PAGE, PrintModePageProc, true}, {IDD_INK_LEVEL_PAGE, InkLevelPageProc, true},
    {IDD_UTILITIES_PAGE, UtilitiesPageProc, true},  {IDD_PURGE_PAGE, PurgePageProc, true},
    {IDD_ABOUT_PAGE, AboutPageProc, false},
};

constexpr wchar_t SHEET_GROUP_TITLE[] = L"OEM UI Page";

// Creates the sheet's record and adds the pages. The value is what the common property sheet made
// of the last page; -1 when the pages could not be added at all.
ULONG_PTR AddDocumentPages(CurrentSheet& current, const PROPSHEETUI_INFO& info)
{
    auto* param = reinterpret_cast<POEMUIPSPARAM>(info.lParamInit);
    if (param == nullptr || info.pfnComPropSheet == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<ULONG_PTR>(-1);
    }
    auto* context = static_cast<SheetContext*>(HeapAlloc(param->hOEMHeap, HEAP_ZERO_MEMORY, sizeof(SheetContext)));
    if (context == nullptr) {
        // HeapAlloc need not say why; the driver reads the failure from the result and last error.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return static_cast<ULONG_PTR>(-1);
    }
    context->hComPropSheet = info.hComPropSheet;
    context->pOemUiParam = param;
    context->pfnComPropSheet = info.pfnComPropSheet;
    current.context = context;

    // The pages are drawn with Common Controls 6 whichever version the host process uses.
    const HANDLE activationContext = PluginActivationContext();
    LONG_PTR added = 0;
    for (const DocumentPage& row : DocumentPages) {
        PROPSHEETPAGEW page = {};
        page.dwSize = sizeof(page);
        if (activationContext != INVALID_HANDLE_VALUE) {
            page.dwFlags = PSP_USEFUSIONCONTEXT;
            page.hActCtx = activationContext;
        }
        page.hInstance = ModuleHandle;
        page.pszTemplate = MAKEINTRESOURCEW(row.templateId);
        page.pfnDlgProc = row.procedure;
        page.lParam = row.usesSheetContext ? reinterpret_cast<LPARAM>(context) : 0;
        added =
            info.pfnComPropSheet(info.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0);
    }
    return static_cast<ULONG_PTR>(added);
}

// A sheet is known by its handle and its page parameters, the same on every reason it is sent.
bool BelongsToSheet(const SheetContext* context, const PROPSHEETUI_INFO& info)
{
    return context != nullptr && context->hComPropSheet == info.hComPropSheet &&
           context->pOemUiParam == reinterpret_cast<POEMUIPSPARAM>(info.lParamInit);
}

}  // namespace

HRESULT RegisterDocumentSheet(CurrentSheet& current, PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    if (pPSUIInfo == nullptr || pPSUIInfo->Version != PROPSHEETUI_INFO_VERSION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }

    switch (pPSUIInfo->Reason) {
        case PROPSHEETUI_REASON_INIT:
            pPSUIInfo->Result = AddDocumentPages(current, *pPSUIInfo);
            break;
        case PROPSHEETUI_REASON_GET_INFO_HEADER:
            if (auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam)) {
                header->pTitle = const_cast<LPWSTR>(SHEET_GROUP_TITLE);  // read, never written, by the sheet
            }
            pPSUIInfo->Result = 1;
            break;
        case PROPSHEETUI_REASON_DESTROY:
            // The record goes with the heap the driver destroys with the sheet. Another document
            // sheet of the same object keeps its own: its document item still reports for its pages.
            if (BelongsToSheet(current.context, *pPSUIInfo)) current.context = nullptr;
            pPSUIInfo->Result = 1;
            break;
        case PROPSHEETUI_REASON_SET_RESULT:
            if (const auto* result = reinterpret_cast<PSETRESULT_INFO>(lParam)) {
                pPSUIInfo->Result = static_cast<ULONG_PTR>(result->Result);
            }
            break;
        case PROPSHEETUI_REASON_GET_ICON:
            pPSUIInfo->Result = 0;
            break;
        default:
            break;  // a reason this plug-in does not know: the driver's Result stands
    }
    return S_OK;
}
