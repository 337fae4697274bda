// The job decoder on the five templates (each must read as exactly the commands of its listing)
// and on broken jobs (each must stop with the offset of the fault, after what it could read).
#include "jobview/job_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/command_templates.h"

namespace {

using Bytes = std::vector<uint8_t>;
using jobview::JobListing;
using jobview::Piece;
using jobview::PieceKind;

std::string HexOf(const Bytes& bytes)
{
    std::string text;
    char byte[4];
    for (uint8_t b : bytes) {
        snprintf(byte, sizeof byte, " %02X", b);
        text += byte;
    }
    return text;
}

// One short token per piece: "44 TI 00 07 D6 01 08 0A 35 24", "27 @", "31 [REMOTE1", "70 ]".
std::vector<std::string> Tokens(const JobListing& listing)
{
    std::vector<std::string> tokens;
    for (const Piece& piece : listing.pieces) {
        std::string token = std::to_string(piece.offset) + " ";
        switch (piece.kind) {
            case PieceKind::Preamble:
                token += "preamble";
                break;
            case PieceKind::Reset:
                token += "@";
                break;
            case PieceKind::RemoteStart:
                token += "[" + piece.name;
                break;
            case PieceKind::Command:
                token += piece.name + HexOf(piece.payload);
                break;
            case PieceKind::RemoteEnd:
                token += "]";
                break;
            case PieceKind::CrLf:
                token += "CRLF";
                break;
            case PieceKind::FormFeed:
                token += "FF";
                break;
            case PieceKind::Other:
                token += "other" + HexOf(piece.payload);
                break;
        }
        tokens.push_back(token);
    }
    return tokens;
}

std::vector<std::string> Decoded(const Bytes& job)
{
    const JobListing listing = jobview::DecodeJob(job.data(), job.size());
    EXPECT_TRUE(listing.ok()) << jobview::ErrorMessage(listing);
    return Tokens(listing);
}

Bytes Image(const uint8_t* data, size_t size)
{
    return Bytes(data, data + size);
}

std::vector<std::string> Closing(size_t at)
{
    return {std::to_string(at) + " @", std::to_string(at + 2) + " @", std::to_string(at + 4) + " [REMOTE1",
            std::to_string(at + 17) + " JE 00", std::to_string(at + 22) + " ]"};
}

std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const std::vector<std::string> Opening = {"0 preamble", "27 @", "29 @", "31 [REMOTE1"};

JobListing Decode(const Bytes& job)
{
    return jobview::DecodeJob(job.data(), job.size());
}

Bytes Truncated(const uint8_t* data, size_t size)
{
    return Bytes(data, data + size);
}

}  // namespace

TEST(JobListingTemplates, HeadCleanReadsAsItsCommands)
{
    EXPECT_EQ(
        Join(Join(Opening, {"44 TI 00 07 D6 01 08 0A 35 24", "56 JS 00 00 00 00", "64 CH 00 00", "70 ]"}), Closing(74)),
        Decoded(Image(HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE)));
}

TEST(JobListingTemplates, NozzleCheckReadsAsItsCommands)
{
    EXPECT_EQ(
        Join(Join(Opening, {"44 TI 00 07 D6 01 08 0E 1A 26", "56 JS 00 00 00 00", "64 PP 00 01 FF", "71 NC 00 10",
                            "77 ]", "81 CRLF", "83 CRLF", "85 [REMOTE1", "98 VI 00 00", "104 LD", "108 ]", "112 FF"}),
             Closing(113)),
        Decoded(Image(NozzleCheckCommand, NOZZLE_CHECK_COMMAND_SIZE)));
}

TEST(JobListingTemplates, PortTestReadsAsItsCommands)
{
    EXPECT_EQ(Join(Opening, {"44 TI 00 07 D5 0A 1D 14 3A 2F", "56 ]"}),
              Decoded(Image(PortTestCommand, PORT_TEST_COMMAND_SIZE)));
}

TEST(JobListingTemplates, AlignmentCommandsReadAsTheirCommands)
{
    std::vector<std::string> expected = Join(Opening, {"44 JS 00 00 00 00"});
    const char* const Groups[6] = {"01", "04", "02", "05", "03", "06"};
    size_t offset = 52;
    for (const char* group : Groups) {
        for (const char* pattern : {"01", "02", "03"}) {
            expected.push_back(std::to_string(offset) + " DD 00 " + group + " " + pattern + " 00 02");
            offset += 9;
        }
    }
    expected.push_back("214 ]");
    Bytes stored = Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE);
    for (size_t place : {59, 68, 86, 95, 113, 122, 140, 149, 167, 176, 194, 203}) stored[place] = 0;  // as stored
    EXPECT_EQ(Join(expected, Closing(218)), Decoded(stored));

    EXPECT_EQ(Join(Join(Opening, {"44 JS 00 00 00 00", "52 SV", "56 ]"}), Closing(60)),
              Decoded(Image(AlignmentSaveCommand, ALIGNMENT_SAVE_COMMAND_SIZE)));
}

