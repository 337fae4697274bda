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
                           size_t carriedOut, const std::wstring& failure)
{
    ReportSuite suite{name, {}};
    for (size_t i = 0; i < statements.size(); ++i) {
        const Statement& statement = statements[i];
        if (i == stoppedAt) {
            suite.cases.push_back({CaseName(statement), ReportCase::Outcome::Failed, failure});
        } else if (statement.action == Action::Expect) {
            if (i < carriedOut)
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

namespace {

std::wstring SystemMessage(DWORD code)
{
    wchar_t text[256] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr);
    std::wstring message(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message.empty() ? L"error " + std::to_wstring(code) : message;
}

// A file this run made beside the report: removed when it goes out of scope, unless it was renamed
// into place. Made with CREATE_NEW, so it never replaces a file of someone else's.
class TemporaryReport {
public:
    explicit TemporaryReport(const std::wstring& name)
        : name_(name),
          file_(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)),
          created_(file_ != INVALID_HANDLE_VALUE),
          error_(created_ ? ERROR_SUCCESS : GetLastError())
    {
    }
    ~TemporaryReport()
    {
        Close();
        if (created_ && !renamed_) DeleteFileW(name_.c_str());
    }
    TemporaryReport(const TemporaryReport&) = delete;
    TemporaryReport& operator=(const TemporaryReport&) = delete;

    DWORD error() const { return error_; }
    bool Write(const std::string& bytes)
    {
        DWORD written = 0;
        if (WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size())
            return true;
        error_ = GetLastError();
        return false;
    }
    // A full disk may show only when the file is closed, so the close is part of the write.
    bool RenameOver(const std::wstring& path)
    {
        if (!Close()) return false;
        renamed_ = MoveFileExW(name_.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!renamed_) error_ = GetLastError();
        return renamed_;
    }

private:
    bool Close()
    {
        if (file_ == INVALID_HANDLE_VALUE) return error_ == ERROR_SUCCESS;
        const bool closed = CloseHandle(file_) != 0;
        file_ = INVALID_HANDLE_VALUE;
        if (!closed) error_ = GetLastError();
        return closed;
    }

    std::wstring name_;
    HANDLE file_;
    bool created_;
    DWORD error_;
    bool renamed_ = false;
};

}  // namespace

JUnitReportFile::JUnitReportFile(const std::wstring& path)
    : path_(path), temporary_(path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp")
{
    const DWORD attributes = GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        problem_ = L"it is a folder";
        return;
    }
    const TemporaryReport probe(temporary_);
    if (probe.error() != ERROR_SUCCESS) problem_ = SystemMessage(probe.error());
}

bool JUnitReportFile::Write(const ReportSuite& suite, std::wstring* why)
{
    TemporaryReport file(temporary_);
    if (file.error() == ERROR_SUCCESS && file.Write(JUnitXml(suite)) && file.RenameOver(path_)) return true;
    *why = SystemMessage(file.error());
    return false;
}
