// The JUnit XML report of `orlinhost run --junit FILE`, for CI servers that show scenario results
// beside their other tests: one test case per expectation, named by its line and statement.
#pragma once

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
// end: every statement passed), after the statements before carriedOut were carried out. Those
// expectations were met, whatever stopped the run later: a sheet closed too early fails its own
// document line, yet the checks made inside it did pass. Expectations never reached are listed as
// skipped, so a CI server still shows every check the scenario holds. When the run stopped at a
// statement that is not an expectation (a click on a hidden button), that statement is a failed
// case of its own: a failed run never reads as a green report.
ReportSuite ScenarioReport(const std::wstring& name, const std::vector<Statement>& statements, size_t stoppedAt,
                           size_t carriedOut, const std::wstring& failure);

// The report as UTF-8 XML, every text escaped.
std::string JUnitXml(const ReportSuite& suite);

// The report's file. Before the scenario runs, a temporary file is made and removed beside the
// path, so a path that cannot be written is refused before anything is sent. The report is written
// to a temporary file in the same folder and renamed over the path only once it is complete: an
// earlier report there is never emptied or removed, and a run that is refused, killed or cannot
// write leaves it exactly as it was. A CI server never reads a half-written report as this run's.
class JUnitReportFile {
public:
    explicit JUnitReportFile(const std::wstring& path);

    // Empty when a report can be written at the path; otherwise why it cannot.
    const std::wstring& problem() const { return problem_; }
    bool Write(const ReportSuite& suite, std::wstring* why);

private:
    std::wstring path_;
    std::wstring temporary_;
    std::wstring problem_;
};
