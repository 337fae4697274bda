// Both driver-file substitutions on arbitrary files against plain reference models.
// First byte: bit 7 clear, the purge substitution with colour position (byte % 8) over the rest;
// bit 7 set, the test pattern: bytes 1..4 a drop size, bytes 5..6 where the file's own bytes start
// relative to the drop-size byte (bit 6 set: just before it; clear: a short file that ends before it).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "jobs/byte_substitutions.h"

namespace {

// The purge model: a search for an ESC, then the first later 'i'; the byte after it takes the
// colour code and the search resumes behind the replaced byte.
void CheckPurge(uint32_t position, const std::vector<uint8_t>& file)
{
    static const uint8_t Codes[8] = {0x0A, 0x01, 0x00, 0x02, 0x04, 0x40, 0x09, 0x07};
    std::vector<uint8_t> model = file;
    for (size_t from = 0;;) {
        size_t escape = from;
        while (escape < model.size() && model[escape] != 0x1B) ++escape;
        size_t select = escape + 1;
        while (select < model.size() && model[select] != 0x69) ++select;
        if (select + 1 >= model.size()) break;
        model[select + 1] = Codes[position];
        from = select + 2;
    }
    PurgeSubstitution purge(position);
    for (size_t i = 0; i < file.size(); ++i)
        if (purge(file[i]) != model[i]) abort();
}

// The test-pattern model: only the byte at 0-based position 65849 changes; Heavy and Medium give
// 0x11, Light 0x12, any other drop size its low byte plus 0x10.
uint8_t ModelDropCode(int32_t dropSize)
{
    if (dropSize == 0 || dropSize == 1) return 0x11;
    if (dropSize == 2) return 0x12;
    return static_cast<uint8_t>((static_cast<int64_t>(dropSize) + 0x10) & 0xFF);
}

void CheckTestPattern(const uint8_t* data, size_t size)
{
    if (size < 7) return;
    const int32_t dropSize =
        static_cast<int32_t>(data[1] | data[2] << 8 | data[3] << 16 | static_cast<uint32_t>(data[4]) << 24);
    const uint32_t lead = (data[5] | data[6] << 8) % 4096u;
    const bool reaches = (data[0] & 0x40) != 0;
    // Filler stands for the start of a large file, so that the file's own bytes sit around the
    // drop-size byte (or end before it).
    const size_t filler = reaches ? 65849 - lead : lead;
    TestPatternSubstitution substitute(dropSize);
    size_t position = 0;
    for (; position < filler; ++position) {
        const uint8_t byte = static_cast<uint8_t>(position * 7 + data[0]);
        if (substitute(byte) != byte) abort();
    }
    for (size_t i = 7; i < size; ++i, ++position) {
        const uint8_t expected = position == 65849 ? ModelDropCode(dropSize) : data[i];
        if (substitute(data[i]) != expected) abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    if (data[0] & 0x80) {
        CheckTestPattern(data, size);
        return 0;
    }
    CheckPurge(data[0] % PURGE_COLOR_COUNT, std::vector<uint8_t>(data + 1, data + size));
    return 0;
}
