// The plug-in's private section of every job devmode: the job settings of the Print Mode and
// Ink Level pages. Portable: the same layout the driver stores, read as little-endian integers.
#pragma once

#include <cstdint>

constexpr uint32_t PRIVATE_DEVMODE_SIGNATURE = 0x4D534654;  // "TFSM" in memory order
constexpr uint32_t PRIVATE_DEVMODE_VERSION = 2;
constexpr uint32_t PRIVATE_DEVMODE_SIZE = 40;

// Offset value of a printer whose Offset was never set (and of any unreadable value).
constexpr int32_t DEFAULT_OFFSET_VALUE = 2;
constexpr int32_t MAX_OFFSET_VALUE = 8;

enum PrintMode : int32_t { PRINT_MODE_VIVID = 0, PRINT_MODE_STANDARD = 1, PRINT_MODE_PHOTO = 2 };
enum DropSize : int32_t { DROP_SIZE_HEAVY = 0, DROP_SIZE_MEDIUM = 1, DROP_SIZE_LIGHT = 2 };
enum InkChannels : int32_t { INK_CHANNELS_FULL_8 = 0, INK_CHANNELS_FRONT_4 = 1, INK_CHANNELS_BACK_4 = 2 };

struct PrivateDevmode {
    // Same layout as the platform's OEM_DMEXTRAHEADER.
    uint32_t dwSize;
    uint32_t dwSignature;
    uint32_t dwVersion;
    int32_t inkLevel;       // 0..4 for the Ink Level choices "1".."5"
    int32_t spareFlag;      // 0 or 1; no page edits it
    int32_t dropSize;       // DropSize
    int32_t bidirectional;  // 0 off, 1 on
    int32_t inkChannels;    // InkChannels
    int32_t offsetValue;    // printer Offset 0..8 the section was made with; conversion keeps it
    int32_t printMode;      // PrintMode
};
static_assert(sizeof(PrivateDevmode) == PRIVATE_DEVMODE_SIZE, "the driver stores exactly 40 bytes");

// The printer's Offset as stored in its printer data: anything above 8 (unsigned) counts as 2.
int32_t SanitizeOffsetValue(uint32_t stored);

// The full default section, with the printer's Offset in offsetValue.
PrivateDevmode DefaultPrivateDevmode(int32_t offsetValue);

// Carries a section over from one devmode to another. A section of the same signature keeps its
// settings, as far as both sections reach; a foreign one becomes defaults but keeps out's Offset.
// Never reads or writes beyond the 40 bytes of either section. Returns 1, or 0 for a null pointer.
int ConvertPrivateDevmode(const PrivateDevmode* in, PrivateDevmode* out);

// Brings a merged section back into range. Returns 1, or 0 for a null pointer.
int ValidatePrivateDevmode(PrivateDevmode* out);
