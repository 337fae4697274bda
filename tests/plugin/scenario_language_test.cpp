// The scenario language of orlinhost run: what each statement becomes, and how a wrong line is
// refused (with its line number) before anything runs.
#include "host/scenario/scenario_language.h"

#include <gtest/gtest.h>

#include "host/scenario/demo_scenario.h"

namespace {

const Statement& Only(const ParsedScenario& parsed, size_t index)
{
    return parsed.statements.at(index);
}

// The one error of a scenario that has exactly one.
std::wstring OnlyError(const wchar_t* text)
{
    const ParsedScenario parsed = ParseScenario(text);
    EXPECT_EQ(parsed.errors.size(), 1u);
    return parsed.errors.empty() ? std::wstring() : parsed.errors.front();
}

bool StartsWith(const std::wstring& text, const std::wstring& start)
{
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace

TEST(ScenarioLanguage, TheBuiltInDemoParses)
{
    const ParsedScenario parsed = ParseScenario(DemoScenario());
    EXPECT_TRUE(parsed.ok()) << (parsed.errors.empty() ? ""
                                                       : std::string(parsed.errors[0].begin(), parsed.errors[0].end()));
    EXPECT_GT(parsed.statements.size(), 50u);
}

TEST(ScenarioLanguage, StatementsKeepTheirLineAndWords)
{
    const ParsedScenario parsed = ParseScenario(
        L"# comment\n"
        L"\n"
        L"document\r\n"
        L"  page \"Ink Level\"  \n"
        L"click 1007\n"
        L"click \"Printhead &Clean\"\n"
        L"command 1036\n"
        L"select 1035 \"Back 4 Channels Only\"\n"
        L"answer Alignment \"&Print\"\n"
        L"apply\n"
        L"cancel\n");
    ASSERT_TRUE(parsed.ok());
    ASSERT_EQ(parsed.statements.size(), 9u);
    EXPECT_EQ(Only(parsed, 0).action, Action::OpenDocument);
    EXPECT_EQ(Only(parsed, 0).line, 3);
    EXPECT_TRUE(Only(parsed, 0).notes.empty());  // a blank line parts a comment from the statement
    EXPECT_EQ(Only(parsed, 1).action, Action::ChoosePage);
    EXPECT_EQ(Only(parsed, 1).text, L"Ink Level");
    EXPECT_EQ(Only(parsed, 1).source, L"page \"Ink Level\"");
    EXPECT_EQ(Only(parsed, 2).control.id, 1007);
    EXPECT_EQ(Only(parsed, 3).control.caption, L"Printhead &Clean");
    EXPECT_FALSE(Only(parsed, 3).control.byId());
    EXPECT_EQ(Only(parsed, 4).action, Action::Command);
    EXPECT_EQ(Only(parsed, 4).control.id, 1036);
    EXPECT_EQ(Only(parsed, 5).control.id, 1035);
    EXPECT_EQ(Only(parsed, 5).text, L"Back 4 Channels Only");
    EXPECT_EQ(Only(parsed, 6).text, L"Alignment");
    EXPECT_EQ(Only(parsed, 6).control.caption, L"&Print");
    EXPECT_EQ(Only(parsed, 7).action, Action::Apply);
    EXPECT_EQ(Only(parsed, 8).action, Action::CloseCancel);
    EXPECT_EQ(Only(parsed, 8).line, 11);
}

TEST(ScenarioLanguage, CommentsRightAboveAStatementGoWithIt)
{
    const ParsedScenario parsed = ParseScenario(L"# Head clean\n  # at once\ndocument\n");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ((std::vector<std::wstring>{L"# Head clean", L"# at once"}), Only(parsed, 0).notes);
}

TEST(ScenarioLanguage, ExpectationsTakeNamesOrNumbers)
{
    const ParsedScenario parsed = ParseScenario(
        L"expect setting printMode Photo\n"
        L"expect setting inkChannels \"Front 4 Channels Only\"\n"
        L"expect setting inkLevel 3\n"
        L"expect setting bidirectional off\n"
        L"expect job \"Purge Print\" count 1 bytes 191 byte 58 0x09 byte 85 9\n"
        L"expect jobs 0\n"
        L"expect offset 5\n");
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(Only(parsed, 0).field == &PrivateDevmode::printMode);
    EXPECT_EQ(Only(parsed, 0).number, 2);
    EXPECT_EQ(Only(parsed, 1).number, 1);
    EXPECT_EQ(Only(parsed, 2).number, 3);
    EXPECT_EQ(Only(parsed, 3).number, 0);
    const Statement& job = Only(parsed, 4);
    EXPECT_STREQ(job.expectation->word, L"job");
    EXPECT_EQ(job.text, L"Purge Print");
    EXPECT_EQ(job.count, 1);
    EXPECT_EQ(job.bytes, 191);
    EXPECT_EQ(job.bytesAt, (std::vector<std::pair<long, long>>{{58, 9}, {85, 9}}));
    EXPECT_STREQ(Only(parsed, 5).expectation->word, L"jobs");
    EXPECT_STREQ(Only(parsed, 6).expectation->word, L"offset");
    EXPECT_EQ(Only(parsed, 6).number, 5);
}

TEST(ScenarioLanguage, AnUnknownStatementNamesItsLine)
{
    const std::wstring error = OnlyError(L"document\nclik 1001\nok\n");
    EXPECT_TRUE(StartsWith(error, L"line 2: unknown statement \"clik\"")) << std::string(error.begin(), error.end());
}

TEST(ScenarioLanguage, MissingOrExtraWordsAreRefused)
{
    EXPECT_TRUE(StartsWith(OnlyError(L"document\nselect 1012\n"), L"line 2: expected: select LIST-ID ENTRY"));
    EXPECT_TRUE(StartsWith(OnlyError(L"document\nclick\n"), L"line 2: expected: click CONTROL"));
    EXPECT_TRUE(StartsWith(OnlyError(L"document extra\n"), L"line 1: expected: document"));
    EXPECT_TRUE(StartsWith(OnlyError(L"document\ncommand Reset\n"), L"line 2: expected: command ID"));
}

TEST(ScenarioLanguage, AnOpenQuoteIsRefused)
{
    EXPECT_TRUE(StartsWith(OnlyError(L"document\nclick \"Printhead Clean\n"), L"line 2: a quoted text is not closed"));
}

TEST(ScenarioLanguage, StatementsOutOfPlaceAreRefused)
{
    EXPECT_TRUE(StartsWith(OnlyError(L"click 1002\n"), L"line 1: click needs open properties"));
    EXPECT_TRUE(StartsWith(OnlyError(L"document\noffset 5\n"), L"line 2: offset needs the printer properties open"));
    EXPECT_TRUE(StartsWith(OnlyError(L"document\ndocument\n"), L"line 2: the properties are already open"));
    EXPECT_TRUE(StartsWith(OnlyError(L"document\nok\napply\n"), L"line 3: apply needs open properties"));
}

TEST(ScenarioLanguage, WrongExpectationsAreRefused)
{
    EXPECT_TRUE(
        StartsWith(OnlyError(L"expect setting printMode Glossy\n"), L"line 1: \"Glossy\" is not a value of printMode"));
    EXPECT_TRUE(StartsWith(OnlyError(L"expect setting paper 1\n"), L"line 1: unknown setting \"paper\""));
    EXPECT_TRUE(StartsWith(OnlyError(L"expect colour red\n"), L"line 1: unknown condition \"colour\""));
    EXPECT_TRUE(StartsWith(OnlyError(L"expect job \"Head Clean\" count many\n"), L"line 1: expected: expect job NAME"));
    EXPECT_TRUE(StartsWith(OnlyError(L"expect job X byte 1 256\n"), L"line 1: expected: expect job NAME"));
}

TEST(ScenarioLanguage, EveryWrongLineIsReportedAndNoneIsKept)
{
    const ParsedScenario parsed = ParseScenario(L"document\nfrobnicate\nclick\nok\nexpect jobs many\n");
    ASSERT_EQ(parsed.errors.size(), 3u);
    EXPECT_TRUE(StartsWith(parsed.errors[0], L"line 2:"));
    EXPECT_TRUE(StartsWith(parsed.errors[1], L"line 3:"));
    EXPECT_TRUE(StartsWith(parsed.errors[2], L"line 5:"));
    EXPECT_FALSE(parsed.ok());
}

TEST(ScenarioLanguage, AnEmptyScenarioIsRefused)
{
    EXPECT_FALSE(ParseScenario(L"# only a comment\n\n").ok());
}
