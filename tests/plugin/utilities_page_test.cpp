// The Utilities page in a real property sheet, driven as a person would: its buttons, the
// instruction dialogs and the head alignment cycle, with the spooler and Sleep of the program faked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/driver_core.h"
#include "emulation/kernel_seams.h"
#include "emulation/spooler_recorder.h"
#include "frame/plugin.h"
#include "jobs/command_templates.h"
#include "jobs/raw_job_sender.h"
#include "pages/page_procs.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"
#include "support/dialog_layout.h"

namespace {

using Bytes = std::vector<BYTE>;

const Bytes AlignmentPattern = {0x1B, 0x40, 'a', 'l', 'i', 'g', 'n', 0x0C};
const Bytes WasteCounterReset = {0x1B, 0x40, 'c', 'n', 't', 0x00};

const wchar_t* const Adjustment = L"Alignment Adjustment";

// The alignment command as it goes out for three section choices, built from the neutral one.
Bytes AlignmentCommandFor(const Bytes& neutral, int section1, int section2, int section3)
{
    Bytes command = neutral;
    const int choices[] = {section1, section2, section3};
    for (int section = 0; section < ALIGNMENT_SECTION_COUNT; ++section) {
        for (uint16_t place : AlignmentOffsetPlaces[section]) {
            command[place] = static_cast<BYTE>(AlignmentOffsetTable[choices[section]]);
        }
    }
    return command;
}

std::vector<int> ShownChoices(HWND dialog)
{
    std::vector<int> shown;
    for (int list : {IDC_SECTION1_LIST, IDC_SECTION2_LIST, IDC_SECTION3_LIST}) {
        shown.push_back(static_cast<int>(SendDlgItemMessageW(dialog, list, CB_GETCURSEL, 0, 0)));
    }
    return shown;
}

std::vector<std::wstring> ListEntries(HWND dialog, int list)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[16] = {};
        SendDlgItemMessageW(dialog, list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

class UtilitiesPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModuleHandle = ProgramModule();
        // The alignment data lives as long as the process: every test starts from a new process's.
        for (int32_t& choice : AlignmentSelections) choice = ALIGNMENT_NEUTRAL_CHOICE;
        PatchAlignmentCommand(AlignmentCommand);
        neutralAlignment.assign(AlignmentCommand, AlignmentCommand + ALIGNMENT_COMMAND_SIZE);

        kernel.windowsDirectory = drivers.windowsDirectory();
        drivers.WriteFile(L"align.bin", AlignmentPattern);
        drivers.WriteFile(L"cnt16.bin", WasteCounterReset);

        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
        ASSERT_NE(nullptr, core.OpenSheet({2, 3, 4}));
        page = core.ShowPage(0);
        ASSERT_NE(nullptr, page);
    }

    void TearDown() override
    {
        core.CloseSheet();
        EXPECT_EQ(0u, plugin->Release());
    }

    // A click on a page button; the modal dialogs it opens run before this returns.
    void Click(int button)
    {
        SendMessageW(GetDlgItem(page, button), BM_CLICK, 0, 0);
        PumpMessages();
    }

    std::vector<std::wstring> DocNames() const
    {
        std::vector<std::wstring> names;
        for (const RecordedJob& job : spooler.jobs) names.push_back(job.docName);
        return names;
    }

    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core{plugin};
    HWND page = nullptr;
    Bytes neutralAlignment;
};

}  // namespace

TEST_F(UtilitiesPage, HeadCleanSendsOneJobAtOnce)
{
    DialogScript script;
    Click(IDC_HEAD_CLEAN);
    EXPECT_TRUE(script.shown.empty());
    ASSERT_EQ(1u, spooler.jobs.size());
    const RecordedJob& job = spooler.jobs[0];
    EXPECT_EQ(L"Head Clean", job.docName);
    EXPECT_EQ(core.printer(), job.printer);
    EXPECT_EQ(Bytes(HeadCleanCommand, HeadCleanCommand + 100), job.bytes);
    EXPECT_TRUE(job.ended);
}

TEST_F(UtilitiesPage, PortTestSendsTwentySeparateJobs)
{
    Click(IDC_PORT_TEST);
    ASSERT_EQ(20u, spooler.jobs.size());
    for (const RecordedJob& job : spooler.jobs) {
        EXPECT_EQ(L"Head port_test", job.docName);
        EXPECT_EQ(Bytes(PortTestCommand, PortTestCommand + 60), job.bytes);
        EXPECT_TRUE(job.ended);
    }
}

