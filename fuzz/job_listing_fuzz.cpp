// The job decoder on arbitrary bytes: the pieces it reads lie end to end from offset 0, a
// well-formed job is covered to its last byte, and a fault lies between the last whole piece and
// the end of the job.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "jobview/job_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that any read past the job is caught.
    std::unique_ptr<uint8_t[]> job(new uint8_t[size]);
    for (size_t i = 0; i < size; ++i) job[i] = data[i];
    const jobview::JobListing listing = jobview::DecodeJob(job.get(), size);

    size_t next = 0;
    for (const jobview::Piece& piece : listing.pieces) {
        if (piece.offset != next || piece.length == 0) abort();
        if (piece.kind == jobview::PieceKind::Command && piece.length != 4 + piece.payload.size()) abort();
        next += piece.length;
    }
    if (next > size) abort();
    if (listing.ok() && next != size) abort();
    if (!listing.ok() && (listing.errorOffset < next || listing.errorOffset > size)) abort();

    const std::string text = jobview::FormatListing(listing);
    const std::string summary = jobview::JobSummary(job.get(), size);
    if (summary.empty() || (!listing.ok() && summary.find("malformed at offset") == std::string::npos)) abort();
    return 0;
}
