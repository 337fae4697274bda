#include "host/scenario/junit_report.h"

#include <windows.h>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

// The characters XML text and attributes cannot carry as they are.
struct XmlEntity {
    wchar_t character;
    const wchar_t* entity;
};
constexpr XmlEntity XmlEntities[] = {
    {L'&', L"&amp;"},   {L'<', L"&lt;"},  {L'>', L"&gt;"},   {L'"', L"&quot;"},
    {L'\'', L"&apos;"}, {L'\t', L"&#9;"}, {L'\n', L"&#10;"}, {L'\r', L"&#13;"},
};

// Statements are the scenario's own text: quotes, ampersands and angle brackets are common, and
// control characters, which XML 1.0 cannot carry at all, become a replacement character.
std::string Escaped(const std::wstring& text)
{
    std::wstring out;
    for (const wchar_t c : text) {
        const XmlEntity* entity = nullptr;
        for (const XmlEntity& e : XmlEntities) {
            if (e.character == c) entity = &e;
        }
        if (entity != nullptr)
            out += entity->entity;
        else
            out += (c < 0x20 || c == 0xFFFE || c == 0xFFFF) ? L'\xFFFD' : c;
    }
    return Utf8(out);
}

std::wstring CaseName(const Statement& statement)
{
    return L"line " + std::to_wstring(statement.line) + L": " + statement.source;
}

}  // namespace

ReportSuite ScenarioReport(const std::wstring& name, const std::vector<Statement>& statements, size_t stoppedAt,
                           const std::wstring& failure)
{
    ReportSuite suite{name, {}};
    for (size_t i = 0; i < statements.size(); ++i) {
        const Statement& statement = statements[i];
        if (i == stoppedAt) {
            suite.cases.push_back({CaseName(statement), ReportCase::Outcome::Failed, failure});
        } else if (statement.action == Action::Expect) {
            if (i < stoppedAt)
                suite.cases.push_back({CaseName(statement), ReportCase::Outcome::Passed, L""});
            else
                suite.cases.push_back(
                    {CaseName(statement), ReportCase::Outcome::Skipped,
                     L"not run: the scenario stopped at line " + std::to_wstring(statements[stoppedAt].line)});
        }
    }
    return suite;
}

std::string JUnitXml(const ReportSuite& suite)
{
    int failures = 0, skipped = 0;
    for (const ReportCase& c : suite.cases) {
        failures += c.outcome == ReportCase::Outcome::Failed;
        skipped += c.outcome == ReportCase::Outcome::Skipped;
    }
    const std::string name = Escaped(suite.name);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    xml += "  <testsuite name=\"" + name + "\" tests=\"" + std::to_string(suite.cases.size()) + "\" failures=\"" +
           std::to_string(failures) + "\" errors=\"0\" skipped=\"" + std::to_string(skipped) + "\">\n";
    for (const ReportCase& c : suite.cases) {
        xml += "    <testcase classname=\"" + name + "\" name=\"" + Escaped(c.name) + "\"";
        const std::string message = Escaped(c.message);
        switch (c.outcome) {
            case ReportCase::Outcome::Passed:
                xml += "/>\n";
                break;
            case ReportCase::Outcome::Failed:
                xml += ">\n      <failure message=\"" + message + "\">" + message + "</failure>\n    </testcase>\n";
                break;
            case ReportCase::Outcome::Skipped:
                xml += ">\n      <skipped message=\"" + message + "\"/>\n    </testcase>\n";
                break;
        }
    }
    xml += "  </testsuite>\n</testsuites>\n";
    return xml;
}

JUnitReportFile::JUnitReportFile(const std::wstring& path)
    : path_(path), file_(_wfopen(path.c_str(), L"wb")), opened_(file_ != nullptr)
{
}

JUnitReportFile::~JUnitReportFile()
{
    if (file_ != nullptr) fclose(file_);
    if (opened_ && !written_) _wremove(path_.c_str());
}

bool JUnitReportFile::Write(const ReportSuite& suite)
{
    if (file_ == nullptr) return false;  // never opened, or written already
    const std::string xml = JUnitXml(suite);
    const bool written = fwrite(xml.data(), 1, xml.size(), file_) == xml.size();
    // A full disk may only show when the buffer is flushed, so the close is part of the write.
    const bool closed = fclose(file_) == 0;
    file_ = nullptr;
    written_ = written && closed;
    return written_;
}
