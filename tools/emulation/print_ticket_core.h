// The driver core's PrintTicket side, on the one driver-core stand-in: it asks the plug-in object
// for its provider and makes the calls the core makes, in the core's order, on opening the printer
// and to validate a ticket, with the job devmode the stand-in owns. It makes the base documents the
// plug-in completes with the platform's MSXML (6, else 3 with XPath selection). COM must be
// initialised on the calling thread.
#pragma once

#include <string>
#include <vector>

#include "emulation/driver_core.h"
#include "platform/com_handles.h"
#include "platform/print_ticket.h"

class PrintTicketCore {
public:
    explicit PrintTicketCore(DriverCoreStandIn& core) : core_(core) {}
    PrintTicketCore(const PrintTicketCore&) = delete;
    PrintTicketCore& operator=(const PrintTicketCore&) = delete;

    // On opening the printer: the provider from the plug-in object, GetSupportedVersions,
    // BindPrinter with version 1, QueryDeviceDefaultNamespace (whose E_NOTIMPL keeps the core's
    // default). The first failure is returned and failedCall() names it.
    HRESULT Open();
    const std::vector<INT>& versions() const { return versions_; }
    OEMPTOPTS bindOptions() const { return bindOptions_; }
    const std::vector<std::wstring>& namespaces() const { return namespaces_; }
    HRESULT defaultNamespaceResult() const { return defaultNamespaceResult_; }

    // A document of the core's making: the root psf:PrintTicket or psf:PrintCapabilities, version 1,
    // with psf, psk, xsi and xsd declared on it, and rootContent (XML text) inside.
    static HRESULT NewDocument(const wchar_t* root, const std::wstring& rootContent,
                               ComPtr<IXMLDOMDocument2>* document);

    // The job's ticket: the core's own feature of the public part (the orientation), then the
    // plug-in's ConvertDevModeToPrintTicket with the job's private section.
    HRESULT JobTicket(ComPtr<IXMLDOMDocument2>* ticket);
    // A new PrintCapabilities document completed by the plug-in for a ticket (which may be null).
    HRESULT Capabilities(IXMLDOMDocument2* ticket, ComPtr<IXMLDOMDocument2>* capabilities);
    // The core's validation: ExpandIntentOptions; the ticket into a copy of the job devmode
    // (ConvertPrintTicketToDevMode); that devmode validated by the plug-in (DevMode OEMDM_MERGE into
    // defaults); back into the ticket (ConvertDevModeToPrintTicket); last ValidatePrintTicket, whose
    // result is returned. The job devmode is not touched.
    HRESULT Validate(IXMLDOMDocument2* ticket);
    // The ticket into the job devmode (ConvertPrintTicketToDevMode), as when a job prints with it.
    HRESULT ToJobDevmode(IXMLDOMDocument2* ticket);

    IPrintOemPrintTicketProvider* provider() const { return provider_.Get(); }
    const wchar_t* failedCall() const { return failedCall_; }

private:
    // hr, with the call's name kept when it failed.
    HRESULT Note(const wchar_t* call, HRESULT hr);
    HRESULT ToDevmode(IXMLDOMDocument2* ticket, std::vector<BYTE>* devmode);
    HRESULT FromDevmode(std::vector<BYTE>* devmode, IXMLDOMDocument2* ticket);
    std::vector<BYTE> JobDevmodeCopy();

    DriverCoreStandIn& core_;
    ComPtr<IPrintOemPrintTicketProvider> provider_;
    std::vector<INT> versions_;
    OEMPTOPTS bindOptions_ = OEMPT_DEFAULT;
    std::vector<std::wstring> namespaces_;
    HRESULT defaultNamespaceResult_ = S_OK;
    const wchar_t* failedCall_ = L"";
};
