#include "frame/class_factory.h"

#include <new>

#include "frame/module.h"
#include "frame/plugin.h"

HRESULT STDMETHODCALLTYPE OemUiClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE OemUiClassFactory::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE OemUiClassFactory::Release()
{
    // Once the count is down, another thread's final Release may already have deleted the object:
    // answer with what the decrement gave, never read the count again.
    const LONG left = InterlockedDecrement(&refCount_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE OemUiClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv)
{
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;

    OemUiPlugin* plugin = new (std::nothrow) OemUiPlugin();
    if (plugin == nullptr) return E_OUTOFMEMORY;

    const HRESULT hr = plugin->QueryInterface(riid, ppv);
    plugin->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE OemUiClassFactory::LockServer(BOOL fLock)
{
    if (fLock) {
        InterlockedIncrement(&ServerLockCount);
    } else {
        InterlockedDecrement(&ServerLockCount);
    }
    return S_OK;
}
