// The languages the plug-in carries besides US English, as each translation tags its resources, and
// the pseudo-language that only the test programs carry. Adding a language is one row here.
#pragma once

#include <windows.h>

#include <set>

struct UiLanguage {
    const char* tag;
    LANGID id;
};

// Languages of one region alone (Brazilian Portuguese, the two Chinese scripts) are tagged with it,
// Traditional Chinese also with Hong Kong's and Macao's; the others with the neutral sublanguage, so
// every region of that language finds them.
inline constexpr UiLanguage Translations[] = {
    {"de", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL)},
    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL)},
    {"es", MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL)},
    {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_NEUTRAL)},
    {"pt-BR", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)},
    {"ru", MAKELANGID(LANG_RUSSIAN, SUBLANG_NEUTRAL)},
    {"ja", MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL)},
    {"zh-CN", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)},
    {"zh-TW", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL)},
    {"zh-HK", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG)},
    {"zh-MO", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_MACAU)},
    {"ko", MAKELANGID(LANG_KOREAN, SUBLANG_NEUTRAL)},
};

// Every English text lengthened and accented, generated from the English resources at build time.
inline constexpr UiLanguage PseudoLanguage = {"qps-ploc", 0x0501};

// Translations still being written: while a listed language has no resources at all, the checks say
// so and pass it by; once any of its resources are in, it is checked in full and its line must go.
inline const std::set<LANGID> PendingTranslations = {};
