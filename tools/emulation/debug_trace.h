// What the plug-in writes to the debugger while the host watches: its OutputDebugStringW import is
// redirected to a collector that also passes each line on to the real debugger output.
#pragma once

#include <windows.h>

#include <string>

#include "emulation/import_patch.h"

class DebugTraceRecorder {
public:
    explicit DebugTraceRecorder(HMODULE pluginModule);
    ~DebugTraceRecorder();
    DebugTraceRecorder(const DebugTraceRecorder&) = delete;
    DebugTraceRecorder& operator=(const DebugTraceRecorder&) = delete;

    const std::wstring& text() const { return text_; }

private:
    friend struct DebugTraceCalls;
    std::wstring text_;
    ImportPatch patch_;
    DebugTraceRecorder* previous_;
};
