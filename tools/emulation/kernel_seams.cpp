#include "emulation/kernel_seams.h"

#include <cstdio>
#include <cwchar>

namespace {

FakeKernel* Active = nullptr;

VOID WINAPI FakeSleep(DWORD milliseconds)
{
    Active->sleeps.push_back(milliseconds);
    Active->order.push_back(L"Sleep:" + std::to_wstring(milliseconds));
}

VOID WINAPI FakeOutputDebugStringW(LPCWSTR text)
{
    Active->debugOutput.push_back(text != nullptr ? text : L"");
}

UINT WINAPI FakeGetWindowsDirectoryW(LPWSTR buffer, UINT size)
{
    if (Active->windowsDirectoryFails) return 0;
    if (Active->windowsDirectory.empty()) return GetSystemWindowsDirectoryW(buffer, size);
    const UINT length = static_cast<UINT>(Active->windowsDirectory.size());
    if (length + 1 > size) return length + 1;
    wcscpy(buffer, Active->windowsDirectory.c_str());
    return length;
}

}  // namespace

FakeKernel::FakeKernel(HMODULE module)
    : patches_(module,
               {{"kernel32.dll", "Sleep", reinterpret_cast<const void*>(&FakeSleep)},
                {"kernel32.dll", "GetWindowsDirectoryW", reinterpret_cast<const void*>(&FakeGetWindowsDirectoryW)},
                {"kernel32.dll", "OutputDebugStringW", reinterpret_cast<const void*>(&FakeOutputDebugStringW)}})
{
    Active = this;
}

FakeKernel::~FakeKernel()
{
    Active = nullptr;
}

TempDriverDirectory::TempDriverDirectory(const std::wstring& suffix)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"orlin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount());
    CreateDirectoryW(root_.c_str(), nullptr);
    folders_.push_back(root_);
    // suffix is "\system32\spool\drivers\<arch>\3\": create each level below the root.
    std::wstring path = root_;
    size_t start = 1;
    for (size_t slash = suffix.find(L'\\', start); slash != std::wstring::npos; slash = suffix.find(L'\\', start)) {
        path += L"\\" + suffix.substr(start, slash - start);
        CreateDirectoryW(path.c_str(), nullptr);
        folders_.push_back(path);
        start = slash + 1;
    }
    driverDir_ = path + L"\\";
}

TempDriverDirectory::~TempDriverDirectory()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((driverDir_ + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((driverDir_ + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryW(it->c_str());
}

void TempDriverDirectory::WriteFile(const std::wstring& name, const std::vector<BYTE>& bytes) const
{
    FILE* file = _wfopen((driverDir_ + name).c_str(), L"wb");
    if (file == nullptr) return;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}
