#include "emulation/dialog_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cwctype>

namespace {

thread_local UiWatch* ActiveWatch = nullptr;
thread_local DialogScript* ActiveScript = nullptr;

bool IsDialog(HWND window)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return wcscmp(name, L"#32770") == 0;
}

// A dialog a person answers: not a property page, not a property sheet.
bool IsModalDialog(HWND window)
{
    if (!IsDialog(window)) return false;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) return false;
    return FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr) == nullptr;
}

BOOL CALLBACK EndOpenDialog(HWND window, LPARAM)
{
    if (IsModalDialog(window) && IsWindowEnabled(window)) EndDialog(window, IDCANCEL);
    return TRUE;
}

}  // namespace

// --- UiWatch ------------------------------------------------------------------------------------

UiWatch::UiWatch() : previous_(ActiveWatch)
{
    ActiveWatch = this;
    // One hook per thread serves the innermost watch.
    if (previous_ == nullptr)
        hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &UiWatch::HookProc, nullptr, GetCurrentThreadId());
}

UiWatch::~UiWatch()
{
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    ActiveWatch = previous_;
}

LRESULT CALLBACK UiWatch::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && ActiveWatch != nullptr)
        ActiveWatch->Observe(*reinterpret_cast<const CWPRETSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void UiWatch::Observe(const CWPRETSTRUCT& message)
{
    if (message.message == WM_INITDIALOG) {
        const bool child = (GetWindowLongPtrW(message.hwnd, GWL_STYLE) & WS_CHILD) != 0;
        if (child) {
            // A page: its parent is the property sheet.
            HWND parent = GetParent(message.hwnd);
            if (parent != nullptr && IsDialog(parent)) sheet_ = parent;
        } else if (IsDialog(message.hwnd)) {
            open_.push_back(message.hwnd);
        }
        if (onDialog && IsModalDialog(message.hwnd)) onDialog(message.hwnd, false);
    } else if (message.message == WM_ENABLE && message.wParam) {
        if (onDialog && IsModalDialog(message.hwnd)) onDialog(message.hwnd, true);
    } else if (message.message == WM_NOTIFY && message.lParam != 0) {
        // The sheet applies by sending PSN_APPLY to each page it has created, in page order: once
        // the last created page has handled it, every page has stored its settings (the Ink Level
        // page its lists), and the apply is complete.
        const auto* notice = reinterpret_cast<const PSHNOTIFY*>(message.lParam);
        if (notice->hdr.code != static_cast<UINT>(PSN_APPLY) || sheet_ == nullptr ||
            GetParent(message.hwnd) != sheet_) {
            return;
        }
        HWND last = nullptr;
        for (int i = pageCount() - 1; i >= 0 && last == nullptr; --i)
            last = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_INDEXTOHWND, i, 0));
        if (message.hwnd == last && onSheetApplied) onSheetApplied(notice->lParam != 0);
    } else if (message.message == WM_NCDESTROY) {
        open_.erase(std::remove(open_.begin(), open_.end(), message.hwnd), open_.end());
        if (message.hwnd == sheet_) sheet_ = nullptr;
    }
}

HWND UiWatch::sheet() const
{
    return sheet_ != nullptr && IsWindow(sheet_) ? sheet_ : nullptr;
}

HWND UiWatch::currentPage() const
{
    HWND window = sheet();
    return window != nullptr ? reinterpret_cast<HWND>(SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
}

int UiWatch::currentPageIndex() const
{
    HWND window = sheet();
    if (window == nullptr) return -1;
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(window, PSM_GETTABCONTROL, 0, 0));
    return tabs != nullptr ? static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)) : -1;
}

int UiWatch::pageCount() const
{
    HWND window = sheet();
    if (window == nullptr) return 0;
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(window, PSM_GETTABCONTROL, 0, 0));
    return tabs != nullptr ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring UiWatch::pageTitle(int index) const
{
    HWND window = sheet();
    if (window == nullptr) return std::wstring();
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(window, PSM_GETTABCONTROL, 0, 0));
    wchar_t text[128] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    if (tabs == nullptr || !SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return L"";
    return text;
}

HWND UiWatch::topDialog() const
{
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if (*it != sheet_ && IsWindow(*it)) return *it;
    }
    return nullptr;
}

// --- DialogScript -------------------------------------------------------------------------------

DialogStep& DialogStep::Select(int list, int index)
{
    actions_.push_back([list, index](HWND dialog) {
        HWND combo = GetDlgItem(dialog, list);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    });
    return *this;
}

