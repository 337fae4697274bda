// The Print Mode and Ink Level pages in a real comctl32 property sheet: what they show, when they
// write the job's settings, the sheet's Apply button, the set-result calls and the test pattern.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "emulation/driver_core.h"
#include "emulation/kernel_seams.h"
#include "emulation/spooler_recorder.h"
#include "frame/plugin.h"
#include "jobs/raw_job_sender.h"
#include "resource_ids.h"
#include "settings/private_devmode.h"
#include "sheet/module_resources.h"
#include "support/dialog_layout.h"

namespace {

constexpr int ApplyButton = 0x3021;  // the property sheet's own Apply button

// The document properties as the driver shows them, reduced to the Print Mode and Ink Level pages
// the plug-in registered, over the stand-in's job section.
class JobSettingsPages : public ::testing::Test {
protected:
    JobSettingsPages() { ModuleHandle = ProgramModule(); }
    ~JobSettingsPages() override
    {
        core.CloseSheet();
        EXPECT_EQ(0u, plugin->Release());
    }

    void Register()
    {
        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
    }
    void Open(int startPage = 0)
    {
        if (core.pages.empty()) Register();
        ASSERT_NE(nullptr, core.OpenSheet({0, 1}));
        if (startPage != 0) core.ShowPage(startPage);
    }
    HWND Show(int index) { return core.ShowPage(index); }
    HWND Page(int index) const { return reinterpret_cast<HWND>(SendMessageW(core.sheet(), PSM_INDEXTOHWND, index, 0)); }
    bool ApplyEnabled() const { return IsWindowEnabled(GetDlgItem(core.sheet(), ApplyButton)) != FALSE; }
    void Apply() { core.Press(PSBTN_APPLYNOW); }

