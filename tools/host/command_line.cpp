#include "host/command_line.h"

#include <cwchar>

#include "emulation/loaded_plugin.h"
#include "emulation/ui_language.h"
#include "host/session/host_session.h"

const wchar_t HostUsage[] =
    L"usage:\n"
    L"  orlinhost info [path-to-orlinui.dll]\n"
    L"  orlinhost properties --printer NAME [--sheet document|printer] [--screenshots DIR] [--dll PATH]\n"
    L"  orlinhost run SCENARIO|demo --printer NAME [--received DIR] [--junit FILE]\n"
    L"                [--screenshots DIR] [--dll PATH]\n"
    L"  orlinhost scenario demo      prints the built-in demo scenario\n"
    L"  orlinhost ticket --printer NAME [--set Feature=Option]... [--dll PATH]\n"
    L"                the job's PrintTicket and PrintCapabilities; --set changes and validates the ticket\n"
    L"  orlinhost soak [--sheets N] [--dll PATH]   opens and closes the document sheet N times (500)\n"
    L"properties, run, scenario and ticket take --language TAG (de-DE, ja-JP, qps-ploc, ...): the plug-in\n"
    L"is shown in that language; a scenario names captions in US English and runs in every language\n";

bool ParseHostOptions(int argc, wchar_t** argv, HostOptions* options, std::wstring* error)
{
    if (argc < 2) {
        *error = L"no command";
        return false;
    }
    options->command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::wstring word = argv[i];
        std::wstring* value = nullptr;
        if (word == L"--printer") value = &options->printer;
        if (word == L"--dll") value = &options->dll;
        if (word == L"--screenshots") value = &options->screenshots;
        if (word == L"--received") value = &options->received;
        if (word == L"--sheet") value = &options->sheet;
        if (word == L"--junit") value = &options->junit;
        if (word == L"--language") value = &options->language;
        if (word == L"--set") {
            options->settings.emplace_back();
            value = &options->settings.back();
        }
        if (value != nullptr) {
            if (i + 1 >= argc) {
                *error = word + L" needs a value";
                return false;
            }
            *value = argv[++i];
            continue;
        }
        if (word.size() > 1 && word[0] == L'-') {
            *error = L"unknown option " + word;
            return false;
        }
        if (!options->argument.empty()) {
            *error = L"unexpected " + word;
            return false;
        }
        options->argument = word;
    }
    if (options->sheet != L"document" && options->sheet != L"printer") {
        *error = L"--sheet is document or printer";
        return false;
    }
    if (!options->language.empty() && LanguageFromTag(options->language.c_str()) == 0) {
        *error = L"--language: unknown language " + options->language + L" (a tag such as de-DE, ja-JP or qps-ploc)";
        return false;
    }
    return true;
}

LANGID HostOptions::Language() const
{
    return language.empty() ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) : LanguageFromTag(language.c_str());
}

bool OpenCommandSession(const HostOptions& options, HostSession* session)
{
    std::wstring error;
    if (session->Open(PluginPath(options.dll), options.printer.c_str(), stdout, &error)) return true;
    fwprintf(stderr, L"orlinhost: %ls\n", error.c_str());
    return false;
}
