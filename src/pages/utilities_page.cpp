#include "jobs/command_templates.h"
#include "jobs/raw_job_sender.h"
#include "pages/head_alignment.h"
#include "pages/page_context.h"
#include "pages/page_procs.h"
#include "pages/wait_cursor.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"

namespace {

constexpr wchar_t NOZZLE_CHECK_DOC_NAME[] = L"Nozzle Check";
constexpr wchar_t HEAD_CLEAN_DOC_NAME[] = L"Head Clean";
constexpr wchar_t PORT_TEST_DOC_NAME[] = L"Head port_test";
constexpr wchar_t WASTE_COUNTER_RESET_FILE[] = L"cnt16.bin";
constexpr wchar_t WASTE_COUNTER_RESET_DOC_NAME[] = L"Waste Reset File";

// The port test exercises the printer port with many small jobs, not one job of many copies.
constexpr int PORT_TEST_JOB_COUNT = 20;

// The nozzle check pattern needs paper and the printer's PRINT key: the user confirms first.
void CheckNozzles(HWND page, HANDLE printer)
{
    if (ShowPluginDialog(page, IDD_NOZZLE_CHECK_CONFIRM, ConfirmDialogProc, 0) != IDOK) {
        return;
    }
    WaitCursor wait;
    SendCommandBuffer(printer, NozzleCheckCommand, NOZZLE_CHECK_COMMAND_SIZE, NOZZLE_CHECK_DOC_NAME);
}

void CleanHeads(HWND, HANDLE printer)
{
    WaitCursor wait;
    SendCommandBuffer(printer, HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE, HEAD_CLEAN_DOC_NAME);
}

void TestPort(HWND, HANDLE printer)
{
    WaitCursor wait;
    for (int job = 0; job < PORT_TEST_JOB_COUNT; ++job) {
        SendCommandBuffer(printer, PortTestCommand, PORT_TEST_COMMAND_SIZE, PORT_TEST_DOC_NAME);
    }
}

// Pattern first, then the adjustment dialog in which the user reads it; a cancelled instruction
// dialog ends the cycle before anything is printed.
void AlignHeads(HWND page, HANDLE printer)
{
    if (!PrintAlignmentPattern(page, printer)) return;
    HANDLE adjustedPrinter = printer;  // outlives the modal dialog that points at it
    ShowPluginDialog(page, IDD_ALIGNMENT_ADJUST, AlignmentAdjustProc, reinterpret_cast<LPARAM>(&adjustedPrinter));
}

// Reached only by a command: the button stays hidden in the shipped page.
void ResetWasteCounter(HWND, HANDLE printer)
{
    WaitCursor wait;
    SendDriverFile(printer, WASTE_COUNTER_RESET_FILE, WASTE_COUNTER_RESET_DOC_NAME);
}

struct UtilityButton {
    WORD control;
    void (*action)(HWND page, HANDLE printer);
};
constexpr UtilityButton UtilityButtons[] = {
    {IDC_NOZZLE_CHECK, CheckNozzles}, {IDC_HEAD_CLEAN, CleanHeads},           {IDC_PORT_TEST, TestPort},
    {IDC_HEAD_ALIGNMENT, AlignHeads}, {IDC_COUNTER_RESET, ResetWasteCounter},
};

void OnCommand(HWND page, HANDLE printer, WORD control)
{
    for (const UtilityButton& button : UtilityButtons) {
        if (button.control == control) {
            button.action(page, printer);
            return;
        }
    }
}

}  // namespace

// Each button sends its maintenance jobs at once; the page edits no setting and stays out of Apply.
INT_PTR CALLBACK UtilitiesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        StoreSheetContext(page, lParam);
        return FALSE;
    }
    const SheetContext* context = GetSheetContext(page);
    if (context == nullptr || message != WM_COMMAND || HIWORD(wParam) != 0) return FALSE;

    OnCommand(page, context->pOemUiParam->hPrinter, LOWORD(wParam));
    return TRUE;
}
