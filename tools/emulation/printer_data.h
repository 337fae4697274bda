// Printer data: GetPrinterDataW and SetPrinterDataW of a module redirected to a small
// store of named values, with a switch to make reads fail.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "emulation/import_patch.h"

struct StoredPrinterValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

class FakePrinterData {
public:
    explicit FakePrinterData(HMODULE module = ProgramModule());
    ~FakePrinterData();

    void SetDword(const std::wstring& name, DWORD value, DWORD type = REG_DWORD);
    bool Has(const std::wstring& name) const { return values.count(name) != 0; }
    DWORD Dword(const std::wstring& name) const;

    std::map<std::wstring, StoredPrinterValue> values;
    DWORD readError = ERROR_SUCCESS;  // non-zero: every read fails with it
    int reads = 0;
    int writes = 0;
    HANDLE lastPrinter = nullptr;

private:
    ImportPatches patches_;
};
