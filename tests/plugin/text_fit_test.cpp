// Every caption of the pages and dialogs measured as the dialog manager lays it out at 96, 120, 144
// and 192 DPI: each must fit its control and keep off its neighbours and the group boxes' frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "emulation/import_patch.h"
#include "resource_ids.h"
#include "support/dialog_layout.h"
#include "support/languages.h"

namespace {

constexpr int TemplateIds[] = {IDD_PRINT_MODE_PAGE,      IDD_INK_LEVEL_PAGE,  IDD_UTILITIES_PAGE,
                               IDD_PURGE_PAGE,           IDD_ABOUT_PAGE,      IDD_ALIGNMENT_CONFIRM,
                               IDD_NOZZLE_CHECK_CONFIRM, IDD_ALIGNMENT_ADJUST};
constexpr int Dpis[] = {96, 120, 144, 192};

// The button's own room around its text, and a radio button's or check box's box with the gap after
// it, in pixels at 96 DPI.
constexpr int PUSH_BUTTON_MARGIN = 3;
constexpr int CHECK_BOX_AND_GAP = 17;
constexpr int GROUP_BOX_CAPTION_INSET = 8;
constexpr int FRAME_LINE = 2;

// The dialog's font and the base units the dialog manager derives from it, at one DPI.
class ScaledFont {
public:
    ScaledFont(HWND dialog, int pointSize, int dpi) : dc_(CreateCompatibleDC(nullptr)), dpi_(dpi)
    {
        // The dialog's own font made for the DPI, as the dialog manager makes it, rather than the
        // prefix's LogPixels changed: one process measures all four sizes.
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
        font.lfHeight = -MulDiv(pointSize, dpi, 72);
        font_ = CreateFontIndirectW(&font);
        previous_ = SelectObject(dc_, font_);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc_, &metrics);
        SIZE alphabet = {};
        GetTextExtentPoint32W(dc_, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
        baseX_ = (alphabet.cx / 26 + 1) / 2;
        baseY_ = metrics.tmHeight;
    }
    ~ScaledFont()
    {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
        DeleteDC(dc_);
    }
    ScaledFont(const ScaledFont&) = delete;
    ScaledFont& operator=(const ScaledFont&) = delete;

    RECT Pixels(const TemplateControl& control) const
    {
        return {MulDiv(control.x, baseX_, 4), MulDiv(control.y, baseY_, 8), MulDiv(control.x + control.cx, baseX_, 4),
                MulDiv(control.y + control.cy, baseY_, 8)};
    }
    int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
    int LineHeight() const { return baseY_; }

