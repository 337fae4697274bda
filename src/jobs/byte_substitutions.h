// The two driver files that are not sent unchanged: the ink-level test pattern carries the drop
// size in one byte, and the purge pattern carries the chosen colour after each ESC..i. Each
// substitution is fed the file's bytes in order, one at a time, and answers the byte to send.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// 0-based position in "test.bin" of the drop-size byte (the file's 65,850th byte).
constexpr uint32_t TEST_PATTERN_BYTE_INDEX = 65849;

// The printer's code for a drop size: Heavy and Medium both give 0x11 (deliberately, not 0x10 for
// Heavy), Light 0x12, any other value the low byte of value + 0x10.
uint8_t TestPatternDropCode(int32_t dropSize);

class TestPatternSubstitution {
public:
    explicit TestPatternSubstitution(int32_t dropSize) : code_(TestPatternDropCode(dropSize)) {}
    uint8_t operator()(uint8_t byte);

private:
    uint8_t code_;
    uint64_t position_ = 0;  // wide enough that no later byte of a huge file ever matches again
};

constexpr uint32_t PURGE_COLOR_COUNT = 8;
constexpr uint8_t PURGE_ESCAPE = 0x1B;
constexpr uint8_t PURGE_SELECT = 0x69;  // 'i'
// Codes of "Y", "M", "C", "K", "Y/W", "M/W", "C/W", "K/W", in the purge page's list order.
extern const uint8_t PurgeColorTable[PURGE_COLOR_COUNT];

// After an ESC, the first later 'i' (however far on) arms the substitution and the byte after it
// becomes the colour code. Only a substitution clears the ESC, and a replaced byte never counts as
// ESC or 'i', so every further colour byte needs its own ESC first.
class PurgeSubstitution {
public:
    // colorPosition must be below PURGE_COLOR_COUNT; the sender refuses any other.
    explicit PurgeSubstitution(uint32_t colorPosition) : code_(PurgeColorTable[colorPosition]) {}
    uint8_t operator()(uint8_t byte);

    bool escapeSeen = false;
    bool substitutionPending = false;

private:
    uint8_t code_;
};

// The identity, for driver files sent as they are.
struct NoSubstitution {
    uint8_t operator()(uint8_t byte) const { return byte; }
};
