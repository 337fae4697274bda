// A scenario names pages, dialogs, buttons and list entries by their US English captions, so that one
// scenario runs in every language the plug-in carries: before a run in another language each of them
// is found in the plug-in's English resources and replaced by the same resource in the language the
// plug-in shows. What the resources do not hold stays as written: job names, setting values, "#1".
#pragma once

#include <windows.h>

#include <vector>

#include "host/scenario/scenario_language.h"

std::vector<Statement> InShownLanguage(std::vector<Statement> statements, HMODULE plugin, LANGID language);
