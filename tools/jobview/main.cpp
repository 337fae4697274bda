// jobview [--json] FILE...: lists what raw maintenance jobs say, "-" for standard input; --json writes
// one JSON document per job instead. Exits with 1 when a job is malformed (after listing what it
// could), 2 when a file cannot be read.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "jobview/job_json.h"
#include "jobview/job_listing.h"

namespace {

bool ReadAll(FILE* file, std::vector<uint8_t>* bytes)
{
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
    return !std::ferror(file);
}

bool Load(const char* name, std::vector<uint8_t>* bytes)
{
    if (std::strcmp(name, "-") == 0) return ReadAll(stdin, bytes);
    FILE* file = std::fopen(name, "rb");
    if (file == nullptr) return false;
    const bool read = ReadAll(file, bytes);
    std::fclose(file);
    return read;
}

}  // namespace

int main(int argc, char** argv)
{
    bool json = false;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            files.clear();
            break;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty()) {
        const bool asked = argc > 1;
        std::fprintf(asked ? stdout : stderr,
                     "usage: jobview [--json] FILE...   (- reads standard input)\n"
                     "Lists a raw printer job: preamble, ESC @ resets, remote blocks and their commands\n"
                     "(name, parameter count, parameter bytes), CR LF, form feeds and other bytes, by offset.\n"
                     "--json: one JSON document per job, a line each (see the README).\n");
        return asked ? 0 : 2;
    }
    int status = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const char* name = std::strcmp(files[i], "-") == 0 ? "(standard input)" : files[i];
        std::vector<uint8_t> bytes;
        if (!Load(files[i], &bytes)) {
            std::fprintf(stderr, "jobview: %s: %s\n", name, std::strerror(errno));
            status = 2;
            continue;
        }
        const jobview::JobListing listing = jobview::DecodeJob(bytes.data(), bytes.size());
        if (json) {
            std::fputs(jobview::FormatJson(name, listing).c_str(), stdout);
        } else {
            std::printf("%s: %zu bytes\n%s", name, bytes.size(), jobview::FormatListing(listing).c_str());
            if (i + 1 < files.size()) std::printf("\n");
        }
        std::fflush(stdout);
        if (!listing.ok()) {
            std::fprintf(stderr, "jobview: %s: %s\n", name, jobview::ErrorMessage(listing).c_str());
            if (status == 0) status = 1;
        }
    }
    return status;
}
