#include "settings/private_devmode.h"

#include <algorithm>
#include <cstring>

namespace {

void SetDefaultSettings(PrivateDevmode& section)
{
    section.inkLevel = 0;
    section.spareFlag = 0;
    section.dropSize = DROP_SIZE_HEAVY;
    section.bidirectional = 1;
    section.inkChannels = INK_CHANNELS_FULL_8;
    section.printMode = PRINT_MODE_STANDARD;
}

void SetHeader(PrivateDevmode& section)
{
    section.dwSize = PRIVATE_DEVMODE_SIZE;
    section.dwSignature = PRIVATE_DEVMODE_SIGNATURE;
    section.dwVersion = PRIVATE_DEVMODE_VERSION;
}

}  // namespace

int32_t SanitizeOffsetValue(uint32_t stored)
{
    return stored > static_cast<uint32_t>(MAX_OFFSET_VALUE) ? DEFAULT_OFFSET_VALUE : static_cast<int32_t>(stored);
}

PrivateDevmode DefaultPrivateDevmode(int32_t offsetValue)
{
    PrivateDevmode section{};
    SetHeader(section);
    SetDefaultSettings(section);
    section.offsetValue = offsetValue;
    return section;
}

int ConvertPrivateDevmode(const PrivateDevmode* in, PrivateDevmode* out)
{
    if (in == nullptr || out == nullptr) return 0;

    if (in->dwSignature == out->dwSignature) {
        SetDefaultSettings(*out);
        // Devmodes come from applications: a section claiming more than 40 bytes must not make us
        // copy past the 40 bytes we own.
        const uint32_t count = std::min({in->dwSize, out->dwSize, PRIVATE_DEVMODE_SIZE});
        std::memmove(out, in, count);
        out->dwSize = PRIVATE_DEVMODE_SIZE;
        out->dwVersion = PRIVATE_DEVMODE_VERSION;
        return 1;
    }

    SetHeader(*out);
    SetDefaultSettings(*out);
    return 1;
}

int ValidatePrivateDevmode(PrivateDevmode* out)
{
    if (out == nullptr) return 0;
    SetHeader(*out);
    if (out->inkLevel > 4) out->inkLevel = 0;
    if (out->spareFlag > 1) out->spareFlag = 1;
    if (out->printMode > PRINT_MODE_PHOTO) out->printMode = PRINT_MODE_STANDARD;
    return 1;
}
