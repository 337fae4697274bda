// Saves what the session shows as PNG files: each page of the property sheet and each dialog, the
// first time it comes to the front and again whenever it comes back. Needs a display: windows are
// copied from the screen (BitBlt from the screen DC after the pending paints have been done), and
// the PNG is written with GDI+.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "emulation/dialog_driver.h"

class ScreenshotTaker {
public:
    // dir: a folder that exists (created when missing).
    explicit ScreenshotTaker(const std::wstring& dir);
    ~ScreenshotTaker();
    ScreenshotTaker(const ScreenshotTaker&) = delete;
    ScreenshotTaker& operator=(const ScreenshotTaker&) = delete;

    bool ready() const { return token_ != 0; }
    // Captures the window whose turn it is (the top dialog, else the sheet with its current page)
    // when it differs from the last one captured. Returns the file written, or empty.
    std::wstring CaptureIfNew(const UiWatch& watch);
    // Saves window to dir\name.png (name made unique with -2, -3...). Returns the path or empty.
    std::wstring Capture(HWND window, const std::wstring& name);
    const std::vector<std::wstring>& files() const { return files_; }

private:
    std::wstring dir_;
    ULONG_PTR token_ = 0;
    HWND lastWindow_ = nullptr;
    int lastPage_ = -1;
    std::map<std::wstring, int> names_;
    std::vector<std::wstring> files_;
};

// False when windows cannot be seen: under Wine with the null graphics driver (the headless
// prefix of the tests), where a sheet shown to a person would wait forever.
bool DisplayAvailable();

// "Utilities - VANTREL, Inc. " becomes "utilities-vantrel-inc".
std::wstring FileSlug(const std::wstring& text);
