#include "host/dialog_template.h"

#include <cwchar>

template <typename T>
void DialogTemplateWriter::Put(const T& value)
{
    const BYTE* raw = reinterpret_cast<const BYTE*>(&value);
    bytes_.insert(bytes_.end(), raw, raw + sizeof(T));
}

void DialogTemplateWriter::AlignTo(size_t boundary)
{
    while (bytes_.size() % boundary != 0) bytes_.push_back(0);
}

void DialogTemplateWriter::Word(WORD value)
{
    Put(value);
}

void DialogTemplateWriter::Text(const wchar_t* text)
{
    for (; *text != L'\0'; ++text) Word(static_cast<WORD>(*text));
    Word(0);
}

DialogTemplateWriter::DialogTemplateWriter(DWORD style, short x, short y, short cx, short cy, const wchar_t* caption,
                                           WORD pointSize, const wchar_t* font)
{
    DLGTEMPLATE header = {};
    header.style = style;
    header.x = x;
    header.y = y;
    header.cx = cx;
    header.cy = cy;
    Put(header);
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    if (style & DS_SETFONT) {
        Word(pointSize);
        Text(font);
    }
}

void DialogTemplateWriter::AddControl(DWORD style, short x, short y, short cx, short cy, WORD id,
                                      const wchar_t* className, const wchar_t* text)
{
    AlignTo(sizeof(DWORD));
    DLGITEMTEMPLATE item = {};
    item.style = style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    Put(item);
    Text(className);
    Text(text);
    Word(0);  // no creation data
    // The header counts the items.
    reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit++;
}
