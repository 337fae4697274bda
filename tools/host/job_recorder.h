// Every job the loaded plug-in sends, as the host sees it on its way to the spooler. The spooler's
// port receives bytes only, so the document names are learnt by redirecting the plug-in module's
// own spooler imports to pass-through recorders: each call is recorded and then handed to the real
// spooler, so the bytes still travel to the printer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/import_patch.h"

struct SentJob {
    std::wstring docName;
    std::vector<BYTE> bytes;  // what the spooler accepted from the writes
    DWORD writes = 0;         // WritePrinter calls made for this job
    DWORD spoolerJobId = 0;   // StartDocPrinterW's answer; 0 when the spooler refused the document
    bool ended = false;
    bool aborted = false;
};

class JobRecorder {
public:
    // Redirects StartDocPrinterW, WritePrinter, EndDocPrinter and AbortPrinter of the plug-in module.
    // One recorder at a time per process; the imports return to normal when it is destroyed.
    explicit JobRecorder(HMODULE pluginModule);
    ~JobRecorder();
    JobRecorder(const JobRecorder&) = delete;
    JobRecorder& operator=(const JobRecorder&) = delete;

    // False when the module does not import the spooler calls (nothing could be recorded).
    bool active() const;
    const std::vector<SentJob>& jobs() const { return jobs_; }

private:
    friend struct JobRecorderCalls;
    std::vector<SentJob> jobs_;
    std::unique_ptr<ImportPatch> patches_[4];
};
