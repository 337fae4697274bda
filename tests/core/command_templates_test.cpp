// Golden byte images of the five maintenance templates, written out row by row as the printer's
// command listing gives them, and the head-alignment patch.
#include "jobs/command_templates.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    const char* p = text.c_str();
    char* end = nullptr;
    for (unsigned long value = std::strtoul(p, &end, 16); end != p; value = std::strtoul(p, &end, 16)) {
        bytes.push_back(static_cast<uint8_t>(value));
        p = end;
    }
    return bytes;
}

struct Row {
    size_t offset;
    const char* hex;
};

const char* const Preamble =
    "00 00 00 1B 01 40 45 4A 4C 20 31 32 38 34 2E 34 0A 40 45 4A 4C 20 20 20 20 20 0A 1B 40 1B 40";
const char* const RemoteHeader = "1B 28 52 08 00 00 52 45 4D 4F 54 45 31";
const char* const RemoteEnd = "1B 00 00 00";
const char* const Closing = "1B 40 1B 40 1B 28 52 08 00 00 52 45 4D 4F 54 45 31 4A 45 01 00 00 1B 00 00 00";

// Joins the rows, checking that each starts where the listing says it does.
std::vector<uint8_t> Listing(const std::vector<Row>& rows)
{
    std::vector<uint8_t> bytes;
    for (const Row& row : rows) {
        EXPECT_EQ(row.offset, bytes.size()) << row.hex;
        const std::vector<uint8_t> piece = Hex(row.hex);
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    }
    return bytes;
}

std::vector<uint8_t> Image(const uint8_t* data, size_t size)
{
    return std::vector<uint8_t>(data, data + size);
}

std::vector<uint8_t> StoredAlignmentCommand()
{
    std::vector<Row> rows = {{0, Preamble}, {31, RemoteHeader}, {44, "4A 53 04 00 00 00 00 00"}};
    static const char* const Commands[18] = {
        "44 44 05 00 00 01 01 00 02", "44 44 05 00 00 01 02 00 02", "44 44 05 00 00 01 03 00 02",
        "44 44 05 00 00 04 01 00 02", "44 44 05 00 00 04 02 00 02", "44 44 05 00 00 04 03 00 02",
        "44 44 05 00 00 02 01 00 02", "44 44 05 00 00 02 02 00 02", "44 44 05 00 00 02 03 00 02",
        "44 44 05 00 00 05 01 00 02", "44 44 05 00 00 05 02 00 02", "44 44 05 00 00 05 03 00 02",
        "44 44 05 00 00 03 01 00 02", "44 44 05 00 00 03 02 00 02", "44 44 05 00 00 03 03 00 02",
        "44 44 05 00 00 06 01 00 02", "44 44 05 00 00 06 02 00 02", "44 44 05 00 00 06 03 00 02"};
    for (size_t i = 0; i < 18; ++i) rows.push_back({52 + 9 * i, Commands[i]});
    rows.push_back({214, RemoteEnd});
    rows.push_back({218, Closing});
    return Listing(rows);
}

// The module's bytes before any test patched them (the template is constant-initialised).
const std::vector<uint8_t> AlignmentCommandAtStart(AlignmentCommand, AlignmentCommand + ALIGNMENT_COMMAND_SIZE);

// Keeps the process-wide alignment state of one test from leaking into the next.
class AlignmentPatch : public ::testing::Test {
protected:
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore()
    {
        const std::vector<uint8_t> stored = StoredAlignmentCommand();
        std::memcpy(AlignmentCommand, stored.data(), stored.size());
        SetSelections(4, 4, 4);
    }
    static void SetSelections(int32_t first, int32_t second, int32_t third)
    {
        AlignmentSelections[0] = first;
        AlignmentSelections[1] = second;
        AlignmentSelections[2] = third;
    }
};

const size_t Section1Places[] = {59, 68, 86, 95};
const size_t Section2Places[] = {113, 122, 140, 149};
const size_t Section3Places[] = {167, 176, 194, 203};
const size_t NeverPatchedPlaces[] = {77, 104, 131, 158, 185, 212};

}  // namespace

TEST(CommandTemplates, HeadCleanMatchesItsListing)
{
    const std::vector<uint8_t> expected = Listing({{0, Preamble},
                                                   {31, RemoteHeader},
                                                   {44, "54 49 08 00 00 07 D6 01 08 0A 35 24"},
                                                   {56, "4A 53 04 00 00 00 00 00"},
                                                   {64, "43 48 02 00 00 00"},
                                                   {70, RemoteEnd},
                                                   {74, Closing}});
    ASSERT_EQ(HEAD_CLEAN_COMMAND_SIZE, expected.size());
    EXPECT_EQ(expected, Image(HeadCleanCommand, HEAD_CLEAN_COMMAND_SIZE));
}

