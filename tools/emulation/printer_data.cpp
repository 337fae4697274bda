#include "emulation/printer_data.h"

#include <cstring>

namespace {

FakePrinterData* Active = nullptr;

DWORD WINAPI FakeGetPrinterDataW(HANDLE printer, LPWSTR name, LPDWORD type, LPBYTE data, DWORD size, LPDWORD needed)
{
    FakePrinterData& fake = *Active;
    ++fake.reads;
    fake.lastPrinter = printer;
    if (fake.readError != ERROR_SUCCESS) return fake.readError;
    auto it = fake.values.find(name);
    if (it == fake.values.end()) return ERROR_FILE_NOT_FOUND;
    if (needed != nullptr) *needed = static_cast<DWORD>(it->second.data.size());
    if (type != nullptr) *type = it->second.type;
    if (size < it->second.data.size()) return ERROR_MORE_DATA;
    if (data != nullptr) std::memcpy(data, it->second.data.data(), it->second.data.size());
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeSetPrinterDataW(HANDLE printer, LPWSTR name, DWORD type, LPBYTE data, DWORD size)
{
    FakePrinterData& fake = *Active;
    ++fake.writes;
    fake.lastPrinter = printer;
    StoredPrinterValue& value = fake.values[name];
    value.type = type;
    value.data.assign(data, data + size);
    return ERROR_SUCCESS;
}

}  // namespace

FakePrinterData::FakePrinterData(HMODULE module)
    : patches_(module, {{"winspool.drv", "GetPrinterDataW", reinterpret_cast<const void*>(&FakeGetPrinterDataW)},
                        {"winspool.drv", "SetPrinterDataW", reinterpret_cast<const void*>(&FakeSetPrinterDataW)}})
{
    Active = this;
}

FakePrinterData::~FakePrinterData()
{
    Active = nullptr;
}

void FakePrinterData::SetDword(const std::wstring& name, DWORD value, DWORD type)
{
    StoredPrinterValue& stored = values[name];
    stored.type = type;
    stored.data.assign(reinterpret_cast<BYTE*>(&value), reinterpret_cast<BYTE*>(&value) + sizeof(value));
}

DWORD FakePrinterData::Dword(const std::wstring& name) const
{
    auto it = values.find(name);
    DWORD value = 0;
    if (it != values.end() && it->second.data.size() >= sizeof(value)) std::memcpy(&value, it->second.data.data(), 4);
    return value;
}
