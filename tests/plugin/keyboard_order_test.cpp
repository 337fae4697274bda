// The pages and dialogs as the keyboard and screen readers meet them: Tab stops in reading order, the
// arrow keys inside each radio group, and each list right after the label a screen reader names it by.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulation/import_patch.h"
#include "resource_ids.h"
#include "support/dialog_layout.h"

namespace {

using Captions = std::vector<std::string>;

struct KeyboardOrder {
    int templateId;
    Captions tabOrder;                  // a list reads as "<label>", the text of the window just before it
    std::vector<Captions> radioGroups;  // each in arrow order, from the group's tab stop
};

const KeyboardOrder Orders[] = {
    {IDD_PRINT_MODE_PAGE, {"Vivid"}, {{"Vivid", "Standard", "Photo"}}},
    {IDD_INK_LEVEL_PAGE,
     {"Heavy", "Test &Pattern", "<Ink Level>", "Bi-Directional Print", "<Ink Channels>"},
     {{"Heavy", "Medium", "Light"}}},
    {IDD_UTILITIES_PAGE,
     {"Printhead &Alignment", "Printer Port &Test", "Printhead &Nozzle Check", "Printhead &Clean"},
     {}},
    {IDD_PURGE_PAGE, {"<Print head to be purged cleaned>", "Purge - Print"}, {}},
    {IDD_ABOUT_PAGE, {}, {}},
    {IDD_ALIGNMENT_CONFIRM, {"&Print", "Cancel"}, {}},
    {IDD_NOZZLE_CHECK_CONFIRM, {"&Nozzle Check ", "&Cancel"}, {}},
    {IDD_ALIGNMENT_ADJUST, {"<Section #1>", "<Section #2>", "<Section #3>", "&Finish", "&Realignment", "&Cancel"}, {}},
};

constexpr int WALK_LIMIT = 32;  // more steps than any template has controls: a walk that never closes

std::string Text(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return std::string(text, text + wcslen(text));
}

bool IsLabel(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, ARRAYSIZE(className));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    return lstrcmpiW(className, L"Static") == 0 ||
           (lstrcmpiW(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX);
}

// What a person hears for the control: its own text, or for a list the label just before it.
std::string Caption(HWND control)
{
    wchar_t className[16] = {};
    GetClassNameW(control, className, ARRAYSIZE(className));
    if (lstrcmpiW(className, L"ComboBox") != 0) return Text(control);
    HWND before = GetWindow(control, GW_HWNDPREV);
    return "<" + (before != nullptr && IsLabel(before) ? Text(before) : std::string()) + ">";
}

// From start, the controls a key reaches one after another until it comes back to start.
template <typename Step>
std::vector<HWND> Walk(HWND start, Step step)
{
    std::vector<HWND> reached;
    for (HWND at = start; at != nullptr && reached.size() < WALK_LIMIT; at = step(at)) {
        if (!reached.empty() && at == start) break;
        reached.push_back(at);
    }
    return reached;
}

Captions CaptionsOf(const std::vector<HWND>& controls)
{
    Captions captions;
    for (HWND control : controls) captions.push_back(Caption(control));
    return captions;
}

class KeyboardOrderOf : public ::testing::TestWithParam<KeyboardOrder> {};

}  // namespace

TEST_P(KeyboardOrderOf, TabAndArrowsFollowTheReadingOrder)
{
    const KeyboardOrder& expected = GetParam();
    const OpenTemplate opened(ProgramModule(), expected.templateId);
    HWND dialog = opened.dialog();
    ASSERT_NE(nullptr, dialog);

    const std::vector<HWND> forward = Walk(GetNextDlgTabItem(dialog, nullptr, FALSE),
                                           [dialog](HWND at) { return GetNextDlgTabItem(dialog, at, FALSE); });
    EXPECT_EQ(expected.tabOrder, CaptionsOf(forward));
    if (!forward.empty()) {
        const std::vector<HWND> backward =
            Walk(forward.front(), [dialog](HWND at) { return GetNextDlgTabItem(dialog, at, TRUE); });
        EXPECT_EQ(forward.size(), backward.size());
        for (size_t i = 1; i < backward.size() && i < forward.size(); ++i) {
            EXPECT_EQ(forward[forward.size() - i], backward[i]) << "Shift+Tab step " << i;
        }
    }

    for (const Captions& group : expected.radioGroups) {
        HWND first = nullptr;
        for (HWND tabStop : forward) {
            if (Caption(tabStop) == group.front()) first = tabStop;
        }
        ASSERT_NE(nullptr, first) << group.front() << " is no tab stop";
        EXPECT_EQ(group, CaptionsOf(Walk(first, [dialog](HWND at) { return GetNextDlgGroupItem(dialog, at, FALSE); })));
        Captions upward(group.rbegin(), group.rend() - 1);
        upward.insert(upward.begin(), group.front());
        EXPECT_EQ(upward, CaptionsOf(Walk(first, [dialog](HWND at) { return GetNextDlgGroupItem(dialog, at, TRUE); })));
    }
}

INSTANTIATE_TEST_SUITE_P(PagesAndDialogs, KeyboardOrderOf, ::testing::ValuesIn(Orders),
                         [](const ::testing::TestParamInfo<KeyboardOrder>& info) {
                             return "Template" + std::to_string(info.param.templateId);
                         });
