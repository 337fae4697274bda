// jobview FILE...: lists what raw maintenance jobs say, "-" for standard input. Exits with 1 when a
// job is malformed (after listing what it could), 2 when a file cannot be read.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
    if (argc < 2 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc < 2 ? stderr : stdout,
                     "usage: jobview FILE...   (- reads standard input)\n"
                     "Lists a raw printer job: preamble, ESC @ resets, remote blocks and their commands\n"
                     "(name, parameter count, parameter bytes), CR LF, form feeds and other bytes, by offset.\n");
        return argc < 2 ? 2 : 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const char* name = std::strcmp(argv[i], "-") == 0 ? "(standard input)" : argv[i];
        std::vector<uint8_t> bytes;
        if (!Load(argv[i], &bytes)) {
            std::fprintf(stderr, "jobview: %s: %s\n", name, std::strerror(errno));
            status = 2;
            continue;
        }
        const jobview::JobListing listing = jobview::DecodeJob(bytes.data(), bytes.size());
        std::printf("%s: %zu bytes\n%s", name, bytes.size(), jobview::FormatListing(listing).c_str());
        if (i + 1 < argc) std::printf("\n");
        std::fflush(stdout);
        if (!listing.ok()) {
            std::fprintf(stderr, "jobview: %s: %s\n", name, jobview::ErrorMessage(listing).c_str());
            if (status == 0) status = 1;
        }
    }
    return status;
}
