// The driver-host emulator with the shipping DLL: the option-item exchange, the spooler recorder's
// pass-through, the common property sheet with the host's own pfnComPropSheet, and the core's
// PrintTicket side.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "emulation/dialog_driver.h"
#include "emulation/option_tree.h"
#include "emulation/print_ticket_core.h"
#include "emulation/printer_data.h"
#include "emulation/spooler_recorder.h"
#include "emulation/ticket_application.h"
#include "host/session/common_ui_items.h"
#include "host/session/host_session.h"
#include "host/sheet/property_sheet.h"
#include "host/ticket/indented_xml.h"
#include "host/ticket/ticket_command.h"
#include "jobs/raw_job_sender.h"
#include "resource_ids.h"
#include "settings/ticket_features.h"

namespace {

FILE* Quiet()
{
    static FILE* sink = _wfopen(L"NUL", L"w");
    return sink;
}

// A session with the shipping DLL beside the test program, without a printer.
class HostWithShippingDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring error;
        ASSERT_TRUE(session_.Open(ProgramFolder() + L"orlinui.dll", nullptr, Quiet(), &error));
    }
    HostSession session_;
};

// Plays a sheet: once it is on screen, act runs (once) from the sheet's own message loop.
std::function<void()> SheetAction;
UiWatch* ActiveWatch = nullptr;
void CALLBACK ActOnSheet(HWND, UINT, UINT_PTR, DWORD)
{
    if (ActiveWatch == nullptr || ActiveWatch->sheet() == nullptr || !SheetAction) return;
    auto act = std::move(SheetAction);
    SheetAction = nullptr;
    act();
}

bool ShowSheet(PropertySheetHost& sheet, UiWatch& watch, std::function<void()> act)
{
    ActiveWatch = &watch;
    SheetAction = std::move(act);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &ActOnSheet);
    std::wstring error;
    const bool shown = sheet.Show(&error);
    KillTimer(nullptr, timer);
    ActiveWatch = nullptr;
    return shown;
}

}  // namespace

TEST_F(HostWithShippingDll, DocumentItemsComeInTwoCallsAndTheDriverTreeIsAdjusted)
{
    ItemExchange exchange;
    ASSERT_TRUE(ExchangeOptionItems(session_, SheetKind::Document, Quiet(), &exchange));
    EXPECT_EQ(1u, session_.core().pluginItemCount());
    EXPECT_NE(nullptr, session_.core().items().OEMCUIPCallback);
    // Hidden, disabled, choices disabled and two selections forced: one line per item touched.
    const std::vector<std::wstring>& changes = exchange.treeChanges;
    ASSERT_EQ(7u, changes.size());
    EXPECT_EQ(L"Scaling (DMPubID 2): disabled", changes[0]);
    EXPECT_EQ(L"ICM Intent (DMPubID 11): \"Graphics\" -> \"Pictures\"", changes[3]);
    EXPECT_EQ(L"Page Order (DMPubID 17): hidden", changes[6]);
    // Every driver item was traced to the debugger, one line each.
    EXPECT_EQ(DriverOptionTree(session_.heap()).count(), exchange.tracedLines);
}

TEST_F(HostWithShippingDll, ThePrinterItemIsTheOffsetFromZeroToEight)
{
    FakePrinterData printerData(session_.module());
    printerData.SetDword(L"OEMUI_VALUE", 6);
    ASSERT_TRUE(ExchangeOptionItems(session_, SheetKind::Printer, Quiet()));
    ASSERT_EQ(1u, session_.core().pluginItemCount());
    const OPTITEM& offset = session_.core().pluginItems()[0];
    EXPECT_EQ(L"Offset (1/8 \")", OptionItemName(offset, session_.module()));
    EXPECT_EQ(6, offset.Sel);
    ASSERT_NE(nullptr, offset.pOptType);
    EXPECT_EQ(8, offset.pOptType->pOptParam[1].lParam);
}

