// The kernel seams of a module: Sleep recorded instead of waited, GetWindowsDirectoryW
// answering a folder of one's choosing (or failing), OutputDebugStringW captured.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "emulation/import_patch.h"

class FakeKernel {
public:
    explicit FakeKernel(HMODULE module = ProgramModule());
    ~FakeKernel();

    std::vector<DWORD> sleeps;              // every Sleep, in milliseconds, none waited
    std::vector<std::wstring> debugOutput;  // every OutputDebugStringW, as its own entry
    std::wstring windowsDirectory;          // empty: the real one
    bool windowsDirectoryFails = false;     // GetWindowsDirectoryW returns 0

    // Calls to the fakes, in order: "Sleep:3000", or a spooler-independent marker the test adds.
    std::vector<std::wstring> order;

private:
    ImportPatches patches_;
};

// A temporary Windows directory with the driver directory below it, removed with its files.
class TempDriverDirectory {
public:
    explicit TempDriverDirectory(const std::wstring& suffix);
    ~TempDriverDirectory();
    TempDriverDirectory(const TempDriverDirectory&) = delete;
    TempDriverDirectory& operator=(const TempDriverDirectory&) = delete;

    const std::wstring& windowsDirectory() const { return root_; }
    void WriteFile(const std::wstring& name, const std::vector<BYTE>& bytes) const;

private:
    std::wstring root_, driverDir_;
    std::vector<std::wstring> folders_;
};
