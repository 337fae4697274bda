#include "tickets/schema_document.h"

#include <cwchar>

namespace {

constexpr wchar_t XMLNS[] = L"xmlns";

QName SplitQName(BSTR value)
{
    const UINT length = SysStringLen(value);
    const wchar_t* colon = length != 0 ? std::wmemchr(value, L':', length) : nullptr;
    if (colon == nullptr) return {value, 0, value, length};
    const UINT prefixLength = static_cast<UINT>(colon - value);
    return {value, prefixLength, colon + 1, length - prefixLength - 1};
}

// Writes `n` in decimal at `out` (room for 10 digits); returns the number of digits.
size_t AppendNumber(unsigned n, wchar_t* out)
{
    wchar_t digits[10];
    size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + n % 10);
        n /= 10;
    } while (n != 0);
    for (size_t i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
    return count;
}

}  // namespace

BSTR JoinQName(const wchar_t* prefix, UINT prefixLength, const wchar_t* local, UINT localLength)
{
    if (prefixLength == 0) return SysAllocStringLen(local, localLength);
    if (prefixLength > 0x7FFFFFFE - localLength) return nullptr;
    BSTR joined = SysAllocStringLen(nullptr, prefixLength + 1 + localLength);
    if (joined == nullptr) return nullptr;
    std::wmemcpy(joined, prefix, prefixLength);
    joined[prefixLength] = L':';
    std::wmemcpy(joined + prefixLength + 1, local, localLength);
    return joined;
}

bool SameText(const wchar_t* text, UINT length, const wchar_t* known)
{
    return text != nullptr && std::wcslen(known) == length && std::wmemcmp(text, known, length) == 0;
}

HRESULT SchemaDocument::Open(const wchar_t* rootName)
{
    HRESULT hr = document_->get_documentElement(root_.Out());
    if (FAILED(hr)) return hr;
    if (!root_) return E_INVALIDARG;
    bool expected = false;
    hr = IsSchemaElement(root_.Get(), rootName, &expected);
    if (FAILED(hr)) return hr;
    if (!expected) return E_INVALIDARG;
    Variant language;
    Bstr property(L"SelectionLanguage");
    if (property.Get() == nullptr) return E_OUTOFMEMORY;
    selectsByXPath_ = SUCCEEDED(document_->getProperty(property.Get(), language.Out())) &&
                      SameText(language.String(), SysStringLen(language.String()), L"XPath");
    return rootDeclarations_.Read(root_.Get());
}

HRESULT SchemaDocument::IsSchemaElement(IXMLDOMNode* node, const wchar_t* local, bool* is) const
{
    *is = false;
    DOMNodeType type = NODE_INVALID;
    HRESULT hr = node->get_nodeType(&type);
    if (FAILED(hr) || type != NODE_ELEMENT) return hr;

    Bstr name;
    hr = node->get_baseName(name.Out());
    if (FAILED(hr) || !SameText(name.Get(), name.Length(), local)) return hr;
    Bstr uri;
    hr = node->get_namespaceURI(uri.Out());
    if (FAILED(hr)) return hr;
    *is = SameText(uri.Get(), uri.Length(), PSF_NAMESPACE);
    return S_OK;
}