TEST(CommandTemplates, NozzleCheckMatchesItsListing)
{
    const std::vector<uint8_t> expected = Listing({{0, Preamble},
                                                   {31, RemoteHeader},
                                                   {44, "54 49 08 00 00 07 D6 01 08 0E 1A 26"},
                                                   {56, "4A 53 04 00 00 00 00 00"},
                                                   {64, "50 50 03 00 00 01 FF"},
                                                   {71, "4E 43 02 00 00 10"},
                                                   {77, RemoteEnd},
                                                   {81, "0D 0A 0D 0A"},
                                                   {85, RemoteHeader},
                                                   {98, "56 49 02 00 00 00"},
                                                   {104, "4C 44 00 00"},
                                                   {108, RemoteEnd},
                                                   {112, "0C"},
                                                   {113, Closing}});
    ASSERT_EQ(NOZZLE_CHECK_COMMAND_SIZE, expected.size());
    EXPECT_EQ(expected, Image(NozzleCheckCommand, NOZZLE_CHECK_COMMAND_SIZE));
}

TEST(CommandTemplates, PortTestMatchesItsListingWithoutClosingSequence)
{
    const std::vector<uint8_t> expected =
        Listing({{0, Preamble}, {31, RemoteHeader}, {44, "54 49 08 00 00 07 D5 0A 1D 14 3A 2F"}, {56, RemoteEnd}});
    ASSERT_EQ(PORT_TEST_COMMAND_SIZE, expected.size());
    EXPECT_EQ(expected, Image(PortTestCommand, PORT_TEST_COMMAND_SIZE));
}

TEST(CommandTemplates, AlignmentSaveMatchesItsListing)
{
    const std::vector<uint8_t> expected = Listing({{0, Preamble},
                                                   {31, RemoteHeader},
                                                   {44, "4A 53 04 00 00 00 00 00"},
                                                   {52, "53 56 00 00"},
                                                   {56, RemoteEnd},
                                                   {60, Closing}});
    ASSERT_EQ(ALIGNMENT_SAVE_COMMAND_SIZE, expected.size());
    EXPECT_EQ(expected, Image(AlignmentSaveCommand, ALIGNMENT_SAVE_COMMAND_SIZE));
}

TEST_F(AlignmentPatch, StoredCommandMatchesItsListingAndNeutralChoicesChangeNothing)
{
    const std::vector<uint8_t> stored = StoredAlignmentCommand();
    ASSERT_EQ(ALIGNMENT_COMMAND_SIZE, stored.size());
    EXPECT_EQ(stored, AlignmentCommandAtStart);
    PatchAlignmentCommand(AlignmentCommand);
    EXPECT_EQ(stored, Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE));
}

TEST_F(AlignmentPatch, ExtremeChoicesWriteTheirOffsetBytesAndNothingElse)
{
    SetSelections(0, 8, 3);
    PatchAlignmentCommand(AlignmentCommand);
    std::vector<uint8_t> expected = StoredAlignmentCommand();
    for (size_t place : Section1Places) expected[place] = 0xFA;
    for (size_t place : Section2Places) expected[place] = 0x06;
    for (size_t place : Section3Places) expected[place] = 0xFF;
    EXPECT_EQ(expected, Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE));
}

TEST_F(AlignmentPatch, EveryChoiceSendsItsOffsetAndPatternThreeStaysZero)
{
    const uint8_t OffsetBytes[9] = {0xFA, 0xFC, 0xFE, 0xFF, 0x00, 0x01, 0x02, 0x04, 0x06};
    for (int32_t choice = 0; choice < 9; ++choice) {
        SetSelections(choice, (choice + 3) % 9, (choice + 7) % 9);
        PatchAlignmentCommand(AlignmentCommand);
        for (size_t place : Section1Places) EXPECT_EQ(OffsetBytes[choice], AlignmentCommand[place]);
        for (size_t place : Section2Places) EXPECT_EQ(OffsetBytes[(choice + 3) % 9], AlignmentCommand[place]);
        for (size_t place : Section3Places) EXPECT_EQ(OffsetBytes[(choice + 7) % 9], AlignmentCommand[place]);
        for (size_t place : NeverPatchedPlaces) EXPECT_EQ(0x00, AlignmentCommand[place]) << place;
    }
}

TEST_F(AlignmentPatch, SecondPatchLeavesNothingOfTheFirst)
{
    SetSelections(0, 8, 3);
    PatchAlignmentCommand(AlignmentCommand);
    SetSelections(4, 4, 4);
    PatchAlignmentCommand(AlignmentCommand);
    EXPECT_EQ(StoredAlignmentCommand(), Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE));
}

TEST_F(AlignmentPatch, ChoiceOutsideTheListKeepsThatSectionsBytes)
{
    SetSelections(1, 2, 6);
    PatchAlignmentCommand(AlignmentCommand);
    const std::vector<uint8_t> before = Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE);

    SetSelections(-1, 9, 0x7FFFFFFF);
    PatchAlignmentCommand(AlignmentCommand);
    EXPECT_EQ(before, Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE));

    SetSelections(-1, 0, 9);
    PatchAlignmentCommand(AlignmentCommand);
    std::vector<uint8_t> expected = before;
    for (size_t place : Section2Places) expected[place] = 0xFA;
    EXPECT_EQ(expected, Image(AlignmentCommand, ALIGNMENT_COMMAND_SIZE));
}
