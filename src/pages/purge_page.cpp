#include "jobs/raw_job_sender.h"
#include "pages/page_context.h"
#include "pages/page_procs.h"
#include "pages/wait_cursor.h"
#include "resource_ids.h"

namespace {

constexpr wchar_t PURGE_FILE[] = L"purge.bin";
constexpr wchar_t PURGE_DOC_NAME[] = L"Purge Print";

// The list position is the colour position of the purge job: the order must not change.
constexpr const wchar_t* PrintHeads[] = {L"Y", L"M", L"C", L"K", L"Y/W", L"M/W", L"C/W", L"K/W"};

void OnInit(HWND page)
{
    for (const wchar_t* head : PrintHeads) {
        SendDlgItemMessageW(page, IDC_PURGE_HEAD_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(head));
    }
    SendDlgItemMessageW(page, IDC_PURGE_HEAD_LIST, CB_SETCURSEL, 0, 0);
}

}  // namespace

// Sends a purge print for the chosen head; the choice is not a job setting and is not remembered.
INT_PTR CALLBACK PurgePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        StoreSheetContext(page, lParam);
        OnInit(page);
        return TRUE;
    }
    const SheetContext* context = GetSheetContext(page);
    if (context == nullptr || message != WM_COMMAND) return FALSE;

    if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDC_PURGE_PRINT) {
        // No selection reads as all bits set, which the sender refuses like any unknown head.
        const LRESULT head = SendDlgItemMessageW(page, IDC_PURGE_HEAD_LIST, CB_GETCURSEL, 0, 0);
        WaitCursor wait;
        SendPurgeFile(context->pOemUiParam->hPrinter, PURGE_FILE, PURGE_DOC_NAME, static_cast<DWORD>(head));
    }
    return TRUE;
}
