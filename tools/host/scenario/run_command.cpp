#include "host/scenario/run_command.h"

#include <cstdio>
#include <memory>

#include "emulation/dialog_driver.h"
#include "emulation/loaded_plugin.h"
#include "emulation/received_jobs.h"
#include "emulation/spooler_recorder.h"
#include "emulation/virtual_printer.h"
#include "host/printer/session_report.h"
#include "host/scenario/demo_scenario.h"
#include "host/scenario/junit_report.h"
#include "host/scenario/scenario_language.h"
#include "host/scenario/scenario_runner.h"
#include "host/scenario/shown_captions.h"
#include "host/session/host_session.h"
#include "host/sheet/screenshots.h"

namespace {

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info)
{
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return known;
}

// The same file under two names: the same full path, or the same file on the same volume (a
// report path spelt another way must not replace the scenario it reports on).
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    wchar_t fullA[MAX_PATH] = L"", fullB[MAX_PATH] = L"";
    if (GetFullPathNameW(a.c_str(), MAX_PATH, fullA, nullptr) != 0 &&
        GetFullPathNameW(b.c_str(), MAX_PATH, fullB, nullptr) != 0 && _wcsicmp(fullA, fullB) == 0)
        return true;
    BY_HANDLE_FILE_INFORMATION infoA = {}, infoB = {};
    return FileIdentity(a, &infoA) && FileIdentity(b, &infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace

int PrintScenarioCommand(const HostOptions& options)
{
    if (options.argument != L"demo") {
        fwprintf(stderr, L"orlinhost: the only built-in scenario is \"demo\"\n");
        return 2;
    }
    fwprintf(stdout, L"%ls", DemoScenario().c_str());
    return 0;
}

namespace {

// What a run needs before the plug-in is loaded.
struct PreparedRun {
    ParsedScenario scenario;
    std::unique_ptr<JUnitReportFile> report;
    std::wstring receivedFolder;  // where the printer keeps what it receives; empty when unknown
    std::unique_ptr<ReceivedJobsFolder> received;
};

// What the run left to report.
struct RunResult {
    bool passed = false;
    bool delivered = true;
    size_t stoppedAt = 0, carriedOut = 0;
    int expectationsMet = 0;
    std::wstring failure;
    size_t screenshots = 0;
};

int Refuse(const std::wstring& message)
{
    fwprintf(stderr, L"orlinhost: %ls\n", message.c_str());
    return 2;
}

// The JUnit report's file, opened before the run so that a report that cannot be written stops it.
int OpenReport(const HostOptions& options, PreparedRun* run)
{
    if (options.junit.empty()) return 0;
    if (options.argument != L"demo" && SameFile(options.argument, options.junit))
        return Refuse(L"the report " + options.junit + L" is the scenario itself; the scenario was not run");
    run->report = std::make_unique<JUnitReportFile>(options.junit);
    if (!run->report->problem().empty())
        return Refuse(L"cannot write the report " + options.junit + L" (" + run->report->problem() +
                      L"); the scenario was not run");
    return 0;
}

// Everything that can be refused before the plug-in is loaded: 0, or the exit code 2. Every line is
// checked here, so a wrong scenario sends nothing.
int PrepareRun(const HostOptions& options, PreparedRun* run)
{
    if (options.argument.empty() || options.printer.empty())
        return Refuse(L"run needs a scenario (a file, or demo) and --printer NAME");
    if (const int refused = OpenReport(options, run)) return refused;
    std::wstring text = DemoScenario();
    if (options.argument != L"demo" && !ReadScenarioFile(options.argument, &text))
        return Refuse(L"cannot read the scenario " + options.argument);
    run->scenario = ParseScenario(text);
    if (!run->scenario.ok()) {
        for (const std::wstring& error : run->scenario.errors)
            fwprintf(stderr, L"orlinhost: %ls: %ls\n", options.argument.c_str(), error.c_str());
        return Refuse(L"the scenario was not run; nothing was sent");
    }
    if (!options.screenshots.empty() && !DisplayAvailable())
        return Refuse(
            L"--screenshots needs a display, and this Wine prefix has the null graphics driver (use a display "
            L"prefix, see the README)");
    // The virtual printer says where it keeps what it receives; another printer needs --received.
    run->receivedFolder = options.received;
    if (run->receivedFolder.empty() && options.printer == VIRTUAL_PRINTER_NAME)
        run->receivedFolder = VirtualPrinterJobsFolder();
    if (!run->receivedFolder.empty()) run->received = std::make_unique<ReceivedJobsFolder>(run->receivedFolder);
    return 0;
}

// The session: the plug-in loaded, the scenario played, the summary printed and the plug-in
// released. 1 when the session could not start, else 0 with the result.
int PlayScenario(const HostOptions& options, const PreparedRun& run, RunResult* result)
{
    fwprintf(stdout, L"Session with \"%ls\" (%d-bit host):\n", options.printer.c_str(),
             static_cast<int>(sizeof(void*) * 8));
    HostSession session;
    if (!OpenCommandSession(options, &session)) return 1;
    SpoolerRecorder recorder(session.module(), SpoolerRecorder::Mode::PassThrough);
    if (!recorder.active()) {
        fwprintf(stderr, L"orlinhost: the plug-in does not import the spooler's job calls\n");
        return 1;
    }
    UiWatch watch;
    std::unique_ptr<ScreenshotTaker> shots;
    if (!options.screenshots.empty()) shots = std::make_unique<ScreenshotTaker>(options.screenshots);
    if (shots != nullptr && !shots->ready()) {
        fwprintf(stderr, L"orlinhost: GDI+ is not available for screenshots\n");
        return 1;
    }
    fwprintf(stdout, L"\nScenario %ls:\n", options.argument.c_str());
    fflush(stdout);
    ScenarioRunner runner(session, recorder, watch, shots.get(), stdout);
    const std::vector<Statement> shown = InShownLanguage(run.scenario.statements, session.module(), options.Language());
    result->passed = runner.Run(shown);
    result->delivered = PrintSessionSummary(session, recorder, run.received.get(), stdout);
    result->stoppedAt = runner.stoppedAt();
    result->carriedOut = runner.carriedOut();
    result->expectationsMet = runner.expectationsMet();
    result->failure = runner.failure();
    result->screenshots = shots != nullptr ? shots->files().size() : 0;
    // The core's last Release ends the session: the plug-in lets go of the driver helper.
    const ULONG left = session.ReleasePlugin();
    fwprintf(stdout, L"Plug-in object released (Release answered %lu), driver helper references back to %ld\n", left,
             session.helperReferences());
    return 0;
}

// The verdict, and the JUnit report when one was asked for. The command's exit code.
int ReportRun(const HostOptions& options, const PreparedRun& run, const RunResult& result)
{
    fwprintf(stdout, L"\n");
    if (result.passed) {
        fwprintf(stdout, L"Scenario passed: %d expectation(s) met.\n", result.expectationsMet);
    } else {
        fwprintf(stdout, L"Scenario FAILED at %ls\n", result.failure.c_str());
        fwprintf(stderr, L"orlinhost: %ls: %ls\n", options.argument.c_str(), result.failure.c_str());
    }
    if (run.received != nullptr)
        fwprintf(stdout,
                 result.delivered ? L"Every job reached the printer unchanged (%ls).\n"
                                  : L"The printer did NOT receive exactly what the plug-in sent (%ls).\n",
                 run.receivedFolder.c_str());
    if (!options.screenshots.empty())
        fwprintf(stdout, L"%u screenshot(s) in %ls\n", static_cast<unsigned>(result.screenshots),
                 options.screenshots.c_str());
    if (run.report != nullptr) {
        ReportSuite suite = ScenarioReport(options.argument, run.scenario.statements, result.stoppedAt,
                                           result.carriedOut, result.failure);
        // Jobs that did not arrive as sent fail the run without failing a statement: a case of their own.
        if (run.received != nullptr)
            suite.cases.push_back({L"every job reached the printer unchanged",
                                   result.delivered ? ReportCase::Outcome::Passed : ReportCase::Outcome::Failed,
                                   result.delivered ? L""
                                                    : L"the printer did not receive exactly what the plug-in sent (" +
                                                          run.receivedFolder + L")"});
        std::wstring why;
        if (!run.report->Write(suite, &why)) {
            fwprintf(stderr, L"orlinhost: the report %ls could not be written (%ls)\n", options.junit.c_str(),
                     why.c_str());
            return 1;
        }
    }
    return result.passed && result.delivered ? 0 : 1;
}

}  // namespace

int RunScenarioCommand(const HostOptions& options)
{
    PreparedRun run;
    if (const int refused = PrepareRun(options, &run)) return refused;
    RunResult result;
    if (const int failed = PlayScenario(options, run, &result)) return failed;
    return ReportRun(options, run, result);
}
