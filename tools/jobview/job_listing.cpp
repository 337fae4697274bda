#include "jobview/job_listing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace jobview {

namespace {

// The job-language preamble that every maintenance job starts with.
const uint8_t Preamble[] = {0x00, 0x00, 0x00, 0x1B, 0x01, '@', 'E', 'J', 'L', ' ', '1', '2', '8', '4',
                            '.',  '4',  0x0A, '@',  'E',  'J', 'L', ' ', ' ', ' ', ' ', ' ', 0x0A};
constexpr uint8_t ESC = 0x1B;
constexpr size_t REMOTE_START_SIZE = 5;    // ESC ( R and the 16-bit header length
constexpr size_t COMMAND_HEADER_SIZE = 4;  // two letters and the 16-bit parameter count
constexpr size_t REMOTE_END_SIZE = 4;      // ESC 00 00 00
constexpr size_t SHOWN_OTHER_BYTES = 16;

size_t Word(const uint8_t* p)
{
    return static_cast<size_t>(p[0]) | static_cast<size_t>(p[1]) << 8;
}

std::string Hex(const uint8_t* data, size_t size)
{
    std::string text;
    char byte[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", data[i]);
        text += byte;
    }
    return text;
}

bool IsCapital(uint8_t c)
{
    return c >= 'A' && c <= 'Z';
}

class Decoder {
public:
    Decoder(const uint8_t* data, size_t size) : data_(data), size_(size) { listing_.size = size; }

    JobListing Run()
    {
        while (pos_ < size_ && listing_.ok()) Step();
        return listing_;
    }

private:
    size_t Left() const { return size_ - pos_; }
    bool At(std::initializer_list<uint8_t> bytes) const
    {
        if (Left() < bytes.size()) return false;
        return std::equal(bytes.begin(), bytes.end(), data_ + pos_);
    }

    void Add(PieceKind kind, size_t length, std::string name = {}, std::vector<uint8_t> payload = {})
    {
        listing_.pieces.push_back(Piece{kind, pos_, length, std::move(name), std::move(payload)});
        pos_ += length;
    }

    void Fail(size_t offset, const std::string& why)
    {
        listing_.error = why;
        listing_.errorOffset = offset;
    }

    void Step()
    {
        if (Left() >= sizeof Preamble && std::memcmp(data_ + pos_, Preamble, sizeof Preamble) == 0)
            return Add(PieceKind::Preamble, sizeof Preamble);
        if (At({ESC, '@'})) return Add(PieceKind::Reset, 2);
        if (At({ESC, '(', 'R'})) return RemoteBlock();
        if (At({0x0D, 0x0A})) return Add(PieceKind::CrLf, 2);
        if (At({0x0C})) return Add(PieceKind::FormFeed, 1);
        OtherByte();
    }

    void OtherByte()
    {
        if (!listing_.pieces.empty()) {
            Piece& last = listing_.pieces.back();
            if (last.kind == PieceKind::Other && last.offset + last.length == pos_) {
                last.payload.push_back(data_[pos_]);
                ++last.length;
                ++pos_;
                return;
            }
        }
        Add(PieceKind::Other, 1, {}, {data_[pos_]});
    }

    void RemoteBlock()
    {
        const size_t start = pos_;
        if (Left() < REMOTE_START_SIZE)
            return Fail(start, "remote block header cut off: the job ends " + std::to_string(Left()) +
                                   " bytes into its 5-byte start");
        const size_t headerLength = Word(data_ + pos_ + 3);
        if (Left() - REMOTE_START_SIZE < headerLength)
            return Fail(start, "remote block header declares " + std::to_string(headerLength) + " bytes, only " +
                                   std::to_string(Left() - REMOTE_START_SIZE) + " remain");
        std::string name;
        for (size_t i = 0; i < headerLength; ++i) {
            const uint8_t c = data_[pos_ + REMOTE_START_SIZE + i];
            if (c >= 0x20 && c < 0x7F) name += static_cast<char>(c);
        }
        Add(PieceKind::RemoteStart, REMOTE_START_SIZE + headerLength, name,
            std::vector<uint8_t>(data_ + pos_ + REMOTE_START_SIZE, data_ + pos_ + REMOTE_START_SIZE + headerLength));

        while (listing_.ok()) {
            if (Left() == 0)
                return Fail(size_, "the job ends inside the remote block that starts at offset " +
                                       std::to_string(start) + " (no ESC 00 00 00)");
            if (data_[pos_] == ESC) {
                if (At({ESC, 0x00, 0x00, 0x00})) return Add(PieceKind::RemoteEnd, REMOTE_END_SIZE);
                if (Left() < REMOTE_END_SIZE)
                    return Fail(pos_, "remote block end cut off: the job ends " + std::to_string(Left()) +
                                          " bytes into ESC 00 00 00");
                return Fail(pos_, "ESC " + Hex(data_ + pos_ + 1, 1) +
                                      " inside a remote block is neither a command nor the block's end");
            }
            Command();
        }
    }

