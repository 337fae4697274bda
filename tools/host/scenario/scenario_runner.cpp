#include "host/scenario/scenario_runner.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "host/printer/job_summary.h"
#include "host/scenario/expectations.h"

namespace {

ScenarioRunner* Active = nullptr;

constexpr UINT TICK_MS = 20;
constexpr DWORD WAIT_LIMIT_MS = 5000;         // a dialog that should appear, a caption that should change
constexpr DWORD SHEET_OPEN_LIMIT_MS = 10000;  // the property sheet itself

bool IsComboBox(HWND window)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return _wcsicmp(name, L"ComboBox") == 0;
}

}  // namespace

ScenarioRunner::ScenarioRunner(HostSession& session, SpoolerRecorder& jobs, UiWatch& watch, ScreenshotTaker* shots,
                               FILE* out)
    : session_(session), jobs_(jobs), watch_(watch), shots_(shots), out_(out)
{
}

bool ScenarioRunner::Run(const std::vector<Statement>& statements)
{
    statements_ = &statements;
    Active = this;
    while (next_ < statements.size() && !failed_) {
        const Statement& statement = statements[next_];
        Announce(statement);
        if (statement.action == Action::OpenDocument || statement.action == Action::OpenPrinter) {
            ++next_;
            RunSheet(statement.action == Action::OpenDocument ? SheetKind::Document : SheetKind::Printer);
            continue;
        }
        // Outside a sheet only expectations are allowed (the parser sees to it).
        if (Execute(statement) == Step::Done) ++next_;
        ReportNewJobs();
    }
    Active = nullptr;
    return !failed_;
}

void ScenarioRunner::RunSheet(SheetKind kind)
{
    const Statement& opener = (*statements_)[next_ - 1];
    opener_ = &opener;
    std::wstring error;
    PropertySheetHost host(session_, kind, watch_, out_);
    sheet_ = &host;
    closing_ = false;
    sheetShownAt_ = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, TICK_MS, &ScenarioRunner::TickProc);
    const bool shown = host.Show(&error);
    KillTimer(nullptr, timer);
    sheet_ = nullptr;
    ReportNewJobs();
    if (!shown) {
        Fail(opener, error);
        return;
    }
    const SheetRecord& record = host.record();
    fwprintf(out_, L"      sheet closed with %ls; %d apply, %d set-result call(s) from the plug-in\n",
             record.sheetResult == CPSUI_OK ? L"OK" : L"Cancel", record.applies, record.setResultCalls);
    if (!failed_ && closing_ == false) Fail(opener, L"the properties were closed before the scenario closed them");
}

void CALLBACK ScenarioRunner::TickProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (Active != nullptr) Active->Tick();
}

void ScenarioRunner::Tick()
{
    if (ticking_ || sheet_ == nullptr) return;
    // With screenshots, a dialog is answered only once it is on screen and has been captured.
    if (shots_ != nullptr && watch_.topDialog() != nullptr && !IsWindowVisible(watch_.topDialog())) return;
    ticking_ = true;
    if (shots_ != nullptr) {
        const std::wstring file = shots_->CaptureIfNew(watch_);
        if (!file.empty()) fwprintf(out_, L"      screenshot %ls\n", file.c_str());
    }
    NotePage();
    ReportNewJobs();
    if (failed_) {
        Abandon();
    } else if (!closing_) {
        if (watch_.sheet() == nullptr) {
            if (GetTickCount() - sheetShownAt_ > SHEET_OPEN_LIMIT_MS)
                Fail(*opener_, L"the property sheet did not open");
        } else if (next_ >= statements_->size()) {
            // A sheet still open at the end of the scenario is closed with OK.
            fwprintf(out_, L"  end   ok (the scenario ends with the properties open)\n");
            closing_ = true;
            PostMessageW(watch_.sheet(), PSM_PRESSBUTTON, PSBTN_OK, 0);
        } else {
            const Statement& statement = (*statements_)[next_];
            Announce(statement);
            const Step step = Execute(statement);
            if (step == Step::Done) {
                ++next_;
                waitingSince_ = 0;
            } else if (step == Step::Wait) {
                if (waitingSince_ == 0) waitingSince_ = GetTickCount();
                if (GetTickCount() - waitingSince_ > WAIT_LIMIT_MS) Fail(statement, pending_);
            }
        }
    }
    ticking_ = false;
}

