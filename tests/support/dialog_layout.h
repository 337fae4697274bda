// Dialog templates of a module as the tests see them: read from the resource itself (exact dialog
// units, styles and texts), and created as a live dialog (what the dialog manager made of them).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TemplateControl {
    int id = 0;              // -1 for a control without an id
    std::wstring className;  // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" or the named class
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units

    std::wstring Kind() const;
};

struct DialogTemplateInfo {
    bool extended = false;  // DIALOGEX
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, windowClass, caption;  // an ordinal reads "#n"
    WORD pointSize = 0;
    std::wstring font;
    std::vector<TemplateControl> controls;  // in template order
};

constexpr LANGID US_ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The module's dialog template with that id in that language (exactly: no fallback); false when
// there is none or it is malformed.
bool ReadDialogTemplate(HMODULE module, int templateId, DialogTemplateInfo* out, LANGID language = US_ENGLISH);

// Text as a report shows it, in any language.
std::string Utf8(const std::wstring& text);

// The kind of control a class and style make, in plain words: "push button", "default push button",
// "check box", "radio button", "group box", "static", "combo box", "edit", "list box", or the class.
std::wstring ControlKind(const std::wstring& className, DWORD style);

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
