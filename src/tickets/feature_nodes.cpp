#include "tickets/feature_nodes.h"

#include <utility>

namespace {

// The prefix this plug-in declares when a document has none for our namespace yet.
constexpr wchar_t PREFERRED_PREFIX[] = L"orlin";

HRESULT NextSibling(IXMLDOMNode* node, ComPtr<IXMLDOMNode>* next)
{
    return node->get_nextSibling(next->Out());
}

HRESULT AsElement(IXMLDOMNode* node, ComPtr<IXMLDOMElement>* element)
{
    return node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element->Out()));
}

// The table entry `find` gives for the local part of `element`'s name, when that name lies in our
// namespace; null otherwise. Names are matched first (cheap), and only a match is resolved to a
// namespace (several DOM calls), so another program's features cost one call each.
template <typename Entry, typename Find>
HRESULT OurEntry(SchemaDocument& document, IXMLDOMElement* element, IXMLDOMElement* parent, Find find,
                 const Entry** entry)
{
    *entry = nullptr;
    Bstr value;
    QName name;
    HRESULT hr = document.ReadName(element, &value, &name);
    if (FAILED(hr)) return hr;
    const Entry* candidate = find(name.local, name.localLength);
    if (candidate == nullptr) return S_OK;
    bool inOurs = false;
    hr = document.InNamespace(element, parent, name, ORLIN_TICKET_NAMESPACE, &inOurs);
    if (FAILED(hr)) return hr;
    if (inOurs) *entry = candidate;
    return S_OK;
}

}  // namespace

HRESULT AppendChild(IXMLDOMNode* parent, IXMLDOMNode* child)
{
    ComPtr<IXMLDOMNode> appended;
    return parent->appendChild(child, appended.Out());
}

HRESULT OpenedDocument::Open(const wchar_t* rootName, FeatureSet deduplicate, bool* removed)
{
    *removed = false;
    const HRESULT hr = document.Open(rootName);
    if (FAILED(hr)) return hr;
    return features.Find(deduplicate, &found, removed);
}

HRESULT FeatureNodes::Find(FeatureSet deduplicate, FoundFeatures* found, bool* removed)
{
    *removed = false;
    IXMLDOMElement* root = document_.Root();
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = root->get_firstChild(node.Out());
    if (FAILED(hr)) return hr;
    while (node) {
        ComPtr<IXMLDOMNode> next;
        hr = NextSibling(node.Get(), &next);
        if (FAILED(hr)) return hr;

        bool feature = false;
        hr = document_.IsSchemaElement(node.Get(), L"Feature", &feature);
        if (FAILED(hr)) return hr;
        if (feature) {
            ComPtr<IXMLDOMElement> element;
            hr = AsElement(node.Get(), &element);
            if (FAILED(hr)) return hr;
            const TicketFeature* ours = nullptr;
            hr = OurEntry(document_, element.Get(), nullptr, FindTicketFeature, &ours);
            if (FAILED(hr)) return hr;
            if (ours != nullptr) {
                const size_t index = static_cast<size_t>(ours - TICKET_FEATURES);
                ComPtr<IXMLDOMElement>& first = found->first[index];
                if (!first) {
                    first = std::move(element);
                } else if (deduplicate & (1u << index)) {
                    ComPtr<IXMLDOMNode> gone;
                    hr = root->removeChild(node.Get(), gone.Out());
                    if (FAILED(hr)) return hr;
                    *removed = true;
                }
            }
        }
        node = std::move(next);
    }
    return S_OK;
}

HRESULT FeatureNodes::ReadChoice(IXMLDOMElement* feature, const TicketFeature& which, FeatureChoice* choice)
{
    *choice = {};
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = feature->get_firstChild(node.Out());
    if (FAILED(hr)) return hr;
    while (node && choice->optionCount < 2) {
        bool option = false;
        hr = document_.IsSchemaElement(node.Get(), L"Option", &option);
        if (FAILED(hr)) return hr;
        if (option && ++choice->optionCount == 1) {
            ComPtr<IXMLDOMElement> element;
            hr = AsElement(node.Get(), &element);
            if (FAILED(hr)) return hr;
            const auto findOption = [&which](const wchar_t* local, size_t length) {
                return FindTicketOptionByName(which, local, length);
            };
            hr = OurEntry(document_, element.Get(), feature, findOption, &choice->first);
            if (FAILED(hr)) return hr;
        }
        ComPtr<IXMLDOMNode> next;
        hr = NextSibling(node.Get(), &next);
        if (FAILED(hr)) return hr;
        node = std::move(next);
    }
    return S_OK;
}

