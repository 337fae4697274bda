#include "host/scenario/scenario_language.h"

#include <cwchar>
#include <cwctype>
#include <iterator>

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

// Where a statement may stand: what must be open before it, and what it opens or closes.
enum class Sheet { None, Document, Printer };
enum class Place {
    Outside,  // document, printer: no properties open; opens them
    Inside,   // needs open properties
    Closing,  // ok, cancel: needs open properties; closes them
    Printer,  // offset: needs the printer properties
    Anywhere,
};

const struct StatementKind {
    const wchar_t* word;
    const wchar_t* form;
    Action action;
    Words words;
    Place place;
} STATEMENT_KINDS[] = {
    {L"document", L"document  or  printer", Action::OpenDocument, Words::None, Place::Outside},
    {L"printer", L"document  or  printer", Action::OpenPrinter, Words::None, Place::Outside},
    {L"page", L"page NAME-OR-NUMBER", Action::ChoosePage, Words::Text, Place::Inside},
    {L"click", L"click CONTROL (an id or a caption)", Action::Click, Words::Control, Place::Inside},
    {L"command", L"command ID (a number)", Action::Command, Words::Id, Place::Inside},
    {L"select", L"select LIST-ID ENTRY", Action::Select, Words::ListEntry, Place::Inside},
    {L"answer", L"answer DIALOG-CAPTION BUTTON", Action::Answer, Words::DialogButton, Place::Inside},
    {L"offset", L"offset N", Action::SetOffset, Words::Number, Place::Printer},
    {L"apply", L"apply", Action::Apply, Words::None, Place::Inside},
    {L"ok", L"ok", Action::CloseOk, Words::None, Place::Closing},
    {L"cancel", L"cancel", Action::CloseCancel, Words::None, Place::Closing},
    {L"expect", L"expect CONDITION ...", Action::Expect, Words::None, Place::Anywhere},  // then a condition
};

// The row of a table for a word; known lists the table's words, for the message when none is.
template <typename Row>
const Row* FindRow(const Row* rows, size_t count, const std::wstring& word, std::wstring* known)
{
    for (const Row* row = rows; row != rows + count; ++row) {
        *known += std::wstring(known->empty() ? L"" : L", ") + row->word;
        if (SameWord(word, row->word)) return row;
    }
    return nullptr;
}

class LineParser {
public:
    LineParser(Statement& statement, std::vector<std::wstring>& words, Sheet& sheet)
        : s_(statement), words_(words), sheet_(sheet)
    {
    }

    // Empty on success, else what is wrong with the line.
    std::wstring Parse()
    {
        std::wstring known;
        const StatementKind* kind = FindRow(STATEMENT_KINDS, std::size(STATEMENT_KINDS), words_[0], &known);
        if (kind == nullptr) return L"unknown statement \"" + words_[0] + L"\" (known: " + known + L")";
        s_.action = kind->action;
        if (kind->action == Action::Expect) return ParseExpect();
        if (!ParseWords(kind->words, 1)) return Usage(kind->form);
        return CheckPlace(kind->place);
    }

private:
    std::wstring Usage(const wchar_t* form) const { return std::wstring(L"expected: ") + form; }

    std::wstring CheckPlace(Place place)
    {
        if (place == Place::Outside) {
            if (sheet_ != Sheet::None) return L"the properties are already open; close them with ok or cancel first";
            sheet_ = s_.action == Action::OpenDocument ? Sheet::Document : Sheet::Printer;
            return L"";
        }
        if (place == Place::Printer && sheet_ != Sheet::Printer)
            return L"offset needs the printer properties open (the line printer)";
        if (place == Place::Anywhere || place == Place::Printer) return L"";
        const std::wstring problem = NeedSheet();
        if (place == Place::Closing) sheet_ = Sheet::None;
        return problem;
    }

