// The options orlinhost's commands share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class HostSession;

struct HostOptions {
    std::wstring command;                // info, properties, run, scenario, ticket
    std::wstring argument;               // run: the scenario file or "demo"; info: the DLL
    std::wstring printer;                // --printer NAME
    std::wstring dll;                    // --dll PATH (default: orlinui.dll beside orlinhost.exe)
    std::wstring screenshots;            // --screenshots DIR
    std::wstring received;               // --received DIR: the virtual printer's folder of received jobs
    std::wstring junit;                  // run --junit FILE: the JUnit XML report
    std::wstring sheet = L"document";    // properties --sheet document|printer
    std::vector<std::wstring> settings;  // ticket --set Feature=Option, in order
    std::wstring language;               // --language TAG: the thread's UI language

    // The language the plug-in is shown in: --language, else US English.
    LANGID Language() const;
};

// Fills options from the command line. False with a message for a wrong one.
bool ParseHostOptions(int argc, wchar_t** argv, HostOptions* options, std::wstring* error);

// Opens the session a command works in, with the plug-in asked for (else the one beside the host)
// and the printer named. False once the reason is on standard error.
bool OpenCommandSession(const HostOptions& options, HostSession* session);

extern const wchar_t HostUsage[];
