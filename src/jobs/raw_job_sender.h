// Maintenance data for the printer, put into its queue as raw spooler jobs: one document per call,
// under the caller's document name. Nothing is returned or shown; a job that cannot be made
// correctly is not made (or is aborted), so the printer never receives a corrupted command stream.
#pragma once

#include <windows.h>

// Driver data files are read from this folder below the Windows directory: the version-3 driver
// folder of the architecture this plug-in is built for, which is the architecture of the spooler
// that loads it (an x64 system loads the x64 plug-in, Windows on ARM the ARM64 one). ARM64 builds
// define _WIN64 too, so they are told apart first.
#if defined(__aarch64__) || defined(_M_ARM64)
constexpr wchar_t DRIVER_DIRECTORY_SUFFIX[] = L"\\system32\\spool\\drivers\\arm64\\3\\";
#elif defined(_WIN64)
constexpr wchar_t DRIVER_DIRECTORY_SUFFIX[] = L"\\system32\\spool\\drivers\\x64\\3\\";
#else
constexpr wchar_t DRIVER_DIRECTORY_SUFFIX[] = L"\\system32\\spool\\drivers\\w32x86\\3\\";
#endif

// Sends a buffer held in memory (the command templates) in one write.
void SendCommandBuffer(HANDLE printer, const BYTE* data, DWORD size, const wchar_t* docName);

// Sends a file from the printer-driver directory unchanged.
void SendDriverFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName);

// Sends a driver file with the drop-size byte of the ink-level test pattern replaced.
void SendTestPatternFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName, LONG dropSize);

// Sends a driver file with each colour byte after ESC..i replaced by the chosen head's code;
// sends nothing for a colour position above 7.
void SendPurgeFile(HANDLE printer, const wchar_t* fileName, const wchar_t* docName, DWORD colorPosition);
