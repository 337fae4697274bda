#include "tickets/declarations.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace {

constexpr wchar_t XMLNS[] = L"xmlns";

// Orders prefixes by length, then by their characters: cheap, and all the look-up needs.
int ComparePrefix(const wchar_t* a, UINT aLength, const wchar_t* b, UINT bLength)
{
    if (aLength != bLength) return aLength < bLength ? -1 : 1;
    return std::wmemcmp(a, b, aLength);
}

}  // namespace

HRESULT ForEachListedDeclaration(IXMLDOMElement* element,
                                 HRESULT (*visit)(void* context, const wchar_t* prefix, UINT length, BSTR uri,
                                                  bool* stop),
                                 void* context)
{
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    HRESULT hr = element->get_attributes(attributes.Out());
    if (FAILED(hr) || !attributes) return hr;
    LONG count = 0;
    hr = attributes->get_length(&count);
    if (FAILED(hr)) return hr;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        if (FAILED(attributes->get_item(i, attribute.Out())) || !attribute) continue;
        Bstr name;
        hr = attribute->get_nodeName(name.Out());
        if (FAILED(hr)) return hr;
        const UINT length = name.Length();
        if (length < 5 || std::wmemcmp(name.Get(), XMLNS, 5) != 0) continue;
        if (length > 5 && name.Get()[5] != L':') continue;
        Bstr uri;
        hr = attribute->get_text(uri.Out());
        if (FAILED(hr)) return hr;
        const UINT skip = length > 5 ? 6 : 5;
        bool stop = false;
        hr = visit(context, name.Get() + skip, length - skip, uri.Get(), &stop);
        if (FAILED(hr) || stop) return hr;
    }
    return S_OK;
}

DeclarationTable::~DeclarationTable()
{
    for (size_t i = 0; i < count_; ++i) {
        SysFreeString(entries_[i].prefix);
        SysFreeString(entries_[i].uri);
    }
    CoTaskMemFree(entries_);
}

HRESULT DeclarationTable::Read(IXMLDOMElement* element)
{
    HRESULT hr = ForEachListedDeclaration(
        element,
        [](void* context, const wchar_t* prefix, UINT length, BSTR uri, bool*) {
            return static_cast<DeclarationTable*>(context)->Append(prefix, length, uri, SysStringLen(uri));
        },
        this);
    if (FAILED(hr)) return hr;
    Sort();
    return S_OK;
}

BSTR DeclarationTable::Find(const wchar_t* prefix, UINT length) const
{
    size_t low = 0, high = count_;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const Entry& entry = entries_[middle];
        const int order = ComparePrefix(entry.prefix, SysStringLen(entry.prefix), prefix, length);
        if (order == 0) return entry.uri;
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return nullptr;
}

BSTR DeclarationTable::PrefixOf(const wchar_t* uri) const
{
    const Entry* first = nullptr;
    const UINT uriLength = static_cast<UINT>(std::wcslen(uri));
    for (size_t i = 0; i < count_; ++i) {
        const Entry& entry = entries_[i];
        if (SysStringLen(entry.prefix) == 0 || ComparePrefix(entry.uri, SysStringLen(entry.uri), uri, uriLength) != 0)
            continue;
        if (first == nullptr || entry.order < first->order) first = &entry;
    }
    return first != nullptr ? first->prefix : nullptr;
}

HRESULT DeclarationTable::Add(const wchar_t* prefix, UINT length, const wchar_t* uri)
{
    const HRESULT hr = Append(prefix, length, uri, static_cast<UINT>(std::wcslen(uri)));
    if (FAILED(hr)) return hr;
    Sort();
    return S_OK;
}

HRESULT DeclarationTable::Append(const wchar_t* prefix, UINT length, const wchar_t* uri, UINT uriLength)
{
    if (count_ == capacity_) {
        // Plain COM memory: entries are two pointers and a number, and the DLL links no array new.
        const size_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
        if (capacity > SIZE_MAX / sizeof(Entry)) return E_OUTOFMEMORY;
        Entry* grown = static_cast<Entry*>(CoTaskMemRealloc(entries_, capacity * sizeof(Entry)));
        if (grown == nullptr) return E_OUTOFMEMORY;
        entries_ = grown;
        capacity_ = capacity;
    }
    Entry entry = {SysAllocStringLen(prefix, length), SysAllocStringLen(uri, uriLength), count_};
    if (entry.prefix == nullptr || entry.uri == nullptr) {
        SysFreeString(entry.prefix);
        SysFreeString(entry.uri);
        return E_OUTOFMEMORY;
    }
    entries_[count_++] = entry;
    return S_OK;
}

void DeclarationTable::Sort()
{
    const auto before = [](const Entry& a, const Entry& b) {
        const int order = ComparePrefix(a.prefix, SysStringLen(a.prefix), b.prefix, SysStringLen(b.prefix));
        return order != 0 ? order < 0 : a.order < b.order;
    };
    std::sort(entries_, entries_ + count_, before);
    size_t kept = 0;
    for (size_t i = 0; i < count_; ++i) {
        if (kept != 0 && ComparePrefix(entries_[kept - 1].prefix, SysStringLen(entries_[kept - 1].prefix),
                                       entries_[i].prefix, SysStringLen(entries_[i].prefix)) == 0) {
            SysFreeString(entries_[i].prefix);
            SysFreeString(entries_[i].uri);
            continue;
        }
        entries_[kept++] = entries_[i];
    }
    count_ = kept;
}
