// The dialog templates of the Utilities, alignment, purge and About pages, read from the resources
// linked into the program and created by the dialog manager: a typo in a template fails here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulation/import_patch.h"
#include "resource_ids.h"
#include "support/dialog_layout.h"

namespace {

struct ExpectedControl {
    int id;
    const wchar_t* kind;
    const wchar_t* text;
    short x, y, cx, cy;
};

struct ExpectedTemplate {
    int id;
    const wchar_t* caption;
    short cx, cy;
    DWORD style;  // besides DS_SETFONT, which the font adds
    std::vector<ExpectedControl> controls;
};

constexpr DWORD POPUP_DIALOG = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

const ExpectedTemplate Templates[] = {
    {IDD_UTILITIES_PAGE,
     L"Utilities - VANTREL, Inc. ",
     245,
     157,
     WS_CHILD | WS_DISABLED | WS_CAPTION,
     {{-1, L"group box", L"", 19, 21, 203, 106},
      {1004, L"push button", L"Printhead &Alignment", 30, 52, 83, 14},
      {1003, L"push button", L"Printer Port &Test", 125, 52, 83, 14},
      {1001, L"push button", L"Printhead &Nozzle Check", 30, 81, 83, 14},
      {1002, L"push button", L"Printhead &Clean", 125, 81, 83, 14},
      {1036, L"push button", L"Counter &Reset", 32, 108, 72, 14}}},
    {IDD_ALIGNMENT_CONFIRM,
     L"Alignment",
     247,
     111,
     POPUP_DIALOG,
     {{-1, L"static", L"1. Load 8.5 x 11 paper at the lower right corner of printing table", 28, 22, 212, 15},
      {-1, L"static", L"2. Click Print button below.", 27, 38, 205, 13},
      {-1, L"static", L"3. Then press Print key on the printer keypad.", 27, 55, 209, 17},
      {IDOK, L"default push button", L"&Print", 65, 90, 50, 14},
      {IDCANCEL, L"push button", L"Cancel", 143, 90, 50, 14}}},
    {IDD_NOZZLE_CHECK_CONFIRM,
     L"Nozzle Check",
     254,
     103,
     POPUP_DIALOG,
     {{-1, L"static", L"1. Load 8.5x11 paper at the lower right corner of printing table", 25, 17, 206, 14},
      {-1, L"static", L"2. Click Nozzle Check Button below", 26, 36, 197, 17},
      {-1, L"static", L"3. Then press PRINT key on the printer keypad", 26, 56, 200, 19},
      {IDOK, L"default push button", L"&Nozzle Check ", 57, 81, 50, 14},
      {IDCANCEL, L"push button", L"&Cancel", 139, 81, 50, 14}}},
    {IDD_ALIGNMENT_ADJUST,
     L"Dialog",
     259,
     199,
     POPUP_DIALOG | WS_VISIBLE,
     {{-1, L"static", L"1. Examine the alignment test pattern printed.", 26, 13, 200, 12},
      {-1, L"static",
       L"2. Determine the squares without any visible bands in sets #1 through #3. Select the numbers below that "
       L"corresponds to the squares for all 3 sets.  Click Finish  ",
       26, 32, 206, 29},
      {-1, L"static",
       L"3. If every square contains a band, select the one with the thinnest band or bands. Then click "
       L"Realignment. Realignment allows you to iterate alignments until satisfactory.",
       26, 61, 213, 29},
      {-1, L"group box", L"", 28, 90, 198, 75},
      {-1, L"static", L"Section #1", 84, 105, 42, 11},
      {1012, L"combo box", L"", 144, 104, 29, 71},
      {-1, L"static", L"Section #2", 84, 125, 42, 11},
      {1013, L"combo box", L"", 144, 122, 30, 67},
      {-1, L"static", L"Section #3", 84, 143, 42, 11},
      {1014, L"combo box", L"", 144, 141, 30, 54},
      {IDOK, L"default push button", L"&Finish", 18, 178, 50, 14},
      {1017, L"push button", L"&Realignment", 93, 179, 71, 13},
      {IDCANCEL, L"push button", L"&Cancel", 188, 178, 50, 14}}},
    {IDD_PURGE_PAGE,
     L"Print Nozzle Purge by Printhead",
     227,
     141,
     POPUP_DIALOG,
     {{-1, L"static", L"Instruction:", 11, 7, 166, 14},
      {-1, L"static", L"1. Choose the print head(s) to be purge printed.", 11, 21, 169, 14},
      {-1, L"static", L"2. Place a paper on the Printer Table.", 11, 37, 169, 14},
      {-1, L"static", L"3. Click Purge Print button.", 11, 51, 169, 14},
      {-1, L"static", L"4. After Purge Print, print a Nozzle Check pattern.", 11, 65, 169, 14},
      {-1, L"group box", L"Print head to be purged cleaned", 7, 86, 205, 40},
      {1029, L"combo box", L"", 43, 104, 53, 104},
      {1055, L"push button", L"Purge - Print", 144, 101, 50, 17}}},
    {IDD_ABOUT_PAGE,
     L"About",
     223,
     124,
     POPUP_DIALOG,
     {{-1, L"static", L"Vantrel Orlin Printer Driver Program", 47, 34, 128, 16},
      {-1, L"static", L"Version 1.2", 47, 50, 85, 14},
      {-1, L"static", nullptr /* the notice: any one line */, 46, 66, 150, 16}}},
};

class PageTemplate : public ::testing::TestWithParam<ExpectedTemplate> {};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST_P(PageTemplate, HoldsTheListedControlsInOrder)
{
    const ExpectedTemplate& expected = GetParam();
    DialogTemplateInfo read;
    ASSERT_TRUE(ReadDialogTemplate(ProgramModule(), expected.id, &read)) << "US English template " << expected.id;

