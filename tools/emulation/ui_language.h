// The thread's UI language, which Windows follows when it loads a module's pages, dialogs and strings:
// set for the life of an object, as a user of that language would have it.
//
// Windows takes SetThreadPreferredUILanguages and SetThreadUILanguage. Wine 8 accepts both and uses
// neither: its resource loader follows the thread locale, and that only exactly (a resource of a
// language's neutral sublanguage, or of the pseudo-locale, is never found by it). Where the system does
// not report the language back, the resource lookups of the modules loaded so far (user32's dialogs and
// strings, comctl32's pages among them) are redirected, on this thread, to one that chooses as Windows
// does: the language itself, then its neutral sublanguage, then what the system would have chosen
// (US English for the plug-in).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "emulation/import_patch.h"

class ThreadUiLanguage {
public:
    explicit ThreadUiLanguage(LANGID language);
    ~ThreadUiLanguage();
    ThreadUiLanguage(const ThreadUiLanguage&) = delete;
    ThreadUiLanguage& operator=(const ThreadUiLanguage&) = delete;

    // Whether the lookups had to be redirected: the system took the language but does not use it.
    bool emulated() const { return !patches_.empty(); }

private:
    LANGID previous_;
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

// The language whose resource of that type and name Windows shows to a user of language: that
// language, else its neutral sublanguage, else US English.
LANGID ResourceLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language);

// The pseudo-language of the test builds: every text lengthened and accented (qps-ploc).
constexpr LANGID PSEUDO_LANGUAGE = 0x0501;

// The language of a tag such as "de-DE", "ja" or "qps-ploc"; 0 for one the system does not know.
LANGID LanguageFromTag(const wchar_t* tag);
