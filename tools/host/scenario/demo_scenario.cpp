#include "host/scenario/demo_scenario.h"

#include <windows.h>

#include <cstdio>

namespace {

std::wstring FromUtf8(std::string bytes)
{
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    if (bytes.empty()) return L"";
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
}

}  // namespace

std::wstring DemoScenario()
{
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(IDR_DEMO_SCENARIO), RT_RCDATA);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
    return bytes != nullptr ? FromUtf8(std::string(bytes, SizeofResource(program, found))) : L"";
}

bool ReadScenarioFile(const std::wstring& path, std::wstring* text)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return false;
    std::string bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    fclose(file);
    *text = FromUtf8(bytes);
    return true;
}
