// The printer's Offset (0 to 8, in eighths), kept in the printer data of each printer.
#pragma once

#include <cstdint>

#include "platform/printoem.h"

constexpr wchar_t OFFSET_VALUE_NAME[] = L"OEMUI_VALUE";

// The stored Offset; 2 when the value is missing, unreadable or above 8.
int32_t ReadPrinterOffset(HANDLE printer);

// Stores value as the printer's Offset, keeping the value type already stored (a new value is a
// REG_DWORD). Failures are not reported: the sheet's Apply has nothing to show them in.
void StorePrinterOffset(HANDLE printer, DWORD value);
