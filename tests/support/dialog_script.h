// Answers the modal dialogs of the calling thread as a person would: each scripted step waits for a
// dialog with a given caption, then chooses list entries, types, looks, and finally presses a
// button, Escape or the close box. Nested modal dialogs are answered in the order they come.
// Scripts may be nested on a thread: the innermost one answers.
//
// A step runs from a WH_CALLWNDPROCRET hook once the dialog has handled WM_INITDIALOG ("shown"),
// or once it is enabled again after a modal dialog it owned was closed ("back"). Its final press is
// posted, so it reaches the dialog through its own modal loop. A dialog that no step waits for is
// recorded and cancelled; a script that has not finished after a while ends the open dialogs, so a
// broken flow fails its test instead of hanging the run. Property sheets are not scripted dialogs.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

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
    enum class Trigger { Shown, Back };
    Trigger trigger_ = Trigger::Shown;
    std::wstring caption_;
    std::vector<std::function<void(HWND)>> actions_;
    std::function<void(HWND)> press_;
};

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
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static VOID CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD);
    void OnShown(HWND dialog);
    void OnBack(HWND dialog);
    DialogStep& Add(DialogStep::Trigger trigger, const std::wstring& caption);

    std::vector<std::unique_ptr<DialogStep>> steps_;
    size_t next_ = 0;
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    DialogScript* previous_ = nullptr;
};

// Handles what is waiting in the calling thread's queue.
void PumpMessages();
