// The wait cursor over every maintenance flow: set before the flow's first spooler call, the earlier
// cursor back after its last, also when the spooler fails. SetCursor of the program is redirected.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/driver_core.h"
#include "emulation/import_patch.h"
#include "emulation/kernel_seams.h"
#include "emulation/spooler_recorder.h"
#include "frame/plugin.h"
#include "jobs/raw_job_sender.h"
#include "pages/page_procs.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"

namespace {

// The cursor the user had before the flow; the fake never passes a cursor on to the system.
const HCURSOR EarlierCursor = reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x5A5A));

struct CursorCall {
    HCURSOR cursor;
    size_t spoolerCallsBefore;
};

const SpoolerRecorder* Spooler = nullptr;
std::vector<CursorCall>* Calls = nullptr;
HCURSOR Current = EarlierCursor;

HCURSOR WINAPI RecordingSetCursor(HCURSOR cursor)
{
    Calls->push_back({cursor, Spooler->calls.size()});
    const HCURSOR previous = Current;
    Current = cursor;
    return previous;
}

// Public: the flows below drive the fixture's sheet.
class WaitCursorFlows : public ::testing::Test {
public:
    void SetUp() override
    {
        ModuleHandle = ProgramModule();
        Spooler = &spooler;
        Calls = &cursorCalls;
        Current = EarlierCursor;
        kernel.windowsDirectory = drivers.windowsDirectory();
        drivers.WriteFile(L"align.bin", std::vector<BYTE>(64, 0xAA));
        drivers.WriteFile(L"cnt16.bin", std::vector<BYTE>(98, 0));
        drivers.WriteFile(L"test.bin", std::vector<BYTE>(65881, 0xAA));
        drivers.WriteFile(L"purge.bin", std::vector<BYTE>(191, 0));
        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
        ASSERT_NE(nullptr, core.OpenSheet({1, 2, 3}));  // Ink Level, Utilities, purge
        ASSERT_TRUE(cursorPatch.active());
    }

    void TearDown() override
    {
        core.CloseSheet();
        EXPECT_EQ(0u, plugin->Release());
    }

    void Click(size_t sheetPosition, int button)
    {
        SendMessageW(GetDlgItem(core.ShowPage(sheetPosition), button), BM_CLICK, 0, 0);
        PumpMessages();
    }

    // Each wait period covers the spooler calls made from its start to its end and no other call:
    // the wait cursor comes first, the earlier cursor right after the period's last spooler call.
    void ExpectWaitPeriods(size_t periods)
    {
        const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
        ASSERT_EQ(2 * periods, cursorCalls.size());
        size_t covered = 0;
        for (size_t i = 0; i < cursorCalls.size(); i += 2) {
            EXPECT_EQ(wait, cursorCalls[i].cursor) << "period " << i / 2;
            EXPECT_EQ(EarlierCursor, cursorCalls[i + 1].cursor) << "period " << i / 2;
            EXPECT_LT(cursorCalls[i].spoolerCallsBefore, cursorCalls[i + 1].spoolerCallsBefore) << "period " << i / 2;
            covered += cursorCalls[i + 1].spoolerCallsBefore - cursorCalls[i].spoolerCallsBefore;
        }
        EXPECT_EQ(0u, cursorCalls.front().spoolerCallsBefore);
        EXPECT_EQ(spooler.calls.size(), covered);
        EXPECT_EQ(EarlierCursor, Current);
    }

    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core{plugin};
    std::vector<CursorCall> cursorCalls;
    ImportPatch cursorPatch{ProgramModule(), "user32.dll", "SetCursor",
                            reinterpret_cast<const void*>(&RecordingSetCursor)};
};

struct Flow {
    const char* name;
    size_t periods;
    std::function<void(WaitCursorFlows&, DialogScript&)> run;
};

}  // namespace

// Every flow once as it succeeds and once with its first spooler call failing.
TEST_F(WaitCursorFlows, EachMaintenanceFlowShowsTheWaitCursorOverItsSpoolerWorkOnly)
{
    const Flow flows[] = {
        {"nozzle check", 1,
         [](WaitCursorFlows& t, DialogScript& script) {
             script.WhenShown(L"Nozzle Check").Click(IDOK);
             t.Click(1, IDC_NOZZLE_CHECK);
         }},
        {"head clean", 1, [](WaitCursorFlows& t, DialogScript&) { t.Click(1, IDC_HEAD_CLEAN); }},
        {"port test", 1, [](WaitCursorFlows& t, DialogScript&) { t.Click(1, IDC_PORT_TEST); }},
        {"head alignment", 2,
         [](WaitCursorFlows& t, DialogScript& script) {
             script.WhenShown(L"Alignment").Click(IDOK);
             script.WhenShown(L"Alignment Adjustment").Click(IDOK);
             t.Click(1, IDC_HEAD_ALIGNMENT);
         }},
        {"counter reset", 1,
         [](WaitCursorFlows& t, DialogScript&) {
             HWND page = t.core.ShowPage(1);
             UtilitiesPageProc(page, WM_COMMAND, MAKEWPARAM(IDC_COUNTER_RESET, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_COUNTER_RESET)));
         }},
        {"test pattern", 1, [](WaitCursorFlows& t, DialogScript&) { t.Click(0, IDC_TEST_PATTERN); }},
        {"purge", 1, [](WaitCursorFlows& t, DialogScript&) { t.Click(2, IDC_PURGE_PRINT); }},
    };
    for (size_t failCall : {size_t{0}, size_t{1}}) {
        for (const Flow& flow : flows) {
            SCOPED_TRACE(std::string(flow.name) + (failCall != 0 ? ", the first spooler call failing" : ""));
            spooler.jobs.clear();
            spooler.calls.clear();
            spooler.failCall = failCall;
            cursorCalls.clear();
            DialogScript script;
            flow.run(*this, script);
            EXPECT_TRUE(script.Finished());
            ExpectWaitPeriods(flow.periods);
        }
    }
}

TEST_F(WaitCursorFlows, ACancelledNozzleCheckShowsNoWaitCursor)
{
    DialogScript script;
    script.WhenShown(L"Nozzle Check").Click(IDCANCEL);
    Click(1, IDC_NOZZLE_CHECK);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(cursorCalls.empty());
}

TEST_F(WaitCursorFlows, TheArrowComesBackWhereNoCursorWasSetBefore)
{
    Current = nullptr;
    Click(1, IDC_HEAD_CLEAN);
    ASSERT_EQ(2u, cursorCalls.size());
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), Current);
}