    std::wstring NeedSheet() const
    {
        if (sheet_ == Sheet::None) return words_[0] + L" needs open properties (a line document or printer before it)";
        return L"";
    }

    // The words from `first` on, as the form has them. False when they are not.
    bool ParseWords(Words words, size_t first)
    {
        const size_t given = words_.size() - first;
        const std::wstring* word = words_.data() + first;
        switch (words) {
            case Words::None:
                return given == 0;
            case Words::Text:
                s_.text = given == 1 ? word[0] : L"";
                return given == 1;
            case Words::Id:
            case Words::Control:
                if (given != 1 || (words == Words::Id && !IsDigits(word[0]))) return false;
                s_.control = Control(word[0]);
                return true;
            case Words::ListEntry:
            case Words::DialogButton:
                if (given != 2 || (words == Words::ListEntry && !IsDigits(word[0]))) return false;
                s_.control = Control(word[words == Words::ListEntry ? 0 : 1]);
                s_.text = word[words == Words::ListEntry ? 1 : 0];
                return true;
            case Words::Number:
            case Words::Count:
                return given == 1 && ParseNumber(word[0], &s_.number) && (words == Words::Number || s_.number >= 0);
            case Words::Setting:
                return given == 2;  // ParseSetting then says what is wrong with them
            case Words::Job:
                return given >= 1 && ParseJob(first);
        }
        return false;
    }

    bool ParseJob(size_t first)
    {
        s_.text = words_[first];
        for (size_t i = first + 1; i < words_.size();) {
            long* target = SameWord(words_[i], L"count")   ? &s_.count
                           : SameWord(words_[i], L"bytes") ? &s_.bytes
                                                           : nullptr;
            if (target != nullptr && i + 1 < words_.size() && ParseNumber(words_[i + 1], target) && *target >= 0) {
                i += 2;
                continue;
            }
            long at = 0, value = 0;
            if (!SameWord(words_[i], L"byte") || i + 2 >= words_.size() || !ParseNumber(words_[i + 1], &at) || at < 0 ||
                !ParseNumber(words_[i + 2], &value) || value < 0 || value > 255)
                return false;
            s_.bytesAt.emplace_back(at, value);
            i += 3;
        }
        return true;
    }

    std::wstring ParseExpect()
    {
        if (words_.size() < 2) return Usage(L"expect CONDITION ...");
        std::wstring known;
        s_.expectation = FindRow(EXPECTATION_KINDS, EXPECTATION_KIND_COUNT, words_[1], &known);
        if (s_.expectation == nullptr) return L"unknown condition \"" + words_[1] + L"\" (known: " + known + L")";
        if (!ParseWords(s_.expectation->words, 2)) return Usage(s_.expectation->form);
        if (s_.expectation->words == Words::Setting) return ParseSetting(words_[2], words_[3]);
        return s_.expectation->needsSheet ? NeedSheet() : L"";
    }

    std::wstring ParseSetting(const std::wstring& name, const std::wstring& value)
    {
        s_.field = nullptr;
        std::wstring known;
        for (const TicketFeature& feature : TICKET_FEATURES) {
            known += std::wstring(known.empty() ? L"" : L", ") + feature.field;
            if (SameWord(name, feature.field)) s_.field = feature.member;
        }
        for (const auto& other : OtherFields) {
            known += std::wstring(L", ") + other.name;
            if (SameWord(name, other.name)) s_.field = other.field;
        }
        if (s_.field == nullptr) return L"unknown setting \"" + name + L"\" (known: " + known + L")";
        if (ParseNumber(value, &s_.number)) return L"";
        if (const TicketFeature* feature = FeatureOf(s_.field)) {
            for (size_t i = 0; i < feature->optionCount; ++i) {
                if (!SameOption(value, feature->options[i].name)) continue;
                s_.number = feature->options[i].value;
                return L"";
            }
        }
        return L"\"" + value + L"\" is not a value of " + SettingName(s_.field);
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