void ScenarioRunner::Announce(const Statement& statement)
{
    if (announced_ == next_) return;
    announced_ = next_;
    if (!statement.notes.empty()) fwprintf(out_, L"\n");
    for (const std::wstring& note : statement.notes) fwprintf(out_, L"  %ls\n", note.c_str());
    fwprintf(out_, L"  %-4d  %ls\n", statement.line, statement.source.c_str());
    fflush(out_);
}

void ScenarioRunner::NotePage()
{
    const int index = watch_.currentPageIndex();
    if (index < 0) return;
    const std::wstring title = watch_.pageTitle(index);
    if (std::find(pagesSeen_.begin(), pagesSeen_.end(), title) == pagesSeen_.end()) pagesSeen_.push_back(title);
}

void ScenarioRunner::ReportNewJobs()
{
    // Jobs that ended since the last report; a run of identical ones (the port test) on one line.
    const std::vector<RecordedJob>& jobs = jobs_.jobs;
    while (jobsReported_ < jobs.size()) {
        const RecordedJob& job = jobs[jobsReported_];
        if (!job.ended && !job.aborted) break;
        size_t last = jobsReported_;
        while (last + 1 < jobs.size() && (jobs[last + 1].ended || jobs[last + 1].aborted) &&
               jobs[last + 1].docName == job.docName && jobs[last + 1].bytes == job.bytes &&
               jobs[last + 1].aborted == job.aborted) {
            ++last;
        }
        std::wstring numbers = std::to_wstring(jobsReported_ + 1);
        std::wstring name = Quoted(job.docName);
        if (last > jobsReported_) {
            numbers += L"-" + std::to_wstring(last + 1);
            name += L" x" + std::to_wstring(last - jobsReported_ + 1);
        }
        fwprintf(out_, L"        job %ls %ls, %u bytes%ls: %ls\n", numbers.c_str(), name.c_str(),
                 static_cast<unsigned>(job.bytes.size()), job.aborted ? L" (aborted)" : L"",
                 JobSummary(job.bytes).c_str());
        jobsReported_ = last + 1;
    }
    fflush(out_);
}

ScenarioRunner::Step ScenarioRunner::Fail(const Statement& statement, const std::wstring& why)
{
    if (!failed_) {
        failed_ = true;
        stoppedAt_ = static_cast<size_t>(&statement - statements_->data());
        carriedOut_ = next_;
        failure_ = L"line " + std::to_wstring(statement.line) + L": " + why + L" (" + statement.source + L")";
        fwprintf(out_, L"        FAILED: %ls\n", why.c_str());
    }
    return Step::Failed;
}

void ScenarioRunner::Abandon()
{
    // One message per tick: the dialog on top first, then the sheet.
    if (HWND dialog = watch_.topDialog()) {
        PostCommand(dialog, IDCANCEL);
    } else if (HWND sheet = watch_.sheet()) {
        if (!closing_) PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        closing_ = true;
    }
}

int ScenarioRunner::PageIndex(const std::wstring& name) const
{
    const int count = watch_.pageCount();
    if (!name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) { return iswdigit(c) != 0; })) {
        const int number = _wtoi(name.c_str());
        return number >= 1 && number <= count ? number - 1 : -1;
    }
    for (int i = 0; i < count; ++i)
        if (StartsWithText(watch_.pageTitle(i), name)) return i;
    return -1;
}

ScenarioRunner::Step ScenarioRunner::Execute(const Statement& s)
{
    static const struct {
        Action action;
        Step (ScenarioRunner::*run)(const Statement&);
    } Runs[] = {
        {Action::ChoosePage, &ScenarioRunner::ChoosePage},   {Action::Click, &ScenarioRunner::Click},
        {Action::Command, &ScenarioRunner::Command},         {Action::Select, &ScenarioRunner::Select},
        {Action::Answer, &ScenarioRunner::Answer},           {Action::SetOffset, &ScenarioRunner::SetOffset},
        {Action::Apply, &ScenarioRunner::PressButton},       {Action::CloseOk, &ScenarioRunner::PressButton},
        {Action::CloseCancel, &ScenarioRunner::PressButton}, {Action::Expect, &ScenarioRunner::Check},
    };
    for (const auto& row : Runs)
        if (row.action == s.action) return (this->*row.run)(s);
    // The document and printer lines open their sheet themselves (RunSheet), never inside one.
    return Fail(s, L"the properties are already open");
}

