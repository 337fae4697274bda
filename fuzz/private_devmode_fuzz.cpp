// Devmode conversion and validation on arbitrary sections: any claimed sizes and signatures.
// Each section lives in a heap block of exactly 40 bytes, so the sanitizer reports any access
// outside the bytes the plug-in owns; the merged result must satisfy validation's guarantees.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "settings/private_devmode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 * sizeof(PrivateDevmode)) return 0;
    std::unique_ptr<uint8_t[]> inBytes(new uint8_t[sizeof(PrivateDevmode)]);
    std::unique_ptr<uint8_t[]> outBytes(new uint8_t[sizeof(PrivateDevmode)]);
    std::memcpy(inBytes.get(), data, sizeof(PrivateDevmode));
    std::memcpy(outBytes.get(), data + sizeof(PrivateDevmode), sizeof(PrivateDevmode));
    auto* in = reinterpret_cast<PrivateDevmode*>(inBytes.get());
    auto* out = reinterpret_cast<PrivateDevmode*>(outBytes.get());
    const PrivateDevmode before = *out;

    if (ConvertPrivateDevmode(in, out) != 1) abort();
    if (out->dwSize != PRIVATE_DEVMODE_SIZE || out->dwVersion != PRIVATE_DEVMODE_VERSION) abort();
    if (in->dwSignature != before.dwSignature) {
        // A foreign section never carries settings over, and the Offset stays the output's own.
        if (out->offsetValue != before.offsetValue || out->dwSignature != PRIVATE_DEVMODE_SIGNATURE) abort();
        if (out->printMode != PRINT_MODE_STANDARD || out->bidirectional != 1) abort();
    }

    if (ValidatePrivateDevmode(out) != 1) abort();
    if (out->dwSize != PRIVATE_DEVMODE_SIZE || out->dwSignature != PRIVATE_DEVMODE_SIGNATURE ||
        out->dwVersion != PRIVATE_DEVMODE_VERSION)
        abort();
    if (out->inkLevel > 4 || out->spareFlag > 1 || out->printMode > PRINT_MODE_PHOTO) abort();
    return 0;
}
