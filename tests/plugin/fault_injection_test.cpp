// Every allocation the plug-in makes fails in turn: no crash, nothing half built, a clean error.
#include <gtest/gtest.h>

#include "frame/module.h"
#include "support/fault_injection.h"

TEST(AllocationFailure, FactoryThatCannotBeMadeGivesOutOfMemoryAndLeavesThePointer)
{
    FailingNew failing;
    failing.failAt = 1;
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(E_OUTOFMEMORY, DllGetClassObject(CLSID_OEMUI, IID_IClassFactory, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
    EXPECT_EQ(1u, failing.calls);
}

TEST(AllocationFailure, PluginObjectThatCannotBeMadeGivesOutOfMemory)
{
    FailingNew failing;
    failing.failAt = 2;  // the factory is made, the plug-in object is not
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, DllGetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(E_OUTOFMEMORY, factory->CreateInstance(nullptr, IID_IPrintOemUI, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
    EXPECT_EQ(0u, factory->Release());
    EXPECT_EQ(S_OK, DllCanUnloadNow());
}
