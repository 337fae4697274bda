// The namespace declarations of a document's root, read once per call and looked up by prefix: a
// document may declare thousands, and every name of ours is resolved against them. Declarations on
// the root's descendants are few and are read where a name is resolved.
#pragma once

#include "platform/com_handles.h"

// Walks `element`'s own declarations in document order; `visit(prefix, length, uri, &stop)` may stop
// the walk. The default namespace has an empty prefix. A declaration the DOM will not hand over
// (Wine's MSXML fails on a default namespace in the list) is skipped: another way of reading may
// still find it, and no call fails for it.
HRESULT ForEachListedDeclaration(IXMLDOMElement* element,
                                 HRESULT (*visit)(void* context, const wchar_t* prefix, UINT length, BSTR uri,
                                                  bool* stop),
                                 void* context);

class DeclarationTable {
public:
    DeclarationTable() = default;
    ~DeclarationTable();
    DeclarationTable(const DeclarationTable&) = delete;
    DeclarationTable& operator=(const DeclarationTable&) = delete;

    // Reads `element`'s declarations; S_OK, E_OUTOFMEMORY, or the DOM's failure.
    HRESULT Read(IXMLDOMElement* element);
    // The namespace declared for `prefix`, or null when the table has none.
    BSTR Find(const wchar_t* prefix, UINT length) const;
    // The first non-empty prefix declared for `uri`, in document order, or null.
    BSTR PrefixOf(const wchar_t* uri) const;
    // Records a declaration the call has just added to the element.
    HRESULT Add(const wchar_t* prefix, UINT length, const wchar_t* uri);

private:
    struct Entry {
        BSTR prefix;
        BSTR uri;
        size_t order;  // position in the document, for "the first declared"
    };
    HRESULT Append(const wchar_t* prefix, UINT length, const wchar_t* uri, UINT uriLength);
    // Sorted by prefix, each prefix once (Wine may list one declaration twice).
    void Sort();

    Entry* entries_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
