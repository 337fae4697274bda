// orlinhost: the driver-host emulator. Loads orlinui.dll as the driver's UI core does, shows its
// pages through the common property sheet, runs scripted sessions and reports every job it sends.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <memory>

#include "emulation/ui_language.h"
#include "host/command_line.h"
#include "host/measure/sheet_soak.h"
#include "host/scenario/run_command.h"
#include "host/session/info_command.h"
#include "host/sheet/properties_command.h"
#include "host/ticket/ticket_command.h"

namespace {

int Usage(const std::wstring& problem)
{
    if (!problem.empty()) fwprintf(stderr, L"orlinhost: %ls\n", problem.c_str());
    fwprintf(stderr, L"%ls", HostUsage);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // Captions, display names and scenario lines in any language reach the terminal whole, as UTF-8.
    _setmode(_fileno(stdout), _O_U8TEXT);
    _setmode(_fileno(stderr), _O_U8TEXT);
    if (argc >= 2 && wcscmp(argv[1], L"soak") == 0) return RunSoakCommand(argc, argv);  // options of its own
    HostOptions options;
    std::wstring problem;
    if (!ParseHostOptions(argc, argv, &options, &problem)) return Usage(problem);
    if (options.command == L"info")
        return RunInfoCommand(options.argument.empty() ? nullptr : options.argument.c_str());

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Before the plug-in is loaded and makes its pages, as a user of that language would have it.
    std::unique_ptr<ThreadUiLanguage> language;
    if (!options.language.empty()) language = std::make_unique<ThreadUiLanguage>(options.Language());
    if (options.command == L"properties") return RunPropertiesCommand(options);
    if (options.command == L"run") return RunScenarioCommand(options);
    if (options.command == L"scenario") return PrintScenarioCommand(options);
    if (options.command == L"ticket") return RunTicketCommand(options);
    return Usage(L"unknown command " + options.command);
}
