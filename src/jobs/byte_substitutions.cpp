#include "jobs/byte_substitutions.h"

uint8_t TestPatternDropCode(int32_t dropSize)
{
    if (dropSize == 0) return 0x11;
    // Unsigned arithmetic: any drop size is accepted, the code is its low byte plus 0x10.
    return static_cast<uint8_t>(static_cast<uint32_t>(dropSize) + 0x10u);
}

uint8_t TestPatternSubstitution::operator()(uint8_t byte)
{
    const bool atCode = position_ == TEST_PATTERN_BYTE_INDEX;
    ++position_;
    return atCode ? code_ : byte;
}

const uint8_t PurgeColorTable[PURGE_COLOR_COUNT] = {0x0A, 0x01, 0x00, 0x02, 0x04, 0x40, 0x09, 0x07};

uint8_t PurgeSubstitution::operator()(uint8_t byte)
{
    if (substitutionPending) {
        escapeSeen = false;
        substitutionPending = false;
        return code_;
    }
    if (byte == PURGE_ESCAPE) escapeSeen = true;
    if (byte == PURGE_SELECT && escapeSeen) substitutionPending = true;
    return byte;
}