    // The room the text takes when it is wrapped (or kept on one line) in width.
    SIZE Measure(const std::wstring& text, int width, bool wrap) const
    {
        RECT room = {0, 0, width, 0};
        DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &room,
                  DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
        return {room.right, room.bottom};
    }

private:
    HDC dc_;
    int dpi_;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int baseX_ = 0, baseY_ = 0;
};

bool Intersect(const RECT& a, const RECT& b)
{
    RECT overlap;
    return IntersectRect(&overlap, &a, &b) != 0;
}

// A list shows its closed box only; the template's height includes the dropped-down list.
RECT Footprint(const TemplateControl& control, const ScaledFont& font)
{
    RECT rect = font.Pixels(control);
    if (control.Kind() == L"combo box") rect.bottom = rect.top + font.LineHeight() + font.Scaled(8);
    return rect;
}

std::vector<RECT> FrameLines(const TemplateControl& box, const ScaledFont& font)
{
    const RECT r = font.Pixels(box);
    const int top = r.top + font.LineHeight() / 2;
    const int line = font.Scaled(FRAME_LINE);
    return {{r.left, top, r.right, top + line},
            {r.left, r.bottom - line, r.right, r.bottom},
            {r.left, top, r.left + line, r.bottom},
            {r.right - line, top, r.right, r.bottom}};
}

bool IsMeasured(const std::wstring& kind)
{
    return kind == L"static" || kind == L"push button" || kind == L"default push button" || kind == L"radio button" ||
           kind == L"check box" || kind == L"group box";
}

// A caption as the control draws it: the room it has, and the text placed in that room.
struct Caption {
    RECT room;
    RECT text;
    SIZE needed;
};

Caption Place(const TemplateControl& control, const ScaledFont& font)
{
    const std::wstring kind = control.Kind();
    RECT room = font.Pixels(control);
    if (kind == L"push button" || kind == L"default push button") {
        InflateRect(&room, -font.Scaled(PUSH_BUTTON_MARGIN), -font.Scaled(PUSH_BUTTON_MARGIN));
    } else if (kind == L"radio button" || kind == L"check box") {
        if (control.style & BS_LEFTTEXT) {
            room.right -= font.Scaled(CHECK_BOX_AND_GAP);
        } else {
            room.left += font.Scaled(CHECK_BOX_AND_GAP);
        }
    } else if (kind == L"group box") {
        room.left += font.Scaled(GROUP_BOX_CAPTION_INSET);
        room.right -= font.Scaled(GROUP_BOX_CAPTION_INSET);
        room.bottom = room.top + font.LineHeight();
    }
    const SIZE needed = font.Measure(control.text, room.right - room.left, kind == L"static");
    // A static's text starts at its corner; a button's caption is centred on its height.
    const int top =
        kind == L"static" || kind == L"group box" ? room.top : room.top + (room.bottom - room.top - needed.cy) / 2;
    const RECT text = {room.left, top, room.left + (std::min)(needed.cx, room.right - room.left),
                       (std::min)(top + needed.cy, room.bottom)};
    return {room, text, needed};
}

// What of a neighbour shows: a static's text, a group box's caption and frame, any other control whole.
std::vector<RECT> Shown(const TemplateControl& control, const ScaledFont& font)
{
    const std::wstring kind = control.Kind();
    if (kind == L"static") return {Place(control, font).text};
    if (kind == L"combo box") return {Footprint(control, font)};
    if (kind != L"group box") return {font.Pixels(control)};
    std::vector<RECT> shown = FrameLines(control, font);
    if (!control.text.empty()) shown.push_back(Place(control, font).text);
    return shown;
}

// What does not fit in one template at one DPI, one line each.
std::vector<std::string> Misfits(const DialogTemplateInfo& layout, const ScaledFont& font)
{
    std::vector<std::string> misfits;
    for (const TemplateControl& control : layout.controls) {
        if (!IsMeasured(control.Kind()) || control.text.empty() || !(control.style & WS_VISIBLE)) continue;
        const Caption caption = Place(control, font);
        const std::string name = "\"" + Utf8(control.text) + "\"";
        const LONG width = caption.room.right - caption.room.left, height = caption.room.bottom - caption.room.top;
        if (caption.needed.cx > width || caption.needed.cy > height) {
            misfits.push_back(name + " needs " + std::to_string(caption.needed.cx) + "x" +
                              std::to_string(caption.needed.cy) + " px, has " + std::to_string(width) + "x" +
                              std::to_string(height));
        }
        // A control paints its whole rectangle, background included; a group box only its caption.
        const RECT painted = control.Kind() == L"group box" ? caption.text : font.Pixels(control);
        for (const TemplateControl& other : layout.controls) {
            if (&other == &control || !(other.style & WS_VISIBLE)) continue;
            for (const RECT& shown : Shown(other, font)) {
                if (!Intersect(painted, shown)) continue;
                misfits.push_back(name + " overlaps \"" + Utf8(other.text) + "\" (" + Utf8(other.Kind()) + ")");
                break;
            }
        }
    }
    return misfits;
}

}  // namespace

// English, each translation that has landed and the pseudo-language, each template in its own font.
// The pseudo-language widens English's templates as a translator would for its longer texts: what
// does not fit there is a place whose layout cannot grow.
TEST(TextFit, EveryCaptionFitsItsControlAndKeepsOffItsNeighboursInEveryLanguageAtEveryDpi)
{
    std::vector<UiLanguage> languages = {{"en-US", US_ENGLISH}, PseudoLanguage};
    for (const UiLanguage& language : Translations) {
        if (!PendingTranslations.count(language.id)) languages.push_back(language);
    }
    std::string report;
    for (const UiLanguage& language : languages) {
        for (int templateId : TemplateIds) {
            DialogTemplateInfo layout;
            if (!ReadDialogTemplate(ProgramModule(), templateId, &layout, language.id)) {
                report += std::string(language.tag) + ": template " + std::to_string(templateId) + " is missing\n";
                continue;
            }
            const OpenTemplate opened(ProgramModule(), templateId, language.id);
            ASSERT_NE(nullptr, opened.dialog()) << language.tag << " " << templateId;
            for (int dpi : Dpis) {
                const ScaledFont font(opened.dialog(), layout.pointSize, dpi);
                for (const std::string& misfit : Misfits(layout, font)) {
                    report += std::string(language.tag) + ": template " + std::to_string(templateId) + " at " +
                              std::to_string(dpi) + " DPI: " + misfit + "\n";
                }
            }
        }
    }
    EXPECT_EQ("", report);
}