TEST(HostSpoolerRecorder, RecordsEachJobWhileTheSpoolerStillGetsEveryCall)
{
    SpoolerRecorder spooler;  // stands for the real spooler, below the recorder
    SpoolerRecorder recorder(ProgramModule(), SpoolerRecorder::Mode::PassThrough);
    ASSERT_TRUE(recorder.active());
    const BYTE data[] = {0x1B, 0x40, 0x0C};
    SendCommandBuffer(nullptr, data, sizeof(data), L"Head Clean");

    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(std::vector<BYTE>(data, data + 3), spooler.jobs[0].bytes);
    ASSERT_EQ(1u, recorder.jobs.size());
    const RecordedJob& job = recorder.jobs[0];
    EXPECT_EQ(L"Head Clean", job.docName);
    EXPECT_EQ(spooler.jobs[0].bytes, job.bytes);
    EXPECT_TRUE(job.ended);
    EXPECT_NE(0u, job.spoolerJobId);
}

TEST(HostSpoolerRecorder, AFailedWriteIsNotCountedAsSent)
{
    SpoolerRecorder spooler;
    spooler.failCall = 2;  // the write
    SpoolerRecorder recorder(ProgramModule(), SpoolerRecorder::Mode::PassThrough);
    const BYTE data[] = {1, 2, 3};
    SendCommandBuffer(nullptr, data, sizeof(data), L"Nozzle Check");

    ASSERT_EQ(1u, recorder.jobs.size());
    EXPECT_TRUE(recorder.jobs[0].bytes.empty());
    EXPECT_EQ(1u, recorder.jobs[0].writeSizes.size());
    EXPECT_EQ(spooler.jobs[0].ended, recorder.jobs[0].ended);
    EXPECT_EQ(spooler.jobs[0].aborted, recorder.jobs[0].aborted);
}

TEST_F(HostWithShippingDll, TheDocumentSheetShowsTheFivePagesAndTakesTheirResultOnOk)
{
    UiWatch watch;
    PropertySheetHost sheet(session_, SheetKind::Document, watch, Quiet());
    int pages = 0;
    ASSERT_TRUE(ShowSheet(sheet, watch, [&] {
        pages = watch.pageCount();
        PostMessageW(watch.sheet(), PSM_PRESSBUTTON, PSBTN_OK, 0);
    }));

    EXPECT_EQ(5, pages);
    const SheetRecord& record = sheet.record();
    EXPECT_EQ((std::vector<ULONG_PTR>{IDD_PRINT_MODE_PAGE, IDD_INK_LEVEL_PAGE, IDD_UTILITIES_PAGE, IDD_PURGE_PAGE,
                                      IDD_ABOUT_PAGE}),
              record.addedTemplates);
    EXPECT_EQ(5, record.pagesAccepted);
    EXPECT_EQ(L"OEM UI Page", record.pluginTitle);
    EXPECT_EQ(static_cast<DWORD>(CPSUI_OK), record.sheetResult);
    EXPECT_EQ(1, record.applies);
    // The Print Mode page (the only one created) and the document item each report CPSUI_OK.
    EXPECT_EQ(2, record.setResultCalls);
    EXPECT_EQ(CPSUI_OK, record.lastSetResult);
    EXPECT_TRUE(record.otherFunctions.empty());
}

