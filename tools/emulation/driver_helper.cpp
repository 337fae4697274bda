#include "emulation/driver_helper.h"

HRESULT STDMETHODCALLTYPE DriverHelperStandIn::QueryInterface(REFIID riid, void** ppv)
{
    ++queries_;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
        *ppv = static_cast<IPrintOemDriverUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}
