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

// Walks `element`'s namespace declarations until `match(prefix, length, attribute, &stop)` stops
// it. They are read from the attribute list, which holds them whether parsed or added through the
// DOM (Wine's getAttribute finds only parsed ones). The default namespace has an empty prefix.
template <class Match>
HRESULT ForEachDeclaration(IXMLDOMElement* element, Match match)
{
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    HRESULT hr = element->get_attributes(attributes.Out());
    if (FAILED(hr) || !attributes) return hr;
    LONG count = 0;
    hr = attributes->get_length(&count);
    for (LONG i = 0; SUCCEEDED(hr) && i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        hr = attributes->get_item(i, attribute.Out());
        if (FAILED(hr) || !attribute) continue;
        Bstr name;
        hr = attribute->get_nodeName(name.Out());
        if (FAILED(hr)) return hr;
        const UINT length = name.Length();
        if (length < 5 || std::wmemcmp(name.Get(), XMLNS, 5) != 0) continue;
        if (length > 5 && name.Get()[5] != L':') continue;
        const UINT skip = length > 5 ? 6 : 5;
        bool stop = false;
        hr = match(name.Get() + skip, length - skip, attribute.Get(), &stop);
        if (stop) return hr;
    }
    return hr;
}

// The namespace `element` itself declares for `prefix`; `*declared` false when it declares none.
HRESULT DeclaredOn(IXMLDOMElement* element, const wchar_t* prefix, UINT prefixLength, Bstr* uri, bool* declared)
{
    *declared = false;
    return ForEachDeclaration(element, [&](const wchar_t* name, UINT length, IXMLDOMNode* attribute, bool* stop) {
        if (length != prefixLength || std::wmemcmp(name, prefix, length) != 0) return S_OK;
        *stop = *declared = true;
        return attribute->get_text(uri->Out());
    });
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

HRESULT SchemaDocument::Open()
{
    const HRESULT hr = document_->get_documentElement(root_.Out());
    if (FAILED(hr)) return hr;
    return root_ ? S_OK : E_INVALIDARG;
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

HRESULT SchemaDocument::InNamespace(IXMLDOMElement* element, IXMLDOMElement* parent, const QName& name,
                                    const wchar_t* uri, bool* in)
{
    *in = false;
    HRESULT hr = S_OK;
    // The nearest declaration of the prefix decides, as for any XML name.
    IXMLDOMElement* const scopes[] = {element, parent};
    for (IXMLDOMElement* scope : scopes) {
        if (scope == nullptr) continue;
        Bstr declared;
        bool found = false;
        hr = DeclaredOn(scope, name.prefix, name.prefixLength, &declared, &found);
        if (FAILED(hr)) return hr;
        if (!found) continue;
        *in = SameText(declared.Get(), declared.Length(), uri);
        return S_OK;
    }
    // Names in one document mostly share a prefix: the root's answer for the last one is kept.
    if (!rootCached_ || !SameText(name.prefix, name.prefixLength, rootPrefix_.Get()) ||
        rootPrefix_.Length() != name.prefixLength) {
        rootCached_ = false;
        *rootPrefix_.Out() = SysAllocStringLen(name.prefix, name.prefixLength);
        if (rootPrefix_.Get() == nullptr) return E_OUTOFMEMORY;
        hr = DeclaredOn(root_.Get(), name.prefix, name.prefixLength, &rootUri_, &rootDeclared_);
        if (FAILED(hr)) return hr;
        rootCached_ = true;
    }
    *in = rootDeclared_ && SameText(rootUri_.Get(), rootUri_.Length(), uri);
    return S_OK;
}

HRESULT SchemaDocument::PrefixFor(const wchar_t* uri, const wchar_t* preferred, Bstr* prefix)
{
    bool found = false;
    HRESULT hr =
        ForEachDeclaration(root_.Get(), [&](const wchar_t* name, UINT length, IXMLDOMNode* attribute, bool* stop) {
            Bstr value;
            const HRESULT got = attribute->get_text(value.Out());
            if (FAILED(got) || length == 0 || !SameText(value.Get(), value.Length(), uri)) return got;
            *stop = found = true;
            *prefix->Out() = SysAllocStringLen(name, length);
            return prefix->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
        });
    if (FAILED(hr) || found) return hr;

    // None yet: the preferred prefix, or the first numbered one that nothing on the root declares.
    const size_t stem = std::wcslen(preferred);
    wchar_t candidate[24];
    if (stem + 11 > sizeof(candidate) / sizeof(candidate[0])) return E_INVALIDARG;
    std::wmemcpy(candidate, preferred, stem);
    for (unsigned n = 0;; ++n) {
        const UINT length = static_cast<UINT>(stem + (n != 0 ? AppendNumber(n, candidate + stem) : 0));
        Bstr taken;
        bool declared = false;
        hr = DeclaredOn(root_.Get(), candidate, length, &taken, &declared);
        if (FAILED(hr)) return hr;
        if (declared) continue;

        Bstr declaration;
        *declaration.Out() = JoinQName(XMLNS, 5, candidate, length);
        Variant value;
        if (!value.HoldString(SysAllocString(uri)) || declaration.Get() == nullptr) return E_OUTOFMEMORY;
        hr = root_->setAttribute(declaration.Get(), value.Get());
        if (FAILED(hr)) return hr;
        rootCached_ = false;
        *prefix->Out() = SysAllocStringLen(candidate, length);
        return prefix->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
    }
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
