#include "emulation/dialog_template.h"

#include <cstring>

namespace {

// Reads the packed template layout: 16-bit units, strings zero-terminated, items DWORD-aligned.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, DWORD size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    WORD Word()
    {
        WORD value = 0;
        Take(&value, sizeof(value));
        return value;
    }
    DWORD Dword()
    {
        DWORD value = 0;
        Take(&value, sizeof(value));
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte()
    {
        BYTE value = 0;
        Take(&value, sizeof(value));
        return value;
    }
    std::wstring String()
    {
        std::wstring text;
        for (WORD unit = Word(); ok_ && unit != 0; unit = Word()) text.push_back(static_cast<wchar_t>(unit));
        return text;
    }
    // A name or an ordinal (0xFFFF then the number), as "#n".
    std::wstring NameOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0) return L"";
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + String();
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~static_cast<DWORD>(3); }
    void Skip(DWORD bytes) { offset_ += bytes; }

private:
    void Take(void* out, DWORD bytes)
    {
        if (offset_ + bytes > size_) {
            ok_ = false;
            return;
        }
        std::memcpy(out, data_ + offset_, bytes);
        offset_ += bytes;
    }

    const BYTE* data_;
    DWORD size_;
    DWORD offset_ = 0;
    bool ok_ = true;
};

std::wstring PredefinedClass(const std::wstring& name)
{
    static const struct {
        const wchar_t* ordinal;
        const wchar_t* name;
    } classes[] = {{L"#128", L"Button"},  {L"#129", L"Edit"},      {L"#130", L"Static"},
                   {L"#131", L"ListBox"}, {L"#132", L"ScrollBar"}, {L"#133", L"ComboBox"}};
    for (const auto& known : classes) {
        if (name == known.ordinal) return known.name;
    }
    return name;
}

}  // namespace

const BYTE* TemplateResource(HMODULE module, int templateId, LANGID language, DWORD* size)
{
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(templateId), language);
    if (found == nullptr) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

std::wstring ControlKind(const std::wstring& className, DWORD style)
{
    if (_wcsicmp(className.c_str(), L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
                return L"push button";
            case BS_DEFPUSHBUTTON:
                return L"default push button";
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                return L"check box";
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return L"radio button";
            case BS_GROUPBOX:
                return L"group box";
            default:
                return L"button";
        }
    }
    if (_wcsicmp(className.c_str(), L"Static") == 0) return L"static";
    if (_wcsicmp(className.c_str(), L"ComboBox") == 0) return L"combo box";
    if (_wcsicmp(className.c_str(), L"Edit") == 0) return L"edit";
    if (_wcsicmp(className.c_str(), L"ListBox") == 0) return L"list box";
    return className;
}

std::wstring TemplateControl::Kind() const
{
    return ControlKind(className, style);
}

namespace {

// An extended template puts a help id first and the extended style before the style.
void ReadStyles(TemplateReader& reader, bool extended, DWORD* style, DWORD* exStyle)
{
    if (extended) reader.Dword();  // help id
    *(extended ? exStyle : style) = reader.Dword();
    *(extended ? style : exStyle) = reader.Dword();
}

template <typename Box>
void ReadBox(TemplateReader& reader, Box* box)
{
    box->x = reader.Short();
    box->y = reader.Short();
    box->cx = reader.Short();
    box->cy = reader.Short();
}

// The dialog's own part; answers the number of controls that follow.
WORD ReadHeader(TemplateReader& reader, const BYTE* data, DWORD size, DialogTemplateInfo* out)
{
    out->extended = reader.Word() == 1 && reader.Word() == 0xFFFF;
    if (!out->extended) reader = TemplateReader(data, size);
    ReadStyles(reader, out->extended, &out->style, &out->exStyle);
    const WORD count = reader.Word();
    ReadBox(reader, out);
    out->menu = reader.NameOrOrdinal();
    out->windowClass = reader.NameOrOrdinal();
    out->caption = reader.String();
    if (out->style & (DS_SETFONT | DS_SHELLFONT)) {
        out->pointSize = reader.Word();
        if (out->extended) {
            reader.Word();  // weight
            reader.Byte();  // italic
            reader.Byte();  // character set
        }
        out->font = reader.String();
    }
    return count;
}

TemplateControl ReadControl(TemplateReader& reader, bool extended)
{
    reader.AlignToDword();
    TemplateControl control;
    ReadStyles(reader, extended, &control.style, &control.exStyle);
    ReadBox(reader, &control);
    control.id = extended ? static_cast<int>(reader.Dword()) : reader.Short();
    control.className = PredefinedClass(reader.NameOrOrdinal());
    control.text = reader.NameOrOrdinal();
    reader.Skip(reader.Word());  // creation data
    return control;
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, int templateId, DialogTemplateInfo* out, LANGID language)
{
    *out = DialogTemplateInfo();
    DWORD size = 0;
    const BYTE* data = TemplateResource(module, templateId, language, &size);
    if (data == nullptr) return false;

    TemplateReader reader(data, size);
    const WORD count = ReadHeader(reader, data, size, out);
    for (WORD item = 0; item < count && reader.ok(); ++item)
        out->controls.push_back(ReadControl(reader, out->extended));
    return reader.ok();
}