ScenarioRunner::Step ScenarioRunner::ChoosePage(const Statement& s)
{
    if (watch_.topDialog() != nullptr) return Fail(s, L"a dialog is open: " + Quoted(WindowText(watch_.topDialog())));
    const int index = PageIndex(s.text);
    if (index < 0) return Fail(s, L"no page " + Quoted(s.text));
    SendMessageW(watch_.sheet(), PSM_SETCURSEL, index, 0);
    if (watch_.currentPageIndex() != index) return Fail(s, L"the page " + Quoted(s.text) + L" could not be shown");
    return Step::Done;
}

ScenarioRunner::Step ScenarioRunner::Click(const Statement& s)
{
    std::wstring why;
    HWND control = scene().FindControl(s.control, &why);
    if (control == nullptr) return Fail(s, why);
    if (!IsWindowVisible(control)) return Fail(s, L"the control " + s.control.describe() + L" is hidden");
    if (!IsWindowEnabled(control)) return Fail(s, L"the control " + s.control.describe() + L" is disabled");
    PostMessageW(control, BM_CLICK, 0, 0);
    return Step::Done;
}

ScenarioRunner::Step ScenarioRunner::Command(const Statement& s)
{
    HWND target = scene().Target();
    if (FindControl(target, s.control.id) == nullptr)
        return Fail(s, L"no control " + s.control.describe() + L" on " + scene().TargetName());
    PostCommand(target, s.control.id);
    return Step::Done;
}

ScenarioRunner::Step ScenarioRunner::Select(const Statement& s)
{
    std::wstring why;
    HWND list = scene().FindControl(s.control, &why);
    if (list == nullptr) return Fail(s, why);
    if (!IsComboBox(list)) return Fail(s, L"the control " + s.control.describe() + L" is not a list");
    if (!IsWindowEnabled(list)) return Fail(s, L"the list " + s.control.describe() + L" is disabled");
    const LRESULT index =
        SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.text.c_str()));
    if (index == CB_ERR) return Fail(s, L"no entry " + Quoted(s.text) + L" in the list " + s.control.describe());
    SendMessageW(list, CB_SETCURSEL, index, 0);
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(s.control.id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return Step::Done;
}

ScenarioRunner::Step ScenarioRunner::Answer(const Statement& s)
{
    HWND dialog = watch_.topDialog();
    if (dialog == nullptr || !SameText(WindowText(dialog), s.text)) {
        pending_ = dialog == nullptr ? L"no dialog " + Quoted(s.text) + L" appeared"
                                     : L"the open dialog is " + Quoted(WindowText(dialog)) + L", not " + Quoted(s.text);
        return Step::Wait;
    }
    std::wstring why;
    HWND button = scene().FindControl(s.control, &why);
    if (button == nullptr) return Fail(s, why);
    if (!IsWindowEnabled(button)) return Fail(s, L"the button " + s.control.describe() + L" is disabled");
    PostMessageW(button, BM_CLICK, 0, 0);
    return Step::Done;
}

ScenarioRunner::Step ScenarioRunner::SetOffset(const Statement& s)
{
    std::wstring why;
    if (sheet_ == nullptr || !sheet_->SetOffsetOnPage(s.number, &why)) return Fail(s, why);
    return Step::Done;
}

// apply, ok and cancel: the sheet's button, once no dialog is open above it.
ScenarioRunner::Step ScenarioRunner::PressButton(const Statement& s)
{
    if (watch_.topDialog() != nullptr) return Fail(s, L"a dialog is open: " + Quoted(WindowText(watch_.topDialog())));
    const int button = s.action == Action::Apply     ? PSBTN_APPLYNOW
                       : s.action == Action::CloseOk ? PSBTN_OK
                                                     : PSBTN_CANCEL;
    if (s.action != Action::Apply) closing_ = true;
    PostMessageW(watch_.sheet(), PSM_PRESSBUTTON, button, 0);
    return Step::Done;
}

ScenarioRunner::Step ScenarioRunner::Check(const Statement& s)
{
    std::wstring why;
    switch (s.expectation->check(s, scene(), &why)) {
        case Verdict::Met:
            ++expectationsMet_;
            return Step::Done;
        case Verdict::NotYet:
            pending_ = why;
            return Step::Wait;
        case Verdict::Unmet:
            break;
    }
    return Fail(s, why);
}
