#include "emulation/loaded_plugin.h"

HRESULT CreatePluginObject(const LoadedModule& module, IPrintOemUI** plugin)
{
    *plugin = nullptr;
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(module.proc("DllGetClassObject"));
    if (getClassObject == nullptr) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;

    IUnknown* unknown = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown));
    factory->Release();
    if (FAILED(hr)) return hr;

    // The core probes newest interface first; this plug-in answers only IPrintOemUI.
    void* probe = nullptr;
    if (SUCCEEDED(unknown->QueryInterface(IID_IPrintOemUI2, &probe))) static_cast<IUnknown*>(probe)->Release();
    hr = unknown->QueryInterface(IID_IPrintOemUI, reinterpret_cast<void**>(plugin));
    unknown->Release();
    return hr;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

std::wstring PluginPath(const std::wstring& requested)
{
    return requested.empty() ? ProgramFolder() + L"orlinui.dll" : requested;
}
