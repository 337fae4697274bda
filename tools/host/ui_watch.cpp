#include "host/ui_watch.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cwctype>

namespace {

UiWatch* Active = nullptr;

bool IsDialog(HWND window)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return wcscmp(name, L"#32770") == 0;
}

}  // namespace

UiWatch::UiWatch()
{
    Active = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &UiWatch::HookProc, nullptr, GetCurrentThreadId());
}

UiWatch::~UiWatch()
{
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    Active = nullptr;
}

LRESULT CALLBACK UiWatch::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Active != nullptr) Active->Observe(*reinterpret_cast<const CWPRETSTRUCT*>(lParam));
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
            seen_.push_back(message.hwnd);
        }
    } else if (message.message == WM_NOTIFY && message.lParam != 0) {
        // The sheet applies by sending PSN_APPLY to each page it has created, in page order: the
        // first created page marks the start of one apply.
        const auto* notice = reinterpret_cast<const PSHNOTIFY*>(message.lParam);
        if (notice->hdr.code != static_cast<UINT>(PSN_APPLY) || sheet_ == nullptr ||
            GetParent(message.hwnd) != sheet_) {
            return;
        }
        HWND first = nullptr;
        for (int i = 0; i < pageCount() && first == nullptr; ++i)
            first = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_INDEXTOHWND, i, 0));
        if (message.hwnd == first && onSheetApplied) onSheetApplied(notice->lParam != 0);
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
