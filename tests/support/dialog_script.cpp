#include "support/dialog_script.h"

#include <commctrl.h>

namespace {

thread_local DialogScript* ActiveScript = nullptr;

std::wstring Caption(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

bool IsScriptedDialog(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, ARRAYSIZE(className));
    if (wcscmp(className, L"#32770") != 0) return false;
    if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) return false;             // property pages
    return FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr) == nullptr;  // property sheets
}

void PostCommand(HWND dialog, int control)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

BOOL CALLBACK EndOpenDialog(HWND window, LPARAM)
{
    if (IsScriptedDialog(window) && IsWindowEnabled(window)) EndDialog(window, IDCANCEL);
    return TRUE;
}

}  // namespace

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
    // One hook per thread serves the innermost script.
    if (previous_ == nullptr) hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, Hook, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, giveUpAfterMs, GiveUp);
}

DialogScript::~DialogScript()
{
    if (timer_ != 0) KillTimer(nullptr, timer_);
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    ActiveScript = previous_;
}

DialogStep& DialogScript::WhenShown(const std::wstring& caption)
{
    return Add(DialogStep::Trigger::Shown, caption);
}

DialogStep& DialogScript::WhenBack(const std::wstring& caption)
{
    return Add(DialogStep::Trigger::Back, caption);
}

DialogStep& DialogScript::Add(DialogStep::Trigger trigger, const std::wstring& caption)
{
    steps_.push_back(std::make_unique<DialogStep>());
    steps_.back()->trigger_ = trigger;
    steps_.back()->caption_ = caption;
    return *steps_.back();
}

LRESULT CALLBACK DialogScript::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && ActiveScript != nullptr) {
        const bool opened = call->message == WM_INITDIALOG;
        const bool back = call->message == WM_ENABLE && call->wParam;
        if ((opened || back) && IsScriptedDialog(call->hwnd)) {
            if (opened) ActiveScript->OnShown(call->hwnd);
            if (back) ActiveScript->OnBack(call->hwnd);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogScript::OnShown(HWND dialog)
{
    const std::wstring caption = Caption(dialog);
    shown.push_back(caption);
    if (Finished() || steps_[next_]->trigger_ != DialogStep::Trigger::Shown || steps_[next_]->caption_ != caption) {
        unexpected.push_back(caption);
        PostCommand(dialog, IDCANCEL);
        return;
    }
    const DialogStep& step = *steps_[next_++];
    for (const auto& action : step.actions_) action(dialog);
    if (step.press_) step.press_(dialog);
}

void DialogScript::OnBack(HWND dialog)
{
    if (Finished() || steps_[next_]->trigger_ != DialogStep::Trigger::Back ||
        steps_[next_]->caption_ != Caption(dialog)) {
        return;  // dialogs come back all the time; only the awaited one matters
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

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
