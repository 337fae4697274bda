// A module's dialog templates read from the resource itself: exact dialog units, styles and texts,
// in one language. The tests measure and compare them; the host finds a caption's translation in them.
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

// The template resource exactly in that language, as the dialog manager reads it; null when none.
const BYTE* TemplateResource(HMODULE module, int templateId, LANGID language, DWORD* size);

// The kind of control a class and style make, in plain words: "push button", "default push button",
// "check box", "radio button", "group box", "static", "combo box", "edit", "list box", or the class.
std::wstring ControlKind(const std::wstring& className, DWORD style);
