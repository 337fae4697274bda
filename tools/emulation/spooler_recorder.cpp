#include "emulation/spooler_recorder.h"

namespace {

// Recorders stacked on one module, lowest first; each layer has thunks of its own.
constexpr size_t LAYERS = 2;
SpoolerRecorder* Layers[LAYERS] = {};
constexpr DWORD STAND_IN_JOB_ID_BASE = 100;

using StartDocPrinterWFn = DWORD(WINAPI*)(HANDLE, DWORD, LPBYTE);
using WritePrinterFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD);
using EndOrAbortFn = BOOL(WINAPI*)(HANDLE);

enum Import { START_DOC, WRITE, END_DOC, ABORT };
constexpr const char* IMPORT_NAMES[] = {"StartDocPrinterW", "WritePrinter", "EndDocPrinter", "AbortPrinter"};

}  // namespace

// The replacements the module's imports point at; each finds its recorder by layer.
struct SpoolerCalls {
    template <size_t L>
    static DWORD WINAPI StartDoc(HANDLE printer, DWORD level, LPBYTE info)
    {
        return Layers[L]->OnStartDoc(printer, level, info);
    }
    template <size_t L>
    static BOOL WINAPI Write(HANDLE printer, LPVOID data, DWORD size, LPDWORD written)
    {
        return Layers[L]->OnWrite(printer, data, size, written);
    }
    template <size_t L>
    static BOOL WINAPI EndDoc(HANDLE printer)
    {
        return Layers[L]->OnEnd(printer, false);
    }
    template <size_t L>
    static BOOL WINAPI Abort(HANDLE printer)
    {
        return Layers[L]->OnEnd(printer, true);
    }
    template <size_t L>
    static const void* Replacement(int import)
    {
        switch (import) {
            case START_DOC:
                return reinterpret_cast<const void*>(&StartDoc<L>);
            case WRITE:
                return reinterpret_cast<const void*>(&Write<L>);
            case END_DOC:
                return reinterpret_cast<const void*>(&EndDoc<L>);
            default:
                return reinterpret_cast<const void*>(&Abort<L>);
        }
    }
};

SpoolerRecorder::SpoolerRecorder(HMODULE module, Mode mode) : mode_(mode)
{
    while (layer_ < LAYERS && Layers[layer_] != nullptr) ++layer_;
    if (layer_ == LAYERS) return;  // no room for one more: inactive
    Layers[layer_] = this;
    for (int import = START_DOC; import <= ABORT; ++import) {
        const void* replacement =
            layer_ == 0 ? SpoolerCalls::Replacement<0>(import) : SpoolerCalls::Replacement<1>(import);
        patches_[import] = std::make_unique<ImportPatch>(module, "winspool.drv", IMPORT_NAMES[import], replacement);
    }
}

SpoolerRecorder::~SpoolerRecorder()
{
    for (auto& patch : patches_) patch.reset();
    if (layer_ < LAYERS) Layers[layer_] = nullptr;
}

bool SpoolerRecorder::active() const
{
    return patches_[START_DOC] && patches_[START_DOC]->active() && patches_[WRITE]->active() &&
           patches_[END_DOC]->active();
}

size_t SpoolerRecorder::OpenJobs() const
{
    size_t open = 0;
    for (const RecordedJob& job : jobs) open += job.ended || job.aborted ? 0 : 1;
    return open;
}

bool SpoolerRecorder::Counted(const char* name)
{
    calls.push_back(name);
    return calls.size() == failCall;
}

RecordedJob* SpoolerRecorder::OpenJob()
{
    if (jobs.empty()) return nullptr;
    RecordedJob& job = jobs.back();
    return job.ended || job.aborted ? nullptr : &job;
}

DWORD SpoolerRecorder::OnStartDoc(HANDLE printer, DWORD level, LPBYTE info)
{
    if (Counted("StartDocPrinterW")) {
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
    DWORD error = GetLastError();
    if (mode_ == Mode::PassThrough) {
        job.spoolerJobId = reinterpret_cast<StartDocPrinterWFn>(patches_[START_DOC]->original())(printer, level, info);
        error = GetLastError();
    } else {
        job.spoolerJobId = STAND_IN_JOB_ID_BASE + static_cast<DWORD>(jobs.size() + 1);
    }
    // A document the spooler refused is kept too (with job id 0), so that it can be reported.
    jobs.push_back(std::move(job));
    SetLastError(error);
    return jobs.back().spoolerJobId;
}

BOOL SpoolerRecorder::OnWrite(HANDLE printer, LPVOID data, DWORD size, LPDWORD written)
{
    const bool fails = Counted("WritePrinter");
    if (written != nullptr) *written = 0;
    RecordedJob* job = OpenJob();
    if (job != nullptr) job->writeSizes.push_back(size);
    if (fails) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    DWORD accepted = calls.size() == shortWriteCall && size > 0 ? size - 1 : size;
    BOOL ok = TRUE;
    DWORD error = GetLastError();
    if (mode_ == Mode::PassThrough) {
        ok = reinterpret_cast<WritePrinterFn>(patches_[WRITE]->original())(printer, data, accepted, &accepted);
        error = GetLastError();
    }
    if (ok && job != nullptr && data != nullptr) {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        job->bytes.insert(job->bytes.end(), bytes, bytes + accepted);
    }
    if (written != nullptr) *written = accepted;
    SetLastError(error);
    return ok;
}

BOOL SpoolerRecorder::OnEnd(HANDLE printer, bool abort)
{
    const bool fails = Counted(abort ? "AbortPrinter" : "EndDocPrinter");
    BOOL ok = fails ? FALSE : TRUE;
    DWORD error = GetLastError();
    if (!fails && mode_ == Mode::PassThrough) {
        ok = reinterpret_cast<EndOrAbortFn>(patches_[abort ? ABORT : END_DOC]->original())(printer);
        error = GetLastError();
    }
    if (RecordedJob* job = OpenJob()) (abort ? job->aborted : job->ended) = true;
    SetLastError(error);
    return ok;
}
