// The JUnit XML report of `orlinhost run --junit FILE`, for CI servers that show scenario results
// beside their other tests: one test case per expectation, named by its line and statement.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/scenario/scenario_language.h"

struct ReportCase {
    enum class Outcome { Passed, Failed, Skipped };
    std::wstring name;
    Outcome outcome = Outcome::Passed;
    std::wstring message;  // why it failed (as the run prints it), or why it was not run
};

struct ReportSuite {
    std::wstring name;  // the scenario as named on the command line
    std::vector<ReportCase> cases;
};

// The cases of a run that stopped at statements[stoppedAt] with `failure` (stoppedAt at or past the
// end: every statement passed). Expectations before that line were met; expectations after it are
// listed as skipped, so a CI server still shows every check the scenario holds. When the run stopped
// at a statement that is not an expectation (a click on a hidden button), that statement is a failed
// case of its own: a failed run never reads as a green report.
ReportSuite ScenarioReport(const std::wstring& name, const std::vector<Statement>& statements, size_t stoppedAt,
                           const std::wstring& failure);

// The report as UTF-8 XML, every text escaped.
std::string JUnitXml(const ReportSuite& suite);

// The report's file, opened before the scenario runs so that a path that cannot be written is
// refused before anything is sent. It replaces an earlier report there, and a run that ends
// without writing (a wrong scenario, a session that could not start) or whose write failed leaves
// no file: a CI server never reads a stale or half-written report as this run's.
class JUnitReportFile {
public:
    explicit JUnitReportFile(const std::wstring& path);
    ~JUnitReportFile();
    JUnitReportFile(const JUnitReportFile&) = delete;
    JUnitReportFile& operator=(const JUnitReportFile&) = delete;

    bool opened() const { return opened_; }
    bool Write(const ReportSuite& suite);

private:
    std::wstring path_;
    FILE* file_;
    bool opened_;
    bool written_ = false;
};
