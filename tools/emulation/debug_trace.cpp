#include "emulation/debug_trace.h"

namespace {

DebugTraceRecorder* Active = nullptr;

}  // namespace

struct DebugTraceCalls {
    static void WINAPI Output(LPCWSTR text)
    {
        if (Active != nullptr && text != nullptr) Active->text_ += text;
        OutputDebugStringW(text);
    }
};

DebugTraceRecorder::DebugTraceRecorder(HMODULE pluginModule)
    : patch_(pluginModule, "kernel32.dll", "OutputDebugStringW",
             reinterpret_cast<const void*>(&DebugTraceCalls::Output)),
      previous_(Active)
{
    Active = this;
}

DebugTraceRecorder::~DebugTraceRecorder()
{
    Active = previous_;
}