TEST_F(HostWithShippingDll, CancelKeepsTheJobSettingsOfTheLastApply)
{
    UiWatch watch;
    PropertySheetHost sheet(session_, SheetKind::Document, watch, Quiet());
    ASSERT_TRUE(ShowSheet(sheet, watch, [&] {
        HWND page = watch.currentPage();
        SendMessageW(GetDlgItem(page, IDC_MODE_PHOTO), BM_CLICK, 0, 0);
        SendMessageW(watch.sheet(), PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        SendMessageW(GetDlgItem(page, IDC_MODE_VIVID), BM_CLICK, 0, 0);
        PostMessageW(watch.sheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }));

    EXPECT_EQ(static_cast<DWORD>(CPSUI_CANCEL), sheet.record().sheetResult);
    EXPECT_EQ(1, sheet.record().applies);
    EXPECT_EQ(PRINT_MODE_PHOTO, session_.privateSection()->printMode);
}

TEST_F(HostWithShippingDll, TheHostsOffsetPageStoresTheOffsetThroughThePluginsCallback)
{
    FakePrinterData printerData(session_.module());
    UiWatch watch;
    PropertySheetHost sheet(session_, SheetKind::Printer, watch, Quiet());
    std::wstring outOfRange, accepted;
    bool tooHigh = true;
    ASSERT_TRUE(ShowSheet(sheet, watch, [&] {
        tooHigh = sheet.SetOffsetOnPage(9, &outOfRange);
        sheet.SetOffsetOnPage(7, &accepted);
        PostMessageW(watch.sheet(), PSM_PRESSBUTTON, PSBTN_OK, 0);
    }));

    EXPECT_FALSE(tooHigh);
    EXPECT_EQ(L"the Offset goes from 0 to 8", outOfRange);
    EXPECT_EQ(7u, printerData.Dword(L"OEMUI_VALUE"));
    EXPECT_EQ(E_NOTIMPL, sheet.record().initResult);  // the plug-in adds no printer pages of its own
}

// The core's PrintTicket side with the shipping DLL: the opening calls, an application's choice of
// Photo with Medium drops validated into Photo with Light without touching the job, then written
// into the job devmode; and no reference to the plug-in left behind.
TEST_F(HostWithShippingDll, TheCoresTicketSideResolvesAnApplicationsChoiceAndThenWritesItIntoTheJob)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(SUCCEEDED(com) || com == RPC_E_CHANGED_MODE);  // the thread may have COM already
    {
        PrintTicketCore core(session_.core());
        ASSERT_EQ(S_OK, core.Open()) << core.failedCall();
        EXPECT_EQ(std::vector<INT>{1}, core.versions());
        EXPECT_EQ(OEMPT_DEFAULT, core.bindOptions());
        EXPECT_EQ(std::vector<std::wstring>{ORLIN_TICKET_NAMESPACE}, core.namespaces());
        EXPECT_EQ(E_NOTIMPL, core.defaultNamespaceResult());

        ComPtr<IXMLDOMDocument2> ticket;
        ASSERT_EQ(S_OK, core.JobTicket(&ticket)) << core.failedCall();
        ASSERT_EQ(S_OK, SetTicketOption(ticket.Get(), L"PrintMode", L"Photo"));
        ASSERT_EQ(S_OK, SetTicketOption(ticket.Get(), L"InkDropSize", L"Medium"));
        const PrivateDevmode before = *session_.privateSection();
        EXPECT_EQ(S_CONFLICT_RESOLVED, core.Validate(ticket.Get())) << core.failedCall();
        EXPECT_EQ(0, memcmp(&before, session_.privateSection(), sizeof(before))) << "validation changed the job";
        EXPECT_EQ(S_NO_CONFLICT, core.Validate(ticket.Get()));

        const std::wstring text = IndentedXml(ticket.Get());
        const size_t dropSize =
            text.find(L"<psf:Feature name=\"orlin:InkDropSize\">\n    <psf:Option name=\"orlin:Light\"/>");
        EXPECT_NE(std::wstring::npos, dropSize) << text;
        EXPECT_EQ(text.find(L"\"orlin:InkDropSize\""), text.rfind(L"\"orlin:InkDropSize\"")) << "one feature only";
        EXPECT_EQ(text.find(L"xmlns:psf"), text.rfind(L"xmlns:psf")) << "declared once, on the root";

        ASSERT_EQ(S_OK, core.ToJobDevmode(ticket.Get()));
        EXPECT_EQ(PRINT_MODE_PHOTO, session_.privateSection()->printMode);
        EXPECT_EQ(DROP_SIZE_LIGHT, session_.privateSection()->dropSize);
        EXPECT_EQ(before.offsetValue, session_.privateSection()->offsetValue);
    }
    EXPECT_EQ(0u, session_.ReleasePlugin()) << "the core kept a reference to the provider";
    if (SUCCEEDED(com)) CoUninitialize();
}
