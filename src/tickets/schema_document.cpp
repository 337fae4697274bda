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

// "xmlns:prefix", the attribute that declares `prefix`; "xmlns" for the default namespace.
BSTR DeclarationName(const wchar_t* prefix, UINT prefixLength)
{
    return JoinQName(XMLNS, 5, prefix, prefixLength);
}

// The namespace `element` itself declares for `declaration`: null when it declares none.
HRESULT DeclaredOn(IXMLDOMElement* element, BSTR declaration, Variant* uri)
{
    return element->getAttribute(declaration, uri->Out());
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

HRESULT SchemaDocument::NameIn(IXMLDOMElement* element, IXMLDOMElement* parent, const wchar_t* uri, Bstr* value,
                               QName* local) const
{
    *local = {};
    Variant attribute;
    Bstr nameAttribute(L"name");
    if (nameAttribute.Get() == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = element->getAttribute(nameAttribute.Get(), attribute.Out());
    if (FAILED(hr) || attribute.String() == nullptr) return hr;
    *value->Out() = SysAllocStringLen(attribute.String(), SysStringLen(attribute.String()));
    if (value->Get() == nullptr) return E_OUTOFMEMORY;

    const QName name = SplitQName(value->Get());
    Bstr declaration;
    *declaration.Out() = DeclarationName(name.prefix, name.prefixLength);
    if (declaration.Get() == nullptr) return E_OUTOFMEMORY;

    // The nearest declaration of the prefix decides, as for any XML name.
    IXMLDOMElement* const scopes[] = {element, parent, root_.Get()};
    for (IXMLDOMElement* scope : scopes) {
        if (scope == nullptr) continue;
        Variant declared;
        hr = DeclaredOn(scope, declaration.Get(), &declared);
        if (FAILED(hr)) return hr;
        if (declared.String() == nullptr) continue;
        if (SameText(declared.String(), SysStringLen(declared.String()), uri)) *local = name;
        return S_OK;
    }
    return S_OK;
}

HRESULT SchemaDocument::PrefixFor(const wchar_t* uri, const wchar_t* preferred, Bstr* prefix)
{
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    HRESULT hr = root_->get_attributes(attributes.Out());
    if (FAILED(hr)) return hr;
    LONG count = 0;
    if (attributes) {
        hr = attributes->get_length(&count);
        if (FAILED(hr)) return hr;
    }
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        hr = attributes->get_item(i, attribute.Out());
        if (FAILED(hr)) return hr;
        if (!attribute) continue;
        Bstr name;
        hr = attribute->get_nodeName(name.Out());
        if (FAILED(hr)) return hr;
        const UINT length = name.Length();
        if (length <= 6 || std::wmemcmp(name.Get(), L"xmlns:", 6) != 0) continue;
        Bstr value;
        hr = attribute->get_text(value.Out());
        if (FAILED(hr)) return hr;
        if (!SameText(value.Get(), value.Length(), uri)) continue;
        *prefix->Out() = SysAllocStringLen(name.Get() + 6, length - 6);
        return prefix->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // None yet: the preferred prefix, or the first numbered one that nothing on the root declares.
    wchar_t candidate[32];
    for (unsigned n = 0;; ++n) {
        if (n == 0) {
            std::swprintf(candidate, 32, L"%ls", preferred);
        } else {
            std::swprintf(candidate, 32, L"%ls%u", preferred, n);
        }
        const UINT length = static_cast<UINT>(std::wcslen(candidate));
        Bstr declaration;
        *declaration.Out() = DeclarationName(candidate, length);
        if (declaration.Get() == nullptr) return E_OUTOFMEMORY;
        Variant taken;
        hr = DeclaredOn(root_.Get(), declaration.Get(), &taken);
        if (FAILED(hr)) return hr;
        if (taken.String() != nullptr) continue;

        Variant value;
        if (!value.HoldString(SysAllocString(uri))) return E_OUTOFMEMORY;
        hr = root_->setAttribute(declaration.Get(), value.Get());
        if (FAILED(hr)) return hr;
        *prefix->Out() = SysAllocStringLen(candidate, length);
        return prefix->Get() != nullptr ? S_OK : E_OUTOFMEMORY;
    }
}

HRESULT SchemaDocument::CreateSchemaElement(const wchar_t* local, ComPtr<IXMLDOMElement>* element)
{
    if (!schemaPrefixKnown_) {
        const HRESULT hr = PrefixFor(PSF_NAMESPACE, L"psf", &schemaPrefix_);
        if (FAILED(hr)) return hr;
        schemaPrefixKnown_ = true;
    }
    Bstr name;
    *name.Out() = JoinQName(schemaPrefix_.Get(), schemaPrefix_.Length(), local, static_cast<UINT>(std::wcslen(local)));
    Bstr uri(PSF_NAMESPACE);
    if (name.Get() == nullptr || uri.Get() == nullptr) return E_OUTOFMEMORY;

    VARIANT type;
    type.vt = VT_I4;
    type.lVal = NODE_ELEMENT;
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = document_->createNode(type, name.Get(), uri.Get(), node.Out());
    if (FAILED(hr)) return hr;
    if (!node) return E_UNEXPECTED;
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
    Bstr name;
    *name.Out() = JoinQName(xsiPrefix.Get(), xsiPrefix.Length(), L"type", 4);
    Bstr uri(XSI_NAMESPACE);
    if (name.Get() == nullptr || uri.Get() == nullptr) return E_OUTOFMEMORY;

    VARIANT kind;
    kind.vt = VT_I4;
    kind.lVal = NODE_ATTRIBUTE;
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = document_->createNode(kind, name.Get(), uri.Get(), node.Out());
    if (FAILED(hr)) return hr;
    if (!node) return E_UNEXPECTED;
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
