#include "host/printer/session_report.h"

#include "host/printer/job_summary.h"
#include "host/session/devmode_report.h"

namespace {

// One line of the job list: a job, or a run of identical ones (the port test sends twenty in a row).
struct JobLine {
    size_t first, last;
    std::wstring firstFile, lastFile, check;
};

void PrintSettings(HostSession& session, FILE* out)
{
    fwprintf(out, L"\nJob settings (the private devmode kept for the session):\n%ls",
             DescribePrivateDevmode(*session.privateSection()).c_str());
    const long offset = session.StoredOffset();
    if (offset < 0) {
        fwprintf(out, L"Printer Offset: none stored (the plug-in reads 2)\n");
    } else {
        fwprintf(out, L"Printer Offset: %ld/8 (printer data \"OEMUI_VALUE\" of \"%ls\")\n", offset,
                 session.printerName().c_str());
    }
}

// Each job against the file the printer kept of it, in order; allReceived false for one missing or
// different.
std::vector<JobLine> CompareJobs(const std::vector<RecordedJob>& jobs, const std::vector<ReceivedJob>* files,
                                 size_t* matched, bool* allReceived)
{
    std::vector<JobLine> lines;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const RecordedJob& job = jobs[i];
        std::wstring check, file;
        if (files != nullptr) {
            if (job.spoolerJobId == 0 || !job.ended) {
                check = job.aborted ? L"aborted, not printed" : L"refused by the spooler";
            } else if (*matched >= files->size()) {
                check = L"MISSING at the printer";
                *allReceived = false;
            } else {
                const ReceivedJob& got = (*files)[(*matched)++];
                file = got.fileName;
                check = got.bytes == job.bytes ? L"same bytes" : L"DIFFERENT bytes";
                if (got.bytes != job.bytes) *allReceived = false;
            }
        }
        const RecordedJob* previous = lines.empty() ? nullptr : &jobs[lines.back().last];
        if (previous != nullptr && previous->docName == job.docName && previous->bytes == job.bytes &&
            lines.back().check == check) {
            lines.back().last = i;
            lines.back().lastFile = file;
        } else {
            lines.push_back(JobLine{i, i, file, file, check});
        }
    }
    return lines;
}

void PrintJobLine(const JobLine& line, const RecordedJob& job, FILE* out)
{
    const size_t count = line.last - line.first + 1;
    std::wstring number = std::to_wstring(line.first + 1);
    std::wstring name = L"\"" + job.docName + L"\"";
    std::wstring where = line.firstFile;
    if (count > 1) {
        number += L"-" + std::to_wstring(line.last + 1);
        name += L" x" + std::to_wstring(count);
        if (!line.lastFile.empty()) where += L".." + line.lastFile;
    }
    wchar_t head[160];
    swprintf(head, 160, L"  %5ls  %-25ls %6u bytes", number.c_str(), name.c_str(),
             static_cast<unsigned>(job.bytes.size()));
    fwprintf(out, L"%ls  %ls%ls%ls%ls%ls\n", head, where.c_str(), where.empty() ? L"" : L" ", line.check.c_str(),
             line.check.empty() ? L"" : L"  ", JobSummary(job.bytes).c_str());
}

}  // namespace

bool PrintSessionSummary(HostSession& session, const SpoolerRecorder& recorder, const ReceivedJobsFolder* received,
                         FILE* out)
{
    PrintSettings(session, out);
    const std::vector<RecordedJob>& jobs = recorder.jobs;
    size_t delivered = 0;  // jobs the spooler accepted and the plug-in ended: the printer gets these
    for (const RecordedJob& job : jobs)
        if (job.spoolerJobId != 0 && job.ended) ++delivered;
    std::vector<ReceivedJob> files;
    if (received != nullptr) files = received->Collect(delivered, 15000);

    fwprintf(out, L"\nJobs sent by the plug-in: %u", static_cast<unsigned>(jobs.size()));
    if (received != nullptr)
        fwprintf(out, L"; received by the virtual printer: %u", static_cast<unsigned>(files.size()));
    fwprintf(out, L"\n");
    size_t matched = 0;
    bool allReceived = true;
    for (const JobLine& line : CompareJobs(jobs, received != nullptr ? &files : nullptr, &matched, &allReceived))
        PrintJobLine(line, jobs[line.first], out);
    if (received != nullptr && matched < files.size()) {
        fwprintf(out, L"  the printer received %u job(s) more than the plug-in sent\n",
                 static_cast<unsigned>(files.size() - matched));
        allReceived = false;
    }
    return allReceived;
}
