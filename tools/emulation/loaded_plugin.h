// The plug-in DLL loaded by path and reached only through its two exports, as the driver's UI core
// does: DllGetClassObject(CLSID_OEMUI, IID_IClassFactory), CreateInstance(IID_IUnknown), then
// QueryInterface for IPrintOemUI.
#pragma once

#include <string>

#include "platform/printoem.h"

class LoadedModule {
public:
    explicit LoadedModule(const wchar_t* path) : module_(LoadLibraryW(path)) {}
    ~LoadedModule()
    {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    HMODULE get() const { return module_; }
    void* proc(const char* name) const
    {
        return module_ ? reinterpret_cast<void*>(GetProcAddress(module_, name)) : nullptr;
    }

private:
    HMODULE module_;
};

// {292515F9-B54B-489B-9275-BAB56821395E}: the newer interface the core asks for before IPrintOemUI.
inline constexpr IID IID_IPrintOemUI2 = {0x292515F9, 0xB54B, 0x489B, {0x92, 0x75, 0xBA, 0xB5, 0x68, 0x21, 0x39, 0x5E}};

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// Creates one plug-in object from a loaded module. On failure returns the HRESULT of the step that
// failed and leaves *plugin null.
HRESULT CreatePluginObject(const LoadedModule& module, IPrintOemUI** plugin);

// The folder of this program, with a trailing backslash.
std::wstring ProgramFolder();

// The plug-in to load: the one asked for, else orlinui.dll beside this program.
std::wstring PluginPath(const std::wstring& requested);
