// The byte substitutions of the test-pattern and purge files, fed byte by byte as the sender feeds
// them: the listed cases, and a comparison with a plain search-based model over random files.
#include "jobs/byte_substitutions.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

template <typename Substitution>
Bytes Feed(Substitution substitute, const Bytes& file)
{
    Bytes sent;
    for (uint8_t byte : file) sent.push_back(substitute(byte));
    return sent;
}

Bytes Purge(uint32_t position, const Bytes& file)
{
    return Feed(PurgeSubstitution(position), file);
}

// Model: find an ESC, then the first 'i' after it; the byte after that 'i' takes the colour and
// the search starts again behind the replaced byte.
Bytes PurgeModel(uint8_t code, Bytes file)
{
    size_t from = 0;
    for (;;) {
        size_t escape = from;
        while (escape < file.size() && file[escape] != 0x1B) ++escape;
        size_t select = escape + 1;
        while (select < file.size() && file[select] != 0x69) ++select;
        if (select + 1 >= file.size()) return file;
        file[select + 1] = code;
        from = select + 2;
    }
}

Bytes TestFile(size_t size)
{
    Bytes file(size);
    for (size_t i = 0; i < size; ++i) file[i] = static_cast<uint8_t>(i * 7 + 3);
    return file;
}

}  // namespace

TEST(TestPatternSubstitution, HeavyAndMediumBothSend0x11AndLight0x12)
{
    EXPECT_EQ(0x11, TestPatternDropCode(0));
    EXPECT_EQ(0x11, TestPatternDropCode(1));
    EXPECT_EQ(0x12, TestPatternDropCode(2));
}

TEST(TestPatternSubstitution, OtherDropSizesSendTheirLowByteAbove0x10)
{
    for (int32_t drop : {3, 0xEF, 0xF0, 0x1234, -1, -17, INT_MAX, INT_MIN}) {
        const uint8_t expected = static_cast<uint8_t>((static_cast<int64_t>(drop) + 0x10) & 0xFF);
        EXPECT_EQ(expected, TestPatternDropCode(drop)) << drop;
    }
}

TEST(TestPatternSubstitution, OnlyTheByteAtIndex65849Changes)
{
    for (int32_t drop : {0, 1, 2, 7}) {
        const Bytes file = TestFile(70000);
        Bytes expected = file;
        expected[65849] = TestPatternDropCode(drop);
        EXPECT_EQ(expected, Feed(TestPatternSubstitution(drop), file)) << drop;
    }
}

TEST(TestPatternSubstitution, FilesThatEndBeforeTheCodeByteGoOutUnchanged)
{
    const Bytes upTo = TestFile(65849);
    EXPECT_EQ(upTo, Feed(TestPatternSubstitution(2), upTo));
    const Bytes justReaching = TestFile(65850);
    const Bytes sent = Feed(TestPatternSubstitution(2), justReaching);
    EXPECT_EQ(0x12, sent.back());
    EXPECT_TRUE(std::equal(upTo.begin(), upTo.end(), sent.begin()));
}

TEST(PurgeSubstitution, ColourByteAfterEscapeAndSelectTakesTheChosenCode)
{
    const uint8_t Codes[8] = {0x0A, 0x01, 0x00, 0x02, 0x04, 0x40, 0x09, 0x07};
    for (uint32_t position = 0; position < 8; ++position)
        EXPECT_EQ((Bytes{0x1B, 0x69, Codes[position]}), Purge(position, {0x1B, 0x69, 0x05})) << position;
}

TEST(PurgeSubstitution, ListedCases)
{
    // Other bytes between ESC and 'i' do not disarm it.
    EXPECT_EQ((Bytes{0x1B, 0x41, 0x42, 0x69, 0x02}), Purge(3, {0x1B, 0x41, 0x42, 0x69, 0x05}));
    // No ESC: nothing changes.
    EXPECT_EQ((Bytes{0x69, 0x05}), Purge(3, {0x69, 0x05}));
    // The replaced ESC does not count, so the second 'i' arms nothing.
    EXPECT_EQ((Bytes{0x1B, 0x69, 0x0A, 0x69, 0x07}), Purge(0, {0x1B, 0x69, 0x1B, 0x69, 0x07}));
    // The byte after the arming 'i' is replaced even when it is an 'i' itself.
    EXPECT_EQ((Bytes{0x1B, 0x69, 0x02, 0x41}), Purge(3, {0x1B, 0x69, 0x69, 0x41}));
    // A file that ends right after the arming 'i'.
    EXPECT_EQ((Bytes{0x1B, 0x69}), Purge(3, {0x1B, 0x69}));
    // Each colour byte needs its own ESC.
    EXPECT_EQ((Bytes{0x1B, 0x69, 0x07, 0x1B, 0x00, 0x69, 0x07, 0x69, 0x05}),
              Purge(7, {0x1B, 0x69, 0x05, 0x1B, 0x00, 0x69, 0x05, 0x69, 0x05}));
}

TEST(PurgeSubstitution, FlagsFollowTheBytesAndClearOnSubstitution)
{
    PurgeSubstitution purge(0);
    purge(0x69);
    EXPECT_FALSE(purge.escapeSeen || purge.substitutionPending);
    purge(0x1B);
    EXPECT_TRUE(purge.escapeSeen);
    purge(0x41);
    EXPECT_TRUE(purge.escapeSeen);
    EXPECT_FALSE(purge.substitutionPending);
    purge(0x69);
    EXPECT_TRUE(purge.substitutionPending);
    EXPECT_EQ(0x0A, purge(0x1B));
    EXPECT_FALSE(purge.escapeSeen || purge.substitutionPending);
}

TEST(PurgeSubstitution, AgreesWithSearchModelOnRandomFiles)
{
    std::mt19937 random(20240611);
    const uint8_t Alphabet[] = {0x1B, 0x69, 0x05, 0x41, 0x00, 0x0A};
    std::uniform_int_distribution<size_t> length(0, 48), pick(0, sizeof(Alphabet) - 1), any(0, 255);
    std::uniform_int_distribution<uint32_t> position(0, PURGE_COLOR_COUNT - 1);
    for (int round = 0; round < 20000; ++round) {
        Bytes file(length(random));
        // Mostly the interesting bytes, now and then any byte at all.
        for (uint8_t& byte : file) byte = round % 4 == 0 ? static_cast<uint8_t>(any(random)) : Alphabet[pick(random)];
        const uint32_t chosen = position(random);
        ASSERT_EQ(PurgeModel(PurgeColorTable[chosen], file), Purge(chosen, file)) << "round " << round;
    }
}
