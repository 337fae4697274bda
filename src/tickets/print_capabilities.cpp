#include "tickets/feature_nodes.h"
#include "tickets/ticket_operations.h"

namespace {

// The prefixes the capabilities document gives the namespaces our features are written with.
struct Prefixes {
    Bstr psf;
    Bstr psk;
    Bstr xsi;
    Bstr xsd;
};

HRESULT FindPrefixes(SchemaDocument& document, Prefixes* prefixes)
{
    HRESULT hr = document.PrefixFor(PSF_NAMESPACE, L"psf", &prefixes->psf);
    if (FAILED(hr)) return hr;
    hr = document.PrefixFor(PSK_NAMESPACE, L"psk", &prefixes->psk);
    if (FAILED(hr)) return hr;
    hr = document.PrefixFor(XSI_NAMESPACE, L"xsi", &prefixes->xsi);
    if (FAILED(hr)) return hr;
    return document.PrefixFor(XSD_NAMESPACE, L"xsd", &prefixes->xsd);
}

// Appends <psf:Property name="prefix:name"> holding a copy of `value` to `parent`; `*copy` is the copy.
HRESULT AppendProperty(SchemaDocument& document, IXMLDOMNode* parent, const Bstr& prefix, const wchar_t* name,
                       IXMLDOMNode* value, ComPtr<IXMLDOMElement>* copy)
{
    ComPtr<IXMLDOMElement> property;
    HRESULT hr = document.CreateSchemaElement(L"Property", &property);
    if (FAILED(hr)) return hr;
    hr = SchemaDocument::SetQName(property.Get(), L"name", prefix, name);
    if (FAILED(hr)) return hr;
    ComPtr<IXMLDOMNode> node;
    hr = value->cloneNode(VARIANT_TRUE, node.Out());
    if (FAILED(hr)) return hr;
    hr = node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(copy->Out()));
    if (FAILED(hr)) return hr;
    hr = AppendChild(property.Get(), node.Get());
    if (FAILED(hr)) return hr;
    return AppendChild(parent, property.Get());
}

// Building an element through the DOM costs several calls per node; a deep copy of a finished one
// costs one. So one feature and one option are built, with an empty display name, and every
// feature and option is a copy of them with its names filled in.
struct Patterns {
    ComPtr<IXMLDOMNode> feature;  // SelectionType PickOne, then DisplayName
    ComPtr<IXMLDOMNode> option;   // constrained psk:None, then DisplayName
};

// The typed value is made once and copied with its xsi:type: Wine's MSXML keeps 94 bytes of every
// attribute node it makes in a namespace, and only such a node is in the instance namespace on
// every MSXML.
HRESULT MakePatterns(SchemaDocument& document, const Prefixes& prefixes, Patterns* patterns)
{
    ComPtr<IXMLDOMElement> text, unused, selection;
    HRESULT hr = document.CreateSchemaElement(L"Value", &text);
    if (FAILED(hr)) return hr;
    hr = document.SetValueType(text.Get(), prefixes.xsi, prefixes.xsd, L"string");
    if (FAILED(hr)) return hr;

    ComPtr<IXMLDOMElement> option;
    hr = document.CreateSchemaElement(L"Option", &option);
    if (FAILED(hr)) return hr;
    hr = SchemaDocument::SetQName(option.Get(), L"constrained", prefixes.psk, L"None");
    if (FAILED(hr)) return hr;
    hr = AppendProperty(document, option.Get(), prefixes.psk, L"DisplayName", text.Get(), &unused);
    if (FAILED(hr)) return hr;

    ComPtr<IXMLDOMElement> feature;
    hr = document.CreateSchemaElement(L"Feature", &feature);
    if (FAILED(hr)) return hr;
    hr = AppendProperty(document, feature.Get(), prefixes.psf, L"SelectionType", text.Get(), &selection);
    if (FAILED(hr)) return hr;
    Bstr type;
    *type.Out() = JoinQName(prefixes.xsi.Get(), prefixes.xsi.Length(), L"type", 4);
    Variant pickOne;
    if (type.Get() == nullptr ||
        !pickOne.HoldString(JoinQName(prefixes.psk.Get(), prefixes.psk.Length(), L"PickOne", 7)))
        return E_OUTOFMEMORY;
    hr = SchemaDocument::SetQName(selection.Get(), type.Get(), prefixes.xsd, L"QName");
    if (FAILED(hr)) return hr;
    hr = selection->put_text(pickOne.String());
    if (FAILED(hr)) return hr;
    hr = AppendProperty(document, feature.Get(), prefixes.psk, L"DisplayName", text.Get(), &unused);
    if (FAILED(hr)) return hr;

    hr = option->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(patterns->option.Out()));
    if (FAILED(hr)) return hr;
    return feature->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(patterns->feature.Out()));
}

