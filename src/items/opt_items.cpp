#include "items/opt_items.h"

#include <cstring>

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
