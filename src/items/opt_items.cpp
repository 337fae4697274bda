#include "items/opt_items.h"

#include <cstring>

namespace {

// LoadStringW's limit: no string of this module is anywhere near it.
constexpr int MAX_ITEM_STRING = MAX_PATH;

}  // namespace

DWORD InitOemOptItems(POPTITEM items, DWORD count)
{
    if (items == nullptr) return 0;
    std::memset(items, 0, count * sizeof(OPTITEM));
    for (DWORD i = 0; i < count; ++i) {
        items[i].cbSize = sizeof(OPTITEM);
        items[i].DMPubID = DMPUB_NONE;
    }
    return count;
}

POPTTYPE CreateOptType(HANDLE heap, WORD count)
{
    auto* type = static_cast<POPTTYPE>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(OPTTYPE)));
    if (type == nullptr) return nullptr;
    auto* params = static_cast<POPTPARAM>(HeapAlloc(heap, HEAP_ZERO_MEMORY, count * sizeof(OPTPARAM)));
    if (params == nullptr) {
        HeapFree(heap, 0, type);
        return nullptr;
    }
    type->cbSize = sizeof(OPTTYPE);
    type->Count = count;
    type->pOptParam = params;
    for (WORD i = 0; i < count; ++i) params[i].cbSize = sizeof(OPTPARAM);
    return type;
}

PWSTR LoadHeapString(HANDLE heap, HANDLE module, UINT id)
{
    auto* buffer = static_cast<PWSTR>(HeapAlloc(heap, HEAP_ZERO_MEMORY, MAX_ITEM_STRING * sizeof(WCHAR)));
    if (buffer == nullptr) return nullptr;
    const int length = LoadStringW(static_cast<HINSTANCE>(module), id, buffer, MAX_ITEM_STRING);
    if (length <= 0) {
        HeapFree(heap, 0, buffer);
        return nullptr;
    }
    // The driver keeps item names for the life of the sheet: give back what the name does not use.
    void* trimmed = HeapReAlloc(heap, HEAP_ZERO_MEMORY, buffer, (length + 1) * sizeof(WCHAR));
    return trimmed != nullptr ? static_cast<PWSTR>(trimmed) : buffer;
}
