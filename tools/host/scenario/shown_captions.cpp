#include "host/scenario/shown_captions.h"

#include <utility>

#include "emulation/dialog_driver.h"
#include "emulation/dialog_template.h"
#include "emulation/ui_language.h"

namespace {

constexpr int STRINGS_PER_BLOCK = 16;

// English text and the text shown in its place.
using Translations = std::vector<std::pair<std::wstring, std::wstring>>;

struct ShownTemplate {
    std::wstring englishCaption;
    Translations controls;
};

struct ShownTexts {
    Translations captions;  // of the templates, and the strings that become captions
    Translations controls;  // of every template
    Translations strings;
    std::vector<ShownTemplate> templates;
};

BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    reinterpret_cast<std::vector<LPCWSTR>*>(names)->push_back(name);
    return TRUE;
}

std::vector<LPCWSTR> ResourceNames(HMODULE module, LPCWSTR type)
{
    std::vector<LPCWSTR> names;
    EnumResourceNamesW(module, type, AddName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::vector<std::wstring> StringBlock(HMODULE module, LPCWSTR block, LANGID language)
{
    std::vector<std::wstring> strings;
    HRSRC found = FindResourceExW(module, RT_STRING, block, language);
    const auto* units = static_cast<const wchar_t*>(LockResource(LoadResource(module, found)));
    if (units == nullptr) return strings;
    const wchar_t* end = units + SizeofResource(module, found) / sizeof(wchar_t);
    for (int index = 0; index < STRINGS_PER_BLOCK && units < end; ++index) {
        strings.emplace_back(units + 1, units + 1 + *units);
        units += 1 + *units;
    }
    return strings;
}

ShownTexts ReadShownTexts(HMODULE module, LANGID language)
{
    ShownTexts texts;
    for (LPCWSTR name : ResourceNames(module, RT_DIALOG)) {
        const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
        DialogTemplateInfo english, shown;
        if (!ReadDialogTemplate(module, id, &english) ||
            !ReadDialogTemplate(module, id, &shown, ResourceLanguage(module, RT_DIALOG, name, language)) ||
            english.controls.size() != shown.controls.size())
            continue;
        texts.captions.emplace_back(english.caption, shown.caption);
        ShownTemplate& shownTemplate = texts.templates.emplace_back(ShownTemplate{english.caption, {}});
        for (size_t index = 0; index < english.controls.size(); ++index)
            shownTemplate.controls.emplace_back(english.controls[index].text, shown.controls[index].text);
        texts.controls.insert(texts.controls.end(), shownTemplate.controls.begin(), shownTemplate.controls.end());
    }
    for (LPCWSTR block : ResourceNames(module, RT_STRING)) {
        const std::vector<std::wstring> english = StringBlock(module, block, US_ENGLISH);
        const std::vector<std::wstring> shown =
            StringBlock(module, block, ResourceLanguage(module, RT_STRING, block, language));
        for (size_t index = 0; index < english.size() && index < shown.size(); ++index)
            texts.strings.emplace_back(english[index], shown[index]);
    }
    texts.captions.insert(texts.captions.end(), texts.strings.begin(), texts.strings.end());
    return texts;
}

// As the runner compares: without the access key's mark and outer blanks, ignoring case; a page is
// named by the start of its title.
bool Names(const std::wstring& english, const std::wstring& text, bool byStart)
{
    const std::wstring plain = PlainCaption(english), wanted = PlainCaption(text);
    if (wanted.empty() || plain.size() < wanted.size() || (!byStart && plain.size() != wanted.size())) return false;
    return _wcsnicmp(plain.c_str(), wanted.c_str(), wanted.size()) == 0;
}

void Translate(const Translations& translations, std::wstring* text, bool byStart = false)
{
    for (const auto& [english, shown] : translations) {
        if (!Names(english, *text, byStart)) continue;
        *text = shown;
        return;
    }
}

// A dialog's button is looked for in that dialog first: "Cancel" is in more than one.
const Translations& ControlsOf(const ShownTexts& texts, const std::wstring& dialog)
{
    for (const ShownTemplate& shown : texts.templates) {
        if (Names(shown.englishCaption, dialog, false)) return shown.controls;
    }
    return texts.controls;
}

}  // namespace

std::vector<Statement> InShownLanguage(std::vector<Statement> statements, HMODULE plugin, LANGID language)
{
    if (language == US_ENGLISH) return statements;
    const ShownTexts texts = ReadShownTexts(plugin, language);
    for (Statement& s : statements) {
        if (!s.control.byId())
            Translate(s.action == Action::Answer ? ControlsOf(texts, s.text) : texts.controls, &s.control.caption);
        const TextNames names = s.expectation != nullptr ? s.expectation->names : TextNames::Nothing;
        const bool pageNumber = !s.text.empty() && s.text.find_first_not_of(L"0123456789") == std::wstring::npos;
        if ((s.action == Action::ChoosePage || names == TextNames::PageTitle) && !pageNumber)
            Translate(texts.captions, &s.text, true);
        if (s.action == Action::Answer || names == TextNames::DialogCaption) Translate(texts.captions, &s.text);
        if (s.action == Action::Select || names == TextNames::ListEntry) Translate(texts.strings, &s.text);
    }
    return statements;
}
