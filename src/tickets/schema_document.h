// One Print Schema document (a PrintTicket or PrintCapabilities) as the plug-in reads and changes
// it, through the DOM the caller gives: its root element, the prefixes declared there, and QName
// values resolved by namespace URI where they are used, never by a prefix we assume.
#pragma once

#include "platform/com_handles.h"
#include "tickets/declarations.h"

inline constexpr wchar_t PSF_NAMESPACE[] =
    L"http://schemas.microsoft.com/windows/2003/08/printing/printschemaframework";
inline constexpr wchar_t PSK_NAMESPACE[] = L"http://schemas.microsoft.com/windows/2003/08/printing/printschemakeywords";
inline constexpr wchar_t XSI_NAMESPACE[] = L"http://www.w3.org/2001/XMLSchema-instance";
inline constexpr wchar_t XSD_NAMESPACE[] = L"http://www.w3.org/2001/XMLSchema";

// A QName value split at its colon; a name without one has an empty prefix.
struct QName {
    const wchar_t* prefix;
    UINT prefixLength;
    const wchar_t* local;
    UINT localLength;
};

class SchemaDocument {
public:
    explicit SchemaDocument(IXMLDOMDocument2* document) : document_(document) {}
    SchemaDocument(const SchemaDocument&) = delete;
    SchemaDocument& operator=(const SchemaDocument&) = delete;

    // Reads the root's declarations. S_OK; E_INVALIDARG, with nothing read or changed, when the
    // root is not the psf element `rootName` (a capabilities document given as a ticket, or none);
    // or the DOM's own failure.
    HRESULT Open(const wchar_t* rootName);
    IXMLDOMElement* Root() const { return root_.Get(); }

    // Whether `node` is the psf element `local`; false for text, comments and other namespaces.
    HRESULT IsSchemaElement(IXMLDOMNode* node, const wchar_t* local, bool* is) const;

    // Reads the QName in `element`'s `name` attribute; `*name` points into `*value` and stays empty
    // when there is none.
    HRESULT ReadName(IXMLDOMElement* element, Bstr* value, QName* name);

    // Whether the prefix of `name`, used on `element`, stands for `uri`: the nearest declaration
    // decides, on `element`, then on `parent` (null for a child of the root), then on the root. A
    // name without a prefix is in the default namespace, as Print Schema names are.
    HRESULT InNamespace(IXMLDOMElement* element, IXMLDOMElement* parent, const QName& name, const wchar_t* uri,
                        bool* in);

    // The prefix to write names of `uri` with: the first the root declares for it, else `preferred`
    // (with a number added while that is taken by another namespace) declared on the root now.
    HRESULT PrefixFor(const wchar_t* uri, const wchar_t* preferred, Bstr* prefix);

    // A new psf element, not yet in the tree.
    HRESULT CreateSchemaElement(const wchar_t* local, ComPtr<IXMLDOMElement>* element);

    // Sets `attribute` to "prefix:local" (or to `local` alone for an empty prefix).
    static HRESULT SetQName(IXMLDOMElement* element, const wchar_t* attribute, const Bstr& prefix,
                            const wchar_t* local);
    // Sets xsi:type to "prefix:local": the attribute belongs to the XML Schema instance namespace.
    HRESULT SetValueType(IXMLDOMElement* element, const Bstr& xsiPrefix, const Bstr& xsdPrefix, const wchar_t* type);

private:
    // The namespace `scope` declares for `prefix`, found by reading its declarations; `*found`
    // false when it declares none that the DOM will show.
    HRESULT Declared(IXMLDOMElement* scope, const QName& name, Bstr* uri, bool* found) const;
    // Asks the DOM's XPath whether `prefix` is bound in scope at `element` (to `uri`, when not
    // null). The XPath sees every declaration the parser read, where an element's list may miss one
    // (Wine's drops the last of a root without other attributes and cannot hand over a default
    // namespace). A document that selects by XSL patterns cannot answer: `*bound` stays false.
    HRESULT BoundInScope(IXMLDOMElement* element, const wchar_t* prefix, UINT length, const wchar_t* uri,
                         bool* bound) const;

    // Declares `prefix` for `uri` on the root.
    HRESULT Declare(const wchar_t* prefix, UINT length, const wchar_t* uri);
    // A new element or attribute named "prefix:local" in `uri`, not yet in the tree.
    HRESULT CreateNode(DOMNodeType kind, const Bstr& prefix, const wchar_t* local, const wchar_t* uri,
                       ComPtr<IXMLDOMNode>* node);

    IXMLDOMDocument2* document_;
    ComPtr<IXMLDOMElement> root_;
    Bstr schemaPrefix_;  // the root's prefix for psf, found on the first element created
    bool schemaPrefixKnown_ = false;
    DeclarationTable rootDeclarations_;
    bool selectsByXPath_ = false;
};

// "prefix:local", or `local` for an empty prefix; null when out of memory.
BSTR JoinQName(const wchar_t* prefix, UINT prefixLength, const wchar_t* local, UINT localLength);

// Whether `text` of `length` characters is exactly `known`.
bool SameText(const wchar_t* text, UINT length, const wchar_t* known);
