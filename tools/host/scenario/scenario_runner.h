// Runs a parsed scenario against the plug-in, headless or on a display: the statements outside
// the properties run in order; a document or printer line shows that sheet through the common
// property sheet, and a thread timer then plays the statements inside it one per tick, from
// whichever message loop is running (the sheet's own, or a modal dialog's above it), by posting
// the clicks and selections a person would make. The first failed statement ends the run: the
// open dialogs are cancelled and the sheet closed with Cancel, so nothing more is sent.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/spooler_recorder.h"
#include "host/scenario/expectations.h"
#include "host/scenario/scenario_language.h"
#include "host/session/host_session.h"
#include "host/sheet/property_sheet.h"
#include "host/sheet/screenshots.h"

class ScenarioRunner {
public:
    ScenarioRunner(HostSession& session, SpoolerRecorder& jobs, UiWatch& watch, ScreenshotTaker* shots, FILE* out);

    // True when every statement was carried out and every expectation met.
    bool Run(const std::vector<Statement>& statements);
    const std::wstring& failure() const { return failure_; }
    // The index of the statement that failed; the number of statements when none did.
    size_t stoppedAt() const { return failed_ ? stoppedAt_ : statements_->size(); }
    // How many statements, from the first, were carried out before the run stopped.
    size_t carriedOut() const { return failed_ ? carriedOut_ : statements_->size(); }
    int expectationsMet() const { return expectationsMet_; }
    // Pages and dialogs seen, for the report.
    const std::vector<std::wstring>& pagesSeen() const { return pagesSeen_; }

private:
    enum class Step { Done, Wait, Failed };

    static void CALLBACK TickProc(HWND, UINT, UINT_PTR, DWORD);
    void RunSheet(SheetKind kind);
    void Tick();
    Step Execute(const Statement& statement);
    Step ChoosePage(const Statement& statement);
    Step Click(const Statement& statement);
    Step Command(const Statement& statement);
    Step Select(const Statement& statement);
    Step Answer(const Statement& statement);
    Step SetOffset(const Statement& statement);
    Step PressButton(const Statement& statement);
    Step Check(const Statement& statement);
    Step Fail(const Statement& statement, const std::wstring& why);
    void Abandon();
    void Announce(const Statement& statement);
    void ReportNewJobs();
    void NotePage();

    Scene scene() const { return Scene{session_, jobs_.jobs, watch_}; }
    int PageIndex(const std::wstring& name) const;

    HostSession& session_;
    SpoolerRecorder& jobs_;
    UiWatch& watch_;
    ScreenshotTaker* shots_;
    FILE* out_;

    const std::vector<Statement>* statements_ = nullptr;
    size_t next_ = 0;
    size_t stoppedAt_ = 0;
    size_t carriedOut_ = 0;
    const Statement* opener_ = nullptr;  // the document or printer line of the sheet shown
    size_t announced_ = static_cast<size_t>(-1);
    PropertySheetHost* sheet_ = nullptr;
    bool closing_ = false;
    bool failed_ = false;
    bool ticking_ = false;
    DWORD sheetShownAt_ = 0;
    DWORD waitingSince_ = 0;
    std::wstring pending_;  // why the current statement is still waiting
    std::wstring failure_;
    size_t jobsReported_ = 0;
    int expectationsMet_ = 0;
    std::vector<std::wstring> pagesSeen_;
};
