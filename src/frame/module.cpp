#include "frame/module.h"

#include <new>

#include "frame/class_factory.h"
#include "sheet/module_resources.h"

volatile LONG ServerLockCount = 0;

// Only the module handle is kept: no file, registry or heap work under the loader lock. The one
// thing undone at unload is the Common Controls 6 context, as isolation-aware DLLs do; when the
// process is ending (reserved not null) the system takes it with everything else.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (LOWORD(reason) == DLL_PROCESS_ATTACH) ModuleHandle = instance;
    if (LOWORD(reason) == DLL_PROCESS_DETACH && reserved == nullptr) ReleasePluginActivationContext();
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    if (!IsEqualCLSID(rclsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;

    OemUiClassFactory* factory = new (std::nothrow) OemUiClassFactory();
    if (factory == nullptr) return E_OUTOFMEMORY;

    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow()
{
    return ServerLockCount == 0 ? S_OK : S_FALSE;
}
