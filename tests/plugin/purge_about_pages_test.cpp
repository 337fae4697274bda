// The purge and About pages in a real property sheet: the purge print for the chosen head, and
// an About page that only shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/driver_core.h"
#include "emulation/kernel_seams.h"
#include "emulation/spooler_recorder.h"
#include "frame/plugin.h"
#include "jobs/raw_job_sender.h"
#include "pages/page_procs.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"

namespace {

using Bytes = std::vector<BYTE>;

// A purge file whose colour byte (after ESC i) is 0x05 until the chosen head's code replaces it.
const Bytes PurgeFile = {0x1B, 0x40, 0x1B, 'i', 0x05, 'P', 'U', 'R', 'G', 'E'};
Bytes PurgeFileFor(BYTE colorCode)
{
    Bytes bytes = PurgeFile;
    bytes[4] = colorCode;
    return bytes;
}

constexpr int APPLY_BUTTON = 0x3021;  // the property sheet's Apply button

class PurgePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModuleHandle = ProgramModule();
        kernel.windowsDirectory = drivers.windowsDirectory();
        drivers.WriteFile(L"purge.bin", PurgeFile);
        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
        ASSERT_NE(nullptr, core.OpenSheet({3, 4}));
        page = core.ShowPage(0);
        ASSERT_NE(nullptr, page);
        list = GetDlgItem(page, IDC_PURGE_HEAD_LIST);
    }

    void TearDown() override
    {
        core.CloseSheet();
        EXPECT_EQ(0u, plugin->Release());
    }

    // Chooses a head in the list as a person does: the list tells the page of the new selection.
    LRESULT Choose(int index)
    {
        SendMessageW(list, CB_SETCURSEL, index, 0);
        return SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_PURGE_HEAD_LIST, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(list));
    }

    void PressPurge()
    {
        SendMessageW(GetDlgItem(page, IDC_PURGE_PRINT), BM_CLICK, 0, 0);
        PumpMessages();
    }

    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core{plugin};
    HWND page = nullptr;
    HWND list = nullptr;
};

}  // namespace

TEST_F(PurgePage, OpensWithTheEightHeadsInOrderAndYChosen)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[8] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Y", L"M", L"C", L"K", L"Y/W", L"M/W", L"C/W", L"K/W"}), entries);
    EXPECT_EQ(0, SendMessageW(list, CB_GETCURSEL, 0, 0));
}

TEST_F(PurgePage, PurgeWithoutAChoicePurgesY)
{
    PressPurge();
    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(L"Purge Print", spooler.jobs[0].docName);
    EXPECT_EQ(core.printer(), spooler.jobs[0].printer);
    EXPECT_EQ(PurgeFileFor(0x0A), spooler.jobs[0].bytes);
}

TEST_F(PurgePage, ChoosingAHeadSendsNothingAndChangesNoSetting)
{
    const PrivateDevmode before = *core.privateSection();
    EXPECT_EQ(TRUE, PurgePageProc(page, WM_COMMAND, MAKEWPARAM(IDC_PURGE_HEAD_LIST, CBN_SELCHANGE),
                                  reinterpret_cast<LPARAM>(list)));
    Choose(6);
    PumpMessages();
    EXPECT_TRUE(spooler.jobs.empty());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(core.sheet(), APPLY_BUTTON))) << "the page was marked changed";
    EXPECT_EQ(0, memcmp(&before, core.privateSection(), sizeof(before)));

    PressPurge();
    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(PurgeFileFor(0x09), spooler.jobs[0].bytes) << "C/W";
}

TEST_F(PurgePage, TheChoiceIsNotRememberedByTheNextSheet)
{
    Choose(3);
    core.CloseSheet();
    ASSERT_NE(nullptr, core.OpenSheet({3}));
    page = core.ShowPage(0);
    EXPECT_EQ(0, SendDlgItemMessageW(page, IDC_PURGE_HEAD_LIST, CB_GETCURSEL, 0, 0));
}

TEST_F(PurgePage, AboutPageShowsTheProductLineAndVersion)
{
    HWND about = core.ShowPage(1);
    ASSERT_NE(nullptr, about);
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[128] = {};
        GetWindowTextW(child, text, ARRAYSIZE(text));
        texts.push_back(text);
    }
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ(L"Vantrel Orlin Printer Driver Program", texts[0]);
    EXPECT_EQ(L"Version 1.2", texts[1]);
    EXPECT_EQ(0, GetWindowLongPtrW(about, DWLP_USER)) << "the About page keeps no sheet record";
}
