#include "host/received_jobs.h"

#include <algorithm>
#include <cstdio>

ReceivedJobsFolder::ReceivedJobsFolder(const std::wstring& folder) : folder_(folder)
{
    for (const std::wstring& name : ListFiles()) before_.insert(name);
}

std::vector<std::wstring> ReceivedJobsFolder::ListFiles() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        // The port's own bookkeeping files start with a dot.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.')
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<ReceivedJob> ReceivedJobsFolder::Collect(size_t expected, DWORD timeoutMs) const
{
    std::vector<std::wstring> fresh;
    const DWORD start = GetTickCount();
    for (;;) {
        fresh.clear();
        for (const std::wstring& name : ListFiles())
            if (before_.count(name) == 0) fresh.push_back(name);
        if (fresh.size() >= expected || GetTickCount() - start > timeoutMs) break;
        Sleep(100);
    }
    // A job still being written by the port grows between two looks; give it a moment to settle.
    Sleep(200);
    std::vector<ReceivedJob> jobs;
    for (const std::wstring& name : fresh) {
        ReceivedJob job;
        job.fileName = name;
        if (FILE* file = _wfopen((folder_ + L"\\" + name).c_str(), L"rb")) {
            BYTE buffer[4096];
            size_t got = 0;
            while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) job.bytes.insert(job.bytes.end(), buffer, buffer + got);
            fclose(file);
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}