    static void Click(HWND page, int control) { SendDlgItemMessageW(page, control, BM_CLICK, 0, 0); }
    static bool Checked(HWND page, int control) { return IsDlgButtonChecked(page, control) == BST_CHECKED; }
    static bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)) != FALSE; }
    // A choice in a drop-down list as the user makes it: selection, then the list's notification.
    static void Choose(HWND page, int list, int index)
    {
        SendDlgItemMessageW(page, list, CB_SETCURSEL, index, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, list)));
    }
    static std::vector<std::wstring> Entries(HWND page, int list)
    {
        std::vector<std::wstring> entries;
        const LRESULT count = SendDlgItemMessageW(page, list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            SendDlgItemMessageW(page, list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    static LRESULT Selection(HWND page, int list) { return SendDlgItemMessageW(page, list, CB_GETCURSEL, 0, 0); }

    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core{plugin, {ProgramModule(), 1 << 20}};  // a fixed heap, so that it can be exhausted
    PrivateDevmode& job = *core.privateSection();
};

std::vector<BYTE> TestPatternFile()
{
    std::vector<BYTE> bytes(65850);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 7);
    return bytes;
}

struct TemplateRow {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    short x, y, cx, cy;
};

constexpr DWORD RADIO = BS_AUTORADIOBUTTON;  // in the group its first button starts
constexpr DWORD FIRST_RADIO = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
constexpr DWORD GROUP_BOX = BS_GROUPBOX;
constexpr DWORD TEXT = SS_LEFT | WS_GROUP;

const TemplateRow PrintModeTemplate[] = {
    {-1, L"Button", L"Print Mode", GROUP_BOX | WS_GROUP, 23, 18, 216, 35},
    {IDC_MODE_VIVID, L"Button", L"Vivid", FIRST_RADIO, 43, 30, 45, 14},
    {IDC_MODE_STANDARD, L"Button", L"Standard", RADIO, 110, 30, 56, 14},
    {IDC_MODE_PHOTO, L"Button", L"Photo", RADIO, 181, 30, 47, 14},
};

const TemplateRow InkLevelTemplate[] = {
    {-1, L"Button", L"Choose Ink Drop Size", GROUP_BOX, 24, 7, 216, 31},
    {IDC_DROP_HEAVY, L"Button", L"Heavy", FIRST_RADIO, 53, 19, 48, 10},
    {IDC_DROP_MEDIUM, L"Button", L"Medium", RADIO, 110, 19, 55, 10},
    {IDC_DROP_LIGHT, L"Button", L"Light", RADIO, 168, 19, 49, 10},
    {-1, L"Button", L"", GROUP_BOX | WS_GROUP, 23, 38, 217, 113},
    {-1, L"Static", L"1. Choose the ink Drop Size above", TEXT, 38, 49, 183, 14},
    {-1, L"Static", L"2. Click Test Pattern Below", TEXT, 38, 63, 183, 14},
    {-1, L"Static", L"3. Press PRINT key on your Printer keypad", TEXT, 38, 77, 183, 15},
    {-1, L"Static", L"4. From the test pattern choose the highest ink density level ", TEXT, 38, 92, 199, 10},
    {-1, L"Static", L"with deepest color, without bleeding.", TEXT, 46, 102, 184, 13},
    {-1, L"Static", L"5. Enter the optimum ink value below , then click OK", TEXT, 39, 115, 190, 16},
    {IDC_TEST_PATTERN, L"Button", L"Test &Pattern", BS_PUSHBUTTON | WS_TABSTOP, 104, 131, 50, 14},
    {-1, L"Button", L"", GROUP_BOX, 23, 151, 218, 43},
    {-1, L"Static", L"Ink Level", TEXT, 41, 163, 37, 13},
    {IDC_INK_LEVEL_LIST, L"ComboBox", L"", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 86, 160, 34, 84},
    {IDC_BIDIRECTIONAL, L"Button", L"Bi-Directional Print", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 132, 162, 78,
     10},
    {-1, L"Static", L"Ink Channels", TEXT, 30, 178, 44, 11},
    {IDC_INK_CHANNELS_LIST, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 86, 176, 126, 44},
};

template <size_t N>
void ExpectTemplate(int templateId, const wchar_t* caption, short cx, short cy, const TemplateRow (&rows)[N])
{
    SCOPED_TRACE(templateId);
    DialogTemplateInfo read;
    ASSERT_TRUE(ReadDialogTemplate(ProgramModule(), templateId, &read));
    EXPECT_FALSE(read.extended);
    EXPECT_EQ(static_cast<DWORD>(DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION), read.style);
    EXPECT_EQ(0u, read.exStyle);
    EXPECT_EQ(caption, read.caption);
    EXPECT_EQ(cx, read.cx);
    EXPECT_EQ(cy, read.cy);
    EXPECT_EQ(L"", read.menu);
    EXPECT_EQ(L"", read.windowClass);
    EXPECT_EQ(8, read.pointSize);
    EXPECT_EQ(L"MS Sans Serif", read.font);
    ASSERT_EQ(N, read.controls.size());
    for (size_t i = 0; i < N; ++i) {
        SCOPED_TRACE(i);
        const TemplateControl& got = read.controls[i];
        EXPECT_EQ(rows[i].id, got.id);
        EXPECT_EQ(rows[i].className, got.className);  // an ordinal class reads as its name
        EXPECT_EQ(rows[i].text, got.text);
        EXPECT_EQ(rows[i].style | WS_CHILD | WS_VISIBLE, got.style);
        EXPECT_EQ(0u, got.exStyle);
        EXPECT_EQ(rows[i].x, got.x);
        EXPECT_EQ(rows[i].y, got.y);
        EXPECT_EQ(rows[i].cx, got.cx);
        EXPECT_EQ(rows[i].cy, got.cy);
    }
    const LiveDialog live = CreateAndInspect(ProgramModule(), templateId);
    ASSERT_TRUE(live.created);
    ASSERT_EQ(N, live.controls.size());
    for (size_t i = 0; i < N; ++i) EXPECT_EQ(rows[i].id, live.controls[i].id);
}

}  // namespace

TEST(JobSettingsTemplates, PrintModeAndInkLevelHoldTheirControlsInOrder)
{
    ExpectTemplate(IDD_PRINT_MODE_PAGE, L"Print Mode", 266, 107, PrintModeTemplate);
    ExpectTemplate(IDD_INK_LEVEL_PAGE, L"Ink Level", 262, 207, InkLevelTemplate);
}

TEST_F(JobSettingsPages, PrintModePageShowsTheStoredModeOrNone)
{
    Open();
    HWND page = Page(0);
    EXPECT_TRUE(Checked(page, IDC_MODE_STANDARD));
    EXPECT_FALSE(Checked(page, IDC_MODE_VIVID));
    EXPECT_FALSE(Checked(page, IDC_MODE_PHOTO));
    core.CloseSheet();

    job.printMode = -1;
    Open();
    page = Page(0);
    for (int control : {IDC_MODE_VIVID, IDC_MODE_STANDARD, IDC_MODE_PHOTO}) EXPECT_FALSE(Checked(page, control));
}

