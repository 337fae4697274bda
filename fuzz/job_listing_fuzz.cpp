// The job decoder on arbitrary bytes: the pieces it reads lie end to end from offset 0 and never
// past the end, each piece carries the very bytes found at its offset, a well-formed job is covered
// to its last byte, a fault lies between the last whole piece and the end of the job, and every
// offset the listing prints lies inside the job. A hang is caught by the fuzzer's time limit.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "jobview/job_listing.h"

namespace {

// Where a piece's payload starts within the piece.
size_t PayloadStart(jobview::PieceKind kind)
{
    switch (kind) {
        case jobview::PieceKind::Command:
            return 4;  // two letters, 16-bit count
        case jobview::PieceKind::RemoteStart:
            return 5;  // ESC ( R and the 16-bit header length
        default:
            return 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so that any read past the job is caught.
    std::unique_ptr<uint8_t[]> job(new uint8_t[size]);
    for (size_t i = 0; i < size; ++i) job[i] = data[i];
    const jobview::JobListing listing = jobview::DecodeJob(job.get(), size);
    if (listing.size != size || listing.pieces.size() > size) abort();

    size_t next = 0;
    for (const jobview::Piece& piece : listing.pieces) {
        if (piece.offset != next || piece.length == 0 || piece.length > size - next) abort();
        if (piece.kind == jobview::PieceKind::Command && piece.length != 4 + piece.payload.size()) abort();
        const size_t start = PayloadStart(piece.kind);
        if (start + piece.payload.size() > piece.length) abort();
        if (!piece.payload.empty() &&
            std::memcmp(piece.payload.data(), job.get() + piece.offset + start, piece.payload.size()) != 0)
            abort();
        next += piece.length;
    }
    if (listing.ok() && next != size) abort();
    if (!listing.ok() && (listing.errorOffset < next || listing.errorOffset > size)) abort();

    // One line per piece (and the end line of a whole job), each led by an offset inside the job.
    const std::string text = jobview::FormatListing(listing);
    size_t lines = 0;
    for (size_t at = 0; at < text.size(); ++lines) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) abort();
        if (std::strtoull(text.c_str() + at, nullptr, 10) > size) abort();
        at = end + 1;
    }
    if (lines != listing.pieces.size() + (listing.ok() ? 1 : 0)) abort();

    const std::string summary = jobview::JobSummary(job.get(), size);
    if (summary.empty() || (!listing.ok() && summary.find("malformed at offset") == std::string::npos)) abort();
    return 0;
}