// The display name of `id` from the string table, as a new string.
HRESULT LoadDisplayName(HMODULE strings, unsigned id, Bstr* text)
{
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(strings, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    *text->Out() = SysAllocStringLen(resource, static_cast<UINT>(length));
    return text->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
}

// A copy of `pattern` named `prefix:name`, its display name (the last child's value) `id`'s string.
HRESULT CopyPattern(IXMLDOMNode* pattern, const Bstr& prefix, const wchar_t* name, HMODULE strings, unsigned id,
                    ComPtr<IXMLDOMElement>* element)
{
    ComPtr<IXMLDOMNode> copy, property, value;
    HRESULT hr = pattern->cloneNode(VARIANT_TRUE, copy.Out());
    if (FAILED(hr)) return hr;
    hr = copy->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element->Out()));
    if (FAILED(hr)) return hr;
    hr = SchemaDocument::SetQName(element->Get(), L"name", prefix, name);
    if (FAILED(hr)) return hr;
    hr = copy->get_lastChild(property.Out());
    if (FAILED(hr)) return hr;
    hr = property->get_firstChild(value.Out());
    if (FAILED(hr)) return hr;
    Bstr text;
    hr = LoadDisplayName(strings, id, &text);
    if (FAILED(hr)) return hr;
    return value->put_text(text.Get());
}

// The print mode the ticket, if any, selects (-1 when it selects none): Photo constrains the drop sizes.
HRESULT TicketPrintMode(IXMLDOMDocument2* ticket, int32_t* printMode)
{
    *printMode = -1;
    if (ticket == nullptr) return S_OK;
    PrivateDevmode settings = {};
    settings.printMode = -1;
    const HRESULT hr = ReadSettingsFromTicket(ticket, &settings);
    if (FAILED(hr)) return hr;
    *printMode = settings.printMode;
    return S_OK;
}

HRESULT AppendFeature(SchemaDocument& document, const Bstr& ours, const Prefixes& prefixes, const Patterns& patterns,
                      HMODULE strings, size_t index, int32_t printMode)
{
    const TicketFeature& which = TICKET_FEATURES[index];
    ComPtr<IXMLDOMElement> feature;
    HRESULT hr = CopyPattern(patterns.feature.Get(), ours, which.name, strings, which.displayName, &feature);
    if (FAILED(hr)) return hr;
    for (size_t i = 0; i < which.optionCount; ++i) {
        const TicketOption& option = which.options[i];
        ComPtr<IXMLDOMElement> element;
        hr = CopyPattern(patterns.option.Get(), ours, option.name, strings, option.displayName, &element);
        if (FAILED(hr)) return hr;
        if (index == TICKET_DROP_SIZE && DropSizeExcluded(printMode, option.value)) {
            hr = SchemaDocument::SetQName(element.Get(), L"constrained", prefixes.psk, L"PrintTicketSettings");
            if (FAILED(hr)) return hr;
        }
        hr = AppendChild(feature.Get(), element.Get());
        if (FAILED(hr)) return hr;
    }
    return AppendChild(document.Root(), feature.Get());
}

}  // namespace

HRESULT AddCapabilities(IXMLDOMDocument2* ticket, IXMLDOMDocument2* capabilities, HMODULE strings)
{
    int32_t printMode = -1;
    HRESULT hr = TicketPrintMode(ticket, &printMode);
    if (FAILED(hr)) return hr;

    // Called again on the same document, the features are replaced, not doubled.
    OpenedDocument opened(capabilities);
    bool removed = false;
    hr = opened.Open(L"PrintCapabilities", ALL_FEATURES, &removed);
    if (FAILED(hr)) return hr;
    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        if (!opened.found.first[i]) continue;
        hr = opened.features.RemoveFromRoot(opened.found.first[i].Get());
        if (FAILED(hr)) return hr;
    }
    Prefixes prefixes;
    hr = FindPrefixes(opened.document, &prefixes);
    if (FAILED(hr)) return hr;
    const Bstr* ours = nullptr;
    hr = opened.features.OurPrefix(&ours);
    if (FAILED(hr)) return hr;
    Patterns patterns;
    hr = MakePatterns(opened.document, prefixes, &patterns);
    if (FAILED(hr)) return hr;
    for (size_t i = 0; i < TICKET_FEATURE_COUNT; ++i) {
        hr = AppendFeature(opened.document, *ours, prefixes, patterns, strings, i, printMode);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
