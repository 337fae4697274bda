#include "emulation/received_jobs.h"

#include "emulation/virtual_printer.h"

ReceivedJobsFolder::ReceivedJobsFolder(const std::wstring& folder) : folder_(folder)
{
    for (const std::wstring& path : CapturedJobFiles(folder_)) before_.insert(path);
}

std::vector<std::wstring> ReceivedJobsFolder::FreshFiles() const
{
    std::vector<std::wstring> fresh;
    for (const std::wstring& path : CapturedJobFiles(folder_))
        if (before_.count(path) == 0) fresh.push_back(path);
    return fresh;
}

std::vector<ReceivedJob> ReceivedJobsFolder::Collect(size_t expected, DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    std::vector<std::wstring> fresh = FreshFiles();
    while (fresh.size() < expected && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        fresh = FreshFiles();
    }
    std::vector<ReceivedJob> jobs;
    for (const std::wstring& path : fresh) {
        ReceivedJob job;
        job.fileName = path.substr(path.find_last_of(L'\\') + 1);
        ReadWholeFile(path, &job.bytes);
        jobs.push_back(std::move(job));
    }
    return jobs;
}
