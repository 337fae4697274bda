// Scenarios played against the shipping DLL in the common property sheet, with the spooler,
// printer data and kernel of the DLL replaced by fakes: what the runner does, and how it stops.
#include "host/scenario/scenario_runner.h"

#include <gtest/gtest.h>

#include "emulation/dialog_driver.h"
#include "emulation/kernel_seams.h"
#include "emulation/printer_data.h"
#include "emulation/spooler_recorder.h"
#include "host/session/host_session.h"
#include "jobs/raw_job_sender.h"

namespace {

FILE* Quiet()
{
    static FILE* sink = _wfopen(L"NUL", L"w");
    return sink;
}

class ScenarioOnShippingDll : public ::testing::Test {
protected:
    ScenarioOnShippingDll()
    {
        std::wstring error;
        opened_ = session_.Open(ProgramFolder() + L"orlinui.dll", nullptr, Quiet(), &error);
        if (!opened_) return;
        spooler_ = std::make_unique<SpoolerRecorder>(session_.module());
        recorder_ = std::make_unique<SpoolerRecorder>(session_.module(), SpoolerRecorder::Mode::PassThrough);
        printerData_ = std::make_unique<FakePrinterData>(session_.module());
        kernel_ = std::make_unique<FakeKernel>(session_.module());
        kernel_->windowsDirectory = drivers_.windowsDirectory();
        drivers_.WriteFile(L"align.bin", {0x1B, 0x40, 0x0C});
        drivers_.WriteFile(L"cnt16.bin", {0x1B, 0x40});
    }

    void SetUp() override { ASSERT_TRUE(opened_); }

    // Runs a scenario that must parse; true when it passed.
    bool Run(const wchar_t* text)
    {
        const ParsedScenario scenario = ParseScenario(text);
        EXPECT_TRUE(scenario.ok());
        ScenarioRunner runner(session_, *recorder_, watch_, nullptr, Quiet());
        const bool passed = runner.Run(scenario.statements);
        failure_ = runner.failure();
        return passed;
    }

    std::vector<std::wstring> JobNames() const
    {
        std::vector<std::wstring> names;
        for (const RecordedJob& job : spooler_->jobs) names.push_back(job.docName);
        return names;
    }

    HostSession session_;
    bool opened_ = false;
    TempDriverDirectory drivers_{DRIVER_DIRECTORY_SUFFIX};
    std::unique_ptr<SpoolerRecorder> spooler_;  // below the recorder, as the real spooler is
    std::unique_ptr<SpoolerRecorder> recorder_;
    std::unique_ptr<FakePrinterData> printerData_;
    std::unique_ptr<FakeKernel> kernel_;
    UiWatch watch_;
    std::wstring failure_;
};

}  // namespace

TEST_F(ScenarioOnShippingDll, AnAlignmentCycleRunsThroughItsDialogs)
{
    EXPECT_TRUE(
        Run(L"document\n"
            L"page Utilities\n"
            L"click \"Printhead Alignment\"\n"
            L"answer Alignment Print\n"
            L"expect dialog \"Alignment Adjustment\"\n"
            L"select 1012 \"#2\"\n"
            L"click Finish\n"
            L"expect job \"Head Alignment 1\" count 1 bytes 244 byte 59 0xFC\n"
            L"ok\n"))
        << std::string(failure_.begin(), failure_.end());
    EXPECT_EQ((std::vector<std::wstring>{L"Alignment File", L"Head Alignment 1", L"Head Alignment 2"}), JobNames());
    EXPECT_EQ(std::vector<DWORD>{3000}, kernel_->sleeps);
    EXPECT_EQ(3u, recorder_->jobs.size());
}

TEST_F(ScenarioOnShippingDll, AFailedExpectationInADialogCancelsItAndSendsNothingMore)
{
    EXPECT_FALSE(
        Run(L"document\n"
            L"page Utilities\n"
            L"click \"Printhead Alignment\"\n"
            L"answer Alignment Print\n"
            L"expect selected 1012 \"#9\"\n"
            L"click Finish\n"
            L"ok\n"));
    EXPECT_EQ(L"line 5: the list 1012 shows \"#5\" (expect selected 1012 \"#9\")", failure_);
    EXPECT_EQ(std::vector<std::wstring>{L"Alignment File"}, JobNames());
    EXPECT_EQ(nullptr, watch_.sheet());
}

TEST_F(ScenarioOnShippingDll, AHiddenButtonIsReachedOnlyThroughItsCommand)
{
    EXPECT_FALSE(Run(L"document\npage Utilities\nclick 1036\n"));
    EXPECT_EQ(L"line 3: the control 1036 is hidden (click 1036)", failure_);
    EXPECT_TRUE(spooler_->jobs.empty());

    EXPECT_TRUE(Run(L"document\npage Utilities\ncommand 1036\nexpect job \"Waste Reset File\" count 1 bytes 2\n"));
    EXPECT_EQ(std::vector<std::wstring>{L"Waste Reset File"}, JobNames());
}

TEST_F(ScenarioOnShippingDll, PagesAreNamedByNumberOrByTheStartOfTheirTitle)
{
    EXPECT_TRUE(
        Run(L"document\n"
            L"page 4\n"
            L"expect page \"Print Nozzle Purge\"\n"
            L"page utilities\n"
            L"expect page \"Utilities - VANTREL\"\n"
            L"expect enabled \"Printhead Clean\"\n"
            L"cancel\n"))
        << std::string(failure_.begin(), failure_.end());
    EXPECT_FALSE(Run(L"document\npage 6\n"));
    EXPECT_EQ(L"line 2: no page \"6\" (page 6)", failure_);
}

TEST_F(ScenarioOnShippingDll, SettingsFollowTheClicksAndCancelTakesThemBack)
{
    EXPECT_TRUE(
        Run(L"document\n"
            L"click Photo\n"
            L"expect setting printMode Photo\n"
            L"page \"Ink Level\"\n"
            L"expect disabled Heavy\n"
            L"expect checked Light\n"
            L"expect setting dropSize Heavy\n"
            L"cancel\n"
            L"expect setting printMode Standard\n"))
        << std::string(failure_.begin(), failure_.end());
    // Apply stores the lists too, and Cancel afterwards keeps all that was applied.
    EXPECT_TRUE(
        Run(L"document\n"
            L"page \"Ink Level\"\n"
            L"select 1012 3\n"
            L"select 1035 \"Back 4 Channels Only\"\n"
            L"click Light\n"
            L"apply\n"
            L"cancel\n"
            L"expect setting inkLevel Level3\n"
            L"expect setting inkChannels \"Back 4 Channels Only\"\n"
            L"expect setting dropSize Light\n"))
        << std::string(failure_.begin(), failure_.end());
}

TEST_F(ScenarioOnShippingDll, TheOffsetIsSetOnThePrinterPropertiesWithinItsRange)
{
    EXPECT_TRUE(Run(L"printer\noffset 4\nok\n"));
    EXPECT_EQ(4u, printerData_->Dword(L"OEMUI_VALUE"));

    EXPECT_FALSE(Run(L"printer\noffset 12\nok\n"));
    EXPECT_EQ(L"line 2: the Offset goes from 0 to 8 (offset 12)", failure_);
    EXPECT_EQ(4u, printerData_->Dword(L"OEMUI_VALUE"));
}
