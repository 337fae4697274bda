// The Print Mode page: Vivid, Standard or Photo, written into the job the moment it is clicked.
#include "pages/page_context.h"
#include "pages/page_procs.h"
#include "resource_ids.h"
#include "settings/private_devmode.h"

namespace {

constexpr struct {
    int control;
    int32_t printMode;
} PrintModeButtons[] = {
    {IDC_MODE_VIVID, PRINT_MODE_VIVID},
    {IDC_MODE_STANDARD, PRINT_MODE_STANDARD},
    {IDC_MODE_PHOTO, PRINT_MODE_PHOTO},
};

void OnInit(HWND page, const PrivateDevmode& job)
{
    // A mode this page does not know shows no choice rather than a wrong one.
    for (const auto& button : PrintModeButtons) {
        if (button.printMode == job.printMode) CheckRadioButton(page, IDC_MODE_VIVID, IDC_MODE_PHOTO, button.control);
    }
}

BOOL OnCommand(HWND page, PrivateDevmode& job, int control)
{
    for (const auto& button : PrintModeButtons) {
        if (button.control != control) continue;
        job.printMode = button.printMode;
        MarkPageChanged(page);
        return TRUE;
    }
    return FALSE;
}

BOOL OnNotify(const SheetContext& context, const NMHDR& header)
{
    if (header.code == static_cast<UINT>(PSN_APPLY)) ReportApplied(context);
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK PrintModePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) StoreSheetContext(page, lParam);
    const SheetContext* context = GetSheetContext(page);
    if (context == nullptr || context->pOemUiParam->pOEMDM == nullptr) return FALSE;
    auto& job = *static_cast<PrivateDevmode*>(context->pOemUiParam->pOEMDM);

    switch (message) {
        case WM_INITDIALOG:
            OnInit(page, job);
            return FALSE;
        case WM_COMMAND:
            return OnCommand(page, job, LOWORD(wParam));
        case WM_NOTIFY:
            return lParam != 0 ? OnNotify(*context, *reinterpret_cast<const NMHDR*>(lParam)) : FALSE;
        default:
            return FALSE;
    }
}
