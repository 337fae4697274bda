// The driver's devmode calls through the shipping DLL, with the printer data of its imports faked.
#include <gtest/gtest.h>

#include <cstring>

#include "emulation/driver_core.h"
#include "emulation/printer_data.h"
#include "settings/private_devmode.h"
#include "support/shipping_dll.h"

namespace {

using DevModeFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, POEMDMPARAM);

class DevModeCall : public ShippingDll {
protected:
    void SetUp() override { plugin_ = NewPlugin(); }
    void TearDown() override { EXPECT_EQ(0u, plugin_->Release()); }

    HRESULT Call(DWORD mode, void* in, void* out)
    {
        param_ = DriverCoreStandIn::DevModeRecord(reinterpret_cast<HANDLE>(0x5150), nullptr);
        param_.pOEMDMIn = in;
        param_.pOEMDMOut = out;
        return Slot<DevModeFn>(plugin_, SLOT_DevMode)(plugin_, mode, &param_);
    }

    IPrintOemUI* plugin_ = nullptr;
    OEMDMPARAM param_ = {};
};

}  // namespace

TEST_F(DevModeCall, SizeIsForty)
{
    FakePrinterData printer(Module());
    EXPECT_EQ(S_OK, Call(OEMDM_SIZE, nullptr, nullptr));
    EXPECT_EQ(40u, param_.cbBufSize);
}

TEST_F(DevModeCall, DefaultsCarryThePrinterOffsetOrTwo)
{
    FakePrinterData printer(Module());
    PrivateDevmode out;
    std::memset(&out, 0xCC, sizeof(out));
    ASSERT_EQ(S_OK, Call(OEMDM_DEFAULT, nullptr, &out));
    const PrivateDevmode expected = DefaultPrivateDevmode(2);
    EXPECT_EQ(0, std::memcmp(&expected, &out, sizeof(out)));
    EXPECT_EQ(reinterpret_cast<HANDLE>(0x5150), printer.lastPrinter);

    printer.SetDword(L"OEMUI_VALUE", 5);
    Call(OEMDM_DEFAULT, nullptr, &out);
    EXPECT_EQ(5, out.offsetValue);
    printer.SetDword(L"OEMUI_VALUE", 9);
    Call(OEMDM_DEFAULT, nullptr, &out);
    EXPECT_EQ(2, out.offsetValue);
    printer.SetDword(L"OEMUI_VALUE", 5);
    printer.readError = ERROR_ACCESS_DENIED;
    Call(OEMDM_DEFAULT, nullptr, &out);
    EXPECT_EQ(2, out.offsetValue);
}

TEST_F(DevModeCall, MergeConvertsThenValidates)
{
    FakePrinterData printer(Module());
    PrivateDevmode in = DefaultPrivateDevmode(2), out = DefaultPrivateDevmode(2);
    in.inkLevel = 7;
    in.spareFlag = 5;
    in.printMode = 3;
    in.dropSize = -1;
    ASSERT_EQ(S_OK, Call(OEMDM_MERGE, &in, &out));
    EXPECT_EQ(0, out.inkLevel);
    EXPECT_EQ(1, out.spareFlag);
    EXPECT_EQ(1, out.printMode);
    EXPECT_EQ(-1, out.dropSize);

    ASSERT_EQ(S_OK, Call(OEMDM_CONVERT, &in, &out));
    EXPECT_EQ(7, out.inkLevel);  // convert alone does not validate
}

// A merge whose source devmode has no private section still hands the driver a valid one.
TEST_F(DevModeCall, MergeWithoutASourceSectionStillValidatesTheOutput)
{
    FakePrinterData printer(Module());
    PrivateDevmode out;
    std::memset(&out, 0x7F, sizeof(out));
    ASSERT_EQ(S_OK, Call(OEMDM_MERGE, nullptr, &out));
    EXPECT_EQ(PRIVATE_DEVMODE_SIZE, out.dwSize);
    EXPECT_EQ(PRIVATE_DEVMODE_SIGNATURE, out.dwSignature);
    EXPECT_EQ(PRIVATE_DEVMODE_VERSION, out.dwVersion);
    EXPECT_EQ(0, out.inkLevel);
    EXPECT_EQ(1, out.spareFlag);
    EXPECT_EQ(PRINT_MODE_STANDARD, out.printMode);
}

// Each printer-data read is a spooler round trip, and the driver calls DevMode several times for
// every job: only the defaults need the printer's Offset.
TEST_F(DevModeCall, OnlyTheDefaultsReadThePrinterData)
{
    FakePrinterData printer(Module());
    PrivateDevmode in = DefaultPrivateDevmode(2), out = DefaultPrivateDevmode(2);
    Call(OEMDM_SIZE, nullptr, nullptr);
    Call(OEMDM_CONVERT, &in, &out);
    Call(OEMDM_MERGE, &in, &out);
    EXPECT_EQ(0, printer.reads);
    Call(OEMDM_DEFAULT, nullptr, &out);
    EXPECT_EQ(1, printer.reads);
}

TEST_F(DevModeCall, BadModeOrMissingBlockFailsWithInvalidParameter)
{
    FakePrinterData printer(Module());
    SetLastError(0);
    EXPECT_EQ(E_FAIL, Call(5, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0);
    EXPECT_EQ(E_FAIL, Call(0, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0);
    EXPECT_EQ(E_FAIL, Slot<DevModeFn>(plugin_, SLOT_DevMode)(plugin_, OEMDM_SIZE, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(DevModeCall, NullSectionsAreSkippedButTheCallSucceeds)
{
    FakePrinterData printer(Module());
    EXPECT_EQ(S_OK, Call(OEMDM_DEFAULT, nullptr, nullptr));
    EXPECT_EQ(S_OK, Call(OEMDM_CONVERT, nullptr, nullptr));
    EXPECT_EQ(S_OK, Call(OEMDM_MERGE, nullptr, nullptr));
}
