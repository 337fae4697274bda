#include "items/printer_offset.h"

#include "settings/private_devmode.h"

int32_t ReadPrinterOffset(HANDLE printer)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD needed = 0;
    const DWORD status = GetPrinterDataW(printer, const_cast<LPWSTR>(OFFSET_VALUE_NAME), &type,
                                         reinterpret_cast<LPBYTE>(&value), sizeof(value), &needed);
    if (status != ERROR_SUCCESS) return DEFAULT_OFFSET_VALUE;
    return SanitizeOffsetValue(value);
}

void StorePrinterOffset(HANDLE printer, DWORD value)
{
    DWORD type = REG_DWORD;
    DWORD existing = 0;
    DWORD needed = 0;
    const DWORD status = GetPrinterDataW(printer, const_cast<LPWSTR>(OFFSET_VALUE_NAME), &type,
                                         reinterpret_cast<LPBYTE>(&existing), sizeof(existing), &needed);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) type = REG_DWORD;
    SetPrinterDataW(printer, const_cast<LPWSTR>(OFFSET_VALUE_NAME), type, reinterpret_cast<LPBYTE>(&value),
                    sizeof(value));
}
