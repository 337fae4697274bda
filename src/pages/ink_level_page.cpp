// The Ink Level page: drop size, bi-directional printing, ink level and ink channels of the job,
// and the test pattern the user reads the ink level from. Buttons write the job at once; the two
// lists only on Apply.
#include "jobs/raw_job_sender.h"
#include "pages/page_context.h"
#include "pages/page_procs.h"
#include "pages/wait_cursor.h"
#include "resource_ids.h"
#include "settings/private_devmode.h"
#include "sheet/module_resources.h"

namespace {

constexpr struct {
    int control;
    int32_t dropSize;
} DropSizeButtons[] = {
    {IDC_DROP_HEAVY, DROP_SIZE_HEAVY},
    {IDC_DROP_MEDIUM, DROP_SIZE_MEDIUM},
    {IDC_DROP_LIGHT, DROP_SIZE_LIGHT},
};

// Sorted by the list itself; "1" to "5" stay in order, so the index is the ink level.
constexpr const wchar_t* InkLevelChoices[] = {L"1", L"2", L"3", L"4", L"5"};

// In inkChannels order. The English text stands in when the string cannot be loaded, so that an
// entry's index still means the same channels.
constexpr struct {
    UINT stringId;
    const wchar_t* english;
} InkChannelChoices[] = {
    {IDS_FULL_8_CHANNELS, L"Full 8 Channels"},
    {IDS_FRONT_4_CHANNELS, L"Front 4 Channels Only"},
    {IDS_BACK_4_CHANNELS, L"Back 4 Channels Only"},
};

constexpr wchar_t TEST_PATTERN_FILE[] = L"test.bin";
constexpr wchar_t TEST_PATTERN_DOCUMENT[] = L"Test File";

// Any drop size the buttons do not know shows as Light, the last choice.
int DropSizeButton(int32_t dropSize)
{
    for (const auto& button : DropSizeButtons) {
        if (button.dropSize == dropSize) return button.control;
    }
    return IDC_DROP_LIGHT;
}

void ShowDropSize(HWND page, const PrivateDevmode& job)
{
    // Photo mode prints with light drops whatever is stored; the stored choice returns with the
    // other modes.
    const bool photo = job.printMode == PRINT_MODE_PHOTO;
    for (const auto& button : DropSizeButtons) EnableWindow(GetDlgItem(page, button.control), !photo);
    CheckRadioButton(page, IDC_DROP_HEAVY, IDC_DROP_LIGHT, photo ? IDC_DROP_LIGHT : DropSizeButton(job.dropSize));
}

// A list without a selection leaves the setting as it was.
void StoreListChoice(HWND page, int list, int32_t& field)
{
    const LRESULT index = SendDlgItemMessageW(page, list, CB_GETCURSEL, 0, 0);
    if (index != CB_ERR) field = static_cast<int32_t>(index);
}

void OnInit(HWND page, const OEMUIPSPARAM& param, const PrivateDevmode& job)
{
    for (const wchar_t* choice : InkLevelChoices) {
        SendDlgItemMessageW(page, IDC_INK_LEVEL_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    }
    SendDlgItemMessageW(page, IDC_INK_LEVEL_LIST, CB_SETCURSEL, static_cast<WPARAM>(job.inkLevel), 0);

    for (const auto& choice : InkChannelChoices) {
        const wchar_t* text = LoadHeapString(param.hOEMHeap, param.hModule, choice.stringId);
        SendDlgItemMessageW(page, IDC_INK_CHANNELS_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text != nullptr ? text : choice.english));
    }
    SendDlgItemMessageW(page, IDC_INK_CHANNELS_LIST, CB_SETCURSEL, static_cast<WPARAM>(job.inkChannels), 0);

    CheckRadioButton(page, IDC_DROP_HEAVY, IDC_DROP_LIGHT, DropSizeButton(job.dropSize));
    SendDlgItemMessageW(page, IDC_BIDIRECTIONAL, BM_SETCHECK, job.bidirectional != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

BOOL OnNotify(HWND page, const SheetContext& context, PrivateDevmode& job, const NMHDR& header)
{
    switch (header.code) {
        case PSN_APPLY:
            StoreListChoice(page, IDC_INK_LEVEL_LIST, job.inkLevel);
            StoreListChoice(page, IDC_INK_CHANNELS_LIST, job.inkChannels);
            ReportApplied(context);
            return FALSE;
        case PSN_SETACTIVE:
            ShowDropSize(page, job);
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL OnCommand(HWND page, const SheetContext& context, PrivateDevmode& job, int control, int code)
{
    for (const auto& button : DropSizeButtons) {
        if (button.control != control) continue;
        job.dropSize = button.dropSize;
        MarkPageChanged(page);
    }
    if (code == CBN_SELCHANGE && (control == IDC_INK_LEVEL_LIST || control == IDC_INK_CHANNELS_LIST)) {
        MarkPageChanged(page);
    }
    if (code != BN_CLICKED) return FALSE;

    // Every click marks the page, the test pattern's included.
    MarkPageChanged(page);
    if (control == IDC_TEST_PATTERN) {
        // The pattern is printed with the stored drop size, which Photo mode does not show.
        WaitCursor wait;
        SendTestPatternFile(context.pOemUiParam->hPrinter, TEST_PATTERN_FILE, TEST_PATTERN_DOCUMENT, job.dropSize);
    } else if (control != IDC_BIDIRECTIONAL) {
        return TRUE;
    }
    const LRESULT state = SendDlgItemMessageW(page, IDC_BIDIRECTIONAL, BM_GETSTATE, 0, 0);
    job.bidirectional = (state & (BST_CHECKED | BST_INDETERMINATE)) == BST_CHECKED ? 1 : 0;
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK InkLevelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) StoreSheetContext(page, lParam);
    const SheetContext* context = GetSheetContext(page);
    if (context == nullptr || context->pOemUiParam->pOEMDM == nullptr) return FALSE;
    auto& job = *static_cast<PrivateDevmode*>(context->pOemUiParam->pOEMDM);

    switch (message) {
        case WM_INITDIALOG:
            OnInit(page, *context->pOemUiParam, job);
            return FALSE;
        case WM_NOTIFY:
            return lParam != 0 ? OnNotify(page, *context, job, *reinterpret_cast<const NMHDR*>(lParam)) : FALSE;
        case WM_COMMAND:
            return OnCommand(page, *context, job, LOWORD(wParam), HIWORD(wParam));
        default:
            return FALSE;
    }
}
