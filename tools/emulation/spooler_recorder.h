// The plug-in's spooler calls as the driver's world sees them: StartDocPrinterW, WritePrinter,
// EndDocPrinter and AbortPrinter of a module redirected to a recorder that keeps every job and
// every call in order. The recorder either passes each call on to the spooler the module was bound
// to (the host: the bytes still travel to the printer, and the host learns the document names the
// port never sees) or stands in for the spooler (the tests). Either way a chosen call can be made
// to fail. Two recorders may be stacked on one module: the later one passes its calls on to the
// earlier one, as to a spooler.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "emulation/import_patch.h"

struct RecordedJob {
    HANDLE printer = nullptr;
    DWORD level = 0;
    std::wstring docName;
    bool outputFileSet = false;     // DOC_INFO_1W::pOutputFile was not null
    bool datatypeSet = false;       // DOC_INFO_1W::pDatatype was not null
    std::vector<BYTE> bytes;        // what the spooler accepted from the writes
    std::vector<DWORD> writeSizes;  // count asked for by each WritePrinter
    DWORD spoolerJobId = 0;         // StartDocPrinterW's answer; 0 when the spooler refused the document
    bool ended = false;
    bool aborted = false;
};

class SpoolerRecorder {
public:
    enum class Mode {
        PassThrough,  // every call goes on to the spooler below
        StandIn,      // nothing goes further: the recorder answers as a spooler that takes everything
    };

    explicit SpoolerRecorder(HMODULE module = ProgramModule(), Mode mode = Mode::StandIn);
    ~SpoolerRecorder();
    SpoolerRecorder(const SpoolerRecorder&) = delete;
    SpoolerRecorder& operator=(const SpoolerRecorder&) = delete;

    // False when the module does not import the spooler calls (nothing could be recorded).
    bool active() const;

    std::vector<RecordedJob> jobs;
    std::vector<std::string> calls;  // "StartDocPrinterW", "WritePrinter", "EndDocPrinter", "AbortPrinter"

    // 1-based number of the spooler call (counting all four kinds) that fails without going further;
    // 0: none. A document failed this way starts no job.
    size_t failCall = 0;
    // 1-based number of the spooler call that, being a write, takes one byte fewer than asked.
    size_t shortWriteCall = 0;

    // Documents started but neither ended nor aborted.
    size_t OpenJobs() const;

private:
    friend struct SpoolerCalls;
    bool Counted(const char* name);  // records the call; true when it is the one that fails
    RecordedJob* OpenJob();
    DWORD OnStartDoc(HANDLE printer, DWORD level, LPBYTE info);
    BOOL OnWrite(HANDLE printer, LPVOID data, DWORD size, LPDWORD written);
    BOOL OnEnd(HANDLE printer, bool abort);

    Mode mode_;
    size_t layer_ = 0;
    std::unique_ptr<ImportPatch> patches_[4];
};