DialogStep& DialogStep::Type(int control, const std::wstring& text)
{
    actions_.push_back([control, text](HWND dialog) {
        HWND field = GetDlgItem(dialog, control);
        COMBOBOXINFO combo = {};
        combo.cbSize = sizeof(combo);
        if (GetComboBoxInfo(field, &combo) && combo.hwndItem != nullptr) field = combo.hwndItem;
        SendMessageW(field, EM_SETSEL, 0, -1);
        SendMessageW(field, WM_CHAR, VK_BACK, 1);
        for (wchar_t ch : text) SendMessageW(field, WM_CHAR, ch, 1);
    });
    return *this;
}

DialogStep& DialogStep::Look(std::function<void(HWND)> look)
{
    actions_.push_back(std::move(look));
    return *this;
}

void DialogStep::Click(int button)
{
    press_ = [button](HWND dialog) {
        HWND control = GetDlgItem(dialog, button);
        if (control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control)) {
            PostMessageW(control, BM_CLICK, 0, 0);
        } else {
            PostCommand(dialog, button);
        }
    };
}

void DialogStep::PressEscape()
{
    press_ = [](HWND dialog) {
        HWND focus = GetFocus();
        HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    };
}

void DialogStep::CloseBox()
{
    press_ = [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

DialogScript::DialogScript(DWORD giveUpAfterMs) : previous_(ActiveScript)
{
    ActiveScript = this;
    watch_.onDialog = [this](HWND dialog, bool back) { OnDialog(dialog, back); };
    timer_ = SetTimer(nullptr, 0, giveUpAfterMs, GiveUp);
}

DialogScript::~DialogScript()
{
    if (timer_ != 0) KillTimer(nullptr, timer_);
    ActiveScript = previous_;
}

DialogStep& DialogScript::WhenShown(const std::wstring& caption)
{
    return Add(false, caption);
}

DialogStep& DialogScript::WhenBack(const std::wstring& caption)
{
    return Add(true, caption);
}

DialogStep& DialogScript::Add(bool back, const std::wstring& caption)
{
    steps_.push_back(std::make_unique<DialogStep>());
    steps_.back()->back_ = back;
    steps_.back()->caption_ = caption;
    return *steps_.back();
}

void DialogScript::OnDialog(HWND dialog, bool back)
{
    const std::wstring caption = WindowText(dialog);
    if (!back) shown.push_back(caption);
    if (Finished() || steps_[next_]->back_ != back || steps_[next_]->caption_ != caption) {
        // Dialogs come back all the time; only the awaited one matters. One that opens unawaited
        // is cancelled.
        if (!back) {
            unexpected.push_back(caption);
            PostCommand(dialog, IDCANCEL);
        }
        return;
    }
    const DialogStep& step = *steps_[next_++];
    for (const auto& action : step.actions_) action(dialog);
    if (step.press_) step.press_(dialog);
}

VOID CALLBACK DialogScript::GiveUp(HWND, UINT, UINT_PTR, DWORD)
{
    if (ActiveScript == nullptr) return;
    ActiveScript->gaveUp = true;
    EnumThreadWindows(GetCurrentThreadId(), EndOpenDialog, 0);
}

// --- Windows and controls -----------------------------------------------------------------------

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring PlainCaption(const std::wstring& text)
{
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        // Japanese, Chinese and Korean captions carry the access key in parentheses after the text.
        if (text.compare(i, 2, L"(&") == 0 && i + 3 < text.size() && text[i + 3] == L')') {
            i += 3;
            continue;
        }
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') plain += text[++i];
            continue;
        }
        plain += text[i];
    }
    const size_t first = plain.find_first_not_of(L" \t");
    const size_t last = plain.find_last_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring() : plain.substr(first, last - first + 1);
}

HWND FindControl(HWND window, int id)
{
    return window != nullptr ? GetDlgItem(window, id) : nullptr;
}

HWND FindControlByCaption(HWND window, const std::wstring& caption)
{
    if (window == nullptr) return nullptr;
    auto fold = [](std::wstring text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
        return text;
    };
    const std::wstring wanted = fold(PlainCaption(caption));
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, L"Button") != 0) continue;  // captions name buttons, radios and check boxes
        if ((GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) continue;
        if (fold(PlainCaption(WindowText(child))) == wanted) return child;
    }
    return nullptr;
}

void PostCommand(HWND dialog, int control)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}
