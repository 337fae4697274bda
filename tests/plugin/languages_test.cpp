// The languages of the shipping DLL against its US English: every template and string English has and
// no other, the same controls in the same order, access keys that are unique within each template,
// and the version resource naming every language. And the whole sheet in the pseudo-language, where
// a text that does not come from the resources stands out.
#include "support/languages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "emulation/dialog_driver.h"
#include "emulation/driver_core.h"
#include "emulation/kernel_seams.h"
#include "emulation/spooler_recorder.h"
#include "emulation/ui_language.h"
#include "frame/plugin.h"
#include "jobs/raw_job_sender.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"
#include "support/dialog_layout.h"
#include "support/shipping_dll.h"

namespace {

constexpr int STRINGS_PER_BLOCK = 16;
// The dialog font's own bits: DIALOG and DIALOGEX templates, "MS Sans Serif" and the shell font
// differ in them alone.
constexpr DWORD FONT_STYLES = DS_SETFONT | DS_FIXEDSYS;

struct Inventory {
    std::set<int> templates;
    std::set<int> strings;  // ids of the non-empty strings
};

using Inventories = std::map<LANGID, Inventory>;

struct Walk {
    HMODULE module;
    LPCWSTR type;
    Inventories* found;
};

BOOL CALLBACK AddLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR context)
{
    Inventory& inventory = (*reinterpret_cast<Walk*>(context)->found)[language];
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    if (type == RT_DIALOG) {
        inventory.templates.insert(id);
        return TRUE;
    }
    // A string block holds sixteen counted strings; an empty one is no string.
    HRSRC found = FindResourceExW(module, type, name, language);
    const auto* units = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    const WORD* end = units + SizeofResource(module, found) / sizeof(WORD);
    for (int index = 0; index < STRINGS_PER_BLOCK && units < end; ++index) {
        if (*units != 0) inventory.strings.insert((id - 1) * STRINGS_PER_BLOCK + index);
        units += 1 + *units;
    }
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context)
{
    return EnumResourceLanguagesW(module, type, name, AddLanguage, context);
}

Inventories TakeInventory(HMODULE module)
{
    Inventories found;
    for (LPCWSTR type : {RT_DIALOG, RT_STRING}) {
        Walk walk = {module, type, &found};
        EnumResourceNamesW(module, type, AddName, reinterpret_cast<LONG_PTR>(&walk));
    }
    return found;
}

template <typename Set>
std::string Difference(const char* what, const Set& have, const Set& want)
{
    std::string report;
    for (int id : want) {
        if (!have.count(id)) report += std::string(" lacks ") + what + " " + std::to_string(id) + ";";
    }
    for (int id : have) {
        if (!want.count(id)) report += std::string(" has an extra ") + what + " " + std::to_string(id) + ";";
    }
    return report;
}

// Access keys used twice in one template: Alt and that letter would reach only the first control.
std::string RepeatedAccessKeys(const DialogTemplateInfo& layout)
{
    std::string report;
    std::set<wchar_t> keys;
    for (const TemplateControl& control : layout.controls) {
        const std::wstring& text = control.text;
        for (size_t at = text.find(L'&'); at != std::wstring::npos && at + 1 < text.size();
             at = text.find(L'&', at + 2)) {
            if (text[at + 1] == L'&') continue;
            const auto key = static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
                CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(text[at + 1])))));
            if (!keys.insert(key).second) report += " repeats the access key of \"" + Utf8(text) + "\";";
        }
    }
    return report;
}

std::string CompareTemplate(HMODULE module, int id, LANGID language)
{
    DialogTemplateInfo english, translated;
    if (!ReadDialogTemplate(module, id, &english) || !ReadDialogTemplate(module, id, &translated, language))
        return " template " + std::to_string(id) + " cannot be read;";
    std::string report;
    if ((english.style & ~FONT_STYLES) != (translated.style & ~FONT_STYLES))
        report += " template " + std::to_string(id) + " has other styles;";
    if (english.controls.size() != translated.controls.size())
        return report + " template " + std::to_string(id) + " has " + std::to_string(translated.controls.size()) +
               " controls, English " + std::to_string(english.controls.size()) + ";";
    for (size_t index = 0; index < english.controls.size(); ++index) {
        const TemplateControl &want = english.controls[index], &have = translated.controls[index];
        if (want.id != have.id || _wcsicmp(want.className.c_str(), have.className.c_str()) != 0 ||
            want.style != have.style)
            report += " template " + std::to_string(id) + " control " + std::to_string(index + 1) + " (" +
                      std::to_string(have.id) + " " + Utf8(have.Kind()) +
                      ") differs from English's in id, class or style;";
    }
    const std::string repeated = RepeatedAccessKeys(translated);
    if (!repeated.empty()) report += " template " + std::to_string(id) + repeated;
    return report;
}

std::set<int> VersionTranslations(HMODULE module)
{
    std::set<int> languages;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const void* resource = LockResource(LoadResource(module, found));
    if (resource == nullptr) return languages;
    // VerQueryValueW wants a writable copy of the block.
    std::string copy(static_cast<const char*>(resource), SizeofResource(module, found));
    void* pairs = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", &pairs, &bytes)) return languages;
    for (UINT index = 0; index < bytes / sizeof(DWORD); ++index) languages.insert(static_cast<WORD*>(pairs)[index * 2]);
    return languages;
}

class Languages : public ShippingDll {};

