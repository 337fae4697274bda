#include "settings/private_devmode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const uint8_t DefaultImageWithOffset2[40] = {
    0x28, 0, 0, 0, 0x54, 0x46, 0x53, 0x4D, 2, 0, 0, 0,               // header: 40, "TFSM", 2
    0,    0, 0, 0, 0,    0,    0,    0,    0, 0, 0, 0,               // inkLevel, spareFlag, dropSize
    1,    0, 0, 0, 0,    0,    0,    0,    2, 0, 0, 0, 1, 0, 0, 0};  // bidirectional, inkChannels, offset, printMode

PrivateDevmode Filled(int32_t value)
{
    PrivateDevmode s = DefaultPrivateDevmode(2);
    s.inkLevel = s.spareFlag = s.dropSize = s.bidirectional = s.inkChannels = s.offsetValue = s.printMode = value;
    return s;
}

}  // namespace

TEST(PrivateDevmodeDefaults, MatchTheStoredByteImage)
{
    const PrivateDevmode section = DefaultPrivateDevmode(2);
    EXPECT_EQ(0, std::memcmp(&section, DefaultImageWithOffset2, sizeof(section)));
    EXPECT_EQ(7, DefaultPrivateDevmode(7).offsetValue);
}

TEST(PrivateDevmodeOffset, ValuesAboveEightCountAsTwo)
{
    EXPECT_EQ(0, SanitizeOffsetValue(0));
    EXPECT_EQ(8, SanitizeOffsetValue(8));
    EXPECT_EQ(2, SanitizeOffsetValue(9));
    EXPECT_EQ(2, SanitizeOffsetValue(0xFFFFFFFFu));
}

TEST(PrivateDevmodeConvert, ShorterSourceOfSameSignatureCarriesLeadingSettingsOnly)
{
    PrivateDevmode in = Filled(3);
    in.dwSize = 24;  // header, inkLevel, spareFlag, dropSize
    in.dwVersion = 1;
    PrivateDevmode out = Filled(5);
    ASSERT_EQ(1, ConvertPrivateDevmode(&in, &out));
    EXPECT_EQ(40u, out.dwSize);
    EXPECT_EQ(2u, out.dwVersion);
    EXPECT_EQ(3, out.inkLevel);
    EXPECT_EQ(3, out.spareFlag);
    EXPECT_EQ(3, out.dropSize);
    EXPECT_EQ(1, out.bidirectional);
    EXPECT_EQ(0, out.inkChannels);
    EXPECT_EQ(1, out.printMode);
    EXPECT_EQ(5, out.offsetValue);  // beyond the source's reach: out keeps it
}

TEST(PrivateDevmodeConvert, ForeignSectionBecomesDefaultsButKeepsOffset)
{
    PrivateDevmode in = Filled(3);
    in.dwSignature = 0x12345678;
    PrivateDevmode out = Filled(4);
    out.offsetValue = 6;
    ASSERT_EQ(1, ConvertPrivateDevmode(&in, &out));
    PrivateDevmode expected = DefaultPrivateDevmode(6);
    EXPECT_EQ(0, std::memcmp(&expected, &out, sizeof(out)));
}

TEST(PrivateDevmodeConvert, SignaturesAreComparedWithEachOtherNotWithTheConstant)
{
    PrivateDevmode in = Filled(3);
    PrivateDevmode out = Filled(4);
    in.dwSignature = out.dwSignature = 0xCAFEF00D;
    ConvertPrivateDevmode(&in, &out);
    EXPECT_EQ(3, out.printMode);
    EXPECT_EQ(0xCAFEF00Du, out.dwSignature);  // only size and version are set afterwards
}

// A section from an application may claim any size: never touch more than the 40 bytes we own.
TEST(PrivateDevmodeConvert, OversizedClaimsNeverReachPastFortyBytes)
{
    std::vector<uint8_t> inBuffer(64, 0xAB), outBuffer(64, 0xCD);
    PrivateDevmode in = Filled(1);
    in.dwSize = 0xFFFFFFFF;
    std::memcpy(inBuffer.data(), &in, sizeof(in));
    PrivateDevmode out = Filled(2);
    out.dwSize = 1000;
    std::memcpy(outBuffer.data(), &out, sizeof(out));

    ConvertPrivateDevmode(reinterpret_cast<PrivateDevmode*>(inBuffer.data()),
                          reinterpret_cast<PrivateDevmode*>(outBuffer.data()));
    for (size_t i = 40; i < outBuffer.size(); ++i) ASSERT_EQ(0xCD, outBuffer[i]) << "byte " << i;
    PrivateDevmode result;
    std::memcpy(&result, outBuffer.data(), sizeof(result));
    EXPECT_EQ(40u, result.dwSize);
    EXPECT_EQ(1, result.printMode);
}

TEST(PrivateDevmodeConvert, NullSectionsAreRefusedWithoutWriting)
{
    PrivateDevmode out = Filled(9);
    EXPECT_EQ(0, ConvertPrivateDevmode(nullptr, &out));
    EXPECT_EQ(9, out.inkLevel);
    EXPECT_EQ(0, ConvertPrivateDevmode(&out, nullptr));
    EXPECT_EQ(0, ValidatePrivateDevmode(nullptr));
}

TEST(PrivateDevmodeValidate, ClampsHighValuesAndLetsNegativesPass)
{
    PrivateDevmode s = Filled(0);
    s.dwSize = 12;
    s.dwSignature = 0;
    s.inkLevel = 7;
    s.spareFlag = 5;
    s.printMode = 3;
    s.dropSize = 9;
    ASSERT_EQ(1, ValidatePrivateDevmode(&s));
    EXPECT_EQ(40u, s.dwSize);
    EXPECT_EQ(PRIVATE_DEVMODE_SIGNATURE, s.dwSignature);
    EXPECT_EQ(0, s.inkLevel);
    EXPECT_EQ(1, s.spareFlag);
    EXPECT_EQ(1, s.printMode);
    EXPECT_EQ(9, s.dropSize);  // not range-checked

    PrivateDevmode negative = Filled(-1);
    ValidatePrivateDevmode(&negative);
    EXPECT_EQ(-1, negative.inkLevel);
    EXPECT_EQ(-1, negative.spareFlag);
    EXPECT_EQ(-1, negative.printMode);
}
