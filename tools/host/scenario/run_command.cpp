#include "host/scenario/run_command.h"

#include <cstdio>
#include <memory>

#include "emulation/dialog_driver.h"
#include "emulation/loaded_plugin.h"
#include "emulation/spooler_recorder.h"
#include "host/printer/received_jobs.h"
#include "host/printer/session_report.h"
#include "host/printer/virtual_printer.h"
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

// A scenario file is UTF-8 text (a byte order mark is allowed).
bool ReadScenarioFile(const std::wstring& path, std::wstring* text)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    std::string bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    fclose(file);
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    if (bytes.empty()) {
        text->clear();
        return true;
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text->assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &(*text)[0], length);
    return true;
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
    fwprintf(stdout, L"%ls", DemoScenario);
    return 0;
}

int RunScenarioCommand(const HostOptions& options)
{
    if (options.argument.empty() || options.printer.empty()) {
        fwprintf(stderr, L"orlinhost: run needs a scenario (a file, or demo) and --printer NAME\n");
        return 2;
    }
    std::unique_ptr<JUnitReportFile> report;
    if (!options.junit.empty()) {
        if (options.argument != L"demo" && SameFile(options.argument, options.junit)) {
            fwprintf(stderr, L"orlinhost: the report %ls is the scenario itself; the scenario was not run\n",
                     options.junit.c_str());
            return 2;
        }
        report = std::make_unique<JUnitReportFile>(options.junit);
        if (!report->problem().empty()) {
            fwprintf(stderr, L"orlinhost: cannot write the report %ls (%ls); the scenario was not run\n",
                     options.junit.c_str(), report->problem().c_str());
            return 2;
        }
    }
    std::wstring text;
    if (options.argument == L"demo") {
        text = DemoScenario;
    } else if (!ReadScenarioFile(options.argument, &text)) {
        fwprintf(stderr, L"orlinhost: cannot read the scenario %ls\n", options.argument.c_str());
        return 2;
    }
    // Every line is checked before the plug-in is even loaded: a wrong scenario sends nothing.
    const ParsedScenario scenario = ParseScenario(text);
    if (!scenario.ok()) {
        for (const std::wstring& error : scenario.errors)
            fwprintf(stderr, L"orlinhost: %ls: %ls\n", options.argument.c_str(), error.c_str());
        fwprintf(stderr, L"orlinhost: the scenario was not run; nothing was sent\n");
        return 2;
    }

    if (!options.screenshots.empty() && !DisplayAvailable()) {
        fwprintf(stderr,
                 L"orlinhost: --screenshots needs a display, and this Wine prefix has the null graphics "
                 L"driver (use a display prefix, see the README)\n");
        return 2;
    }

    // The virtual printer says where it keeps what it receives; another printer needs --received.
    std::wstring receivedFolder = options.received;
    if (receivedFolder.empty() && options.printer == VIRTUAL_PRINTER_NAME) receivedFolder = VirtualPrinterJobsFolder();
    std::unique_ptr<ReceivedJobsFolder> received;
    if (!receivedFolder.empty()) received = std::make_unique<ReceivedJobsFolder>(receivedFolder);

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
    if (!options.screenshots.empty()) {
        shots = std::make_unique<ScreenshotTaker>(options.screenshots);
        if (!shots->ready()) {
            fwprintf(stderr, L"orlinhost: GDI+ is not available for screenshots\n");
            return 1;
        }
    }

    fwprintf(stdout, L"\nScenario %ls:\n", options.argument.c_str());
    fflush(stdout);
    ScenarioRunner runner(session, recorder, watch, shots.get(), stdout);
    const std::vector<Statement> shown = InShownLanguage(scenario.statements, session.module(), options.Language());
    const bool passed = runner.Run(shown);
    const bool delivered = PrintSessionSummary(session, recorder, received.get(), stdout);
    // The core's last Release ends the session: the plug-in lets go of the driver helper.
    const ULONG left = session.ReleasePlugin();
    fwprintf(stdout, L"Plug-in object released (Release answered %lu), driver helper references back to %ld\n", left,
             session.helperReferences());

    fwprintf(stdout, L"\n");
    if (passed) {
        fwprintf(stdout, L"Scenario passed: %d expectation(s) met.\n", runner.expectationsMet());
    } else {
        fwprintf(stdout, L"Scenario FAILED at %ls\n", runner.failure().c_str());
        fwprintf(stderr, L"orlinhost: %ls: %ls\n", options.argument.c_str(), runner.failure().c_str());
    }
    if (received != nullptr) {
        fwprintf(stdout,
                 delivered ? L"Every job reached the printer unchanged (%ls).\n"
                           : L"The printer did NOT receive exactly what the plug-in sent (%ls).\n",
                 receivedFolder.c_str());
    }
    if (shots != nullptr)
        fwprintf(stdout, L"%u screenshot(s) in %ls\n", static_cast<unsigned>(shots->files().size()),
                 options.screenshots.c_str());
    if (report != nullptr) {
        ReportSuite suite = ScenarioReport(options.argument, scenario.statements, runner.stoppedAt(),
                                           runner.carriedOut(), runner.failure());
        // Jobs that did not arrive as sent fail the run without failing a statement, so they are a
        // case of their own.
        if (received != nullptr)
            suite.cases.push_back(
                {L"every job reached the printer unchanged",
                 delivered ? ReportCase::Outcome::Passed : ReportCase::Outcome::Failed,
                 delivered ? L""
                           : L"the printer did not receive exactly what the plug-in sent (" + receivedFolder + L")"});
        std::wstring why;
        if (!report->Write(suite, &why)) {
            fwprintf(stderr, L"orlinhost: the report %ls could not be written (%ls)\n", options.junit.c_str(),
                     why.c_str());
            return 1;
        }
    }
    return passed && delivered ? 0 : 1;
}
