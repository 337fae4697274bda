#include "items/driver_item_adjustments.h"

#include <cwchar>
#include <iterator>

namespace {

constexpr size_t TRACE_LINE_LENGTH = 60;

}  // namespace

void AdjustDriverItem(OPTITEM& item)
{
    for (const DriverItemAdjustment& row : DriverItemAdjustments) {
        if (row.dmPubId != item.DMPubID) continue;
        switch (row.change) {
            case DriverItemChange::SetSelection:
                item.Sel = static_cast<LONG>(row.value);
                break;
            case DriverItemChange::AddItemFlags:
                item.Flags |= row.value;
                break;
            case DriverItemChange::AddTypeFlags:
                if (item.pOptType != nullptr) item.pOptType->Flags |= static_cast<BYTE>(row.value);
                break;
        }
        return;
    }
}

void TraceDriverItem(DWORD index, const OPTITEM& item)
{
    wchar_t line[TRACE_LINE_LENGTH] = {};
    _snwprintf_s(line, std::size(line), _TRUNCATE, L"%lu, Level %d,", index, item.Level);
    OutputDebugStringW(line);
    // A name is either text or a string resource id of the driver (upper bits clear). The text is
    // passed through as it stands: a driver's name may be longer than any line buffer here.
    if (!IS_INTRESOURCE(item.pName)) {
        OutputDebugStringW(item.pName);
        OutputDebugStringW(L",");
    } else {
        _snwprintf_s(line, std::size(line), _TRUNCATE, L"%lu,",
                     static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(item.pName)));
        OutputDebugStringW(line);
    }
    _snwprintf_s(line, std::size(line), _TRUNCATE, L"%d\r\n", item.DMPubID);
    OutputDebugStringW(line);
}

void AdjustAndTraceDriverItems(POPTITEM items, DWORD count)
{
    if (items == nullptr) return;
    for (DWORD i = 0; i < count; ++i) {
        AdjustDriverItem(items[i]);
        TraceDriverItem(i, items[i]);
    }
}
