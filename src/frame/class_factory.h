#pragma once

#include "platform/printoem.h"

// Makes plug-in objects for the driver's UI core. One factory per DllGetClassObject call.
class OemUiClassFactory final : public IClassFactory {
public:
    OemUiClassFactory() = default;
    OemUiClassFactory(const OemUiClassFactory&) = delete;
    OemUiClassFactory& operator=(const OemUiClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    ~OemUiClassFactory() = default;

    volatile LONG refCount_ = 1;
};
