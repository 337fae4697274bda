// orlinprinter: installs the virtual printer in the current Wine prefix.
//   orlinprinter install CAPTURE-COMMAND JOBS-FOLDER
//   orlinprinter folder        prints the jobs folder of the installed printer
#include <cstdio>
#include <cwchar>
#include <string>

#include "emulation/virtual_printer.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && wcscmp(argv[1], L"install") == 0) {
        std::wstring error;
        if (!InstallVirtualPrinter(argv[2], argv[3], &error)) {
            fwprintf(stderr, L"orlinprinter: %ls\n", error.c_str());
            return 1;
        }
        wprintf(L"\"%ls\" on %ls, jobs kept in %ls\n", VIRTUAL_PRINTER_NAME, VIRTUAL_PRINTER_PORT, argv[3]);
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"folder") == 0) {
        const std::wstring folder = VirtualPrinterJobsFolder();
        if (folder.empty()) return 1;
        wprintf(L"%ls\n", folder.c_str());
        return 0;
    }
    fwprintf(stderr, L"usage: orlinprinter install CAPTURE-COMMAND JOBS-FOLDER | orlinprinter folder\n");
    return 2;
}