TEST_F(UtilitiesPage, NozzleCheckAsksFirstAndOnlyTheFirstButtonSends)
{
    DialogScript script;
    script.WhenShown(L"Nozzle Check").Click(IDCANCEL);
    script.WhenShown(L"Nozzle Check").PressEscape();
    script.WhenShown(L"Nozzle Check").CloseBox();
    Click(IDC_NOZZLE_CHECK);
    Click(IDC_NOZZLE_CHECK);
    Click(IDC_NOZZLE_CHECK);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(spooler.jobs.empty());

    script.WhenShown(L"Nozzle Check").Click(IDOK);
    Click(IDC_NOZZLE_CHECK);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.unexpected.empty());
    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(L"Nozzle Check", spooler.jobs[0].docName);
    EXPECT_EQ(Bytes(NozzleCheckCommand, NozzleCheckCommand + 139), spooler.jobs[0].bytes);
}

TEST_F(UtilitiesPage, ItsDialogsHaveCommonControls6AndTheAdjustmentStartsAtSectionOne)
{
    bool confirmThemed = false, adjustmentThemed = false;
    HWND focused = nullptr, sectionOne = nullptr;
    DialogScript script;
    script.WhenShown(L"Alignment")
        .Look([&](HWND dialog) { confirmThemed = FromCommonControls6(GetDlgItem(dialog, IDOK)); })
        .Click(IDOK);
    script.WhenShown(Adjustment)
        .Look([&](HWND dialog) {
            adjustmentThemed = FromCommonControls6(GetDlgItem(dialog, IDC_REALIGNMENT));
            focused = GetFocus();
            sectionOne = GetDlgItem(dialog, IDC_SECTION1_LIST);
        })
        .Click(IDCANCEL);
    Click(IDC_HEAD_ALIGNMENT);

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(confirmThemed);
    EXPECT_TRUE(adjustmentThemed);
    EXPECT_EQ(sectionOne, focused);
}

TEST_F(UtilitiesPage, CancelledAlignmentSendsNothingAndOpensNoAdjustment)
{
    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDCANCEL);
    Click(IDC_HEAD_ALIGNMENT);
    EXPECT_EQ(std::vector<std::wstring>{L"Alignment"}, script.shown);
    EXPECT_TRUE(spooler.jobs.empty());
    EXPECT_TRUE(kernel.sleeps.empty());
}

TEST_F(UtilitiesPage, AlignmentPrintsThePatternThenSendsTheChoicesThreeSecondsBeforeSavingThem)
{
    std::vector<int> firstShown;
    std::vector<std::wstring> firstList;
    size_t jobsWhenAdjustmentOpened = 0;
    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment)
        .Look([&](HWND dialog) {
            firstShown = ShownChoices(dialog);
            firstList = ListEntries(dialog, IDC_SECTION2_LIST);
            jobsWhenAdjustmentOpened = spooler.jobs.size();
        })
        .Select(IDC_SECTION1_LIST, 1)
        .Select(IDC_SECTION2_LIST, 8)
        .Select(IDC_SECTION3_LIST, 0)
        .Click(IDOK);
    Click(IDC_HEAD_ALIGNMENT);

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.unexpected.empty());
    EXPECT_EQ((std::vector<int>{4, 4, 4}), firstShown);
    EXPECT_EQ((std::vector<std::wstring>{L"#1", L"#2", L"#3", L"#4", L"#5", L"#6", L"#7", L"#8", L"#9"}), firstList);
    EXPECT_EQ(1u, jobsWhenAdjustmentOpened);

    ASSERT_EQ((std::vector<std::wstring>{L"Alignment File", L"Head Alignment 1", L"Head Alignment 2"}), DocNames());
    EXPECT_EQ(AlignmentPattern, spooler.jobs[0].bytes);
    EXPECT_EQ(AlignmentCommandFor(neutralAlignment, 1, 8, 0), spooler.jobs[1].bytes);
    EXPECT_EQ(Bytes(AlignmentSaveCommand, AlignmentSaveCommand + 86), spooler.jobs[2].bytes);
    for (const RecordedJob& job : spooler.jobs) EXPECT_EQ(core.printer(), job.printer);
    EXPECT_EQ(std::vector<DWORD>{3000}, kernel.sleeps);
    EXPECT_EQ((std::vector<int32_t>{1, 8, 0}),
              std::vector<int32_t>(AlignmentSelections, AlignmentSelections + ALIGNMENT_SECTION_COUNT));
}

// The wait falls between the two alignment jobs, not before or after both.
TEST_F(UtilitiesPage, TheWaitComesBetweenTheTwoAlignmentJobs)
{
    static SpoolerRecorder* watched = nullptr;
    static size_t jobsAtWait = 0;
    watched = &spooler;
    struct Witness {
        static VOID WINAPI Sleep(DWORD) { jobsAtWait = watched->jobs.size(); }
    };
    ImportPatch sleep(ProgramModule(), "kernel32.dll", "Sleep", reinterpret_cast<const void*>(&Witness::Sleep));
    ASSERT_TRUE(sleep.active());

    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment).Click(IDOK);
    Click(IDC_HEAD_ALIGNMENT);
    ASSERT_EQ(3u, spooler.jobs.size());
    EXPECT_EQ(2u, jobsAtWait) << "pattern and first alignment job sent before the wait, the second after it";
}

