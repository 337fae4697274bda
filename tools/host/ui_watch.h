// Keeps track of the windows the session shows on this thread: the property sheet, its pages and
// the modal dialogs opened above it. A WH_CALLWNDPROCRET hook sees every dialog as it is
// initialised and destroyed, so the scenario runner and the screenshots know what is on screen
// without searching for windows by title.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class UiWatch {
public:
    UiWatch();
    ~UiWatch();
    UiWatch(const UiWatch&) = delete;
    UiWatch& operator=(const UiWatch&) = delete;

    // The property sheet window while one is shown.
    HWND sheet() const;
    HWND currentPage() const;
    int currentPageIndex() const;
    int pageCount() const;
    std::wstring pageTitle(int index) const;
    // The innermost dialog open above the sheet (the one a person would answer), or null.
    HWND topDialog() const;
    // Top-level dialogs opened so far, in the order they appeared (closed ones included).
    const std::vector<HWND>& dialogsSeen() const { return seen_; }

    // Called once each time the sheet applies its pages, OK (true) or Apply (false): the driver's
    // core applies its own option items then, as one more page of the sheet would.
    std::function<void(bool ok)> onSheetApplied;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Observe(const CWPRETSTRUCT& message);

    HHOOK hook_ = nullptr;
    HWND sheet_ = nullptr;
    std::vector<HWND> open_;
    std::vector<HWND> seen_;
};

// A window's text with the mnemonic ampersands removed and outer blanks trimmed, for matching
// captions the way a person reads them ("Printhead &Clean" is "Printhead Clean").
std::wstring PlainCaption(const std::wstring& text);
std::wstring WindowText(HWND window);
// A control of window (a page or a dialog) by id or by caption; null when there is none.
HWND FindControl(HWND window, int id);
HWND FindControlByCaption(HWND window, const std::wstring& caption);
