// Reading a raw maintenance job: the preamble, resets, remote-mode blocks with their commands,
// and whatever else the job carries, each with its byte offset. Portable: used by the jobview
// tool and by the driver-host emulator to summarise what the printer received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace jobview {

enum class PieceKind {
    Preamble,     // 00 00 00 ESC 01 "@EJL 1284.4" LF "@EJL     " LF
    Reset,        // ESC @
    RemoteStart,  // ESC ( R, header length, header ("\0REMOTE1")
    Command,      // two capital letters, 16-bit parameter count, the parameters
    RemoteEnd,    // ESC 00 00 00
    CrLf,         // CR LF
    FormFeed,     // FF
    Other,        // a run of bytes that are none of the above
};

struct Piece {
    PieceKind kind;
    size_t offset;
    size_t length;
    std::string name;              // Command: its two letters; RemoteStart: the header text
    std::vector<uint8_t> payload;  // Command: its parameter bytes; Other: the bytes of the run
};

struct JobListing {
    std::vector<Piece> pieces;
    size_t size = 0;
    // Empty for a well-formed job. Otherwise why decoding stopped, at errorOffset; the pieces
    // before it are listed all the same.
    std::string error;
    size_t errorOffset = 0;

    bool ok() const { return error.empty(); }
};

JobListing DecodeJob(const uint8_t* data, size_t size);

// The listing as text, one piece per line, each line starting with its decimal offset. A
// well-formed job ends with an "end of job" line; a malformed one stops at its last whole piece.
std::string FormatListing(const JobListing& listing);

// "error at offset N: why" for a malformed job, empty for a well-formed one.
std::string ErrorMessage(const JobListing& listing);

// One line for a whole job: its commands in order, e.g. "TI JS CH JE"; "no commands" when it has
// none; a malformed job adds "; malformed at offset N".
std::string JobSummary(const uint8_t* data, size_t size);

}  // namespace jobview
