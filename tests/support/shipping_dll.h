// The built orlinui.dll, loaded by path from beside the test program, and calls through the raw
// interface table slots the way the driver's UI core calls them.
#pragma once

#include <gtest/gtest.h>

#include "emulation/loaded_plugin.h"

class ShippingDll : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static HMODULE Module() { return module_->get(); }
    static HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv);
    static HRESULT CanUnloadNow();
    // A fresh plug-in object (count 1), created through the exports as the driver does.
    static IPrintOemUI* NewPlugin();

private:
    static LoadedModule* module_;
};

// Slot numbers of IPrintOemUI, for calls through the raw interface table.
enum PrintOemUiSlot : int {
    SLOT_QueryInterface,
    SLOT_AddRef,
    SLOT_Release,
    SLOT_GetInfo,
    SLOT_DevMode,
    SLOT_PublishDriverInterface,
    SLOT_CommonUIProp,
    SLOT_DocumentPropertySheets,
    SLOT_DevicePropertySheets,
    SLOT_DevQueryPrintEx,
    SLOT_DeviceCapabilities,
    SLOT_UpgradePrinter,
    SLOT_PrinterEvent,
    SLOT_DriverEvent,
    SLOT_QueryColorProfile,
    SLOT_FontInstallerDlgProc,
    SLOT_UpdateExternalFonts,
    PRINT_OEM_UI_SLOT_COUNT
};

// What a driver core may ask for that the plug-in refuses: the interface-version query, the
// source colour profile, and the newer interfaces it probes before IPrintOemUI.
constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
constexpr ULONG QCP_SOURCEPROFILE = 1;
// {7349D725-E2C1-4DCA-AFB5-C13E91BC9306}
inline constexpr IID IID_IPrintOemUIMXDC = {
    0x7349D725, 0xE2C1, 0x4DCA, {0xAF, 0xB5, 0xC1, 0x3E, 0x91, 0xBC, 0x93, 0x06}};

// The raw table entry of an interface pointer, typed by the caller.
template <typename Fn>
Fn Slot(void* object, int slot)
{
    return reinterpret_cast<Fn>((*static_cast<void***>(object))[slot]);
}
