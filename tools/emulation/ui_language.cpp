#include "emulation/ui_language.h"

#include <tlhelp32.h>

#include <array>
#include <cwchar>

namespace {

// One language at a time, for the thread that set it.
DWORD LanguageThread = 0;
LANGID Language = 0;
using FindResourceFn = HRSRC(WINAPI*)(HMODULE, LPCWSTR, LPCWSTR);
FindResourceFn SystemFindResource = nullptr;

// The language and its neutral sublanguage, in the order Windows tries them.
std::array<LANGID, 2> Candidates(LANGID language)
{
    return {language, static_cast<LANGID>(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL))};
}

HRSRC WINAPI FindResourceInUiLanguage(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    if (GetCurrentThreadId() == LanguageThread) {
        for (LANGID language : Candidates(Language)) {
            if (HRSRC found = FindResourceExW(module, type, name, language)) return found;
        }
    }
    return SystemFindResource(module, name, type);
}

// The modules of this process now: those whose resource lookups are redirected.
std::vector<HMODULE> LoadedModules()
{
    std::vector<HMODULE> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return modules;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
        modules.push_back(entry.hModule);
    }
    CloseHandle(snapshot);
    return modules;
}

}  // namespace

ThreadUiLanguage::ThreadUiLanguage(LANGID language) : previous_(GetThreadUILanguage())
{
    wchar_t preferred[8] = {};  // "0411", then the list's two terminators
    swprintf(preferred, 6, L"%04X", language);
    ULONG count = 0;
    SetThreadPreferredUILanguages(MUI_LANGUAGE_ID, preferred, &count);
    SetThreadUILanguage(language);
    if (GetThreadUILanguage() == language) return;

    LanguageThread = GetCurrentThreadId();
    Language = language;
    // The system's own lookup, where the kernel's modules forward to it; they stay as they are.
    const HMODULE kernel[] = {GetModuleHandleW(L"kernelbase.dll"), GetModuleHandleW(L"kernel32.dll")};
    for (HMODULE module : kernel) {
        if (SystemFindResource == nullptr && module != nullptr)
            SystemFindResource =
                reinterpret_cast<FindResourceFn>(reinterpret_cast<void*>(GetProcAddress(module, "FindResourceW")));
    }
    for (HMODULE module : LoadedModules()) {
        if (module == kernel[0] || module == kernel[1]) continue;
        for (const char* dll : {"kernelbase.dll", "kernel32.dll"}) {
            auto patch = std::make_unique<ImportPatch>(module, dll, "FindResourceW",
                                                       reinterpret_cast<const void*>(&FindResourceInUiLanguage));
            if (patch->active()) patches_.push_back(std::move(patch));
        }
    }
}

ThreadUiLanguage::~ThreadUiLanguage()
{
    patches_.clear();
    LanguageThread = 0;
    ULONG count = 0;
    SetThreadPreferredUILanguages(0, nullptr, &count);
    SetThreadUILanguage(previous_);
}

LANGID ResourceLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language)
{
    for (LANGID candidate : Candidates(language)) {
        if (FindResourceExW(module, type, name, candidate) != nullptr) return candidate;
    }
    return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

LANGID LanguageFromTag(const wchar_t* tag)
{
    // Wine 8 does not know the pseudo-locale by name.
    if (_wcsicmp(tag, L"qps-ploc") == 0) return PSEUDO_LANGUAGE;
    const LCID locale = LocaleNameToLCID(tag, LOCALE_ALLOW_NEUTRAL_NAMES);
    if (locale == 0 || locale == LOCALE_CUSTOM_UNSPECIFIED || locale == LOCALE_CUSTOM_DEFAULT) return 0;
    return LANGIDFROMLCID(locale);
}
