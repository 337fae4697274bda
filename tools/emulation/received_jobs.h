// The jobs a virtual printer received: its port keeps each job as a numbered file in one folder
// (see virtual_printer.h). The folder is read when the session starts, so that only the files of
// this session count.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct ReceivedJob {
    std::wstring fileName;  // without the folder
    std::vector<BYTE> bytes;
};

class ReceivedJobsFolder {
public:
    explicit ReceivedJobsFolder(const std::wstring& folder);

    const std::wstring& folder() const { return folder_; }
    // The files that appeared since the session started, oldest first, once there are at least
    // expected of them or timeoutMs has passed (the spooler hands jobs to the port on its own time).
    std::vector<ReceivedJob> Collect(size_t expected, DWORD timeoutMs) const;

private:
    std::vector<std::wstring> FreshFiles() const;

    std::wstring folder_;
    std::set<std::wstring> before_;
};
