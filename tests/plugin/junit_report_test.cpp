// The JUnit report of orlinhost run: which expectations it lists as met, failed or not run, and
// that the scenario's own text cannot break the XML.
#include "host/scenario/junit_report.h"

#include <gtest/gtest.h>

namespace {

const wchar_t Scenario[] =
    L"document\n"
    L"expect page 1\n"
    L"click \"Printhead Clean\"\n"
    L"expect jobs 1\n"
    L"ok\n"
    L"expect job \"Fish & <Chips>\"\n";

std::vector<std::pair<std::wstring, ReportCase::Outcome>> Cases(const ReportSuite& suite)
{
    std::vector<std::pair<std::wstring, ReportCase::Outcome>> cases;
    for (const ReportCase& c : suite.cases) cases.emplace_back(c.name, c.outcome);
    return cases;
}

}  // namespace

TEST(JUnitReport, ExpectationsCarriedOutAreMetAndThoseNeverReachedSkipped)
{
    using Outcome = ReportCase::Outcome;
    const ParsedScenario parsed = ParseScenario(Scenario);
    ASSERT_TRUE(parsed.ok());
    const size_t all = parsed.statements.size();
    const std::wstring document = L"line 1: document", page = L"line 2: expect page 1",
                       click = L"line 3: click \"Printhead Clean\"", jobs = L"line 4: expect jobs 1",
                       fish = L"line 6: expect job \"Fish & <Chips>\"";
    const struct {
        const char* run;
        size_t stoppedAt, carriedOut;
        std::vector<std::pair<std::wstring, Outcome>> cases;
    } runs[] = {
        {"every line passed", all, all, {{page, Outcome::Passed}, {jobs, Outcome::Passed}, {fish, Outcome::Passed}}},
        {"line 4 failed", 3, 3, {{page, Outcome::Passed}, {jobs, Outcome::Failed}, {fish, Outcome::Skipped}}},
        // A click that fails is no expectation, yet the report must not read as green.
        {"the click failed",
         2,
         2,
         {{page, Outcome::Passed}, {click, Outcome::Failed}, {jobs, Outcome::Skipped}, {fish, Outcome::Skipped}}},
        // The sheet closed by itself after line 4: its document line fails, the checks made inside pass.
        {"the sheet closed early",
         0,
         4,
         {{document, Outcome::Failed}, {page, Outcome::Passed}, {jobs, Outcome::Passed}, {fish, Outcome::Skipped}}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.run);
        const ReportSuite suite = ScenarioReport(L"s", parsed.statements, run.stoppedAt, run.carriedOut, L"why");
        EXPECT_EQ(Cases(suite), run.cases);
        for (const ReportCase& c : suite.cases) {
            if (c.outcome == Outcome::Failed) EXPECT_EQ(L"why", c.message);
        }
    }
}

TEST(JUnitReport, EveryTextIsEscaped)
{
    const ReportSuite suite{L"a&b.scenario",
                            {{L"line 6: expect job \"Fish & <Chips>\"", ReportCase::Outcome::Failed,
                              L"0 job(s) named \"Fish & <Chips>\" were sent\x01 \x00e9"}}};
    const std::string xml = JUnitXml(suite);
    EXPECT_NE(xml.find("testsuite name=\"a&amp;b.scenario\" tests=\"1\" failures=\"1\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("name=\"line 6: expect job &quot;Fish &amp; &lt;Chips&gt;&quot;\""), std::string::npos) << xml;
    // A control character XML cannot carry becomes U+FFFD; other characters stay, in UTF-8.
    EXPECT_NE(xml.find("were sent\xEF\xBF\xBD \xC3\xA9</failure>"), std::string::npos) << xml;
}
