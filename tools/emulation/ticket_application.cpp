#include "emulation/ticket_application.h"

#include <string>
#include <utility>

#include "settings/ticket_features.h"
#include "tickets/schema_document.h"

namespace {

constexpr wchar_t OUR_PREFIX[] = L"orlin";  // the prefix an application declares when a ticket has none for us

// The prefix the root declares for our namespace; one of the application's own declared there when none.
HRESULT OurPrefix(IXMLDOMElement* root, std::wstring* prefix)
{
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    HRESULT hr = root->get_attributes(attributes.Out());
    if (SUCCEEDED(hr)) hr = attributes->get_length(&count);
    for (long i = 0; SUCCEEDED(hr) && i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        Bstr name, value;
        hr = attributes->get_item(i, attribute.Out());
        if (SUCCEEDED(hr)) hr = attribute->get_nodeName(name.Out());
        if (SUCCEEDED(hr)) hr = attribute->get_text(value.Out());
        if (FAILED(hr)) return hr;
        const std::wstring declared = name.Get() != nullptr ? name.Get() : L"";
        if (declared.compare(0, 6, L"xmlns:") == 0 && value.Get() != nullptr &&
            std::wstring(value.Get()) == ORLIN_TICKET_NAMESPACE) {
            *prefix = declared.substr(6);
            return S_OK;
        }
    }
    if (FAILED(hr)) return hr;
    *prefix = OUR_PREFIX;
    Bstr declaration((L"xmlns:" + *prefix).c_str());
    Variant uri;
    if (!uri.HoldString(SysAllocString(ORLIN_TICKET_NAMESPACE))) return E_OUTOFMEMORY;
    return root->setAttribute(declaration.Get(), uri.Get());
}

HRESULT NewSchemaElement(IXMLDOMDocument2* ticket, const wchar_t* name, const std::wstring& nameValue,
                         ComPtr<IXMLDOMElement>* element)
{
    VARIANT type;  // a number: nothing to clear
    VariantInit(&type);
    type.vt = VT_I4;
    type.lVal = NODE_ELEMENT;
    Bstr qualified(name), uri(PSF_NAMESPACE), attribute(L"name");
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = ticket->createNode(type, qualified.Get(), uri.Get(), node.Out());
    if (SUCCEEDED(hr)) hr = node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element->Out()));
    Variant value;
    if (SUCCEEDED(hr) && !value.HoldString(SysAllocString(nameValue.c_str()))) hr = E_OUTOFMEMORY;
    if (SUCCEEDED(hr)) hr = (*element)->setAttribute(attribute.Get(), value.Get());
    return hr;
}

// The root's psf:Feature element whose name is featureName; null when it has none.
HRESULT FindFeature(IXMLDOMElement* root, const std::wstring& featureName, ComPtr<IXMLDOMElement>* found)
{
    ComPtr<IXMLDOMNode> child;
    HRESULT hr = root->get_firstChild(child.Out());
    for (; SUCCEEDED(hr) && child && !*found;) {
        Bstr base, uri;
        ComPtr<IXMLDOMElement> element;
        if (SUCCEEDED(child->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.Out()))) &&
            SUCCEEDED(child->get_baseName(base.Out())) && SUCCEEDED(child->get_namespaceURI(uri.Out())) &&
            base.Get() != nullptr && uri.Get() != nullptr && std::wstring(base.Get()) == L"Feature" &&
            std::wstring(uri.Get()) == PSF_NAMESPACE) {
            Bstr attribute(L"name");
            Variant name;
            if (SUCCEEDED(element->getAttribute(attribute.Get(), name.Out())) && name.String() != nullptr &&
                featureName == name.String())
                *found = std::move(element);
        }
        ComPtr<IXMLDOMNode> next;
        hr = child->get_nextSibling(next.Out());
        child = std::move(next);
    }
    return hr;
}

// The feature's options give way to the one chosen.
HRESULT ReplaceOptions(IXMLDOMDocument2* ticket, IXMLDOMElement* feature, const std::wstring& optionName)
{
    ComPtr<IXMLDOMNode> old;
    HRESULT hr;
    while (SUCCEEDED(hr = feature->get_firstChild(old.Out())) && old) {
        ComPtr<IXMLDOMNode> removed;
        hr = feature->removeChild(old.Get(), removed.Out());
        if (FAILED(hr)) return hr;
    }
    if (FAILED(hr)) return hr;
    ComPtr<IXMLDOMElement> chosen;
    hr = NewSchemaElement(ticket, L"psf:Option", optionName, &chosen);
    ComPtr<IXMLDOMNode> appended;
    if (SUCCEEDED(hr)) hr = feature->appendChild(chosen.Get(), appended.Out());
    return hr;
}

}  // namespace

HRESULT SetTicketOption(IXMLDOMDocument2* ticket, const wchar_t* feature, const wchar_t* option)
{
    ComPtr<IXMLDOMElement> root;
    HRESULT hr = ticket->get_documentElement(root.Out());
    if (FAILED(hr) || !root) return FAILED(hr) ? hr : E_INVALIDARG;
    std::wstring prefix;
    hr = OurPrefix(root.Get(), &prefix);
    if (FAILED(hr)) return hr;
    const std::wstring featureName = prefix + L":" + feature;
    // The feature of that name among the root's children, else a new one at the end.
    ComPtr<IXMLDOMElement> found;
    hr = FindFeature(root.Get(), featureName, &found);
    if (FAILED(hr)) return hr;
    if (!found) {
        hr = NewSchemaElement(ticket, L"psf:Feature", featureName, &found);
        ComPtr<IXMLDOMNode> appended;
        if (SUCCEEDED(hr)) hr = root->appendChild(found.Get(), appended.Out());
        if (FAILED(hr)) return hr;
    }
    return ReplaceOptions(ticket, found.Get(), prefix + L":" + option);
}
