// In-test spooler: StartDocPrinterW, WritePrinter, EndDocPrinter and AbortPrinter of a module
// redirected to a recorder that keeps every job, every call in order, and can fail any chosen call.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/import_patch.h"

struct RecordedJob {
    HANDLE printer = nullptr;
    DWORD level = 0;
    std::wstring docName;
    bool outputFileSet = false;  // DOC_INFO_1W::pOutputFile was not null
    bool datatypeSet = false;    // DOC_INFO_1W::pDatatype was not null
    std::vector<BYTE> bytes;       // what the writes delivered
    std::vector<DWORD> writeSizes;  // count asked for by each WritePrinter
    bool ended = false;
    bool aborted = false;
};

class FakeSpooler {
public:
    explicit FakeSpooler(HMODULE module = TestProgramModule());
    ~FakeSpooler();

    std::vector<RecordedJob> jobs;
    std::vector<std::string> calls;  // "StartDocPrinterW", "WritePrinter", "EndDocPrinter", "AbortPrinter"

    // 1-based number of the spooler call (counting all four kinds) that fails; 0: none.
    size_t failCall = 0;
    // 1-based number of the spooler call that, being a write, reports one byte fewer than asked.
    size_t shortWriteCall = 0;

    // Documents started but neither ended nor aborted.
    size_t OpenJobs() const;

private:
    std::unique_ptr<ImportPatch> patches_[4];
};
