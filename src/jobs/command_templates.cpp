#include "jobs/command_templates.h"

const uint8_t HeadCleanCommand[HEAD_CLEAN_COMMAND_SIZE] = {};
const uint8_t NozzleCheckCommand[NOZZLE_CHECK_COMMAND_SIZE] = {};
const uint8_t PortTestCommand[PORT_TEST_COMMAND_SIZE] = {};
uint8_t AlignmentCommand[ALIGNMENT_COMMAND_SIZE] = {};
const uint8_t AlignmentSaveCommand[ALIGNMENT_SAVE_COMMAND_SIZE] = {};
int32_t AlignmentSelections[ALIGNMENT_SECTION_COUNT] = {4, 4, 4};
const int8_t AlignmentOffsetTable[ALIGNMENT_CHOICE_COUNT] = {-6, -4, -2, -1, 0, 1, 2, 4, 6};

void PatchAlignmentCommand(uint8_t*) {}
