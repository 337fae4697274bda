// The head alignment patch with any selections on any 244 bytes: only the twelve offset bytes may
// change; a selection "#1".."#9" writes its offset to its section's four places, any other value
// leaves them as they were; the selections themselves are only read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "jobs/command_templates.h"

namespace {

// The offset byte places of the three sections, and the offsets of "#1".."#9", as listed for the
// printer, kept apart from the product's tables.
const uint16_t Places[3][4] = {{59, 68, 86, 95}, {113, 122, 140, 149}, {167, 176, 194, 203}};
const uint8_t Offsets[9] = {0xFA, 0xFC, 0xFE, 0xFF, 0x00, 0x01, 0x02, 0x04, 0x06};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 12) return 0;
    int32_t selections[3];
    std::memcpy(selections, data, sizeof selections);
    // Values near "#1".."#9" are the interesting ones: fold most others into -2..10.
    for (int32_t& selection : selections) {
        const bool near = selection >= -2 && selection <= 10;
        if (!near && (selection & 0x100) == 0)
            selection = static_cast<int32_t>(static_cast<uint32_t>(selection) % 13) - 2;
    }
    std::memcpy(AlignmentSelections, selections, sizeof selections);

    // The buffer: the stored template with the input's remaining bytes laid over its start, in a
    // block of exactly 244 bytes so that a write outside it is caught.
    std::unique_ptr<uint8_t[]> command(new uint8_t[ALIGNMENT_COMMAND_SIZE]);
    std::memcpy(command.get(), AlignmentCommand, ALIGNMENT_COMMAND_SIZE);
    const size_t laid = size - 12 < ALIGNMENT_COMMAND_SIZE ? size - 12 : ALIGNMENT_COMMAND_SIZE;
    std::memcpy(command.get(), data + 12, laid);
    uint8_t expected[ALIGNMENT_COMMAND_SIZE];
    std::memcpy(expected, command.get(), ALIGNMENT_COMMAND_SIZE);
    for (int section = 0; section < 3; ++section) {
        if (selections[section] < 0 || selections[section] > 8) continue;
        for (const uint16_t place : Places[section]) expected[place] = Offsets[selections[section]];
    }
    uint8_t storedTemplate[ALIGNMENT_COMMAND_SIZE];
    std::memcpy(storedTemplate, AlignmentCommand, ALIGNMENT_COMMAND_SIZE);

    PatchAlignmentCommand(command.get());
    if (std::memcmp(command.get(), expected, ALIGNMENT_COMMAND_SIZE) != 0) abort();
    if (std::memcmp(AlignmentSelections, selections, sizeof selections) != 0) abort();
    if (std::memcmp(AlignmentCommand, storedTemplate, ALIGNMENT_COMMAND_SIZE) != 0) abort();
    return 0;
}
