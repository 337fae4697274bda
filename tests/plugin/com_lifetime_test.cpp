// Reference counts and server locks of the shipping DLL under load from several threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "emulation/driver_helper.h"
#include "support/shipping_dll.h"

namespace {

class ComLifetime : public ShippingDll {};

constexpr int Threads = 8;
constexpr int Rounds = 1500;

}  // namespace

TEST_F(ComLifetime, ConcurrentFactoriesObjectsAndLocksAllBalance)
{
    std::atomic<int> unbalanced{0};
    std::vector<DriverHelperStandIn> helpers(Threads);
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < Rounds; ++round) {
                IClassFactory* factory = nullptr;
                if (GetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) {
                    ++unbalanced;
                    continue;
                }
                factory->LockServer(TRUE);
                IPrintOemUI* plugin = nullptr;
                if (factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&plugin)) == S_OK) {
                    IUnknown* unknown = nullptr;
                    plugin->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown));
                    plugin->PublishDriverInterface(&helpers[t]);
                    factory->AddRef();
                    factory->Release();
                    if (unknown != nullptr) unknown->Release();
                    if (plugin->Release() != 0) ++unbalanced;
                } else {
                    ++unbalanced;
                }
                factory->LockServer(FALSE);
                if (factory->Release() != 0) ++unbalanced;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    EXPECT_EQ(0, unbalanced.load());
    EXPECT_EQ(S_OK, CanUnloadNow());
    for (const DriverHelperStandIn& helper : helpers) EXPECT_EQ(1, helper.references());
}

TEST_F(ComLifetime, LocksHeldOnOtherThreadsKeepTheModuleLoaded)
{
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < Rounds; ++i) factory->LockServer(TRUE);
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    threads.clear();
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < Rounds; ++i) factory->LockServer(FALSE);
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(S_OK, CanUnloadNow());
    EXPECT_EQ(0u, factory->Release());
}
