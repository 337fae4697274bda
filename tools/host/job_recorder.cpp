#include "host/job_recorder.h"

namespace {

JobRecorder* Active = nullptr;

using StartDocPrinterWFn = DWORD(WINAPI*)(HANDLE, DWORD, LPBYTE);
using WritePrinterFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD);
using EndOrAbortFn = BOOL(WINAPI*)(HANDLE);

// The real spooler functions, as the plug-in module had them bound before the redirection.
StartDocPrinterWFn RealStartDocPrinterW = &StartDocPrinterW;
WritePrinterFn RealWritePrinter = &WritePrinter;
EndOrAbortFn RealEndDocPrinter = &EndDocPrinter;
EndOrAbortFn RealAbortPrinter = &AbortPrinter;

}  // namespace

// The recorders reach the recorder's private list through this friend.
struct JobRecorderCalls {
    static SentJob* OpenJob()
    {
        if (Active == nullptr || Active->jobs_.empty()) return nullptr;
        SentJob& job = Active->jobs_.back();
        return job.ended || job.aborted ? nullptr : &job;
    }

    static DWORD WINAPI StartDoc(HANDLE printer, DWORD level, LPBYTE info)
    {
        const DWORD jobId = RealStartDocPrinterW(printer, level, info);
        const DWORD error = GetLastError();
        if (Active != nullptr) {
            SentJob job;
            if (level == 1 && info != nullptr) {
                const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(info);
                if (doc->pDocName != nullptr) job.docName = doc->pDocName;
            }
            job.spoolerJobId = jobId;
            Active->jobs_.push_back(std::move(job));
        }
        SetLastError(error);
        return jobId;
    }

    static BOOL WINAPI Write(HANDLE printer, LPVOID data, DWORD size, LPDWORD written)
    {
        DWORD accepted = 0;
        const BOOL ok = RealWritePrinter(printer, data, size, &accepted);
        const DWORD error = GetLastError();
        if (written != nullptr) *written = accepted;
        if (SentJob* job = OpenJob()) {
            ++job->writes;
            if (ok && data != nullptr) {
                const BYTE* bytes = static_cast<const BYTE*>(data);
                job->bytes.insert(job->bytes.end(), bytes, bytes + accepted);
            }
        }
        SetLastError(error);
        return ok;
    }

    static BOOL WINAPI EndDoc(HANDLE printer)
    {
        const BOOL ok = RealEndDocPrinter(printer);
        if (SentJob* job = OpenJob()) job->ended = true;
        return ok;
    }

    static BOOL WINAPI Abort(HANDLE printer)
    {
        const BOOL ok = RealAbortPrinter(printer);
        if (SentJob* job = OpenJob()) job->aborted = true;
        return ok;
    }
};

JobRecorder::JobRecorder(HMODULE pluginModule)
{
    Active = this;
    const char* dll = "winspool.drv";
    patches_[0] = std::make_unique<ImportPatch>(pluginModule, dll, "StartDocPrinterW",
                                                reinterpret_cast<const void*>(&JobRecorderCalls::StartDoc));
    patches_[1] = std::make_unique<ImportPatch>(pluginModule, dll, "WritePrinter",
                                                reinterpret_cast<const void*>(&JobRecorderCalls::Write));
    patches_[2] = std::make_unique<ImportPatch>(pluginModule, dll, "EndDocPrinter",
                                                reinterpret_cast<const void*>(&JobRecorderCalls::EndDoc));
    patches_[3] = std::make_unique<ImportPatch>(pluginModule, dll, "AbortPrinter",
                                                reinterpret_cast<const void*>(&JobRecorderCalls::Abort));
    // Pass through to whatever the module was bound to, so the recorder adds nothing but a record.
    if (patches_[0]->active()) RealStartDocPrinterW = reinterpret_cast<StartDocPrinterWFn>(patches_[0]->original());
    if (patches_[1]->active()) RealWritePrinter = reinterpret_cast<WritePrinterFn>(patches_[1]->original());
    if (patches_[2]->active()) RealEndDocPrinter = reinterpret_cast<EndOrAbortFn>(patches_[2]->original());
    if (patches_[3]->active()) RealAbortPrinter = reinterpret_cast<EndOrAbortFn>(patches_[3]->original());
}

JobRecorder::~JobRecorder()
{
    for (auto& patch : patches_) patch.reset();
    Active = nullptr;
}

bool JobRecorder::active() const
{
    return patches_[0]->active() && patches_[1]->active() && patches_[2]->active();
}
