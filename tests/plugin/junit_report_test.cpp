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

    const ReportSuite passed =
        ScenarioReport(L"s", parsed.statements, parsed.statements.size(), parsed.statements.size(), L"");
    EXPECT_EQ(Cases(passed), (std::vector<std::pair<std::wstring, Outcome>>{
                                 {L"line 2: expect page 1", Outcome::Passed},
                                 {L"line 4: expect jobs 1", Outcome::Passed},
                                 {L"line 6: expect job \"Fish & <Chips>\"", Outcome::Passed}}));

    const ReportSuite failedExpectation = ScenarioReport(L"s", parsed.statements, 3, 3, L"line 4: why");
    EXPECT_EQ(Cases(failedExpectation), (std::vector<std::pair<std::wstring, Outcome>>{
                                            {L"line 2: expect page 1", Outcome::Passed},
                                            {L"line 4: expect jobs 1", Outcome::Failed},
                                            {L"line 6: expect job \"Fish & <Chips>\"", Outcome::Skipped}}));
    EXPECT_EQ(failedExpectation.cases[1].message, L"line 4: why");

    // A click that fails is no expectation, yet the report must not read as green.
    const ReportSuite failedClick = ScenarioReport(L"s", parsed.statements, 2, 2, L"line 3: hidden");
    EXPECT_EQ(Cases(failedClick), (std::vector<std::pair<std::wstring, Outcome>>{
                                      {L"line 2: expect page 1", Outcome::Passed},
                                      {L"line 3: click \"Printhead Clean\"", Outcome::Failed},
                                      {L"line 4: expect jobs 1", Outcome::Skipped},
                                      {L"line 6: expect job \"Fish & <Chips>\"", Outcome::Skipped}}));

    // The sheet closed by itself after line 4: its document line fails, the checks made inside pass.
    const ReportSuite sheetClosed = ScenarioReport(L"s", parsed.statements, 0, 4, L"line 1: closed");
    EXPECT_EQ(Cases(sheetClosed), (std::vector<std::pair<std::wstring, Outcome>>{
                                      {L"line 1: document", Outcome::Failed},
                                      {L"line 2: expect page 1", Outcome::Passed},
                                      {L"line 4: expect jobs 1", Outcome::Passed},
                                      {L"line 6: expect job \"Fish & <Chips>\"", Outcome::Skipped}}));
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