    void Command()
    {
        if (Left() < COMMAND_HEADER_SIZE)
            return Fail(pos_,
                        "command cut off: the job ends " + std::to_string(Left()) + " bytes into its 4-byte header");
        if (!IsCapital(data_[pos_]) || !IsCapital(data_[pos_ + 1]))
            return Fail(pos_, "bytes " + Hex(data_ + pos_, 2) + " inside a remote block are not a command name");
        const std::string name(reinterpret_cast<const char*>(data_ + pos_), 2);
        const size_t count = Word(data_ + pos_ + 2);
        const size_t left = Left() - COMMAND_HEADER_SIZE;
        if (left < count)
            return Fail(pos_, "command " + name + " declares " + std::to_string(count) + " parameter bytes, only " +
                                  std::to_string(left) + " remain");
        const uint8_t* parameters = data_ + pos_ + COMMAND_HEADER_SIZE;
        Add(PieceKind::Command, COMMAND_HEADER_SIZE + count, name,
            std::vector<uint8_t>(parameters, parameters + count));
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    JobListing listing_;
};

std::string Describe(const Piece& piece)
{
    switch (piece.kind) {
        case PieceKind::Preamble:
            return "preamble  00 00 00 ESC 01 \"@EJL 1284.4\" LF \"@EJL     \" LF";
        case PieceKind::Reset:
            return "ESC @";
        case PieceKind::RemoteStart:
            return "remote block " +
                   (piece.name.empty() ? "(" + Hex(piece.payload.data(), piece.payload.size()) + ")" : piece.name);
        case PieceKind::Command: {
            std::string text = "  " + piece.name + " (" + std::to_string(piece.payload.size()) + ")";
            if (!piece.payload.empty()) text += "  " + Hex(piece.payload.data(), piece.payload.size());
            return text;
        }
        case PieceKind::RemoteEnd:
            return "end of remote block";
        case PieceKind::CrLf:
            return "CR LF";
        case PieceKind::FormFeed:
            return "form feed";
        case PieceKind::Other: {
            const size_t shown = piece.payload.size() < SHOWN_OTHER_BYTES ? piece.payload.size() : SHOWN_OTHER_BYTES;
            std::string text = std::to_string(piece.payload.size()) +
                               (piece.payload.size() == 1 ? " other byte: " : " other bytes: ") +
                               Hex(piece.payload.data(), shown);
            if (shown < piece.payload.size()) text += " ...";
            return text;
        }
    }
    return {};
}

std::string Line(size_t offset, const std::string& text)
{
    char number[24];
    std::snprintf(number, sizeof number, "%8zu  ", offset);
    return number + text + "\n";
}

}  // namespace

std::string ErrorMessage(const JobListing& listing)
{
    if (listing.ok()) return {};
    return "error at offset " + std::to_string(listing.errorOffset) + ": " + listing.error;
}

JobListing DecodeJob(const uint8_t* data, size_t size)
{
    if (data == nullptr) size = 0;
    return Decoder(data, size).Run();
}

std::string FormatListing(const JobListing& listing)
{
    std::string text;
    for (const Piece& piece : listing.pieces) text += Line(piece.offset, Describe(piece));
    if (!listing.ok()) return text;
    return text + Line(listing.size, "end of job (" + std::to_string(listing.size) + " bytes)");
}

std::string JobSummary(const uint8_t* data, size_t size)
{
    const JobListing listing = DecodeJob(data, size);
    std::string summary;
    for (const Piece& piece : listing.pieces) {
        if (piece.kind != PieceKind::Command) continue;
        if (!summary.empty()) summary += ' ';
        summary += piece.name;
    }
    if (summary.empty()) summary = "no commands";
    if (!listing.ok()) summary += "; malformed at offset " + std::to_string(listing.errorOffset);
    return summary;
}

}  // namespace jobview