// What the plug-in shows untranslated in every language: the alignment choices, the purge list's
// colour channels and the ink levels.
bool Untranslated(const std::wstring& text)
{
    static const std::set<std::wstring> names = {L"Y", L"M", L"C", L"K", L"Y/W", L"M/W", L"C/W", L"K/W"};
    const bool digits = text.find_first_not_of(L"#0123456789") == std::wstring::npos;
    return digits || names.count(text) != 0;
}

// Every text a window and its children show, list entries included.
void ShownTexts(HWND window, std::vector<std::wstring>* texts)
{
    texts->push_back(WindowText(window));
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        ShownTexts(child, texts);
        const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
        for (LRESULT index = 0; index < count && count != CB_ERR; ++index) {
            wchar_t entry[128] = {};
            if (SendMessageW(child, CB_GETLBTEXTLEN, index, 0) < ARRAYSIZE(entry))
                SendMessageW(child, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry));
            texts->push_back(entry);
        }
    }
}

std::wstring PseudoCaption(int templateId)
{
    DialogTemplateInfo layout;
    ReadDialogTemplate(ProgramModule(), templateId, &layout, PseudoLanguage.id);
    return layout.caption;
}

}  // namespace

// The pages and every dialog they open, shown to a user of the pseudo-language: each text is one
// of the resources' (bracketed) or one of the few that stay untranslated.
TEST(PseudoLanguage, EveryTextOfTheSheetAndItsDialogsComesFromTheResources)
{
    ModuleHandle = ProgramModule();
    const ThreadUiLanguage language(PseudoLanguage.id);
    SpoolerRecorder spooler;
    FakeKernel kernel;
    TempDriverDirectory drivers{DRIVER_DIRECTORY_SUFFIX};
    kernel.windowsDirectory = drivers.windowsDirectory();
    drivers.WriteFile(L"align.bin", {0x1B, 0x40, 0x0C});
    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core(plugin);
    std::vector<std::wstring> texts;
    {
        PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
        ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
        ASSERT_NE(nullptr, core.OpenSheet());
        texts = core.TabTitles();
        for (size_t index = 0; index < core.pages.size(); ++index) ShownTexts(core.ShowPage(index), &texts);

        wchar_t adjustment[128] = {};
        LoadStringW(ProgramModule(), IDS_ALIGNMENT_ADJUST_CAPTION, adjustment, ARRAYSIZE(adjustment));
        auto collect = [&texts](HWND dialog) { ShownTexts(dialog, &texts); };
        DialogScript script;
        script.WhenShown(PseudoCaption(IDD_NOZZLE_CHECK_CONFIRM)).Look(collect).Click(IDCANCEL);
        script.WhenShown(PseudoCaption(IDD_ALIGNMENT_CONFIRM)).Look(collect).Click(IDOK);
        script.WhenShown(adjustment).Look(collect).Click(IDCANCEL);
        HWND utilities = core.ShowPage(2);
        for (int button : {IDC_NOZZLE_CHECK, IDC_HEAD_ALIGNMENT}) {
            SendMessageW(GetDlgItem(utilities, button), BM_CLICK, 0, 0);
            PumpMessages();
        }
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(std::vector<std::wstring>(), script.unexpected);
    }
    core.CloseSheet();
    EXPECT_EQ(0u, plugin->Release());

    std::string report;
    for (const std::wstring& text : texts) {
        const bool bracketed = text.size() > 2 && text.front() == L'[' && text.back() == L']';
        if (!text.empty() && !bracketed && !Untranslated(text)) report += "\"" + Utf8(text) + "\"\n";
    }
    EXPECT_GT(texts.size(), 40u);
    EXPECT_EQ("", report);
}

TEST_F(Languages, EachCarriesEnglishsTemplatesStringsAndControlsWithUniqueAccessKeys)
{
    Inventories inventories = TakeInventory(Module());
    const Inventory english = inventories[US_ENGLISH];
    ASSERT_FALSE(english.templates.empty());
    std::string report;
    for (int id : english.templates) {
        DialogTemplateInfo layout;
        ASSERT_TRUE(ReadDialogTemplate(Module(), id, &layout)) << id;
        const std::string repeated = RepeatedAccessKeys(layout);
        if (!repeated.empty()) report += "en-US: template " + std::to_string(id) + repeated + "\n";
    }
    std::set<int> shipped = {US_ENGLISH};
    for (const UiLanguage& language : Translations) {
        shipped.insert(language.id);
        const bool pending = PendingTranslations.count(language.id) != 0;
        const auto found = inventories.find(language.id);
        if (found == inventories.end()) {
            if (pending) std::printf("%s: not translated yet\n", language.tag);
            if (!pending) report += std::string(language.tag) + ": no resources at all\n";
            continue;
        }
        std::string problems;
        if (pending) problems += " has landed: take it out of the pending translations;";
        problems += Difference("template", found->second.templates, english.templates);
        problems += Difference("string", found->second.strings, english.strings);
        for (int id : english.templates) {
            if (found->second.templates.count(id)) problems += CompareTemplate(Module(), id, language.id);
        }
        if (!problems.empty()) report += std::string(language.tag) + ":" + problems + "\n";
    }
    for (const auto& [language, inventory] : inventories) {
        if (!shipped.count(language)) report += "language " + std::to_string(language) + " does not ship\n";
    }
    if (VersionTranslations(Module()) != shipped) report += "the version resource does not list every language\n";
    EXPECT_EQ("", report);
}
