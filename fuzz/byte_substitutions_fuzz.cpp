// The purge substitution on arbitrary files equals a plain search model: an ESC, the first later
// 'i', and the byte after it takes the colour code; the search resumes behind the replaced byte.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "jobs/byte_substitutions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint32_t position = data[0] % PURGE_COLOR_COUNT;
    const std::vector<uint8_t> file(data + 1, data + size);

    std::vector<uint8_t> model = file;
    for (size_t from = 0;;) {
        size_t escape = from;
        while (escape < model.size() && model[escape] != PURGE_ESCAPE) ++escape;
        size_t select = escape + 1;
        while (select < model.size() && model[select] != PURGE_SELECT) ++select;
        if (select + 1 >= model.size()) break;
        model[select + 1] = PurgeColorTable[position];
        from = select + 2;
    }
    PurgeSubstitution purge(position);
    for (size_t i = 0; i < file.size(); ++i)
        if (purge(file[i]) != model[i]) abort();
    return 0;
}
