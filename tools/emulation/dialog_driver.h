// The windows a session shows on this thread, followed as a person would see them and answered as
// a person would: one WH_CALLWNDPROCRET hook per thread sees every dialog as it is initialised,
// enabled again and destroyed. UiWatch keeps track of the property sheet, its pages and the modal
// dialogs above it (the scenario runner and the screenshots ask it what is on screen); a
// DialogScript answers the modal dialogs of the thread step by step (the tests). Watches may be
// nested on a thread: the innermost one sees the messages.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
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

    // Called once each time the sheet has applied all its pages, OK (true) or Apply (false): the
    // driver's core applies its own option items then, as one more page of the sheet would.
    std::function<void(bool ok)> onSheetApplied;
    // Called for a modal dialog (not a page, not a property sheet) once it has handled
    // WM_INITDIALOG (back false), and each time it is enabled again after a dialog it owned was
    // closed (back true).
    std::function<void(HWND dialog, bool back)> onDialog;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Observe(const CWPRETSTRUCT& message);

    HHOOK hook_ = nullptr;
    UiWatch* previous_ = nullptr;
    HWND sheet_ = nullptr;
    std::vector<HWND> open_;
};

// One step of a DialogScript: what to do with the dialog it waits for.
class DialogStep {
public:
    // Chooses entry index of a combo box and tells the dialog, as a choice in the list does.
    DialogStep& Select(int list, int index);
    // Types text into the edit field of a combo box (or an edit control), replacing what it shows.
    DialogStep& Type(int control, const std::wstring& text);
    // Runs a check on the dialog as it is at this moment.
    DialogStep& Look(std::function<void(HWND dialog)> look);

    // The press that ends the step.
    void Click(int button);
    void PressEscape();
    void CloseBox();

private:
    friend class DialogScript;
    bool back_ = false;
    std::wstring caption_;
    std::vector<std::function<void(HWND)>> actions_;
    std::function<void(HWND)> press_;
};

// Answers the modal dialogs of the calling thread: each scripted step waits for a dialog with a
// given caption, then chooses list entries, types, looks, and finally presses a button, Escape or
// the close box. Nested modal dialogs are answered in the order they come; scripts may be nested
// on a thread, and the innermost one answers.
//
// A step runs once the dialog has handled WM_INITDIALOG ("shown"), or once it is enabled again
// after a modal dialog it owned was closed ("back"). Its final press is posted, so it reaches the
// dialog through its own modal loop. A dialog that no step waits for is recorded and cancelled; a
// script that has not finished after a while ends the open dialogs, so a broken flow fails its
// test instead of hanging the run.
class DialogScript {
public:
    explicit DialogScript(DWORD giveUpAfterMs = 20000);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // The next step waits for a dialog with this caption to open.
    DialogStep& WhenShown(const std::wstring& caption);
    // The next step waits for this dialog to come back after a dialog it owned was closed.
    DialogStep& WhenBack(const std::wstring& caption);

    bool Finished() const { return next_ == steps_.size(); }
    size_t StepsLeft() const { return steps_.size() - next_; }

    std::vector<std::wstring> shown;       // captions of the dialogs that opened, in order
    std::vector<std::wstring> unexpected;  // dialogs no step waited for; each was cancelled
    bool gaveUp = false;                   // the time ran out and the open dialogs were ended

private:
    static VOID CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD);
    void OnDialog(HWND dialog, bool back);
    DialogStep& Add(bool back, const std::wstring& caption);

    std::vector<std::unique_ptr<DialogStep>> steps_;
    size_t next_ = 0;
    UiWatch watch_;
    UINT_PTR timer_ = 0;
    DialogScript* previous_ = nullptr;
};

// Handles what is waiting in the calling thread's queue.
void PumpMessages();

// A window's text with the mnemonic ampersands removed and outer blanks trimmed, for matching
// captions the way a person reads them ("Printhead &Clean" is "Printhead Clean", "印刷(&P)" is "印刷").
std::wstring PlainCaption(const std::wstring& text);
std::wstring WindowText(HWND window);
// A control of window (a page or a dialog) by id or by caption; null when there is none.
HWND FindControl(HWND window, int id);
HWND FindControlByCaption(HWND window, const std::wstring& caption);
// Posts the WM_COMMAND a control's click sends, even for a hidden or disabled control.
void PostCommand(HWND dialog, int control);
