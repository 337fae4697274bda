#include "host/session_report.h"

#include "host/devmode_report.h"
#include "host/job_summary.h"

bool PrintSessionSummary(HostSession& session, const JobRecorder& recorder, const ReceivedJobsFolder* received,
                         FILE* out)
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

    const std::vector<SentJob>& jobs = recorder.jobs();
    size_t delivered = 0;  // jobs the spooler accepted and the plug-in ended: the printer gets these
    for (const SentJob& job : jobs)
        if (job.spoolerJobId != 0 && job.ended) ++delivered;
    std::vector<ReceivedJob> files;
    if (received != nullptr) files = received->Collect(delivered, 15000);

    fwprintf(out, L"\nJobs sent by the plug-in: %u", static_cast<unsigned>(jobs.size()));
    if (received != nullptr) fwprintf(out, L"; received by the virtual printer: %u", static_cast<unsigned>(files.size()));
    fwprintf(out, L"\n");
    bool allReceived = true;
    size_t next = 0;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const SentJob& job = jobs[i];
        std::wstring check;
        if (received != nullptr) {
            if (job.spoolerJobId == 0 || !job.ended) {
                check = job.aborted ? L"aborted, not printed" : L"refused by the spooler";
            } else if (next >= files.size()) {
                check = L"MISSING at the printer";
                allReceived = false;
            } else {
                const ReceivedJob& file = files[next++];
                const bool same = file.bytes == job.bytes;
                check = file.fileName + (same ? L" same bytes" : L" DIFFERENT bytes");
                if (!same) allReceived = false;
            }
        }
        wchar_t head[96];
        swprintf(head, 96, L"  %2u  %-20ls %6u bytes", static_cast<unsigned>(i + 1),
                 (L"\"" + job.docName + L"\"").c_str(), static_cast<unsigned>(job.bytes.size()));
        fwprintf(out, L"%ls  %ls%ls%ls\n", head, check.c_str(), check.empty() ? L"" : L"  ",
                 JobSummary(job.bytes).c_str());
    }
    if (received != nullptr && next < files.size()) {
        fwprintf(out, L"  the printer received %u job(s) more than the plug-in sent\n",
                 static_cast<unsigned>(files.size() - next));
        allReceived = false;
    }
    return allReceived;
}