TEST_F(JobSettingsPages, PrintModeClickWritesTheJobAtOnceAndEnablesApply)
{
    Open();
    HWND page = Page(0);
    EXPECT_FALSE(ApplyEnabled());
    Click(page, IDC_MODE_VIVID);
    EXPECT_EQ(PRINT_MODE_VIVID, job.printMode);
    EXPECT_TRUE(ApplyEnabled());
    Click(page, IDC_MODE_PHOTO);
    EXPECT_EQ(PRINT_MODE_PHOTO, job.printMode);
    EXPECT_TRUE(core.setResults.empty());

    Apply();
    ASSERT_EQ(1u, core.setResults.size());     // the Ink Level page was never shown, so never applied
    EXPECT_EQ(0, core.setResults[0].lParam1);  // the SheetContext's hPage
    EXPECT_EQ(CPSUI_OK, core.setResults[0].lParam2);
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(JobSettingsPages, EachPageReportsEachApplyOnce)
{
    Open();
    Click(Show(1), IDC_DROP_MEDIUM);
    Apply();
    EXPECT_EQ(2u, core.setResults.size());
    Click(Page(0), IDC_MODE_VIVID);
    Apply();
    EXPECT_EQ(4u, core.setResults.size());

    NMHDR apply = {Page(1), 0, static_cast<UINT>(PSN_APPLY)};
    SendMessageW(Page(1), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply));
    EXPECT_EQ(5u, core.setResults.size());
    NMHDR other = {Page(0), 0, static_cast<UINT>(PSN_QUERYCANCEL)};
    SendMessageW(Page(0), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(5u, core.setResults.size());
    EXPECT_EQ(core.setResults.size(), core.calls.size() - core.pages.size());
}

TEST_F(JobSettingsPages, InkLevelPageFillsItsListsAndShowsTheJob)
{
    job.inkLevel = 3;
    job.inkChannels = INK_CHANNELS_BACK_4;
    job.dropSize = DROP_SIZE_MEDIUM;
    job.bidirectional = 0;
    Open(1);
    HWND page = Page(1);
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2", L"3", L"4", L"5"}), Entries(page, IDC_INK_LEVEL_LIST));
    EXPECT_EQ(3, Selection(page, IDC_INK_LEVEL_LIST));
    EXPECT_EQ((std::vector<std::wstring>{L"Full 8 Channels", L"Front 4 Channels Only", L"Back 4 Channels Only"}),
              Entries(page, IDC_INK_CHANNELS_LIST));
    EXPECT_EQ(2, Selection(page, IDC_INK_CHANNELS_LIST));
    EXPECT_TRUE(Checked(page, IDC_DROP_MEDIUM));
    EXPECT_FALSE(Checked(page, IDC_DROP_HEAVY));
    EXPECT_FALSE(Checked(page, IDC_BIDIRECTIONAL));
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(JobSettingsPages, InkChannelsKeepTheirOrderWhenTheStringsCannotBeLoaded)
{
    job.inkChannels = INK_CHANNELS_FRONT_4;
    Register();
    core.ExhaustHeap();
    ASSERT_EQ(nullptr, HeapAlloc(core.heap(), 0, 8));
    Open(1);
    EXPECT_EQ((std::vector<std::wstring>{L"Full 8 Channels", L"Front 4 Channels Only", L"Back 4 Channels Only"}),
              Entries(Page(1), IDC_INK_CHANNELS_LIST));
    EXPECT_EQ(1, Selection(Page(1), IDC_INK_CHANNELS_LIST));
}

TEST_F(JobSettingsPages, ListChoicesAreWrittenOnlyOnApply)
{
    job.inkLevel = 0;
    Open(1);
    HWND page = Page(1);
    Choose(page, IDC_INK_LEVEL_LIST, 2);
    Choose(page, IDC_INK_CHANNELS_LIST, 2);
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_EQ(0, job.inkLevel);
    EXPECT_EQ(INK_CHANNELS_FULL_8, job.inkChannels);

    Apply();
    EXPECT_EQ(2, job.inkLevel);
    EXPECT_EQ(INK_CHANNELS_BACK_4, job.inkChannels);
    EXPECT_EQ(2u, core.setResults.size());  // both pages were shown, so both were applied
}

TEST_F(JobSettingsPages, AListWithoutSelectionKeepsItsSettingOnApply)
{
    job.inkLevel = -1;  // no entry: the list shows nothing
    job.inkChannels = 7;
    Open(1);
    HWND page = Page(1);
    EXPECT_EQ(CB_ERR, Selection(page, IDC_INK_LEVEL_LIST));
    EXPECT_EQ(CB_ERR, Selection(page, IDC_INK_CHANNELS_LIST));
    Apply();
    EXPECT_EQ(-1, job.inkLevel);
    EXPECT_EQ(7, job.inkChannels);
}

TEST_F(JobSettingsPages, DropSizeAndBidirectionalClicksWriteTheJobAtOnce)
{
    job.dropSize = 5;
    Open(1);
    HWND page = Page(1);
    EXPECT_TRUE(Checked(page, IDC_DROP_LIGHT));  // an unknown drop size shows as Light...
    EXPECT_EQ(5, job.dropSize);                  // ...and stays until a drop size is clicked
    core.ShowPage(0);
    core.ShowPage(1);
    EXPECT_TRUE(Checked(page, IDC_DROP_LIGHT));
    EXPECT_EQ(5, job.dropSize);

    Click(page, IDC_DROP_HEAVY);
    EXPECT_EQ(DROP_SIZE_HEAVY, job.dropSize);
    EXPECT_TRUE(ApplyEnabled());
    Click(page, IDC_DROP_LIGHT);
    EXPECT_EQ(DROP_SIZE_LIGHT, job.dropSize);

    EXPECT_TRUE(Checked(page, IDC_BIDIRECTIONAL));
    Click(page, IDC_BIDIRECTIONAL);
    EXPECT_EQ(0, job.bidirectional);
    Click(page, IDC_BIDIRECTIONAL);
    EXPECT_EQ(1, job.bidirectional);
    EXPECT_TRUE(core.setResults.empty());
}

TEST_F(JobSettingsPages, PhotoModeShowsLightWithoutChangingTheDropSize)
{
    job.printMode = PRINT_MODE_PHOTO;
    job.dropSize = DROP_SIZE_HEAVY;
    Open();
    HWND page = Show(1);
    for (int control : {IDC_DROP_HEAVY, IDC_DROP_MEDIUM, IDC_DROP_LIGHT}) EXPECT_FALSE(Enabled(page, control));
    EXPECT_TRUE(Checked(page, IDC_DROP_LIGHT));
    EXPECT_FALSE(Checked(page, IDC_DROP_HEAVY));
    EXPECT_EQ(DROP_SIZE_HEAVY, job.dropSize);

    Click(Show(0), IDC_MODE_STANDARD);
    Show(1);
    for (int control : {IDC_DROP_HEAVY, IDC_DROP_MEDIUM, IDC_DROP_LIGHT}) EXPECT_TRUE(Enabled(page, control));
    EXPECT_TRUE(Checked(page, IDC_DROP_HEAVY));
    EXPECT_FALSE(Checked(page, IDC_DROP_LIGHT));
    EXPECT_EQ(DROP_SIZE_HEAVY, job.dropSize);
}

TEST_F(JobSettingsPages, TestPatternIsPrintedWithTheStoredDropSize)
{
    FakeKernel kernel;
    SpoolerRecorder spooler;
    TempDriverDirectory driverDirectory(DRIVER_DIRECTORY_SUFFIX);
    const std::vector<BYTE> file = TestPatternFile();
    driverDirectory.WriteFile(L"test.bin", file);
    kernel.windowsDirectory = driverDirectory.windowsDirectory();

    job.printMode = PRINT_MODE_PHOTO;  // shows Light...
    job.dropSize = DROP_SIZE_HEAVY;    // ...but Heavy is what the job says
    Open();
    HWND page = Show(1);
    EXPECT_FALSE(ApplyEnabled());
    Click(page, IDC_TEST_PATTERN);
    EXPECT_TRUE(ApplyEnabled());  // marked although no setting changed
    EXPECT_EQ(DROP_SIZE_HEAVY, job.dropSize);
    EXPECT_EQ(PRINT_MODE_PHOTO, job.printMode);
    EXPECT_EQ(1, job.bidirectional);

    ASSERT_EQ(1u, spooler.jobs.size());
    const RecordedJob& sent = spooler.jobs[0];
    EXPECT_EQ(core.printer(), sent.printer);
    EXPECT_EQ(L"Test File", sent.docName);
    ASSERT_EQ(file.size(), sent.bytes.size());
    EXPECT_EQ(0x11, sent.bytes[65849]);
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 65849, sent.bytes.begin()));
    EXPECT_TRUE(sent.ended);
}