TEST(JobListingTemplates, SummaryListsTheCommandNames)
{
    EXPECT_EQ("TI JS CH JE", jobview::JobSummary(HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE));
    EXPECT_EQ("TI JS PP NC VI LD JE", jobview::JobSummary(NozzleCheckCommand, NOZZLE_CHECK_COMMAND_SIZE));
    EXPECT_EQ("TI", jobview::JobSummary(PortTestCommand, PORT_TEST_COMMAND_SIZE));
    EXPECT_EQ("no commands", jobview::JobSummary(nullptr, 0));
    EXPECT_EQ("TI; malformed at offset 56", jobview::JobSummary(HeadCleanCommand, 60));
}

TEST(JobListingBytes, LineEndsFormFeedsAndOtherBytesOutsideBlocks)
{
    EXPECT_EQ((std::vector<std::string>{"0 other 41 42", "2 CRLF", "4 FF", "5 other 0D 1B 0A", "8 @", "10 other 1B"}),
              Decoded({0x41, 0x42, 0x0D, 0x0A, 0x0C, 0x0D, 0x1B, 0x0A, 0x1B, 0x40, 0x1B}));
}

TEST(JobListingMalformed, EachFaultNamesItsOffsetAfterTheWholePiecesBeforeIt)
{
    struct Case {
        Bytes job;
        size_t errorOffset;
        size_t piecesRead;
    };
    Bytes escapeInside = Image(HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE);
    escapeInside[64] = 0x1B;  // "CH" becomes ESC 48
    Bytes lowerCaseName = Image(HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE);
    lowerCaseName[56] = 'j';
    Bytes hugeCount = Image(PortTestCommand, PORT_TEST_COMMAND_SIZE);
    hugeCount[47] = 0xFF;  // TI declares 0xFF08 parameter bytes
    const Case cases[] = {
        {{0x41, 0x1B, 0x28, 0x52, 0x08}, 1, 1},                    // block start without its length
        {{0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 0x52, 0x45}, 0, 0},  // header longer than the job
        {Truncated(HeadCleanCommand, 50), 44, 4},                  // parameters cut off
        {Truncated(HeadCleanCommand, 46), 44, 4},                  // command header cut off
        {Truncated(HeadCleanCommand, 70), 70, 7},                  // no block end
        {Truncated(HeadCleanCommand, 72), 70, 7},                  // block end cut off
        {escapeInside, 64, 6},                                     // ESC that is no block end
        {lowerCaseName, 56, 5},                                    // not a command name
        {hugeCount, 44, 4},                                        // count past the end
    };
    for (const Case& c : cases) {
        const JobListing listing = Decode(c.job);
        EXPECT_FALSE(listing.ok()) << HexOf(c.job);
        EXPECT_EQ(c.errorOffset, listing.errorOffset) << listing.error;
        EXPECT_EQ(c.piecesRead, listing.pieces.size()) << listing.error;
        EXPECT_NE(std::string::npos, jobview::ErrorMessage(listing).find("offset " + std::to_string(c.errorOffset)));
    }
}

TEST(JobListingMalformed, EveryCutOfEveryTemplateReadsContiguouslyUpToTheFault)
{
    const std::pair<const uint8_t*, size_t> templates[] = {{HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE},
                                                           {NozzleCheckCommand, NOZZLE_CHECK_COMMAND_SIZE},
                                                           {PortTestCommand, PORT_TEST_COMMAND_SIZE},
                                                           {AlignmentCommand, ALIGNMENT_COMMAND_SIZE},
                                                           {AlignmentSaveCommand, ALIGNMENT_SAVE_COMMAND_SIZE}};
    for (const auto& [data, size] : templates) {
        for (size_t cut = 0; cut <= size; ++cut) {
            const Bytes job = Truncated(data, cut);
            const JobListing listing = Decode(job);
            size_t next = 0;
            for (const Piece& piece : listing.pieces) {
                ASSERT_EQ(next, piece.offset);
                next += piece.length;
            }
            if (listing.ok()) {
                EXPECT_EQ(cut, next);
            } else {
                EXPECT_LE(next, listing.errorOffset);
                EXPECT_LE(listing.errorOffset, cut);
            }
        }
    }
}

TEST(JobListingFormat, LinesCarryOffsetsAndParameterCounts)
{
    const std::string text =
        jobview::FormatListing(jobview::DecodeJob(AlignmentSaveCommand, ALIGNMENT_SAVE_COMMAND_SIZE));
    EXPECT_NE(std::string::npos, text.find("      44    JS (4)  00 00 00 00\n"));
    EXPECT_NE(std::string::npos, text.find("      52    SV (0)\n"));
    EXPECT_NE(std::string::npos, text.find("      86  end of job (86 bytes)\n"));
    Bytes run(40, 0x55);
    EXPECT_EQ(
        "       0  40 other bytes: 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 ...\n"
        "      40  end of job (40 bytes)\n",
        jobview::FormatListing(Decode(run)));
}
