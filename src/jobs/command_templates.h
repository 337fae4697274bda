// The printer's fixed maintenance command sequences and the head alignment data. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t HEAD_CLEAN_COMMAND_SIZE = 100;
constexpr size_t NOZZLE_CHECK_COMMAND_SIZE = 139;
constexpr size_t PORT_TEST_COMMAND_SIZE = 60;
constexpr size_t ALIGNMENT_COMMAND_SIZE = 244;
constexpr size_t ALIGNMENT_SAVE_COMMAND_SIZE = 86;

extern const uint8_t HeadCleanCommand[HEAD_CLEAN_COMMAND_SIZE];
extern const uint8_t NozzleCheckCommand[NOZZLE_CHECK_COMMAND_SIZE];
extern const uint8_t PortTestCommand[PORT_TEST_COMMAND_SIZE];
// Writable: the twelve offset bytes are patched from the section choices before each send.
extern uint8_t AlignmentCommand[ALIGNMENT_COMMAND_SIZE];
extern const uint8_t AlignmentSaveCommand[ALIGNMENT_SAVE_COMMAND_SIZE];

constexpr int ALIGNMENT_SECTION_COUNT = 3;
constexpr int ALIGNMENT_CHOICE_COUNT = 9;        // "#1".."#9"
constexpr int32_t ALIGNMENT_NEUTRAL_CHOICE = 4;  // "#5", offset 0

// The choice last sent for each head section; kept for the life of the process.
extern int32_t AlignmentSelections[ALIGNMENT_SECTION_COUNT];
extern const int8_t AlignmentOffsetTable[ALIGNMENT_CHOICE_COUNT];

// Where each section's offset byte goes in AlignmentCommand: the "DD" commands of patterns 1 and 2.
constexpr int ALIGNMENT_PLACES_PER_SECTION = 4;
extern const uint16_t AlignmentOffsetPlaces[ALIGNMENT_SECTION_COUNT][ALIGNMENT_PLACES_PER_SECTION];

// Writes the offsets of AlignmentSelections into a 244-byte alignment command. A selection outside
// "#1".."#9" leaves that section's four bytes as they are.
void PatchAlignmentCommand(uint8_t* command);
