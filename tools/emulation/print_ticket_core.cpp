#include "emulation/print_ticket_core.h"

#include <cstring>

namespace {

constexpr wchar_t SCHEMA_DECLARATIONS[] =
    L" version=\"1\""
    L" xmlns:psf=\"http://schemas.microsoft.com/windows/2003/08/printing/printschemaframework\""
    L" xmlns:psk=\"http://schemas.microsoft.com/windows/2003/08/printing/printschemakeywords\""
    L" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    L" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"";

// The one public setting the stand-in core writes itself, so that the plug-in's features join a
// ticket that already holds one of the core's, as they do in the driver.
std::wstring OrientationFeature(const DEVMODEW& devmode)
{
    const bool landscape = (devmode.dmFields & DM_ORIENTATION) != 0 && devmode.dmOrientation == DMORIENT_LANDSCAPE;
    return std::wstring(L"<psf:Feature name=\"psk:PageOrientation\"><psf:Option name=\"psk:") +
           (landscape ? L"Landscape" : L"Portrait") + L"\"/></psf:Feature>";
}

}  // namespace

HRESULT PrintTicketCore::Note(const wchar_t* call, HRESULT hr)
{
    if (FAILED(hr)) failedCall_ = call;
    return hr;
}

HRESULT PrintTicketCore::Open()
{
    HRESULT hr = Note(
        L"QueryInterface(IPrintOemPrintTicketProvider)",
        core_.plugin()->QueryInterface(IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(provider_.Out())));
    if (FAILED(hr)) return hr;

    INT* versions = nullptr;
    INT versionCount = 0;
    hr = Note(L"GetSupportedVersions", provider_->GetSupportedVersions(core_.printer(), &versions, &versionCount));
    if (SUCCEEDED(hr) && versions != nullptr)
        versions_.assign(versions, versions + (versionCount > 0 ? versionCount : 0));
    CoTaskMemFree(versions);
    if (FAILED(hr)) return hr;
    bool knowsOne = false;
    for (INT version : versions_) knowsOne = knowsOne || version == PRINT_SCHEMA_VERSION;
    if (!knowsOne) return Note(L"GetSupportedVersions", E_VERSION_NOT_SUPPORTED);

    INT namespaceCount = 0;
    BSTR* namespaces = nullptr;
    hr = Note(L"BindPrinter", provider_->BindPrinter(core_.printer(), PRINT_SCHEMA_VERSION, &bindOptions_,
                                                     &namespaceCount, &namespaces));
    if (SUCCEEDED(hr) && namespaces != nullptr) {
        for (INT i = 0; i < namespaceCount; ++i) {
            namespaces_.push_back(namespaces[i] != nullptr ? namespaces[i] : L"");
            SysFreeString(namespaces[i]);
        }
    }
    CoTaskMemFree(namespaces);
    if (FAILED(hr)) return hr;

    Bstr defaultNamespace;
    defaultNamespaceResult_ = provider_->QueryDeviceDefaultNamespace(defaultNamespace.Out());
    return S_OK;
}

HRESULT PrintTicketCore::NewDocument(const wchar_t* root, const std::wstring& rootContent,
                                     ComPtr<IXMLDOMDocument2>* document)
{
    HRESULT hr = CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                  reinterpret_cast<void**>(document->Out()));
    if (FAILED(hr)) {
        hr = CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                              reinterpret_cast<void**>(document->Out()));
        if (FAILED(hr)) return hr;
    }
    // MSXML 3 selects with XSL patterns unless told otherwise; the plug-in selects with XPath.
    Bstr selectionLanguage(L"SelectionLanguage");
    Variant xpath;
    if (!xpath.HoldString(SysAllocString(L"XPath"))) return E_OUTOFMEMORY;
    hr = (*document)->setProperty(selectionLanguage.Get(), xpath.Get());
    if (FAILED(hr)) return hr;

    const std::wstring text =
        std::wstring(L"<psf:") + root + SCHEMA_DECLARATIONS + L">" + rootContent + L"</psf:" + root + L">";
    Bstr xml(text.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    hr = (*document)->loadXML(xml.Get(), &loaded);
    if (FAILED(hr)) return hr;
    return loaded == VARIANT_TRUE ? S_OK : E_FAIL;
}

