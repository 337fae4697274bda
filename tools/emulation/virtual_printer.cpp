#include "emulation/virtual_printer.h"

#include <algorithm>
#include <cstdio>

namespace {

// Wine reads the port mappings of its spooler from here: a value "|command" pipes each job to it.
constexpr wchar_t WINE_SPOOLER_KEY[] = L"Software\\Wine\\Printing\\Spooler";
constexpr wchar_t SETUP_KEY[] = L"Software\\Orlin\\Virtual Printer";
constexpr wchar_t JOBS_FOLDER_VALUE[] = L"Jobs Folder";
// Wine's own printer driver; raw jobs pass through it untouched.
constexpr wchar_t WINE_DRIVER_FILE[] = L"wineps.drv";

std::wstring Describe(const wchar_t* what, DWORD code)
{
    wchar_t text[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr);
    return std::wstring(what) + L" failed: error " + std::to_wstring(code) + L" " + text;
}

int SetStringValue(const wchar_t* keyPath, const wchar_t* name, const std::wstring& value, std::wstring* error)
{
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (status == ERROR_SUCCESS) return 1;
    *error = Describe(L"writing the registry", static_cast<DWORD>(status));
    return 0;
}

// The driver is installed for both environments, so that 32- and 64-bit programs alike find it.
int InstallDriver(const wchar_t* environment, std::wstring* error)
{
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = const_cast<LPWSTR>(VIRTUAL_PRINTER_DRIVER);
    info.pEnvironment = const_cast<LPWSTR>(environment);
    info.pDriverPath = const_cast<LPWSTR>(WINE_DRIVER_FILE);
    info.pDataFile = const_cast<LPWSTR>(WINE_DRIVER_FILE);
    info.pConfigFile = const_cast<LPWSTR>(WINE_DRIVER_FILE);
    info.pDefaultDataType = const_cast<LPWSTR>(L"RAW");
    if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES)) return 1;
    const DWORD code = GetLastError();
    if (code == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) return 1;
    *error = Describe((std::wstring(L"AddPrinterDriverExW for ") + environment).c_str(), code);
    return 0;
}

int PrinterExists()
{
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(VIRTUAL_PRINTER_NAME), &printer, nullptr)) return 0;
    ClosePrinter(printer);
    return 1;
}

int InstallPrinter(std::wstring* error)
{
    if (PrinterExists()) return 1;
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<LPWSTR>(VIRTUAL_PRINTER_NAME);
    info.pPortName = const_cast<LPWSTR>(VIRTUAL_PRINTER_PORT);
    info.pDriverName = const_cast<LPWSTR>(VIRTUAL_PRINTER_DRIVER);
    info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer != nullptr) {
        ClosePrinter(printer);
        return 1;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_PRINTER_ALREADY_EXISTS) return 1;
    *error = Describe(L"AddPrinterW", code);
    return 0;
}

}  // namespace

int InstallVirtualPrinter(const std::wstring& captureCommand, const std::wstring& jobsFolder, std::wstring* error)
{
    if (!InstallDriver(L"Windows NT x86", error) || !InstallDriver(L"Windows x64", error)) return 0;
    if (!InstallPrinter(error)) return 0;
    if (!SetStringValue(WINE_SPOOLER_KEY, VIRTUAL_PRINTER_PORT, L"|" + captureCommand, error)) return 0;
    return SetStringValue(SETUP_KEY, JOBS_FOLDER_VALUE, jobsFolder, error);
}

std::wstring VirtualPrinterJobsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD size = sizeof(folder) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, SETUP_KEY, JOBS_FOLDER_VALUE, RRF_RT_REG_SZ, nullptr, folder, &size) !=
        ERROR_SUCCESS)
        return {};
    return folder;
}

std::vector<std::wstring> CapturedJobFiles(const std::wstring& jobsFolder)
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((jobsFolder + L"\\*.bin").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(jobsFolder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::wstring> WaitForNewJobFiles(const std::wstring& jobsFolder, const std::vector<std::wstring>& before,
                                             DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<std::wstring> fresh;
        for (const std::wstring& file : CapturedJobFiles(jobsFolder))
            if (std::find(before.begin(), before.end(), file) == before.end()) fresh.push_back(file);
        if (!fresh.empty() || GetTickCount() - start >= timeoutMs) return fresh;
        Sleep(20);
    }
}

int ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes)
{
    bytes->clear();
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return 0;
    BYTE buffer[65536];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
    const bool failed = ferror(file) != 0;
    fclose(file);
    return failed ? 0 : 1;
}
