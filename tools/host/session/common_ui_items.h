// The core's CommonUIProp exchange for one of the session's sheets, as the host reports it: the
// document sheet's comes with the driver's option tree, and the host lists what the plug-in changed
// in it and counts what it traced to the debugger while it filled its items. The plug-in's item
// callback is then called for the sheet's events (Apply above all), since Wine's common property
// sheet does not draw option items.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/session/host_session.h"

struct ItemExchange {
    std::vector<std::wstring> treeChanges;  // one line per driver item the plug-in changed
    size_t tracedLines = 0;                 // debugger lines of the call that filled the items
};

// Both calls, each step reported on log. False when a call failed.
bool ExchangeOptionItems(HostSession& session, SheetKind kind, FILE* log, ItemExchange* exchange = nullptr);

// The plug-in item's name: text, a string id of the plug-in module, or "(no name)".
std::wstring OptionItemName(const OPTITEM& item, HMODULE module);
