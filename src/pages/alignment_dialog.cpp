#include <cstring>
#include <cwchar>

#include "jobs/command_templates.h"
#include "jobs/raw_job_sender.h"
#include "pages/head_alignment.h"
#include "pages/page_procs.h"
#include "pages/wait_cursor.h"
#include "resource_ids.h"
#include "sheet/module_resources.h"

namespace {

constexpr wchar_t ALIGNMENT_VALUES_DOC_NAME[] = L"Head Alignment 1";
constexpr wchar_t ALIGNMENT_SAVE_DOC_NAME[] = L"Head Alignment 2";

// The printer takes the new offsets from the first job; it must be done with them before the
// second job tells it to keep them. A fixed wait: the printer sends nothing back.
constexpr DWORD ALIGNMENT_SAVE_DELAY_MS = 3000;

// One list per head section, in the order of AlignmentSelections.
constexpr int SectionLists[ALIGNMENT_SECTION_COUNT] = {IDC_SECTION1_LIST, IDC_SECTION2_LIST, IDC_SECTION3_LIST};
constexpr const wchar_t* ChoiceNames[ALIGNMENT_CHOICE_COUNT] = {L"#1", L"#2", L"#3", L"#4", L"#5",
                                                                L"#6", L"#7", L"#8", L"#9"};
constexpr int NO_CHOICE = -1;

// AlignmentSelections and AlignmentCommand belong to the whole process: two sheets on two threads
// may press Finish at the same moment, and each must send the offsets it stored.
SRWLOCK AlignmentLock = SRWLOCK_INIT;

class AlignmentDataLock {
public:
    AlignmentDataLock() { AcquireSRWLockExclusive(&AlignmentLock); }
    ~AlignmentDataLock() { ReleaseSRWLockExclusive(&AlignmentLock); }
    AlignmentDataLock(const AlignmentDataLock&) = delete;
    AlignmentDataLock& operator=(const AlignmentDataLock&) = delete;
};

void ShowChoices(HWND dialog, const int32_t (&choices)[ALIGNMENT_SECTION_COUNT])
{
    for (int section = 0; section < ALIGNMENT_SECTION_COUNT; ++section) {
        SendDlgItemMessageW(dialog, SectionLists[section], CB_SETCURSEL, static_cast<WPARAM>(choices[section]), 0);
    }
}

void OnInit(HWND dialog, LPARAM printerAddress)
{
    SetWindowLongPtrW(dialog, DWLP_USER, printerAddress);
    // The template's caption is a placeholder; the shown one is a string, so it follows the language.
    wchar_t caption[64] = {};
    if (LoadStringW(ModuleHandle, IDS_ALIGNMENT_ADJUST_CAPTION, caption, ARRAYSIZE(caption)) > 0) {
        SetWindowTextW(dialog, caption);
    }
    for (int list : SectionLists) {
        for (const wchar_t* name : ChoiceNames) {
            SendDlgItemMessageW(dialog, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
    }
    int32_t shown[ALIGNMENT_SECTION_COUNT];
    {
        AlignmentDataLock lock;
        std::memcpy(shown, AlignmentSelections, sizeof(shown));
    }
    ShowChoices(dialog, shown);
}

// The longest text that can still name an entry: "#9" with blanks around it.
constexpr int MAX_TYPED_CHOICE = 15;

// The entry a typed text names: "7", "#7" and " #7 " all name "#7". NO_CHOICE for anything else.
int TypedEntry(const wchar_t* text)
{
    while (*text == L' ' || *text == L'\t') ++text;
    if (*text == L'#') ++text;
    if (*text < L'1' || *text > L'0' + ALIGNMENT_CHOICE_COUNT) return NO_CHOICE;
    const int choice = *text++ - L'1';
    while (*text == L' ' || *text == L'\t') ++text;
    return *text == L'\0' ? choice : NO_CHOICE;
}

// Typing in the editable lists clears their selection; text that names an entry still counts as
// that entry. Anything else, or nothing, is no choice.
int ChosenEntry(HWND dialog, int list)
{
    const LRESULT selected = SendDlgItemMessageW(dialog, list, CB_GETCURSEL, 0, 0);
    if (selected >= 0 && selected < ALIGNMENT_CHOICE_COUNT) return static_cast<int>(selected);

    HWND control = GetDlgItem(dialog, list);
    if (GetWindowTextLengthW(control) > MAX_TYPED_CHOICE) return NO_CHOICE;
    wchar_t text[MAX_TYPED_CHOICE + 1] = {};
    GetWindowTextW(control, text, ARRAYSIZE(text));
    return TypedEntry(text);
}

// Reads every section's choice. A section without one is not guessed: the printer would be told an
// offset nobody chose. Its list gets the focus with its text selected, for the user to correct.
bool ReadChoices(HWND dialog, int (&chosen)[ALIGNMENT_SECTION_COUNT])
{
    for (int section = 0; section < ALIGNMENT_SECTION_COUNT; ++section) {
        chosen[section] = ChosenEntry(dialog, SectionLists[section]);
        if (chosen[section] != NO_CHOICE) continue;
        HWND list = GetDlgItem(dialog, SectionLists[section]);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        SendMessageW(list, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        return false;
    }
    return true;
}

// Stores the choices, writes their offsets into the alignment command and sends it; after the
// printer took them, tells it to keep them.
void SendAlignment(HANDLE printer, const int (&chosen)[ALIGNMENT_SECTION_COUNT])
{
    uint8_t command[ALIGNMENT_COMMAND_SIZE];
    {
        AlignmentDataLock lock;
        for (int section = 0; section < ALIGNMENT_SECTION_COUNT; ++section) {
            AlignmentSelections[section] = chosen[section];
        }
        PatchAlignmentCommand(AlignmentCommand);
        std::memcpy(command, AlignmentCommand, sizeof(command));
    }
    WaitCursor wait;  // over both jobs and the pause between them
    SendCommandBuffer(printer, command, sizeof(command), ALIGNMENT_VALUES_DOC_NAME);
    Sleep(ALIGNMENT_SAVE_DELAY_MS);
    SendCommandBuffer(printer, AlignmentSaveCommand, ALIGNMENT_SAVE_COMMAND_SIZE, ALIGNMENT_SAVE_DOC_NAME);
}

// A new cycle starts from the neutral offset in every section.
void StartOver(HWND dialog)
{
    const int32_t neutral[ALIGNMENT_SECTION_COUNT] = {ALIGNMENT_NEUTRAL_CHOICE, ALIGNMENT_NEUTRAL_CHOICE,
                                                      ALIGNMENT_NEUTRAL_CHOICE};
    {
        AlignmentDataLock lock;
        std::memcpy(AlignmentSelections, neutral, sizeof(neutral));
    }
    ShowChoices(dialog, neutral);
}

}  // namespace

int PrintAlignmentPattern(HWND owner, HANDLE printer)
{
    if (ShowPluginDialog(owner, IDD_ALIGNMENT_CONFIRM, ConfirmDialogProc, 0) != IDOK) {
        return 0;
    }
    WaitCursor wait;
    SendDriverFile(printer, ALIGNMENT_PATTERN_FILE, ALIGNMENT_PATTERN_DOC_NAME);
    return 1;
}

// The user reads the printed pattern and picks, per head section, the square without bands.
// Finish sends the choice and closes; Realignment sends it and prints a new pattern to read. Either
// sends nothing while a section names no entry.
INT_PTR CALLBACK AlignmentAdjustProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        OnInit(dialog, lParam);
        // The user starts where the pattern's reading goes in, Section #1's list, not on Finish.
        SetFocus(GetDlgItem(dialog, IDC_SECTION1_LIST));
        return FALSE;
    }
    const auto* printer = reinterpret_cast<const HANDLE*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (printer == nullptr || message != WM_COMMAND) return FALSE;

    int chosen[ALIGNMENT_SECTION_COUNT];
    switch (LOWORD(wParam)) {
        case IDOK:
            if (!ReadChoices(dialog, chosen)) return TRUE;
            SendAlignment(*printer, chosen);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_REALIGNMENT:
            if (!ReadChoices(dialog, chosen)) return TRUE;
            SendAlignment(*printer, chosen);
            StartOver(dialog);
            PrintAlignmentPattern(dialog, *printer);
            return FALSE;
        default:
            return FALSE;
    }
}
