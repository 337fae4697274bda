#include "support/fake_spooler.h"

namespace {

FakeSpooler* Active = nullptr;
constexpr DWORD FakeJobIdBase = 100;

bool FailsNow(const char* name)
{
    Active->calls.push_back(name);
    return Active->calls.size() == Active->failCall;
}

RecordedJob* CurrentJob()
{
    if (Active->jobs.empty()) return nullptr;
    RecordedJob& job = Active->jobs.back();
    return job.ended || job.aborted ? nullptr : &job;
}

DWORD WINAPI FakeStartDocPrinterW(HANDLE printer, DWORD level, LPBYTE info)
{
    if (FailsNow("StartDocPrinterW")) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    RecordedJob job;
    job.printer = printer;
    job.level = level;
    if (level == 1 && info != nullptr) {
        const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(info);
        if (doc->pDocName != nullptr) job.docName = doc->pDocName;
        job.outputFileSet = doc->pOutputFile != nullptr;
        job.datatypeSet = doc->pDatatype != nullptr;
    }
    Active->jobs.push_back(job);
    return FakeJobIdBase + static_cast<DWORD>(Active->jobs.size());
}

BOOL WINAPI FakeWritePrinter(HANDLE, LPVOID data, DWORD size, LPDWORD written)
{
    const bool fails = FailsNow("WritePrinter");
    if (written != nullptr) *written = 0;
    RecordedJob* job = CurrentJob();
    if (job != nullptr) job->writeSizes.push_back(size);
    if (fails) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    DWORD delivered = size;
    if (Active->calls.size() == Active->shortWriteCall && size > 0) delivered = size - 1;
    if (job != nullptr) job->bytes.insert(job->bytes.end(), static_cast<BYTE*>(data), static_cast<BYTE*>(data) + delivered);
    if (written != nullptr) *written = delivered;
    return TRUE;
}

BOOL WINAPI FakeEndDocPrinter(HANDLE)
{
    const bool fails = FailsNow("EndDocPrinter");
    if (RecordedJob* job = CurrentJob()) job->ended = true;
    return fails ? FALSE : TRUE;
}

BOOL WINAPI FakeAbortPrinter(HANDLE)
{
    const bool fails = FailsNow("AbortPrinter");
    if (RecordedJob* job = CurrentJob()) job->aborted = true;
    return fails ? FALSE : TRUE;
}

}  // namespace

FakeSpooler::FakeSpooler(HMODULE module)
{
    Active = this;
    const char* dll = "winspool.drv";
    patches_[0] = std::make_unique<ImportPatch>(module, dll, "StartDocPrinterW", reinterpret_cast<const void*>(&FakeStartDocPrinterW));
    patches_[1] = std::make_unique<ImportPatch>(module, dll, "WritePrinter", reinterpret_cast<const void*>(&FakeWritePrinter));
    patches_[2] = std::make_unique<ImportPatch>(module, dll, "EndDocPrinter", reinterpret_cast<const void*>(&FakeEndDocPrinter));
    patches_[3] = std::make_unique<ImportPatch>(module, dll, "AbortPrinter", reinterpret_cast<const void*>(&FakeAbortPrinter));
}

FakeSpooler::~FakeSpooler()
{
    for (auto& patch : patches_) patch.reset();
    Active = nullptr;
}

size_t FakeSpooler::OpenJobs() const
{
    size_t open = 0;
    for (const RecordedJob& job : jobs) open += job.ended || job.aborted ? 0 : 1;
    return open;
}
