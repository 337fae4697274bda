#pragma once

#include "platform/print_ticket.h"

// The plug-in object's PrintTicket face: the five job settings as features of our namespace. It lives
// inside the plug-in object and counts references on that object, so both interfaces share one
// lifetime. It keeps no state beyond its owner: applications call it from any thread.
class PrintTicketProvider final : public IPrintOemPrintTicketProvider {
public:
    // `owner` answers QueryInterface and counts references for this interface.
    explicit PrintTicketProvider(IUnknown* owner) : owner_(owner) {}
    PrintTicketProvider(const PrintTicketProvider&) = delete;
    PrintTicketProvider& operator=(const PrintTicketProvider&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetSupportedVersions(HANDLE hPrinter, INT** ppVersions, INT* cVersions) override;
    HRESULT STDMETHODCALLTYPE BindPrinter(HANDLE hPrinter, INT version, OEMPTOPTS* pOptions, INT* cNamespaces,
                                          BSTR** ppNamespaces) override;
    HRESULT STDMETHODCALLTYPE PublishPrintTicketHelperInterface(IUnknown* pHelper) override;
    HRESULT STDMETHODCALLTYPE QueryDeviceDefaultNamespace(BSTR* pbstrNamespaceUri) override;
    HRESULT STDMETHODCALLTYPE ConvertPrintTicketToDevMode(IXMLDOMDocument2* pPrintTicket, ULONG cbDevmode,
                                                          DEVMODEW* pDevmode, ULONG cbDrvPrivateSize,
                                                          PVOID pPrivateDevmode) override;
    HRESULT STDMETHODCALLTYPE ConvertDevModeToPrintTicket(ULONG cbDevmode, DEVMODEW* pDevmode, ULONG cbDrvPrivateSize,
                                                          PVOID pPrivateDevmode,
                                                          IXMLDOMDocument2* pPrintTicket) override;
    HRESULT STDMETHODCALLTYPE CompletePrintCapabilities(IXMLDOMDocument2* pPrintTicket,
                                                        IXMLDOMDocument2* pCapabilities) override;
    HRESULT STDMETHODCALLTYPE ExpandIntentOptions(IXMLDOMDocument2* pPrintTicket) override;
    HRESULT STDMETHODCALLTYPE ValidatePrintTicket(IXMLDOMDocument2* pPrintTicket) override;

private:
    IUnknown* owner_;
};