TEST_F(UtilitiesPage, TheNextAdjustmentOpensWithTheLastChoices)
{
    std::vector<int> secondShown;
    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment)
        .Select(IDC_SECTION1_LIST, 1)
        .Select(IDC_SECTION2_LIST, 8)
        .Select(IDC_SECTION3_LIST, 0)
        .Click(IDOK);
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment).Look([&](HWND dialog) { secondShown = ShownChoices(dialog); }).Click(IDCANCEL);
    Click(IDC_HEAD_ALIGNMENT);
    core.CloseSheet();  // the choices outlive the sheet

    ASSERT_NE(nullptr, core.OpenSheet({2}));
    page = core.ShowPage(0);
    Click(IDC_HEAD_ALIGNMENT);

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ((std::vector<int>{1, 8, 0}), secondShown);
    // Cancel sent nothing: the pattern of the second cycle is its only job.
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Alignment File", L"Head Alignment 1", L"Head Alignment 2", L"Alignment File"}),
        DocNames());
}

TEST_F(UtilitiesPage, RealignmentSendsTheChoicesThenStartsOverFromTheMiddle)
{
    std::vector<int> shownAfterRealignment;
    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment)
        .Select(IDC_SECTION1_LIST, 2)
        .Select(IDC_SECTION2_LIST, 6)
        .Select(IDC_SECTION3_LIST, 3)
        .Click(IDC_REALIGNMENT);
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenBack(Adjustment)
        .Look([&](HWND dialog) { shownAfterRealignment = ShownChoices(dialog); })
        .Click(IDCANCEL);
    Click(IDC_HEAD_ALIGNMENT);

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.unexpected.empty());
    EXPECT_EQ((std::vector<std::wstring>{L"Alignment", Adjustment, L"Alignment"}), script.shown);
    ASSERT_EQ(
        (std::vector<std::wstring>{L"Alignment File", L"Head Alignment 1", L"Head Alignment 2", L"Alignment File"}),
        DocNames());
    EXPECT_EQ(AlignmentCommandFor(neutralAlignment, 2, 6, 3), spooler.jobs[1].bytes);
    EXPECT_EQ(std::vector<DWORD>{3000}, kernel.sleeps);
    EXPECT_EQ((std::vector<int>{4, 4, 4}), shownAfterRealignment);
    EXPECT_EQ((std::vector<int32_t>{4, 4, 4}),
              std::vector<int32_t>(AlignmentSelections, AlignmentSelections + ALIGNMENT_SECTION_COUNT));
    // The command keeps the offsets just sent until the next patch.
    EXPECT_EQ(AlignmentCommandFor(neutralAlignment, 2, 6, 3), Bytes(AlignmentCommand, AlignmentCommand + 244));
}

TEST_F(UtilitiesPage, RealignmentCancelledKeepsTheAdjustmentOpenWithoutANewPattern)
{
    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment).Click(IDC_REALIGNMENT);
    script.WhenShown(L"Alignment").Click(IDCANCEL);
    script.WhenBack(Adjustment).Select(IDC_SECTION1_LIST, 7).Click(IDOK);
    Click(IDC_HEAD_ALIGNMENT);

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ((std::vector<std::wstring>{L"Alignment File", L"Head Alignment 1", L"Head Alignment 2",
                                         L"Head Alignment 1", L"Head Alignment 2"}),
              DocNames());
    EXPECT_EQ(AlignmentCommandFor(neutralAlignment, 7, 4, 4), spooler.jobs[3].bytes);
    EXPECT_EQ((std::vector<DWORD>{3000, 3000}), kernel.sleeps);
}

