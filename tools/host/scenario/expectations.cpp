#include "host/scenario/expectations.h"

#include <commctrl.h>

#include <cwchar>

namespace {

std::wstring ComboText(HWND list, LRESULT index)
{
    if (index < 0) return L"(nothing)";
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return L"(nothing)";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

Verdict Holds(bool holds, std::wstring* why, const std::wstring& otherwise)
{
    if (holds) return Verdict::Met;
    *why = otherwise;
    return Verdict::Unmet;
}

Verdict Setting(const Statement& s, const Scene& scene, std::wstring* why)
{
    const long value = scene.session.privateSection()->*s.field;
    return Holds(value == s.number, why,
                 std::wstring(SettingName(s.field)) + L" is " + std::to_wstring(value) + L" (" +
                     SettingValueName(s.field, value) + L"), not " + std::to_wstring(s.number) + L" (" +
                     SettingValueName(s.field, s.number) + L")");
}

Verdict Offset(const Statement& s, const Scene& scene, std::wstring* why)
{
    const long stored = scene.session.StoredOffset();
    return Holds(
        stored == s.number, why,
        stored < 0 ? L"the printer has no Offset stored" : L"the printer's Offset is " + std::to_wstring(stored));
}

Verdict Jobs(const Statement& s, const Scene& scene, std::wstring* why)
{
    const size_t sent = scene.jobs.size();
    return Holds(static_cast<long>(sent) == s.number, why, std::to_wstring(sent) + L" job(s) were sent");
}

// The last job's bytes, as the statement names them.
Verdict JobBytes(const Statement& s, const RecordedJob& last, std::wstring* why)
{
    if (s.bytes >= 0 && static_cast<long>(last.bytes.size()) != s.bytes)
        return Holds(false, why,
                     L"the last " + Quoted(s.text) + L" job has " + std::to_wstring(last.bytes.size()) + L" bytes");
    for (const auto& [at, expected] : s.bytesAt) {
        if (static_cast<size_t>(at) >= last.bytes.size())
            return Holds(false, why, L"the last " + Quoted(s.text) + L" job has no byte " + std::to_wstring(at));
        const BYTE value = last.bytes[static_cast<size_t>(at)];
        wchar_t text[96];
        swprintf(text, 96, L"byte %ld of the last job is 0x%02X, not 0x%02lX", at, value, expected);
        if (value != expected) return Holds(false, why, text);
    }
    return Verdict::Met;
}

Verdict Job(const Statement& s, const Scene& scene, std::wstring* why)
{
    const RecordedJob* last = nullptr;
    long count = 0;
    for (const RecordedJob& job : scene.jobs) {
        if (job.docName != s.text) continue;
        ++count;
        last = &job;
    }
    if (s.count >= 0 ? count != s.count : count == 0)
        return Holds(false, why, std::to_wstring(count) + L" job(s) named " + Quoted(s.text) + L" were sent");
    return last != nullptr ? JobBytes(s, *last, why) : Verdict::Met;
}

// A control's state: whether it holds, and the word for it when it does not.
template <bool (*Test)(HWND), const wchar_t* Otherwise>
Verdict ControlState(const Statement& s, const Scene& scene, std::wstring* why)
{
    HWND control = scene.FindControl(s.control, why);
    if (control == nullptr) return Verdict::Unmet;
    return Holds(Test(control), why, s.control.describe() + L" is " + Otherwise);
}

bool IsChecked(HWND control)
{
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool IsUnchecked(HWND control)
{
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
}
bool IsEnabled(HWND control)
{
    return IsWindowEnabled(control) != FALSE;
}
bool IsDisabled(HWND control)
{
    return IsWindowEnabled(control) == FALSE;
}
constexpr wchar_t NOT_CHECKED[] = L"not checked", CHECKED[] = L"checked", DISABLED[] = L"disabled",
                  ENABLED[] = L"enabled";

Verdict Selected(const Statement& s, const Scene& scene, std::wstring* why)
{
    HWND list = scene.FindControl(s.control, why);
    if (list == nullptr) return Verdict::Unmet;
    const std::wstring shown = ComboText(list, SendMessageW(list, CB_GETCURSEL, 0, 0));
    return Holds(shown == s.text, why, L"the list " + s.control.describe() + L" shows " + Quoted(shown));
}

Verdict Dialog(const Statement& s, const Scene& scene, std::wstring* why)
{
    HWND dialog = scene.watch.topDialog();
    if (dialog != nullptr && SameText(WindowText(dialog), s.text)) return Verdict::Met;
    *why = dialog == nullptr ? L"no dialog is open" : L"the open dialog is " + Quoted(WindowText(dialog));
    return Verdict::NotYet;
}

Verdict Page(const Statement& s, const Scene& scene, std::wstring* why)
{
    if (HWND dialog = scene.watch.topDialog())
        return Holds(false, why, L"a dialog is open: " + Quoted(WindowText(dialog)));
    const std::wstring title = scene.watch.pageTitle(scene.watch.currentPageIndex());
    return Holds(StartsWithText(title, s.text), why, L"the page in front is " + Quoted(title));
}

}  // namespace

const ExpectationKind EXPECTATION_KINDS[] = {
    {L"setting", L"expect setting NAME VALUE", Words::Setting, false, Setting},
    {L"offset", L"expect offset N", Words::Count, false, Offset},
    {L"jobs", L"expect jobs N", Words::Count, false, Jobs},
    {L"job", L"expect job NAME [count N] [bytes N] [byte AT VALUE]...", Words::Job, false, Job},
    {L"checked", L"expect checked CONTROL", Words::Control, true, ControlState<IsChecked, NOT_CHECKED>},
    {L"unchecked", L"expect unchecked CONTROL", Words::Control, true, ControlState<IsUnchecked, CHECKED>},
    {L"enabled", L"expect enabled CONTROL", Words::Control, true, ControlState<IsEnabled, DISABLED>},
    {L"disabled", L"expect disabled CONTROL", Words::Control, true, ControlState<IsDisabled, ENABLED>},
    {L"selected", L"expect selected LIST-ID ENTRY", Words::ListEntry, true, Selected, TextNames::ListEntry},
    {L"dialog", L"expect dialog CAPTION", Words::Text, true, Dialog, TextNames::DialogCaption},
    {L"page", L"expect page NAME", Words::Text, true, Page, TextNames::PageTitle},
};
const size_t EXPECTATION_KIND_COUNT = sizeof(EXPECTATION_KINDS) / sizeof(EXPECTATION_KINDS[0]);

HWND Scene::Target() const
{
    HWND dialog = watch.topDialog();
    return dialog != nullptr ? dialog : watch.currentPage();
}

std::wstring Scene::TargetName() const
{
    HWND dialog = watch.topDialog();
    if (dialog != nullptr) return L"the dialog " + Quoted(WindowText(dialog));
    return L"the page " + Quoted(watch.pageTitle(watch.currentPageIndex()));
}

HWND Scene::FindControl(const ControlName& control, std::wstring* why) const
{
    HWND target = Target();
    HWND found = control.byId() ? ::FindControl(target, control.id) : FindControlByCaption(target, control.caption);
    if (found == nullptr) *why = L"no control " + control.describe() + L" on " + TargetName();
    return found;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(PlainCaption(a).c_str(), PlainCaption(b).c_str()) == 0;
}

bool StartsWithText(const std::wstring& text, const std::wstring& start)
{
    const std::wstring plain = PlainCaption(text), wanted = PlainCaption(start);
    return !wanted.empty() && plain.size() >= wanted.size() &&
           _wcsnicmp(plain.c_str(), wanted.c_str(), wanted.size()) == 0;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}