HRESULT SchemaDocument::ReadName(IXMLDOMElement* element, Bstr* value, QName* name)
{
    *name = {};
    Variant attribute;
    Bstr nameAttribute(L"name");
    if (nameAttribute.Get() == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = element->getAttribute(nameAttribute.Get(), attribute.Out());
    if (FAILED(hr) || attribute.String() == nullptr) return hr;
    *value->Out() = SysAllocStringLen(attribute.String(), SysStringLen(attribute.String()));
    if (value->Get() == nullptr) return E_OUTOFMEMORY;
    *name = SplitQName(value->Get());
    return S_OK;
}

HRESULT SchemaDocument::Declared(IXMLDOMElement* scope, const QName& name, Bstr* uri, bool* found) const
{
    *found = false;
    if (scope == root_.Get()) {
        const BSTR declared = rootDeclarations_.Find(name.prefix, name.prefixLength);
        if (declared != nullptr) {
            *found = true;
            *uri->Out() = SysAllocStringLen(declared, SysStringLen(declared));
            return uri->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
        }
    } else {
        struct Wanted {
            const QName& name;
            Bstr* uri;
            bool* found;
        } wanted = {name, uri, found};
        const HRESULT hr = ForEachListedDeclaration(
            scope,
            [](void* context, const wchar_t* prefix, UINT length, BSTR value, bool* stop) {
                Wanted& wanted = *static_cast<Wanted*>(context);
                if (length != wanted.name.prefixLength || std::wmemcmp(prefix, wanted.name.prefix, length) != 0)
                    return S_OK;
                *stop = *wanted.found = true;
                *wanted.uri->Out() = SysAllocStringLen(value, SysStringLen(value));
                return wanted.uri->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
            },
            &wanted);
        if (FAILED(hr) || *found) return hr;
    }
    if (name.prefixLength != 0) return S_OK;
    // An element written without a prefix is in the default namespace in force on it: that answers
    // for the default namespace even where its declaration cannot be read.
    Bstr prefix;
    HRESULT hr = scope->get_prefix(prefix.Out());
    if (FAILED(hr) || prefix.Length() != 0) return hr;
    hr = scope->get_namespaceURI(uri->Out());
    if (FAILED(hr)) return hr;
    *found = true;
    return S_OK;
}

HRESULT SchemaDocument::BoundInScope(IXMLDOMElement* element, const wchar_t* prefix, UINT length, const wchar_t* uri,
                                     bool* bound) const
{
    *bound = false;
    // A quote cannot stand in a prefix or in the namespaces asked about; it would end the query's text.
    if (!selectsByXPath_ || std::wmemchr(prefix, L'\'', length) != nullptr) return S_OK;
    const UINT uriLength = uri != nullptr ? static_cast<UINT>(std::wcslen(uri)) : 0;
    if (uri != nullptr && std::wmemchr(uri, L'\'', uriLength) != nullptr) return S_OK;
    const struct {
        const wchar_t* text;
        UINT length;
    } parts[] = {{L"self::*[namespace::*[name()='", 29},
                 {prefix, length},
                 {L"'", 1},
                 {L" and .='", uri ? 8u : 0u},
                 {uri, uriLength},
                 {L"'", uri ? 1u : 0u},
                 {L"]]", 2}};
    UINT total = 0;
    for (const auto& part : parts) {
        if (part.length > 0x7FFFFFFE - total) return E_OUTOFMEMORY;
        total += part.length;
    }
    Bstr query;
    *query.Out() = SysAllocStringLen(nullptr, total);
    if (query.Get() == nullptr) return E_OUTOFMEMORY;
    UINT at = 0;
    for (const auto& part : parts) {
        std::wmemcpy(query.Get() + at, part.text, part.length);
        at += part.length;
    }
    ComPtr<IXMLDOMNode> match;
    const HRESULT hr = element->selectSingleNode(query.Get(), match.Out());
    if (FAILED(hr)) return hr;
    *bound = static_cast<bool>(match);
    return S_OK;
}

HRESULT SchemaDocument::InNamespace(IXMLDOMElement* element, IXMLDOMElement* parent, const QName& name,
                                    const wchar_t* uri, bool* in)
{
    *in = false;
    // The nearest declaration of the prefix decides, as for any XML name.
    IXMLDOMElement* const scopes[] = {element, parent, root_.Get()};
    Bstr declared;
    bool found = false;
    for (IXMLDOMElement* scope : scopes) {
        if (scope == nullptr) continue;
        const HRESULT hr = Declared(scope, name, &declared, &found);
        if (FAILED(hr)) return hr;
        if (found) break;
    }
    if (found) {
        *in = SameText(declared.Get(), declared.Length(), uri);
        return S_OK;
    }
    // No element shows a declaration for it, but the parser may still have read one.
    return BoundInScope(element, name.prefix, name.prefixLength, uri, in);
}

HRESULT SchemaDocument::PrefixFor(const wchar_t* uri, const wchar_t* preferred, Bstr* prefix)
{
    const BSTR known = rootDeclarations_.PrefixOf(uri);
    if (known != nullptr) {
        *prefix->Out() = SysAllocStringLen(known, SysStringLen(known));
        return prefix->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // None yet: the preferred prefix, or the first numbered one that the root gives no other namespace.
    const size_t stem = std::wcslen(preferred);
    wchar_t candidate[24];
    if (stem + 11 > sizeof(candidate) / sizeof(candidate[0])) return E_INVALIDARG;
    std::wmemcpy(candidate, preferred, stem);
    for (unsigned n = 0;; ++n) {
        const UINT length = static_cast<UINT>(stem + (n != 0 ? AppendNumber(n, candidate + stem) : 0));
        const QName name = {candidate, length, nullptr, 0};
        Bstr taken;
        bool declared = false;
        HRESULT hr = Declared(root_.Get(), name, &taken, &declared);
        if (FAILED(hr)) return hr;
        if (declared && !SameText(taken.Get(), taken.Length(), uri)) continue;
        if (!declared) {
            bool ours = false, other = false;
            hr = BoundInScope(root_.Get(), candidate, length, uri, &ours);
            if (FAILED(hr)) return hr;
            if (!ours) hr = BoundInScope(root_.Get(), candidate, length, nullptr, &other);
            if (FAILED(hr)) return hr;
            if (other) continue;
            if (!ours) {
                hr = Declare(candidate, length, uri);
                if (FAILED(hr)) return hr;
            }
        }
        *prefix->Out() = SysAllocStringLen(candidate, length);
        return prefix->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
    }
}

HRESULT SchemaDocument::Declare(const wchar_t* prefix, UINT length, const wchar_t* uri)
{
    Bstr declaration;
    *declaration.Out() = JoinQName(XMLNS, 5, prefix, length);
    Variant value;
    if (!value.HoldString(SysAllocString(uri)) || declaration.Get() == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = root_->setAttribute(declaration.Get(), value.Get());
    if (FAILED(hr)) return hr;
    return rootDeclarations_.Add(prefix, length, uri);
}

HRESULT SchemaDocument::CreateNode(DOMNodeType kind, const Bstr& prefix, const wchar_t* local, const wchar_t* uri,
                                   ComPtr<IXMLDOMNode>* node)
{
    Bstr name;
    *name.Out() = JoinQName(prefix.Get(), prefix.Length(), local, static_cast<UINT>(std::wcslen(local)));
    Bstr namespaceUri(uri);
    if (name.Get() == nullptr || namespaceUri.Get() == nullptr) return E_OUTOFMEMORY;

    VARIANT type;
    type.vt = VT_I4;
    type.lVal = kind;
    const HRESULT hr = document_->createNode(type, name.Get(), namespaceUri.Get(), node->Out());
    if (FAILED(hr)) return hr;
    return *node ? S_OK : E_UNEXPECTED;
}

HRESULT SchemaDocument::CreateSchemaElement(const wchar_t* local, ComPtr<IXMLDOMElement>* element)
{
    if (!schemaPrefixKnown_) {
        const HRESULT hr = PrefixFor(PSF_NAMESPACE, L"psf", &schemaPrefix_);
        if (FAILED(hr)) return hr;
        schemaPrefixKnown_ = true;
    }
    ComPtr<IXMLDOMNode> node;
    const HRESULT hr = CreateNode(NODE_ELEMENT, schemaPrefix_, local, PSF_NAMESPACE, &node);
    if (FAILED(hr)) return hr;
    return node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element->Out()));
}

HRESULT SchemaDocument::SetQName(IXMLDOMElement* element, const wchar_t* attribute, const Bstr& prefix,
                                 const wchar_t* local)
{
    Bstr name(attribute);
    Variant value;
    if (!value.HoldString(JoinQName(prefix.Get(), prefix.Length(), local, static_cast<UINT>(std::wcslen(local)))) ||
        name.Get() == nullptr) {
        return E_OUTOFMEMORY;
    }
    return element->setAttribute(name.Get(), value.Get());
}

HRESULT SchemaDocument::SetValueType(IXMLDOMElement* element, const Bstr& xsiPrefix, const Bstr& xsdPrefix,
                                     const wchar_t* type)
{
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = CreateNode(NODE_ATTRIBUTE, xsiPrefix, L"type", XSI_NAMESPACE, &node);
    if (FAILED(hr)) return hr;
    ComPtr<IXMLDOMAttribute> attribute;
    hr = node->QueryInterface(IID_IXMLDOMAttribute, reinterpret_cast<void**>(attribute.Out()));
    if (FAILED(hr)) return hr;

    Variant value;
    if (!value.HoldString(JoinQName(xsdPrefix.Get(), xsdPrefix.Length(), type, static_cast<UINT>(std::wcslen(type))))) {
        return E_OUTOFMEMORY;
    }
    hr = attribute->put_value(value.Get());
    if (FAILED(hr)) return hr;
    ComPtr<IXMLDOMAttribute> replaced;
    return element->setAttributeNode(attribute.Get(), replaced.Out());
}
