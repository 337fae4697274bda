// The scenario language of `orlinhost run`: one statement per line, words separated by blanks,
// text with blanks in double quotes, lines starting with # are comments. A scenario opens the
// document or the printer properties, works their pages and dialogs as a person would, and states
// what it expects; see the README for the statements. Parsing checks every line, and the order of
// the statements, before anything is shown or sent.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "settings/private_devmode.h"

enum class Action {
    OpenDocument,  // document
    OpenPrinter,   // printer
    ChoosePage,    // page PAGE
    Click,         // click CONTROL
    Command,       // command ID
    Select,        // select LIST ENTRY
    Answer,        // answer DIALOG BUTTON
    SetOffset,     // offset N
    Apply,         // apply
    CloseOk,       // ok
    CloseCancel,   // cancel
    Expect,        // expect CONDITION ...
};

// What follows a statement's word (or an expectation's): the statement and expectation tables say
// which, and one parser reads them all.
enum class Words {
    None,
    Text,          // PAGE, CAPTION
    Control,       // CONTROL: an id or a caption
    Id,            // ID: a number
    ListEntry,     // LIST-ID ENTRY
    DialogButton,  // DIALOG BUTTON
    Number,        // N
    Count,         // N, not below 0
    Setting,       // NAME VALUE
    Job,           // NAME [count N] [bytes N] [byte AT VALUE]...
};

struct ExpectationKind;

// A control named by id (a number) or by caption.
struct ControlName {
    int id = -1;
    std::wstring caption;
    bool byId() const { return id >= 0; }
    std::wstring describe() const;
};

// A field of the private devmode that `expect setting` can name: a job setting of the features
// table (by its field name), offsetValue or spareFlag.
using SettingField = int32_t PrivateDevmode::*;

struct Statement {
    int line = 0;
    std::wstring source;              // the line as written, trimmed
    std::vector<std::wstring> notes;  // the comment lines just above it, shown when it runs
    Action action = Action::Expect;
    const ExpectationKind* expectation = nullptr;  // for expect: its row of the expectation kinds
    ControlName control;                           // click, command, select, answer's button, expect on controls
    std::wstring text;                             // page, dialog caption, list entry, job name
    SettingField field = &PrivateDevmode::printMode;
    long number = 0;                             // offset, expect offset/jobs/setting value
    long count = -1;                             // expect job ... count N (-1: at least one)
    long bytes = -1;                             // expect job ... bytes N
    std::vector<std::pair<long, long>> bytesAt;  // expect job ... byte AT VALUE (any number of them)
};

// What a scenario can expect, one row per kind: the word after `expect`, the form shown for a wrong
// line, the words that follow, what its text names, and the check against the session as it is (expectations.cpp).
// The parser and the runner both read this table, so a new kind of expectation is one row.
struct Scene;

// What an expectation's text names, so that a run in another language looks for the same thing in
// that language's captions (shown_captions).
enum class TextNames { Nothing, PageTitle, DialogCaption, ListEntry };

// Not yet: what is expected may still come (a dialog that opens); the runner waits for it a while.
enum class Verdict { Met, Unmet, NotYet };

struct ExpectationKind {
    const wchar_t* word;
    const wchar_t* form;
    Words words;
    bool needsSheet;  // only while the properties are open
    Verdict (*check)(const Statement& statement, const Scene& scene, std::wstring* why);
    TextNames names = TextNames::Nothing;
};

extern const ExpectationKind EXPECTATION_KINDS[];
extern const size_t EXPECTATION_KIND_COUNT;

struct ParsedScenario {
    std::vector<Statement> statements;
    std::vector<std::wstring> errors;  // "line N: ..." for each line that is not right
    bool ok() const { return errors.empty(); }
};

ParsedScenario ParseScenario(const std::wstring& text);

// The name of a setting as written in scenarios, and the meaning of one of its values.
const wchar_t* SettingName(SettingField field);
std::wstring SettingValueName(SettingField field, long value);
