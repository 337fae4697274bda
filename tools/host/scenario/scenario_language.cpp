#include "host/scenario/scenario_language.h"

#include <cwchar>
#include <cwctype>

#include "settings/ticket_features.h"

namespace {

// The fields beside the job settings that scenarios can name: not ticket features, so not in the
// features table.
const struct {
    const wchar_t* name;
    SettingField field;
} OtherFields[] = {{L"offsetValue", &PrivateDevmode::offsetValue}, {L"spareFlag", &PrivateDevmode::spareFlag}};

const TicketFeature* FeatureOf(SettingField field)
{
    for (const TicketFeature& feature : TICKET_FEATURES)
        if (feature.member == field) return &feature;
    return nullptr;
}

// A scenario names an option without regard to case or blanks, so that the texts people see on the
// pages ("Back 4 Channels Only", "off") name the options Back4ChannelsOnly and Off.
bool SameOption(const std::wstring& word, const wchar_t* option)
{
    std::wstring squeezed;
    for (wchar_t c : word)
        if (!iswspace(c)) squeezed += c;
    return _wcsicmp(squeezed.c_str(), option) == 0;
}

bool SameWord(const std::wstring& a, const wchar_t* b)
{
    return _wcsicmp(a.c_str(), b) == 0;
}

// Words of a line: blanks separate them, double quotes keep blanks, \" and \\ escape inside quotes.
bool SplitWords(const std::wstring& line, std::vector<std::wstring>* words, std::wstring* error)
{
    size_t i = 0;
    while (i < line.size()) {
        if (iswspace(line[i])) {
            ++i;
            continue;
        }
        std::wstring word;
        if (line[i] == L'"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == L'\\' && i + 1 < line.size() && (line[i + 1] == L'"' || line[i + 1] == L'\\')) {
                    word += line[i + 1];
                    i += 2;
                } else if (line[i] == L'"') {
                    closed = true;
                    ++i;
                    break;
                } else {
                    word += line[i++];
                }
            }
            if (!closed) {
                *error = L"a quoted text is not closed";
                return false;
            }
            if (i < line.size() && !iswspace(line[i])) {
                *error = L"a quoted text must be followed by a blank";
                return false;
            }
        } else {
            while (i < line.size() && !iswspace(line[i])) word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

bool ParseNumber(const std::wstring& word, long* value)
{
    if (word.empty() || word.size() > 12) return false;
    wchar_t* end = nullptr;
    const bool hex = word.size() > 2 && word[0] == L'0' && (word[1] == L'x' || word[1] == L'X');
    *value = wcstol(word.c_str(), &end, hex ? 16 : 10);
    return end == word.c_str() + word.size();
}

bool IsDigits(const std::wstring& word)
{
    if (word.empty()) return false;
    for (wchar_t c : word)
        if (!iswdigit(c)) return false;
    return true;
}

ControlName Control(const std::wstring& word)
{
    ControlName control;
    if (IsDigits(word) && word.size() < 6) {
        control.id = std::stoi(word);
    } else {
        control.caption = word;
    }
    return control;
}

enum class Sheet { None, Document, Printer };

class LineParser {
public:
    LineParser(Statement& statement, std::vector<std::wstring>& words, Sheet& sheet)
        : s_(statement), words_(words), sheet_(sheet)
    {
    }

    // Empty on success, else what is wrong with the line.
    std::wstring Parse()
    {
        const std::wstring& verb = words_[0];
        if (SameWord(verb, L"document") || SameWord(verb, L"printer")) {
            if (!Count(1)) return Usage(L"document  or  printer");
            if (sheet_ != Sheet::None) return L"the properties are already open; close them with ok or cancel first";
            const bool document = SameWord(verb, L"document");
            s_.action = document ? Action::OpenDocument : Action::OpenPrinter;
            sheet_ = document ? Sheet::Document : Sheet::Printer;
            return L"";
        }
        if (SameWord(verb, L"page")) {
            if (!Count(2)) return Usage(L"page NAME-OR-NUMBER");
            s_.action = Action::ChoosePage;
            s_.text = words_[1];
            return NeedSheet();
        }
        if (SameWord(verb, L"click")) {
            if (!Count(2)) return Usage(L"click CONTROL (an id or a caption)");
            s_.action = Action::Click;
            s_.control = Control(words_[1]);
            return NeedSheet();
        }
        if (SameWord(verb, L"command")) {
            if (!Count(2) || !IsDigits(words_[1])) return Usage(L"command ID (a number)");
            s_.action = Action::Command;
            s_.control = Control(words_[1]);
            return NeedSheet();
        }
        if (SameWord(verb, L"select")) {
            if (!Count(3) || !IsDigits(words_[1])) return Usage(L"select LIST-ID ENTRY");
            s_.action = Action::Select;
            s_.control = Control(words_[1]);
            s_.text = words_[2];
            return NeedSheet();
        }
        if (SameWord(verb, L"answer")) {
            if (!Count(3)) return Usage(L"answer DIALOG-CAPTION BUTTON");
            s_.action = Action::Answer;
            s_.text = words_[1];
            s_.control = Control(words_[2]);
            return NeedSheet();
        }
        if (SameWord(verb, L"offset")) {
            if (!Count(2) || !ParseNumber(words_[1], &s_.number)) return Usage(L"offset N");
            s_.action = Action::SetOffset;
            if (sheet_ != Sheet::Printer) return L"offset needs the printer properties open (the line printer)";
            return L"";
        }
        if (SameWord(verb, L"apply") || SameWord(verb, L"ok") || SameWord(verb, L"cancel")) {
            if (!Count(1)) return Usage(verb.c_str());
            s_.action = SameWord(verb, L"apply") ? Action::Apply
                        : SameWord(verb, L"ok")  ? Action::CloseOk
                                                 : Action::CloseCancel;
            const std::wstring problem = NeedSheet();
            if (s_.action != Action::Apply) sheet_ = Sheet::None;
            return problem;
        }
        if (SameWord(verb, L"expect")) return ParseExpect();
        return L"unknown statement \"" + verb +
               L"\" (known: document, printer, page, click, command, select, answer, offset, apply, ok, cancel, "
               L"expect)";
    }

private:
    bool Count(size_t n) const { return words_.size() == n; }
    std::wstring Usage(const wchar_t* form) const { return std::wstring(L"expected: ") + form; }
    std::wstring NeedSheet() const
    {
        if (sheet_ == Sheet::None) return words_[0] + L" needs open properties (a line document or printer before it)";
        return L"";
    }

    std::wstring ParseExpect()
    {
        s_.action = Action::Expect;
        if (words_.size() < 2) return Usage(L"expect CONDITION ...");
        const std::wstring& what = words_[1];
        if (SameWord(what, L"setting")) {
            if (!Count(4)) return Usage(L"expect setting NAME VALUE");
            s_.condition = Condition::Setting;
            s_.field = nullptr;
            std::wstring known;
            for (const TicketFeature& feature : TICKET_FEATURES) {
                known += std::wstring(known.empty() ? L"" : L", ") + feature.field;
                if (SameWord(words_[2], feature.field)) s_.field = feature.member;
            }
            for (const auto& other : OtherFields) {
                known += std::wstring(L", ") + other.name;
                if (SameWord(words_[2], other.name)) s_.field = other.field;
            }
            if (s_.field == nullptr) return L"unknown setting \"" + words_[2] + L"\" (known: " + known + L")";
            if (ParseNumber(words_[3], &s_.number)) return L"";
            if (const TicketFeature* feature = FeatureOf(s_.field)) {
                for (size_t i = 0; i < feature->optionCount; ++i) {
                    if (!SameOption(words_[3], feature->options[i].name)) continue;
                    s_.number = feature->options[i].value;
                    return L"";
                }
            }
            return L"\"" + words_[3] + L"\" is not a value of " + SettingName(s_.field);
        }
        if (SameWord(what, L"offset") || SameWord(what, L"jobs")) {
            if (!Count(3) || !ParseNumber(words_[2], &s_.number) || s_.number < 0)
                return Usage(SameWord(what, L"offset") ? L"expect offset N" : L"expect jobs N");
            s_.condition = SameWord(what, L"offset") ? Condition::Offset : Condition::Jobs;
            return L"";
        }
        if (SameWord(what, L"job")) {
            if (words_.size() < 3) return Usage(L"expect job NAME [count N] [bytes N] [byte AT VALUE]...");
            s_.condition = Condition::Job;
            s_.text = words_[2];
            for (size_t i = 3; i < words_.size();) {
                long* target = nullptr;
                if (SameWord(words_[i], L"count")) target = &s_.count;
                if (SameWord(words_[i], L"bytes")) target = &s_.bytes;
                if (target != nullptr && i + 1 < words_.size() && ParseNumber(words_[i + 1], target) && *target >= 0) {
                    i += 2;
                    continue;
                }
                long at = 0, value = 0;
                if (SameWord(words_[i], L"byte") && i + 2 < words_.size() && ParseNumber(words_[i + 1], &at) &&
                    at >= 0 && ParseNumber(words_[i + 2], &value) && value >= 0 && value <= 255) {
                    s_.bytesAt.emplace_back(at, value);
                    i += 3;
                    continue;
                }
                return Usage(L"expect job NAME [count N] [bytes N] [byte AT VALUE]...");
            }
            return L"";
        }
        struct ControlCondition {
            const wchar_t* word;
            Condition condition;
        };
        static const ControlCondition ControlConditions[] = {{L"checked", Condition::Checked},
                                                             {L"unchecked", Condition::Unchecked},
                                                             {L"enabled", Condition::Enabled},
                                                             {L"disabled", Condition::Disabled}};
        for (const ControlCondition& row : ControlConditions) {
            if (!SameWord(what, row.word)) continue;
            if (!Count(3)) return Usage((std::wstring(L"expect ") + row.word + L" CONTROL").c_str());
            s_.condition = row.condition;
            s_.control = Control(words_[2]);
            return NeedSheet();
        }
        if (SameWord(what, L"selected")) {
            if (!Count(4) || !IsDigits(words_[2])) return Usage(L"expect selected LIST-ID ENTRY");
            s_.condition = Condition::Selected;
            s_.control = Control(words_[2]);
            s_.text = words_[3];
            return NeedSheet();
        }
        if (SameWord(what, L"dialog") || SameWord(what, L"page")) {
            if (!Count(3)) return Usage(SameWord(what, L"dialog") ? L"expect dialog CAPTION" : L"expect page NAME");
            s_.condition = SameWord(what, L"dialog") ? Condition::Dialog : Condition::Page;
            s_.text = words_[2];
            return NeedSheet();
        }
        return L"unknown condition \"" + what +
               L"\" (known: setting, offset, jobs, job, checked, unchecked, enabled, disabled, selected, dialog, page)";
    }

    Statement& s_;
    std::vector<std::wstring>& words_;
    Sheet& sheet_;
};

}  // namespace

std::wstring ControlName::describe() const
{
    return byId() ? std::to_wstring(id) : L"\"" + caption + L"\"";
}

const wchar_t* SettingName(SettingField field)
{
    if (const TicketFeature* feature = FeatureOf(field)) return feature->field;
    for (const auto& other : OtherFields)
        if (other.field == field) return other.name;
    return L"?";
}

std::wstring SettingValueName(SettingField field, long value)
{
    const TicketFeature* feature = FeatureOf(field);
    const TicketOption* option = feature != nullptr ? FindTicketOption(*feature, static_cast<int32_t>(value)) : nullptr;
    return option != nullptr ? option->name : std::to_wstring(value);
}

ParsedScenario ParseScenario(const std::wstring& text)
{
    ParsedScenario parsed;
    Sheet sheet = Sheet::None;
    std::vector<std::wstring> notes;
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        const size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring::npos || line[first] == L'#') {
            if (first == std::wstring::npos) {
                notes.clear();
            } else {
                notes.push_back(line.substr(first));
            }
            if (end == text.size()) break;
            continue;
        }
        line = line.substr(first, line.find_last_not_of(L" \t") - first + 1);

        Statement statement;
        statement.line = lineNumber;
        statement.source = line;
        statement.notes.swap(notes);
        std::vector<std::wstring> words;
        std::wstring problem;
        if (SplitWords(line, &words, &problem)) problem = LineParser(statement, words, sheet).Parse();
        if (!problem.empty()) {
            parsed.errors.push_back(L"line " + std::to_wstring(lineNumber) + L": " + problem + L": " + line);
        } else {
            parsed.statements.push_back(statement);
        }
        if (end == text.size()) break;
    }
    if (parsed.statements.empty() && parsed.errors.empty()) parsed.errors.push_back(L"the scenario has no statement");
    return parsed;
}
