#include "support/shipping_dll.h"

LoadedModule* ShippingDll::module_ = nullptr;

void ShippingDll::SetUpTestSuite()
{
    if (module_ == nullptr) module_ = new LoadedModule((ProgramFolder() + L"orlinui.dll").c_str());
    ASSERT_NE(nullptr, module_->get()) << "orlinui.dll must sit beside the test program";
}

void ShippingDll::TearDownTestSuite() {}

HRESULT ShippingDll::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv)
{
    auto fn = reinterpret_cast<DllGetClassObjectFn>(module_->proc("DllGetClassObject"));
    return fn(clsid, iid, ppv);
}

HRESULT ShippingDll::CanUnloadNow()
{
    return reinterpret_cast<DllCanUnloadNowFn>(module_->proc("DllCanUnloadNow"))();
}

IPrintOemUI* ShippingDll::NewPlugin()
{
    IPrintOemUI* plugin = nullptr;
    EXPECT_EQ(S_OK, CreatePluginObject(*module_, &plugin));
    return plugin;
}
