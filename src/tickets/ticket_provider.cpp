#include "tickets/ticket_provider.h"

#include <objbase.h>

#include <cstring>

#include "settings/ticket_features.h"
#include "tickets/ticket_operations.h"

HRESULT STDMETHODCALLTYPE PrintTicketProvider::QueryInterface(REFIID riid, void** ppv)
{
    return owner_->QueryInterface(riid, ppv);
}

ULONG STDMETHODCALLTYPE PrintTicketProvider::AddRef()
{
    return owner_->AddRef();
}

ULONG STDMETHODCALLTYPE PrintTicketProvider::Release()
{
    return owner_->Release();
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::GetSupportedVersions(HANDLE, INT** ppVersions, INT* cVersions)
{
    if (ppVersions == nullptr || cVersions == nullptr) return E_POINTER;
    *ppVersions = nullptr;
    *cVersions = 0;
    INT* versions = static_cast<INT*>(CoTaskMemAlloc(sizeof(INT)));
    if (versions == nullptr) return E_OUTOFMEMORY;
    versions[0] = PRINT_SCHEMA_VERSION;
    *ppVersions = versions;
    *cVersions = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::BindPrinter(HANDLE, INT version, OEMPTOPTS* pOptions, INT* cNamespaces,
                                                           BSTR** ppNamespaces)
{
    if (pOptions == nullptr || cNamespaces == nullptr || ppNamespaces == nullptr) return E_POINTER;
    *cNamespaces = 0;
    *ppNamespaces = nullptr;
    if (version != PRINT_SCHEMA_VERSION) return E_VERSION_NOT_SUPPORTED;

    BSTR* namespaces = static_cast<BSTR*>(CoTaskMemAlloc(sizeof(BSTR)));
    if (namespaces == nullptr) return E_OUTOFMEMORY;
    namespaces[0] = SysAllocString(ORLIN_TICKET_NAMESPACE);
    if (namespaces[0] == nullptr) {
        CoTaskMemFree(namespaces);
        return E_OUTOFMEMORY;
    }
    // The private section still travels whole in the devmode's snapshot: spareFlag and offsetValue
    // are no features, and a stored devmode must come back with them.
    *pOptions = OEMPT_DEFAULT;
    *cNamespaces = 1;
    *ppNamespaces = namespaces;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::PublishPrintTicketHelperInterface(IUnknown*)
{
    return S_OK;  // the helper's feature access is not needed: every setting is in our own section
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::QueryDeviceDefaultNamespace(BSTR*)
{
    return E_NOTIMPL;  // the core's default namespace stays
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::ExpandIntentOptions(IXMLDOMDocument2* pPrintTicket)
{
    if (pPrintTicket == nullptr) return E_POINTER;
    return S_OK;  // no feature of ours stands for a group of others
}

namespace {

// The private section the core hands over: at least 40 bytes, ours by its signature. Read through a
// copy: the core's buffer need not be aligned.
HRESULT ReadSection(ULONG size, const void* section, PrivateDevmode* copy)
{
    if (section == nullptr) return E_POINTER;
    if (size < PRIVATE_DEVMODE_SIZE) return E_INVALIDARG;
    std::memcpy(copy, section, PRIVATE_DEVMODE_SIZE);
    if (copy->dwSignature != PRIVATE_DEVMODE_SIGNATURE || copy->dwSize < PRIVATE_DEVMODE_SIZE) return E_INVALIDARG;
    return S_OK;
}

// The display names live in the string table of the module this code is linked into: the plug-in
// DLL, or a test program that links the plug-in's objects and resources.
HMODULE StringModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&StringModule), &module);
    return module;
}

}  // namespace

HRESULT STDMETHODCALLTYPE PrintTicketProvider::ConvertPrintTicketToDevMode(IXMLDOMDocument2* pPrintTicket, ULONG,
                                                                           DEVMODEW*, ULONG cbDrvPrivateSize,
                                                                           PVOID pPrivateDevmode)
{
    if (pPrintTicket == nullptr) return E_POINTER;
    PrivateDevmode settings;
    HRESULT hr = ReadSection(cbDrvPrivateSize, pPrivateDevmode, &settings);
    if (FAILED(hr)) return hr;
    hr = ReadSettingsFromTicket(pPrintTicket, &settings);
    if (FAILED(hr)) return hr;
    // Written once, whole, after the ticket has been read without a failure.
    std::memcpy(pPrivateDevmode, &settings, PRIVATE_DEVMODE_SIZE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::ConvertDevModeToPrintTicket(ULONG, DEVMODEW*, ULONG cbDrvPrivateSize,
                                                                           PVOID pPrivateDevmode,
                                                                           IXMLDOMDocument2* pPrintTicket)
{
    if (pPrintTicket == nullptr) return E_POINTER;
    PrivateDevmode settings;
    const HRESULT hr = ReadSection(cbDrvPrivateSize, pPrivateDevmode, &settings);
    if (FAILED(hr)) return hr;
    return WriteSettingsToTicket(settings, pPrintTicket);
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::CompletePrintCapabilities(IXMLDOMDocument2* pPrintTicket,
                                                                         IXMLDOMDocument2* pCapabilities)
{
    if (pCapabilities == nullptr) return E_POINTER;
    return AddCapabilities(pPrintTicket, pCapabilities, StringModule());
}

HRESULT STDMETHODCALLTYPE PrintTicketProvider::ValidatePrintTicket(IXMLDOMDocument2* pPrintTicket)
{
    if (pPrintTicket == nullptr) return E_POINTER;
    return ResolveConflicts(pPrintTicket);
}