    EXPECT_FALSE(read.extended);
    EXPECT_EQ(expected.style | DS_SETFONT, read.style);
    EXPECT_EQ(0u, read.exStyle);
    EXPECT_EQ(Narrow(expected.caption), Narrow(read.caption));
    EXPECT_EQ(expected.cx, read.cx);
    EXPECT_EQ(expected.cy, read.cy);
    EXPECT_EQ(L"", read.menu);
    EXPECT_EQ(L"", read.windowClass);
    EXPECT_EQ(8, read.pointSize);
    EXPECT_EQ("MS Sans Serif", Narrow(read.font));

    ASSERT_EQ(expected.controls.size(), read.controls.size());
    for (size_t i = 0; i < read.controls.size(); ++i) {
        const ExpectedControl& want = expected.controls[i];
        const TemplateControl& got = read.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " of template " + std::to_string(expected.id));
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(Narrow(want.kind), Narrow(got.Kind()));
        if (want.text != nullptr) EXPECT_EQ(Narrow(want.text), Narrow(got.text));
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(0u, got.exStyle);
        EXPECT_TRUE(got.style & WS_CHILD);
        if (got.Kind() == L"push button" || got.Kind() == L"default push button" || got.Kind() == L"combo box") {
            EXPECT_TRUE(got.style & WS_TABSTOP);
        }
        if (got.Kind() == L"static") {
            EXPECT_EQ(static_cast<DWORD>(SS_LEFT), got.style & SS_TYPEMASK);
            EXPECT_TRUE(got.style & WS_GROUP);
        }
        // Only the counter reset button is hidden.
        EXPECT_EQ(got.id != IDC_COUNTER_RESET, (got.style & WS_VISIBLE) != 0);
    }
}

TEST_P(PageTemplate, LoadsAsADialog)
{
    const ExpectedTemplate& expected = GetParam();
    const LiveDialog live = CreateAndInspect(ProgramModule(), expected.id);
    ASSERT_TRUE(live.created);
    ASSERT_EQ(expected.controls.size(), live.controls.size());
    for (size_t i = 0; i < live.controls.size(); ++i) {
        EXPECT_EQ(expected.controls[i].id, live.controls[i].id);
        EXPECT_EQ(Narrow(expected.controls[i].kind), Narrow(live.controls[i].Kind()));
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, PageTemplate, ::testing::ValuesIn(Templates),
                         [](const ::testing::TestParamInfo<ExpectedTemplate>& info) {
                             return "Template" + std::to_string(info.param.id);
                         });

TEST(AlignmentListTemplates, SectionOneIsAListAndTheOthersAcceptTypingSorted)
{
    DialogTemplateInfo read;
    ASSERT_TRUE(ReadDialogTemplate(ProgramModule(), IDD_ALIGNMENT_ADJUST, &read));
    for (const TemplateControl& control : read.controls) {
        if (control.Kind() != L"combo box") continue;
        SCOPED_TRACE(control.id);
        EXPECT_TRUE(control.style & WS_VSCROLL);
        const DWORD type = control.style & 3;
        const bool sorted = (control.style & CBS_SORT) != 0;
        if (control.id == IDC_SECTION1_LIST) {
            EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWNLIST), type);
            EXPECT_FALSE(sorted);
        } else {
            EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWN), type);
            EXPECT_TRUE(sorted);
        }
    }
}

TEST(PurgeListTemplate, IsAnUnsortedDropDownList)
{
    DialogTemplateInfo read;
    ASSERT_TRUE(ReadDialogTemplate(ProgramModule(), IDD_PURGE_PAGE, &read));
    const TemplateControl& list = read.controls[read.controls.size() - 2];
    ASSERT_EQ(IDC_PURGE_HEAD_LIST, list.id);
    EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWNLIST), list.style & 3);
    EXPECT_FALSE(list.style & CBS_SORT);
    EXPECT_TRUE(list.style & WS_VSCROLL);
}

TEST(AboutTemplate, NoticeIsOneLineThatFitsItsRectangle)
{
    const LiveDialog live = CreateAndInspect(ProgramModule(), IDD_ABOUT_PAGE);
    ASSERT_TRUE(live.created);
    ASSERT_FALSE(live.controls.empty());
    const std::wstring& notice = live.controls.back().text;
    EXPECT_FALSE(notice.empty());
    EXPECT_EQ(std::wstring::npos, notice.find_first_of(L"\r\n"));
    ASSERT_FALSE(live.staticTextWidths.empty());
    EXPECT_GT(live.staticTextWidths.back().first, 0);
    EXPECT_LE(live.staticTextWidths.back().first, live.staticTextWidths.back().second);
}
