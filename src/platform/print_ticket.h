// The PrintTicket provider contract between the driver's UI core and a UI plug-in, and the MSXML
// identifiers the project needs that MinGW-w64 declares without defining (or not at all).
#pragma once

#include <msxml2.h>

#include "platform/printoem.h"

// ---- Identifiers -------------------------------------------------------------------------------

// {BCF5E011-F60A-49FF-AB2F-E06F4ABDF281}
inline constexpr IID IID_IPrintOemPrintTicketProvider = {
    0xBCF5E011, 0xF60A, 0x49FF, {0xAB, 0x2F, 0xE0, 0x6F, 0x4A, 0xBD, 0xF2, 0x81}};

// msxml2.h declares these two but no import library defines them; selectany lets every user of this
// header define them without a second definition at link time.
// {2933BF95-7B36-11D2-B20E-00C04F983E60}
extern "C" __declspec(selectany) const IID IID_IXMLDOMDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
// {F5078F32-C551-11D3-89B9-0000F81FE221}
extern "C" __declspec(selectany) const CLSID CLSID_DOMDocument30 = {
    0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
// {88D96A05-F192-11D4-A65F-0040963251E5}: MSXML 6, absent from MinGW's headers.
inline constexpr CLSID CLSID_DOMDocument60 = {
    0x88D96A05, 0xF192, 0x11D4, {0xA6, 0x5F, 0x00, 0x40, 0x96, 0x32, 0x51, 0xE5}};

// ---- Constants ---------------------------------------------------------------------------------

constexpr HRESULT E_VERSION_NOT_SUPPORTED = static_cast<HRESULT>(0x80040001UL);
// The only successes ValidatePrintTicket may give: the core does not take S_OK as one.
constexpr HRESULT S_NO_CONFLICT = static_cast<HRESULT>(0x00040001UL);
constexpr HRESULT S_CONFLICT_RESOLVED = static_cast<HRESULT>(0x00040002UL);

// BindPrinter's options: OEMPT_DEFAULT lets the core embed the private section in the ticket as a
// snapshot; OEMPT_NOSNAPSHOT is right only when every private setting is in the XML.
typedef enum { OEMPT_DEFAULT = 0, OEMPT_NOSNAPSHOT = 1 } OEMPTOPTS;

// The one Print Schema major version there is.
constexpr INT PRINT_SCHEMA_VERSION = 1;

// ---- Interface ---------------------------------------------------------------------------------

// Implemented by the plug-in, on the same class as IPrintOemUI; slots 3 to 11 in declaration order.
struct IPrintOemPrintTicketProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSupportedVersions(HANDLE hPrinter, INT** ppVersions, INT* cVersions) = 0;
    virtual HRESULT STDMETHODCALLTYPE BindPrinter(HANDLE hPrinter, INT version, OEMPTOPTS* pOptions, INT* cNamespaces,
                                                  BSTR** ppNamespaces) = 0;
    virtual HRESULT STDMETHODCALLTYPE PublishPrintTicketHelperInterface(IUnknown* pHelper) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryDeviceDefaultNamespace(BSTR* pbstrNamespaceUri) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConvertPrintTicketToDevMode(IXMLDOMDocument2* pPrintTicket, ULONG cbDevmode,
                                                                  DEVMODEW* pDevmode, ULONG cbDrvPrivateSize,
                                                                  PVOID pPrivateDevmode) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConvertDevModeToPrintTicket(ULONG cbDevmode, DEVMODEW* pDevmode,
                                                                  ULONG cbDrvPrivateSize, PVOID pPrivateDevmode,
                                                                  IXMLDOMDocument2* pPrintTicket) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompletePrintCapabilities(IXMLDOMDocument2* pPrintTicket,
                                                                IXMLDOMDocument2* pCapabilities) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandIntentOptions(IXMLDOMDocument2* pPrintTicket) = 0;
    virtual HRESULT STDMETHODCALLTYPE ValidatePrintTicket(IXMLDOMDocument2* pPrintTicket) = 0;
};
