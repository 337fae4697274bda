// Dialog templates of a module as the tests see them: read from the resource itself (exact dialog
// units, styles and texts, emulation/dialog_template.h), and created as a live dialog (what the
// dialog manager made of them).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "emulation/dialog_template.h"

// Text as a report shows it, in any language.
std::string Utf8(const std::wstring& text);

struct LiveControl {
    int id = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    bool visible = false;

    std::wstring Kind() const { return ControlKind(className, style); }
};

struct LiveDialog {
    bool created = false;
    std::wstring caption;
    std::vector<LiveControl> controls;  // child windows in z order, which is template order
    // How wide the text of each static control is drawn with the dialog's font, in pixels, next to
    // its client width: one entry per static, in z order.
    std::vector<std::pair<int, int>> staticTextWidths;
};

// The template's dialog in that language created with a procedure that does nothing (child templates
// under a hidden host window), destroyed with this object.
class OpenTemplate {
public:
    OpenTemplate(HMODULE module, int templateId, LANGID language = US_ENGLISH);
    ~OpenTemplate();
    OpenTemplate(const OpenTemplate&) = delete;
    OpenTemplate& operator=(const OpenTemplate&) = delete;

    HWND dialog() const { return dialog_; }

private:
    HWND host_;
    HWND dialog_ = nullptr;
};

// Creates the template's dialog as OpenTemplate does, lists what it holds and destroys it again.
LiveDialog CreateAndInspect(HMODULE module, int templateId);

// Whether the control's class is Common Controls 6's. Under Wine as on Windows a button is only when
// it was created inside an activation context that asks for version 6; otherwise it is user32's.
bool FromCommonControls6(HWND control);
