#include "host/printer/session_report.h"

#include "host/printer/job_summary.h"
#include "host/session/devmode_report.h"

bool PrintSessionSummary(HostSession& session, const SpoolerRecorder& recorder, const ReceivedJobsFolder* received,
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
    // One line per job, or per run of identical jobs (the port test sends twenty in a row).
    struct Line {
        size_t first, last;
        std::wstring firstFile, lastFile, check;
    };
    bool allReceived = true;
    size_t next = 0;
    std::vector<Line> lines;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const RecordedJob& job = jobs[i];
        std::wstring check, file;
        if (received != nullptr) {
            if (job.spoolerJobId == 0 || !job.ended) {
                check = job.aborted ? L"aborted, not printed" : L"refused by the spooler";
            } else if (next >= files.size()) {
                check = L"MISSING at the printer";
                allReceived = false;
            } else {
                const ReceivedJob& got = files[next++];
                file = got.fileName;
                check = got.bytes == job.bytes ? L"same bytes" : L"DIFFERENT bytes";
                if (got.bytes != job.bytes) allReceived = false;
            }
        }
        if (!lines.empty()) {
            Line& last = lines.back();
            const RecordedJob& previous = jobs[last.last];
            if (previous.docName == job.docName && previous.bytes == job.bytes && last.check == check) {
                last.last = i;
                last.lastFile = file;
                continue;
            }
        }
        lines.push_back(Line{i, i, file, file, check});
    }
    for (const Line& line : lines) {
        const RecordedJob& job = jobs[line.first];
        const size_t count = line.last - line.first + 1;
        std::wstring number = std::to_wstring(line.first + 1);
        if (count > 1) number += L"-" + std::to_wstring(line.last + 1);
        std::wstring name = L"\"" + job.docName + L"\"";
        if (count > 1) name += L" x" + std::to_wstring(count);
        std::wstring where = line.firstFile;
        if (count > 1 && !line.lastFile.empty()) where += L".." + line.lastFile;
        wchar_t head[160];
        swprintf(head, 160, L"  %5ls  %-25ls %6u bytes", number.c_str(), name.c_str(),
                 static_cast<unsigned>(job.bytes.size()));
        fwprintf(out, L"%ls  %ls%ls%ls%ls%ls\n", head, where.c_str(), where.empty() ? L"" : L" ", line.check.c_str(),
                 line.check.empty() ? L"" : L"  ", JobSummary(job.bytes).c_str());
    }
    if (received != nullptr && next < files.size()) {
        fwprintf(out, L"  the printer received %u job(s) more than the plug-in sent\n",
                 static_cast<unsigned>(files.size() - next));
        allReceived = false;
    }
    return allReceived;
}
