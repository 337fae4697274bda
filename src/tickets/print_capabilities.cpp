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
    if (SUCCEEDED(hr)) hr = document.PrefixFor(PSK_NAMESPACE, L"psk", &prefixes->psk);
    if (SUCCEEDED(hr)) hr = document.PrefixFor(XSI_NAMESPACE, L"xsi", &prefixes->xsi);
    if (SUCCEEDED(hr)) hr = document.PrefixFor(XSD_NAMESPACE, L"xsd", &prefixes->xsd);
    return hr;
}

// Appends <psf:Property name="name"><psf:Value xsi:type="xsd:type">text</psf:Value></psf:Property>;
// the value stays empty for a null text.
HRESULT AppendProperty(SchemaDocument& document, const Prefixes& prefixes, IXMLDOMNode* parent, const Bstr& namePrefix,
                       const wchar_t* name, const wchar_t* type, BSTR text)
{
    ComPtr<IXMLDOMElement> property;
    HRESULT hr = document.CreateSchemaElement(L"Property", &property);
    if (SUCCEEDED(hr)) hr = SchemaDocument::SetQName(property.Get(), L"name", namePrefix, name);
    ComPtr<IXMLDOMElement> value;
    if (SUCCEEDED(hr)) hr = document.CreateSchemaElement(L"Value", &value);
    if (SUCCEEDED(hr)) hr = document.SetValueType(value.Get(), prefixes.xsi, prefixes.xsd, type);
    if (SUCCEEDED(hr) && text != nullptr) hr = value->put_text(text);
    if (SUCCEEDED(hr)) hr = AppendChild(property.Get(), value.Get());
    if (SUCCEEDED(hr)) hr = AppendChild(parent, property.Get());
    return hr;
}

// Building an element through the DOM costs several calls per node; a deep copy of a finished one
// costs one. So one feature and one option are built, with an empty display name, and every
// feature and option is a copy of them with its names filled in.
struct Patterns {
    ComPtr<IXMLDOMNode> feature;  // SelectionType PickOne, then DisplayName
    ComPtr<IXMLDOMNode> option;   // constrained psk:None, then DisplayName
};

HRESULT MakePatterns(SchemaDocument& document, const Prefixes& prefixes, Patterns* patterns)
{
    ComPtr<IXMLDOMElement> option;
    HRESULT hr = document.CreateSchemaElement(L"Option", &option);
    if (SUCCEEDED(hr)) hr = SchemaDocument::SetQName(option.Get(), L"constrained", prefixes.psk, L"None");
    if (SUCCEEDED(hr))
        hr = AppendProperty(document, prefixes, option.Get(), prefixes.psk, L"DisplayName", L"string", nullptr);
    ComPtr<IXMLDOMElement> feature;
    if (SUCCEEDED(hr)) hr = document.CreateSchemaElement(L"Feature", &feature);
    Bstr pickOne;
    if (SUCCEEDED(hr)) {
        *pickOne.Out() = JoinQName(prefixes.psk.Get(), prefixes.psk.Length(), L"PickOne", 7);
        if (pickOne.Get() == nullptr) hr = E_OUTOFMEMORY;
    }
    if (SUCCEEDED(hr))
        hr = AppendProperty(document, prefixes, feature.Get(), prefixes.psf, L"SelectionType", L"QName", pickOne.Get());
    ComPtr<IXMLDOMNode> displayName, copy;
    if (SUCCEEDED(hr)) hr = option->get_lastChild(displayName.Out());
    if (SUCCEEDED(hr)) hr = displayName->cloneNode(VARIANT_TRUE, copy.Out());
    if (SUCCEEDED(hr)) hr = AppendChild(feature.Get(), copy.Get());
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
    if (SUCCEEDED(hr)) hr = copy->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element->Out()));
    if (SUCCEEDED(hr)) hr = SchemaDocument::SetQName(element->Get(), L"name", prefix, name);
    if (SUCCEEDED(hr)) hr = copy->get_lastChild(property.Out());
    if (SUCCEEDED(hr)) hr = property->get_firstChild(value.Out());
    Bstr text;
    if (SUCCEEDED(hr)) hr = LoadDisplayName(strings, id, &text);
    if (SUCCEEDED(hr)) hr = value->put_text(text.Get());
    return hr;
}

// The print mode the ticket, if any, selects (-1 when it selects none): Photo constrains the drop sizes.
HRESULT TicketPrintMode(IXMLDOMDocument2* ticket, int32_t* printMode)
{
    *printMode = -1;
    if (ticket == nullptr) return S_OK;
    PrivateDevmode settings = {};
    settings.printMode = -1;
    const HRESULT hr = ReadSettingsFromTicket(ticket, &settings);
    if (SUCCEEDED(hr)) *printMode = settings.printMode;
    return hr;
}

HRESULT AppendFeature(SchemaDocument& document, const Bstr& ours, const Prefixes& prefixes, const Patterns& patterns,
                      HMODULE strings, size_t index, int32_t printMode)
{
    const TicketFeature& which = TICKET_FEATURES[index];
    ComPtr<IXMLDOMElement> feature;
    HRESULT hr = CopyPattern(patterns.feature.Get(), ours, which.name, strings, which.displayName, &feature);
    for (size_t i = 0; SUCCEEDED(hr) && i < which.optionCount; ++i) {
        const TicketOption& option = which.options[i];
        ComPtr<IXMLDOMElement> element;
        hr = CopyPattern(patterns.option.Get(), ours, option.name, strings, option.displayName, &element);
        if (SUCCEEDED(hr) && index == TICKET_DROP_SIZE && DropSizeExcluded(printMode, option.value)) {
            hr = SchemaDocument::SetQName(element.Get(), L"constrained", prefixes.psk, L"PrintTicketSettings");
        }
        if (SUCCEEDED(hr)) hr = AppendChild(feature.Get(), element.Get());
    }
    if (FAILED(hr)) return hr;
    return AppendChild(document.Root(), feature.Get());
}

}  // namespace

HRESULT AddCapabilities(IXMLDOMDocument2* ticket, IXMLDOMDocument2* capabilities, HMODULE strings)
{
    int32_t printMode = -1;
    HRESULT hr = TicketPrintMode(ticket, &printMode);
    if (FAILED(hr)) return hr;

    SchemaDocument document(capabilities);
    hr = document.Open();
    if (FAILED(hr)) return hr;
    Prefixes prefixes;
    hr = FindPrefixes(document, &prefixes);
    if (FAILED(hr)) return hr;

    // Called again on the same document, the features are replaced, not doubled.
    FeatureNodes features(document);
    FoundFeatures found;
    bool removed = false;
    hr = features.Find(Duplicates::Remove, &found, &removed);
    for (size_t i = 0; SUCCEEDED(hr) && i < TICKET_FEATURE_COUNT; ++i) {
        if (found.first[i]) hr = features.RemoveFromRoot(found.first[i].Get());
    }
    const Bstr* ours = nullptr;
    if (SUCCEEDED(hr)) hr = features.OurPrefix(&ours);
    Patterns patterns;
    if (SUCCEEDED(hr)) hr = MakePatterns(document, prefixes, &patterns);
    for (size_t i = 0; SUCCEEDED(hr) && i < TICKET_FEATURE_COUNT; ++i) {
        hr = AppendFeature(document, *ours, prefixes, patterns, strings, i, printMode);
    }
    return hr;
}
