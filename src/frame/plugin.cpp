#include "frame/plugin.h"

#include <cstring>

#include "items/common_ui.h"
#include "pages/sheet_registration.h"
#include "settings/private_devmode.h"

namespace {

// Which face of the object answers each interface. IUnknown is always the IPrintOemUI face, so the
// object's identity is the same whichever interface it is reached through.
enum class Face { Ui, Ticket };
struct InterfaceEntry {
    const IID* iid;
    Face face;
};
const InterfaceEntry Interfaces[] = {
    {&IID_IUnknown, Face::Ui},
    {&IID_IPrintOemUI, Face::Ui},
    {&IID_IPrintOemPrintTicketProvider, Face::Ticket},
};

}  // namespace

OemUiPlugin::~OemUiPlugin()
{
    if (driverHelper_ != nullptr) {
        driverHelper_->Release();
        driverHelper_ = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr) return E_POINTER;
    for (const InterfaceEntry& entry : Interfaces) {
        if (!IsEqualIID(riid, *entry.iid)) continue;
        *ppv = entry.face == Face::Ui ? static_cast<IUnknown*>(static_cast<IPrintOemUI*>(this))
                                      : static_cast<IUnknown*>(&ticketProvider_);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE OemUiPlugin::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE OemUiPlugin::Release()
{
    // Once the count is down, another thread's final Release may already have deleted the object:
    // answer with what the decrement gave, never read the count again.
    const LONG left = InterlockedDecrement(&refCount_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded)
{
    if (pcbNeeded == nullptr ||
        (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION && dwMode != OEMGI_GETPUBLISHERINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    *pcbNeeded = sizeof(DWORD);
    if (cbSize < sizeof(DWORD) || pBuffer == nullptr) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    switch (dwMode) {
        case OEMGI_GETSIGNATURE:
            *static_cast<DWORD*>(pBuffer) = PRIVATE_DEVMODE_SIGNATURE;
            return S_OK;
        case OEMGI_GETVERSION:
            *static_cast<DWORD*>(pBuffer) = PLUGIN_VERSION;
            return S_OK;
        default:  // publisher information belongs to rendering plug-ins
            *pcbNeeded = 0;
            SetLastError(ERROR_NOT_SUPPORTED);
            return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::PublishDriverInterface(IUnknown* pIUnknown)
{
    if (driverHelper_ != nullptr) return S_OK;
    if (pIUnknown == nullptr) return E_FAIL;

    void* helper = nullptr;
    if (FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverUI, &helper)) || helper == nullptr) {
        driverHelper_ = nullptr;
        return E_FAIL;
    }
    driverHelper_ = static_cast<IPrintOemDriverUI*>(helper);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam)
{
    if (pOemCUIPParam != nullptr) printer_ = pOemCUIPParam->hPrinter;
    return BuildCommonUIItems(documentSheet_, dwMode, pOemCUIPParam);
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    return RegisterDocumentSheet(documentSheet_, pPSUIInfo, lParam);
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO, LPARAM)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID)
{
    return E_NOTIMPL;
}

#pragma push_macro("DeviceCapabilities")
#undef DeviceCapabilities
HRESULT STDMETHODCALLTYPE OemUiPlugin::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID,
                                                          DWORD, DWORD*)
{
    return E_NOTIMPL;
}
#pragma pop_macro("DeviceCapabilities")

HRESULT STDMETHODCALLTYPE OemUiPlugin::UpgradePrinter(DWORD, PBYTE)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::PrinterEvent(PWSTR, INT, DWORD, LPARAM)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG ulQueryMode,
                                                         VOID* pvProfileData, ULONG* pcbProfileData,
                                                         FLONG* pflProfileData)
{
    if (ulQueryMode != QCP_DEVICEPROFILE) return E_FAIL;
    if (pcbProfileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (pvProfileData == nullptr || *pcbProfileData < COLOR_PROFILE_BUFFER_SIZE) {
        *pcbProfileData = COLOR_PROFILE_BUFFER_SIZE;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    std::memcpy(pvProfileData, COLOR_PROFILE_NAME, sizeof(COLOR_PROFILE_NAME));
    *pcbProfileData = COLOR_PROFILE_BUFFER_SIZE;
    if (pflProfileData != nullptr) *pflProfileData = QCP_PROFILEDISK;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemUiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR)
{
    return E_NOTIMPL;
}