// Typing in the editable lists clears their selection: text naming an entry counts as that entry;
// other text, or none, sends nothing and puts the user on that section, its text selected.
TEST_F(UtilitiesPage, TypedSectionsCountWhenTheyNameAnEntryElseTheUserIsSentBackToThem)
{
    constexpr int NOTHING_SENT = -1;
    const struct {
        const wchar_t* typed;
        int press;
        int sentChoice;  // Section #2's choice as sent, or NOTHING_SENT
    } rows[] = {
        {L"7", IDOK, 6},
        {L" #7 ", IDOK, 6},
        {L"x", IDOK, NOTHING_SENT},
        {L"", IDOK, NOTHING_SENT},
        {L"#10", IDC_REALIGNMENT, NOTHING_SENT},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "typed \"" << std::string(row.typed, row.typed + wcslen(row.typed)) << "\"");
        spooler.jobs.clear();
        bool stayedOpen = false;
        bool focusOnSection2 = false;
        DWORD selection = 0;
        DialogScript script;
        script.WhenShown(L"Alignment").Click(IDOK);
        script.WhenShown(Adjustment)
            .Select(IDC_SECTION1_LIST, 5)
            .Type(IDC_SECTION2_LIST, row.typed)
            .Look([&](HWND dialog) {
                SendMessageW(dialog, WM_COMMAND, row.press, 0);
                stayedOpen = IsWindowEnabled(dialog) && spooler.jobs.size() == 1;
                HWND list = GetDlgItem(dialog, IDC_SECTION2_LIST);
                focusOnSection2 = GetFocus() == list || IsChild(list, GetFocus());
                selection = static_cast<DWORD>(SendDlgItemMessageW(dialog, IDC_SECTION2_LIST, CB_GETEDITSEL, 0, 0));
            })
            .Click(IDCANCEL);
        Click(IDC_HEAD_ALIGNMENT);

        EXPECT_TRUE(script.Finished());
        if (row.sentChoice == NOTHING_SENT) {
            EXPECT_TRUE(stayedOpen);
            EXPECT_EQ(std::vector<std::wstring>{L"Alignment File"}, DocNames());
            EXPECT_TRUE(focusOnSection2);
            EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, wcslen(row.typed))), selection);
        } else {
            ASSERT_EQ(3u, spooler.jobs.size());
            EXPECT_EQ(AlignmentCommandFor(neutralAlignment, 5, row.sentChoice, 4), spooler.jobs[1].bytes);
        }
    }
}

TEST_F(UtilitiesPage, AMissingPatternFileStillOpensTheAdjustment)
{
    DeleteFileW((drivers.windowsDirectory() + DRIVER_DIRECTORY_SUFFIX + L"align.bin").c_str());
    DialogScript script;
    script.WhenShown(L"Alignment").Click(IDOK);
    script.WhenShown(Adjustment).Click(IDOK);
    Click(IDC_HEAD_ALIGNMENT);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ((std::vector<std::wstring>{L"Head Alignment 1", L"Head Alignment 2"}), DocNames());
}

TEST_F(UtilitiesPage, AdjustmentDialogEndsWithOneAfterFinishAndZeroAfterCancel)
{
    HANDLE printer = core.printer();
    DialogScript script;
    script.WhenShown(Adjustment).Click(IDOK);
    script.WhenShown(Adjustment).CloseBox();
    EXPECT_EQ(1, DialogBoxParamW(ModuleHandle, MAKEINTRESOURCEW(IDD_ALIGNMENT_ADJUST), page, AlignmentAdjustProc,
                                 reinterpret_cast<LPARAM>(&printer)));
    EXPECT_EQ(0, DialogBoxParamW(ModuleHandle, MAKEINTRESOURCEW(IDD_ALIGNMENT_ADJUST), page, AlignmentAdjustProc,
                                 reinterpret_cast<LPARAM>(&printer)));
    EXPECT_EQ(2u, spooler.jobs.size());
}

TEST_F(UtilitiesPage, HiddenCounterResetAnswersItsCommand)
{
    HWND button = GetDlgItem(page, IDC_COUNTER_RESET);
    ASSERT_NE(nullptr, button);
    EXPECT_FALSE(IsWindowVisible(button));
    EXPECT_EQ(TRUE, UtilitiesPageProc(page, WM_COMMAND, MAKEWPARAM(IDC_COUNTER_RESET, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(button)));
    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(L"Waste Reset File", spooler.jobs[0].docName);
    EXPECT_EQ(WasteCounterReset, spooler.jobs[0].bytes);
}

TEST_F(UtilitiesPage, CommandsWithoutAnActionOrWithANotificationSendNothing)
{
    EXPECT_EQ(TRUE, UtilitiesPageProc(page, WM_COMMAND, MAKEWPARAM(1005, 0), 0));
    EXPECT_EQ(FALSE, UtilitiesPageProc(page, WM_COMMAND, MAKEWPARAM(IDC_HEAD_CLEAN, BN_DOUBLECLICKED), 0));
    EXPECT_TRUE(spooler.jobs.empty());
}

// OK on the sheet delivers PSN_APPLY to every page created so far; these pages do not answer it.
TEST_F(UtilitiesPage, UtilitiesPurgeAndAboutStaySilentOnApply)
{
    for (int position : {1, 2, 0}) ASSERT_NE(nullptr, core.ShowPage(position));
    core.Press(PSBTN_OK);
    EXPECT_TRUE(core.setResults.empty());
    EXPECT_TRUE(spooler.jobs.empty());

    NMHDR apply = {};
    apply.code = PSN_APPLY;
    EXPECT_EQ(FALSE, UtilitiesPageProc(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply)));
}
