#include "jobview/job_json.h"

#include <cstdint>
#include <cstdio>

namespace jobview {

namespace {

// The "kind" of each piece, in the order of PieceKind.
constexpr const char* KindNames[] = {"preamble",   "reset", "remote-start", "command",
                                     "remote-end", "cr-lf", "form-feed",    "other"};
static_assert(sizeof(KindNames) / sizeof(KindNames[0]) == static_cast<size_t>(PieceKind::Other) + 1,
              "a name for every kind of piece");

// The length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
size_t Utf8Length(const std::string& text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    size_t length = 0;
    if (lead < 0x80)
        length = 1;
    else if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    // No overlong forms, surrogates or code points above U+10FFFF.
    if ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) > 0x9F) ||
        (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) > 0x8F))
        return 0;
    return length;
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8Length(text, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        const char c = text[i];
        if (length > 1) {
            out.append(text, i, length);
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<uint8_t>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
        i += length;
    }
    return out + "\"";
}

std::string PieceJson(const jobview::Piece& piece)
{
    std::string out = "{\"offset\":" + std::to_string(piece.offset) + ",\"length\":" + std::to_string(piece.length) +
                      ",\"kind\":\"" + KindNames[static_cast<size_t>(piece.kind)] + "\"";
    if (piece.kind == PieceKind::RemoteStart) out += ",\"name\":" + Quoted(piece.name);
    if (piece.kind == PieceKind::Command) {
        out += ",\"name\":" + Quoted(piece.name) + ",\"parameters\":[";
        for (size_t i = 0; i < piece.payload.size(); ++i) out += (i == 0 ? "" : ",") + std::to_string(piece.payload[i]);
        out += "]";
    }
    return out + "}";
}

}  // namespace

std::string FormatJson(const std::string& file, const JobListing& listing)
{
    std::string out = "{\"file\":" + Quoted(file) + ",\"size\":" + std::to_string(listing.size) + ",\"pieces\":[";
    for (size_t i = 0; i < listing.pieces.size(); ++i) out += (i == 0 ? "" : ",") + PieceJson(listing.pieces[i]);
    out += "],\"fault\":";
    if (listing.ok()) return out + "null}\n";
    return out + "{\"offset\":" + std::to_string(listing.errorOffset) + ",\"message\":" + Quoted(listing.error) +
           "}}\n";
}

}  // namespace jobview
