#include "host/printer/job_summary.h"

#include "jobview/job_listing.h"

std::wstring JobSummary(const std::vector<BYTE>& bytes)
{
    const std::string summary = jobview::JobSummary(bytes.data(), bytes.size());
    return std::wstring(summary.begin(), summary.end());
}
