// The virtual printer: a printer on Wine's own spooler whose port hands every job to a capture
// command, which keeps each job in its own numbered file. End-to-end tests and the driver-host
// emulator send real jobs to it and read back exactly the bytes the printer would receive.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

constexpr wchar_t VIRTUAL_PRINTER_NAME[] = L"Orlin Virtual Printer";
constexpr wchar_t VIRTUAL_PRINTER_DRIVER[] = L"Orlin Virtual Printer Driver";
constexpr wchar_t VIRTUAL_PRINTER_PORT[] = L"LPT1:";

// Installs the driver and the printer when missing (Wine's PostScript driver, port LPT1:, print
// processor WinPrint), maps the port to "|captureCommand" (a Unix shell command that reads one
// job on its standard input) and records jobsFolder (a Windows path) where the command keeps the
// jobs. Safe to run again. 1 on success; 0 with a message in *error.
int InstallVirtualPrinter(const std::wstring& captureCommand, const std::wstring& jobsFolder, std::wstring* error);

// The folder recorded by InstallVirtualPrinter; empty when no virtual printer is installed.
std::wstring VirtualPrinterJobsFolder();

// The job files in a jobs folder, oldest first (their names are zero-padded numbers).
std::vector<std::wstring> CapturedJobFiles(const std::wstring& jobsFolder);

// Waits up to timeoutMs for job files that are not in `before`, and returns them oldest first.
// The capture command renames a job into place only once it is complete.
std::vector<std::wstring> WaitForNewJobFiles(const std::wstring& jobsFolder, const std::vector<std::wstring>& before,
                                             DWORD timeoutMs);

// The whole content of a file; 0 when it cannot be read.
int ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes);
