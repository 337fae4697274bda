// The import patcher lives with the host (tools/host/import_patch.h); the tests add the module their
// linked-in plug-in code imports through.
#pragma once

#include "host/import_patch.h"

// The module whose imports the plug-in code uses: the test program itself, since the plug-in's
// objects are linked into it.
inline HMODULE TestProgramModule() { return GetModuleHandleW(nullptr); }