HRESULT PrintTicketCore::JobTicket(ComPtr<IXMLDOMDocument2>* ticket)
{
    HRESULT hr =
        Note(L"making the ticket", NewDocument(L"PrintTicket", OrientationFeature(*core_.publicDevmode()), ticket));
    if (FAILED(hr)) return hr;
    std::vector<BYTE> devmode = JobDevmodeCopy();
    return FromDevmode(&devmode, ticket->Get());
}

HRESULT PrintTicketCore::Capabilities(IXMLDOMDocument2* ticket, ComPtr<IXMLDOMDocument2>* capabilities)
{
    HRESULT hr = Note(L"making the capabilities", NewDocument(L"PrintCapabilities", L"", capabilities));
    if (FAILED(hr)) return hr;
    return Note(L"CompletePrintCapabilities", provider_->CompletePrintCapabilities(ticket, capabilities->Get()));
}

HRESULT PrintTicketCore::Validate(IXMLDOMDocument2* ticket)
{
    HRESULT hr = Note(L"ExpandIntentOptions", provider_->ExpandIntentOptions(ticket));
    if (FAILED(hr)) return hr;
    std::vector<BYTE> devmode = JobDevmodeCopy();
    hr = ToDevmode(ticket, &devmode);
    if (FAILED(hr)) return hr;
    std::wstring why;
    if (!core_.MergeIntoDefaults(devmode.data() + sizeof(DEVMODEW), &why)) return Note(L"DevMode(OEMDM_MERGE)", E_FAIL);
    hr = FromDevmode(&devmode, ticket);
    if (FAILED(hr)) return hr;
    hr = provider_->ValidatePrintTicket(ticket);
    // The core takes only these two as success: a plain S_OK is a plug-in that did not validate.
    if (hr != S_NO_CONFLICT && hr != S_CONFLICT_RESOLVED) failedCall_ = L"ValidatePrintTicket";
    return hr;
}

HRESULT PrintTicketCore::ToJobDevmode(IXMLDOMDocument2* ticket)
{
    std::vector<BYTE> devmode = JobDevmodeCopy();
    const HRESULT hr = ToDevmode(ticket, &devmode);
    if (SUCCEEDED(hr)) memcpy(core_.publicDevmode(), devmode.data(), devmode.size());
    return hr;
}

HRESULT PrintTicketCore::ToDevmode(IXMLDOMDocument2* ticket, std::vector<BYTE>* devmode)
{
    return Note(L"ConvertPrintTicketToDevMode",
                provider_->ConvertPrintTicketToDevMode(ticket, static_cast<ULONG>(devmode->size()),
                                                       reinterpret_cast<DEVMODEW*>(devmode->data()),
                                                       core_.privateSize(), devmode->data() + sizeof(DEVMODEW)));
}

HRESULT PrintTicketCore::FromDevmode(std::vector<BYTE>* devmode, IXMLDOMDocument2* ticket)
{
    return Note(L"ConvertDevModeToPrintTicket",
                provider_->ConvertDevModeToPrintTicket(
                    static_cast<ULONG>(devmode->size()), reinterpret_cast<DEVMODEW*>(devmode->data()),
                    core_.privateSize(), devmode->data() + sizeof(DEVMODEW), ticket));
}

std::vector<BYTE> PrintTicketCore::JobDevmodeCopy()
{
    const BYTE* job = reinterpret_cast<const BYTE*>(core_.publicDevmode());
    return std::vector<BYTE>(job, job + sizeof(DEVMODEW) + core_.privateSize());
}
