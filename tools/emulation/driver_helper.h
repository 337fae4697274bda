// Stand-in for the driver's IPrintOemDriverUI helper: the plug-in only keeps a reference to it, so
// it answers queries, counts references and refuses every driver-setting call.
#pragma once

#include "platform/printoem.h"

class DriverHelperStandIn final : public IPrintOemDriverUI {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }
    // Lives on the host's stack or in a test: the count is observed, never used to delete.
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&refCount_)); }

    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }

    LONG references() const { return refCount_; }
    int queries() const { return queries_; }

private:
    volatile LONG refCount_ = 1;
    int queries_ = 0;
};