HRESULT FeatureNodes::SetChoice(IXMLDOMElement* feature, const TicketFeature& which, const TicketOption& option,
                                bool* changed)
{
    *changed = false;
    FeatureChoice choice;
    HRESULT hr = ReadChoice(feature, which, &choice);
    if (FAILED(hr)) return hr;
    if (choice.optionCount == 1 && choice.first == &option) return S_OK;

    // The option takes the prefix of its feature's own name: that one stands for our namespace
    // inside this feature, whatever the root's prefix for it may mean there.
    Bstr name;
    QName qname;
    hr = document_.ReadName(feature, &name, &qname);
    if (FAILED(hr)) return hr;
    Bstr prefix(qname.prefix, qname.prefixLength);
    if (prefix.Get() == nullptr) return E_OUTOFMEMORY;
    ComPtr<IXMLDOMElement> replacement;
    hr = CreateOption(option, prefix, &replacement);
    if (FAILED(hr)) return hr;

    ComPtr<IXMLDOMNode> node;
    hr = feature->get_firstChild(node.Out());
    if (FAILED(hr)) return hr;
    while (node) {
        ComPtr<IXMLDOMNode> next;
        hr = NextSibling(node.Get(), &next);
        if (FAILED(hr)) return hr;
        bool isOption = false;
        hr = document_.IsSchemaElement(node.Get(), L"Option", &isOption);
        if (FAILED(hr)) return hr;
        if (isOption) {
            ComPtr<IXMLDOMNode> gone;
            hr = feature->removeChild(node.Get(), gone.Out());
            if (FAILED(hr)) return hr;
        }
        node = std::move(next);
    }
    *changed = true;
    return AppendChild(feature, replacement.Get());
}

HRESULT FeatureNodes::CreateFeature(const TicketFeature& which, ComPtr<IXMLDOMElement>* feature)
{
    const Bstr* prefix = nullptr;
    HRESULT hr = OurPrefix(&prefix);
    if (FAILED(hr)) return hr;
    hr = document_.CreateSchemaElement(L"Feature", feature);
    if (FAILED(hr)) return hr;
    return SchemaDocument::SetQName(feature->Get(), L"name", *prefix, which.name);
}

HRESULT FeatureNodes::CreateOption(const TicketOption& option, const Bstr& prefix, ComPtr<IXMLDOMElement>* element)
{
    const HRESULT hr = document_.CreateSchemaElement(L"Option", element);
    if (FAILED(hr)) return hr;
    return SchemaDocument::SetQName(element->Get(), L"name", prefix, option.name);
}

HRESULT FeatureNodes::Append(const TicketFeature& which, const TicketOption& option)
{
    ComPtr<IXMLDOMElement> feature;
    HRESULT hr = CreateFeature(which, &feature);
    if (FAILED(hr)) return hr;
    const Bstr* prefix = nullptr;
    hr = OurPrefix(&prefix);
    if (FAILED(hr)) return hr;
    ComPtr<IXMLDOMElement> element;
    hr = CreateOption(option, *prefix, &element);
    if (FAILED(hr)) return hr;
    hr = AppendChild(feature.Get(), element.Get());
    if (FAILED(hr)) return hr;
    return AppendChild(document_.Root(), feature.Get());
}

HRESULT FeatureNodes::RemoveFromRoot(IXMLDOMElement* feature)
{
    ComPtr<IXMLDOMNode> gone;
    return document_.Root()->removeChild(feature, gone.Out());
}

HRESULT FeatureNodes::OurPrefix(const Bstr** prefix)
{
    if (!prefixKnown_) {
        const HRESULT hr = document_.PrefixFor(ORLIN_TICKET_NAMESPACE, PREFERRED_PREFIX, &prefix_);
        if (FAILED(hr)) return hr;
        prefixKnown_ = true;
    }
    *prefix = &prefix_;
    return S_OK;
}
