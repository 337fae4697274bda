// The driver loads the plug-in for a print dialog and frees it afterwards, again and again in one
// long-running process. Each cycle must give back everything it took, or the process eventually
// cannot load the plug-in at all.
#include <gtest/gtest.h>

#include <string>

#include "emulation/driver_core.h"
#include "emulation/loaded_plugin.h"

TEST(DllLoadCycles, LoadingAndFreeingThePluginKeepsNoThreadLocalSlot)
{
    // A copy under a name of its own, so that no other test's reference keeps it loaded.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy =
        std::wstring(temp) + L"orlinui-cycles-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"orlinui.dll").c_str(), copy.c_str(), FALSE));

    auto cycle = [&] {
        LoadedModule module(copy.c_str());
        ASSERT_NE(nullptr, module.get());
        IPrintOemUI* plugin = nullptr;
        ASSERT_EQ(S_OK, CreatePluginObject(module, &plugin));
        OEMDMPARAM param = DriverCoreStandIn::DevModeRecord(nullptr, module.get());
        EXPECT_EQ(S_OK, plugin->DevMode(OEMDM_SIZE, &param));
        EXPECT_EQ(0u, plugin->Release());
        EXPECT_EQ(S_OK, reinterpret_cast<DllCanUnloadNowFn>(module.proc("DllCanUnloadNow"))());
    };
    cycle();  // the system libraries it brings in the first time stay loaded
    const DWORD firstFreeBefore = TlsAlloc();
    TlsFree(firstFreeBefore);
    for (int i = 0; i < 40; ++i) {
        cycle();
        ASSERT_EQ(nullptr, GetModuleHandleW(copy.c_str())) << "cycle " << i << " left the plug-in loaded";
    }
    const DWORD firstFreeAfter = TlsAlloc();
    TlsFree(firstFreeAfter);
    EXPECT_EQ(firstFreeBefore, firstFreeAfter) << "each load took a thread-local slot it never gave back";
    DeleteFileW(copy.c_str());
}
