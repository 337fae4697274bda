#include "host/sheet/properties_command.h"

#include <cstdio>
#include <memory>

#include "emulation/dialog_driver.h"
#include "emulation/loaded_plugin.h"
#include "emulation/spooler_recorder.h"
#include "host/printer/session_report.h"
#include "host/session/host_session.h"
#include "host/sheet/property_sheet.h"
#include "host/sheet/screenshots.h"

namespace {

struct Watchers {
    UiWatch* watch = nullptr;
    ScreenshotTaker* shots = nullptr;
};
Watchers Current;

void CALLBACK CaptureTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (Current.shots == nullptr) return;
    const std::wstring file = Current.shots->CaptureIfNew(*Current.watch);
    if (!file.empty()) fwprintf(stdout, L"  screenshot %ls\n", file.c_str());
    fflush(stdout);
}

}  // namespace

int RunPropertiesCommand(const HostOptions& options)
{
    if (options.printer.empty()) {
        fwprintf(stderr, L"orlinhost: properties needs --printer NAME\n");
        return 2;
    }
    if (!DisplayAvailable()) {
        fwprintf(stderr,
                 L"orlinhost: properties needs a display, and this Wine prefix has the null graphics driver "
                 L"(use a display prefix, see the README)\n");
        return 2;
    }
    const bool document = options.sheet == L"document";
    fwprintf(stdout, L"%ls properties of \"%ls\" (%d-bit host):\n", document ? L"Document" : L"Printer",
             options.printer.c_str(), static_cast<int>(sizeof(void*) * 8));
    HostSession session;
    if (!OpenCommandSession(options, &session)) return 1;
    std::wstring error;
    SpoolerRecorder recorder(session.module(), SpoolerRecorder::Mode::PassThrough);
    UiWatch watch;
    std::unique_ptr<ScreenshotTaker> shots;
    if (!options.screenshots.empty()) shots = std::make_unique<ScreenshotTaker>(options.screenshots);

    PropertySheetHost sheet(session, document ? SheetKind::Document : SheetKind::Printer, watch, stdout);
    Current = {&watch, shots.get()};
    const UINT_PTR timer = shots != nullptr ? SetTimer(nullptr, 0, 250, &CaptureTick) : 0;
    fflush(stdout);
    const bool shown = sheet.Show(&error);
    if (timer != 0) KillTimer(nullptr, timer);
    Current = {};
    if (!shown) {
        fwprintf(stderr, L"orlinhost: %ls\n", error.c_str());
        return 1;
    }
    fwprintf(stdout, L"  sheet closed with %ls\n", sheet.record().sheetResult == CPSUI_OK ? L"OK" : L"Cancel");
    PrintSessionSummary(session, recorder, nullptr, stdout);
    return 0;
}
