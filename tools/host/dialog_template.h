// An in-memory dialog template (DLGTEMPLATE and its items), for the host's own page.
#pragma once

#include <windows.h>

#include <vector>

class DialogTemplateWriter {
public:
    DialogTemplateWriter(DWORD style, short x, short y, short cx, short cy, const wchar_t* caption, WORD pointSize,
                         const wchar_t* font);
    // className is a window class name such as L"Button", L"Edit" or L"Static".
    void AddControl(DWORD style, short x, short y, short cx, short cy, WORD id, const wchar_t* className,
                    const wchar_t* text);
    // The template; valid until the next AddControl.
    const std::vector<BYTE>& bytes() const { return bytes_; }

private:
    void AlignTo(size_t boundary);
    void Word(WORD value);
    void Text(const wchar_t* text);
    template <typename T>
    void Put(const T& value);

    std::vector<BYTE> bytes_;
};
