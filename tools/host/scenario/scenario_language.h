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

enum class Condition {
    None,
    Setting,    // expect setting NAME VALUE
    Offset,     // expect offset N
    Jobs,       // expect jobs N
    Job,        // expect job NAME [count N] [bytes N] [byte AT VALUE]...
    Checked,    // expect checked CONTROL
    Unchecked,  // expect unchecked CONTROL
    Enabled,    // expect enabled CONTROL
    Disabled,   // expect disabled CONTROL
    Selected,   // expect selected LIST ENTRY
    Dialog,     // expect dialog CAPTION
    Page,       // expect page PAGE
};

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
    Condition condition = Condition::None;
    ControlName control;  // click, command, select, answer's button, expect on controls
    std::wstring text;    // page, dialog caption, list entry, job name
    SettingField field = &PrivateDevmode::printMode;
    long number = 0;                             // offset, expect offset/jobs/setting value
    long count = -1;                             // expect job ... count N (-1: at least one)
    long bytes = -1;                             // expect job ... bytes N
    std::vector<std::pair<long, long>> bytesAt;  // expect job ... byte AT VALUE (any number of them)
};

struct ParsedScenario {
    std::vector<Statement> statements;
    std::vector<std::wstring> errors;  // "line N: ..." for each line that is not right
    bool ok() const { return errors.empty(); }
};

ParsedScenario ParseScenario(const std::wstring& text);

// The name of a setting as written in scenarios, and the meaning of one of its values.
const wchar_t* SettingName(SettingField field);
std::wstring SettingValueName(SettingField field, long value);
