// Maintenance data for the printer, put into its queue as raw spooler jobs: one document per call,
// under the caller's document name. Nothing is returned or shown; a job that cannot be made
// correctly is not made (or is aborted), so the printer never receives a corrupted command stream.
#pragma once

#include <windows.h>

// Driver data files are read from this folder below the Windows directory: the version-3 driver
// folder of the architecture this plug-in is built for (a 64-bit system loads the x64 plug-in).
#ifdef _WIN64
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
