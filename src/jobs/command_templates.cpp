#include "jobs/command_templates.h"

// Every job opens with the "@EJL 1284.4" preamble and two resets; remote-mode commands travel in
// blocks of ESC ( R, a header length, "REMOTE1", the commands, and ESC 00 00 00. The shared pieces
// are spelled once here so that each template below reads like its command listing.
// clang-format off
#define ORLIN_PREAMBLE \
    0x00, 0x00, 0x00, 0x1B, 0x01, \
    0x40, 0x45, 0x4A, 0x4C, 0x20, 0x31, 0x32, 0x38, 0x34, 0x2E, 0x34, 0x0A, \
    0x40, 0x45, 0x4A, 0x4C, 0x20, 0x20, 0x20, 0x20, 0x20, 0x0A, \
    0x1B, 0x40, 0x1B, 0x40
#define ORLIN_REMOTE_HEADER 0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 0x52, 0x45, 0x4D, 0x4F, 0x54, 0x45, 0x31
#define ORLIN_REMOTE_END 0x1B, 0x00, 0x00, 0x00
#define ORLIN_JOB_START 0x4A, 0x53, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00
// Two resets and the job end "JE": every template but the port test closes with them.
#define ORLIN_CLOSING 0x1B, 0x40, 0x1B, 0x40, ORLIN_REMOTE_HEADER, 0x4A, 0x45, 0x01, 0x00, 0x00, ORLIN_REMOTE_END
// One head-alignment command "DD"; its fourth parameter byte is the offset that the patch writes.
#define ORLIN_ALIGN(group, pattern) 0x44, 0x44, 0x05, 0x00, 0x00, group, pattern, 0x00, 0x02

const uint8_t HeadCleanCommand[HEAD_CLEAN_COMMAND_SIZE] = {
    ORLIN_PREAMBLE,
    ORLIN_REMOTE_HEADER,
    0x54, 0x49, 0x08, 0x00, 0x00, 0x07, 0xD6, 0x01, 0x08, 0x0A, 0x35, 0x24,  // TI
    ORLIN_JOB_START,
    0x43, 0x48, 0x02, 0x00, 0x00, 0x00,                                      // CH
    ORLIN_REMOTE_END,
    ORLIN_CLOSING,
};

const uint8_t NozzleCheckCommand[NOZZLE_CHECK_COMMAND_SIZE] = {
    ORLIN_PREAMBLE,
    ORLIN_REMOTE_HEADER,
    0x54, 0x49, 0x08, 0x00, 0x00, 0x07, 0xD6, 0x01, 0x08, 0x0E, 0x1A, 0x26,  // TI
    ORLIN_JOB_START,
    0x50, 0x50, 0x03, 0x00, 0x00, 0x01, 0xFF,                                // PP
    0x4E, 0x43, 0x02, 0x00, 0x00, 0x10,                                      // NC
    ORLIN_REMOTE_END,
    0x0D, 0x0A, 0x0D, 0x0A,
    ORLIN_REMOTE_HEADER,
    0x56, 0x49, 0x02, 0x00, 0x00, 0x00,                                      // VI
    0x4C, 0x44, 0x00, 0x00,                                                  // LD
    ORLIN_REMOTE_END,
    0x0C,                                                                    // form feed
    ORLIN_CLOSING,
};

// The port test carries neither a job start nor the closing sequence.
const uint8_t PortTestCommand[PORT_TEST_COMMAND_SIZE] = {
    ORLIN_PREAMBLE,
    ORLIN_REMOTE_HEADER,
    0x54, 0x49, 0x08, 0x00, 0x00, 0x07, 0xD5, 0x0A, 0x1D, 0x14, 0x3A, 0x2F,  // TI
    ORLIN_REMOTE_END,
};

// Groups 1 and 4 belong to head section 1, 2 and 5 to section 2, 3 and 6 to section 3. The
// commands of pattern 3 are never patched: their offset stays 00.
uint8_t AlignmentCommand[ALIGNMENT_COMMAND_SIZE] = {
    ORLIN_PREAMBLE,
    ORLIN_REMOTE_HEADER,
    ORLIN_JOB_START,
    ORLIN_ALIGN(1, 1), ORLIN_ALIGN(1, 2), ORLIN_ALIGN(1, 3),
    ORLIN_ALIGN(4, 1), ORLIN_ALIGN(4, 2), ORLIN_ALIGN(4, 3),
    ORLIN_ALIGN(2, 1), ORLIN_ALIGN(2, 2), ORLIN_ALIGN(2, 3),
    ORLIN_ALIGN(5, 1), ORLIN_ALIGN(5, 2), ORLIN_ALIGN(5, 3),
    ORLIN_ALIGN(3, 1), ORLIN_ALIGN(3, 2), ORLIN_ALIGN(3, 3),
    ORLIN_ALIGN(6, 1), ORLIN_ALIGN(6, 2), ORLIN_ALIGN(6, 3),
    ORLIN_REMOTE_END,
    ORLIN_CLOSING,
};

const uint8_t AlignmentSaveCommand[ALIGNMENT_SAVE_COMMAND_SIZE] = {
    ORLIN_PREAMBLE,
    ORLIN_REMOTE_HEADER,
    ORLIN_JOB_START,
    0x53, 0x56, 0x00, 0x00,                                                  // SV
    ORLIN_REMOTE_END,
    ORLIN_CLOSING,
};
// clang-format on

#undef ORLIN_PREAMBLE
#undef ORLIN_REMOTE_HEADER
#undef ORLIN_REMOTE_END
#undef ORLIN_JOB_START
#undef ORLIN_CLOSING
#undef ORLIN_ALIGN

int32_t AlignmentSelections[ALIGNMENT_SECTION_COUNT] = {ALIGNMENT_NEUTRAL_CHOICE, ALIGNMENT_NEUTRAL_CHOICE,
                                                        ALIGNMENT_NEUTRAL_CHOICE};

// The printer's offset steps are finer near the middle: 2, 2, 1, 1, 1, 1, 2, 2.
const int8_t AlignmentOffsetTable[ALIGNMENT_CHOICE_COUNT] = {-6, -4, -2, -1, 0, 1, 2, 4, 6};

const uint16_t AlignmentOffsetPlaces[ALIGNMENT_SECTION_COUNT][ALIGNMENT_PLACES_PER_SECTION] = {
    {59, 68, 86, 95},
    {113, 122, 140, 149},
    {167, 176, 194, 203},
};

void PatchAlignmentCommand(uint8_t* command)
{
    if (command == nullptr) return;
    for (int section = 0; section < ALIGNMENT_SECTION_COUNT; ++section) {
        const int32_t selection = AlignmentSelections[section];
        // A list with nothing chosen reports -1: that section keeps the offsets it last sent.
        if (selection < 0 || selection >= ALIGNMENT_CHOICE_COUNT) continue;
        const uint8_t offset = static_cast<uint8_t>(AlignmentOffsetTable[selection]);
        for (const uint16_t place : AlignmentOffsetPlaces[section]) command[place] = offset;
    }
}
