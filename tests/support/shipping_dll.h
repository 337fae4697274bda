// The built orlinui.dll, loaded by path from beside the test program, and calls through the raw
// interface table slots the way the driver's UI core calls them.
#pragma once

#include <gtest/gtest.h>

#include "host/loaded_plugin.h"

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

// The raw table entry of an interface pointer, typed by the caller.
template <typename Fn>
Fn Slot(void* object, int slot)
{
    return reinterpret_cast<Fn>((*static_cast<void***>(object))[slot]);
}
