// Devmode conversion and validation on arbitrary sections: any claimed sizes and signatures.
// Each section lives in a heap block of exactly 40 bytes, so the sanitizer reports any access
// outside the bytes the plug-in owns. Conversion and validation must give exactly what a plain
// model of them gives, and the merged section always satisfies validation's guarantees.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "settings/private_devmode.h"

namespace {

// The product's defaults for the six job settings; the Offset is not among them.
void ModelDefaults(PrivateDevmode& section)
{
    section.inkLevel = 0;
    section.spareFlag = 0;
    section.dropSize = 0;
    section.bidirectional = 1;
    section.inkChannels = 0;
    section.printMode = 1;
}

PrivateDevmode ModelConvert(const PrivateDevmode& in, PrivateDevmode out)
{
    ModelDefaults(out);
    if (in.dwSignature == out.dwSignature) {
        // As many leading bytes of the source as both sections claim, never more than 40.
        uint32_t count = in.dwSize < out.dwSize ? in.dwSize : out.dwSize;
        if (count > sizeof(PrivateDevmode)) count = sizeof(PrivateDevmode);
        std::memcpy(&out, &in, count);
    } else {
        out.dwSignature = 0x4D534654;
    }
    out.dwSize = 40;
    out.dwVersion = 2;
    return out;
}

PrivateDevmode ModelValidate(PrivateDevmode out)
{
    out.dwSize = 40;
    out.dwSignature = 0x4D534654;
    out.dwVersion = 2;
    if (out.inkLevel > 4) out.inkLevel = 0;
    if (out.spareFlag > 1) out.spareFlag = 1;
    if (out.printMode > 2) out.printMode = 1;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 * sizeof(PrivateDevmode)) return 0;
    std::unique_ptr<uint8_t[]> inBytes(new uint8_t[sizeof(PrivateDevmode)]);
    std::unique_ptr<uint8_t[]> outBytes(new uint8_t[sizeof(PrivateDevmode)]);
    std::memcpy(inBytes.get(), data, sizeof(PrivateDevmode));
    std::memcpy(outBytes.get(), data + sizeof(PrivateDevmode), sizeof(PrivateDevmode));
    auto* in = reinterpret_cast<PrivateDevmode*>(inBytes.get());
    auto* out = reinterpret_cast<PrivateDevmode*>(outBytes.get());
    const PrivateDevmode source = *in;
    const PrivateDevmode converted = ModelConvert(source, *out);

    if (ConvertPrivateDevmode(in, out) != 1) abort();
    if (std::memcmp(out, &converted, sizeof converted) != 0) abort();
    if (std::memcmp(in, &source, sizeof source) != 0) abort();  // the source is only read

    if (ValidatePrivateDevmode(out) != 1) abort();
    const PrivateDevmode merged = ModelValidate(converted);
    if (std::memcmp(out, &merged, sizeof merged) != 0) abort();
    if (out->dwSize != PRIVATE_DEVMODE_SIZE || out->dwSignature != PRIVATE_DEVMODE_SIGNATURE ||
        out->dwVersion != PRIVATE_DEVMODE_VERSION)
        abort();
    if (out->inkLevel > 4 || out->spareFlag > 1 || out->printMode > PRINT_MODE_PHOTO) abort();
    return 0;
}
