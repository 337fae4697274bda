// The COM protocol of the shipping DLL, exercised through its exports and raw interface slots.
#include <gtest/gtest.h>

#include <cstring>

#include "emulation/driver_helper.h"
#include "support/shipping_dll.h"

namespace {

using QueryInterfaceFn = HRESULT(STDMETHODCALLTYPE*)(void*, REFIID, void**);
using CountFn = ULONG(STDMETHODCALLTYPE*)(void*);
using CreateInstanceFn = HRESULT(STDMETHODCALLTYPE*)(void*, IUnknown*, REFIID, void**);
using LockServerFn = HRESULT(STDMETHODCALLTYPE*)(void*, BOOL);
using GetInfoFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, PVOID, DWORD, PDWORD);
using PublishFn = HRESULT(STDMETHODCALLTYPE*)(void*, IUnknown*);
using TwoArgFn = HRESULT(STDMETHODCALLTYPE*)(void*, void*, LPARAM);
using QueryColorProfileFn = HRESULT(STDMETHODCALLTYPE*)(void*, HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*,
                                                        ULONG*, FLONG*);

const CLSID SomeOtherClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr DWORD UntouchedError = 0xDEADBEEF;

class Frame : public ShippingDll {};

}  // namespace

TEST_F(Frame, UnknownClassIsRefusedAndOutPointerLeftAlone)
{
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, GetClassObject(SomeOtherClass, IID_IClassFactory, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
}

TEST_F(Frame, FactoryStartsWithOneReferenceAndAnswersIUnknownWithItself)
{
    void* factory = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_OEMUI, IID_IClassFactory, &factory));
    void* unknown = nullptr;
    ASSERT_EQ(S_OK, Slot<QueryInterfaceFn>(factory, 0)(factory, IID_IUnknown, &unknown));
    EXPECT_EQ(factory, unknown);
    EXPECT_EQ(1u, Slot<CountFn>(factory, 2)(factory));
    EXPECT_EQ(0u, Slot<CountFn>(factory, 2)(factory));
}

TEST_F(Frame, FactoryRefusesOtherInterfacesWithNullPointer)
{
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, GetClassObject(CLSID_OEMUI, IID_IPrintOemUI, &out));
    EXPECT_EQ(nullptr, out);
}

TEST_F(Frame, ServerLocksDecideUnloadEvenWhenNegative)
{
    void* factory = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_OEMUI, IID_IClassFactory, &factory));
    auto lock = Slot<LockServerFn>(factory, 4);
    EXPECT_EQ(S_OK, CanUnloadNow());
    EXPECT_EQ(S_OK, lock(factory, TRUE));
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    EXPECT_EQ(S_OK, lock(factory, FALSE));
    EXPECT_EQ(S_OK, CanUnloadNow());
    lock(factory, FALSE);
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    lock(factory, TRUE);
    EXPECT_EQ(S_OK, CanUnloadNow());
    EXPECT_EQ(0u, Slot<CountFn>(factory, 2)(factory));
}

TEST_F(Frame, CreateInstanceRefusesAggregationAndUnknownInterfaces)
{
    void* factory = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_OEMUI, IID_IClassFactory, &factory));
    auto create = Slot<CreateInstanceFn>(factory, 3);
    void* out = reinterpret_cast<void*>(0x1234);
    DriverHelperStandIn outer;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, create(factory, &outer, IID_IUnknown, &out));
    EXPECT_EQ(E_NOINTERFACE, create(factory, nullptr, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    ASSERT_EQ(S_OK, create(factory, nullptr, IID_IPrintOemUI, &out));
    EXPECT_EQ(0u, Slot<CountFn>(out, 2)(out));
    EXPECT_EQ(0u, Slot<CountFn>(factory, 2)(factory));
}

TEST_F(Frame, PluginAnswersOnlyIUnknownAndIPrintOemUI)
{
    IPrintOemUI* plugin = NewPlugin();
    ASSERT_NE(nullptr, plugin);
    for (const IID* iid : {&IID_IClassFactory, &IID_IPrintOemUI2, &IID_IPrintOemUIMXDC}) {
        void* out = reinterpret_cast<void*>(0x1234);
        EXPECT_EQ(E_NOINTERFACE, plugin->QueryInterface(*iid, &out));
        EXPECT_EQ(nullptr, out);
    }
    void* unknown = nullptr;
    ASSERT_EQ(S_OK, Slot<QueryInterfaceFn>(plugin, 0)(plugin, IID_IUnknown, &unknown));
    EXPECT_EQ(static_cast<void*>(plugin), unknown);
    EXPECT_EQ(3u, Slot<CountFn>(plugin, 1)(plugin));
    EXPECT_EQ(2u, Slot<CountFn>(plugin, 2)(plugin));
    EXPECT_EQ(1u, plugin->Release());
    EXPECT_EQ(0u, plugin->Release());
}

TEST_F(Frame, GetInfoReportsSignatureVersionAndBufferErrors)
{
    IPrintOemUI* plugin = NewPlugin();
    auto getInfo = Slot<GetInfoFn>(plugin, SLOT_GetInfo);
    DWORD value = 0, needed = 0;
    EXPECT_EQ(S_OK, getInfo(plugin, OEMGI_GETSIGNATURE, &value, 4, &needed));
    EXPECT_EQ(0x4D534654u, value);
    EXPECT_EQ(0, std::memcmp(&value, "TFSM", 4));
    EXPECT_EQ(4u, needed);
    EXPECT_EQ(S_OK, getInfo(plugin, OEMGI_GETVERSION, &value, 4, &needed));
    EXPECT_EQ(2u, value);

    needed = 0;
    SetLastError(0);
    EXPECT_EQ(E_FAIL, getInfo(plugin, OEMGI_GETSIGNATURE, &value, 3, &needed));
    EXPECT_EQ(4u, needed);
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    SetLastError(0);
    EXPECT_EQ(E_FAIL, getInfo(plugin, OEMGI_GETVERSION, nullptr, 4, &needed));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

    EXPECT_EQ(E_FAIL, getInfo(plugin, OEMGI_GETPUBLISHERINFO, &value, 4, &needed));
    EXPECT_EQ(0u, needed);
    EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());

    SetLastError(0);
    EXPECT_EQ(E_FAIL, getInfo(plugin, OEMGI_GETINTERFACEVERSION, &value, 4, &needed));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0);
    EXPECT_EQ(E_FAIL, getInfo(plugin, OEMGI_GETSIGNATURE, &value, 4, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_EQ(0u, plugin->Release());
}

TEST_F(Frame, QueryColorProfileNamesTheProfileAndReportsShortBuffers)
{
    IPrintOemUI* plugin = NewPlugin();
    auto query = Slot<QueryColorProfileFn>(plugin, SLOT_QueryColorProfile);
    BYTE buffer[40];
    std::memset(buffer, 0xEE, sizeof(buffer));
    ULONG size = 32;
    FLONG flags = 0;
    EXPECT_EQ(S_OK, query(plugin, nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, buffer, &size, &flags));
    EXPECT_STREQ(L"OEMPROFILE.icm", reinterpret_cast<wchar_t*>(buffer));
    EXPECT_EQ(0xEE, buffer[30]);  // 30 bytes copied, nothing more
    EXPECT_EQ(32u, size);
    EXPECT_EQ(2u, flags);

    size = 31;
    SetLastError(0);
    EXPECT_EQ(E_FAIL, query(plugin, nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, buffer, &size, &flags));
    EXPECT_EQ(32u, size);
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

    size = 0;
    SetLastError(0);
    EXPECT_EQ(E_FAIL, query(plugin, nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, nullptr, &size, &flags));
    EXPECT_EQ(32u, size);
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

    size = 7;
    SetLastError(UntouchedError);
    EXPECT_EQ(E_FAIL, query(plugin, nullptr, nullptr, nullptr, nullptr, QCP_SOURCEPROFILE, buffer, &size, &flags));
    EXPECT_EQ(7u, size);
    EXPECT_EQ(UntouchedError, GetLastError());
    EXPECT_EQ(0u, plugin->Release());
}

TEST_F(Frame, DriverHelperIsQueriedOnceAndReleasedWithThePlugin)
{
    DriverHelperStandIn helper, second;
    IPrintOemUI* plugin = NewPlugin();
    auto publish = Slot<PublishFn>(plugin, SLOT_PublishDriverInterface);
    EXPECT_EQ(S_OK, publish(plugin, &helper));
    EXPECT_EQ(2, helper.references());
    EXPECT_EQ(S_OK, publish(plugin, &second));
    EXPECT_EQ(0, second.queries());
    EXPECT_EQ(0u, plugin->Release());
    EXPECT_EQ(1, helper.references());
}

TEST_F(Frame, FailedPublishLeavesRoomForALaterOne)
{
    struct NoHelper : IUnknown {
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
    } refusing;
    DriverHelperStandIn helper;
    IPrintOemUI* plugin = NewPlugin();
    EXPECT_EQ(E_FAIL, plugin->PublishDriverInterface(&refusing));
    EXPECT_EQ(S_OK, plugin->PublishDriverInterface(&helper));
    EXPECT_EQ(2, helper.references());
    EXPECT_EQ(0u, plugin->Release());
    EXPECT_EQ(1, helper.references());
}

TEST_F(Frame, RefusedOperationsAnswerNotImplementedAndKeepTheLastError)
{
    IPrintOemUI* plugin = NewPlugin();
    SetLastError(UntouchedError);
    PROPSHEETUI_INFO info = {};
    EXPECT_EQ(E_NOTIMPL, Slot<TwoArgFn>(plugin, SLOT_DevicePropertySheets)(plugin, &info, 0));
    EXPECT_EQ(E_NOTIMPL, plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr));
    DWORD result = 0;
#pragma push_macro("DeviceCapabilities")
#undef DeviceCapabilities
    EXPECT_EQ(E_NOTIMPL,
              plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, &result));
#pragma pop_macro("DeviceCapabilities")
    EXPECT_EQ(E_NOTIMPL, plugin->UpgradePrinter(1, nullptr));
    EXPECT_EQ(E_NOTIMPL, plugin->PrinterEvent(nullptr, 1, 0, 0));
    EXPECT_EQ(E_NOTIMPL, plugin->DriverEvent(1, 1, nullptr, 0));
    EXPECT_EQ(E_NOTIMPL, plugin->FontInstallerDlgProc(nullptr, 0, 0, 0));
    EXPECT_EQ(E_NOTIMPL, Slot<HRESULT(STDMETHODCALLTYPE*)(void*, HANDLE, HANDLE, PWSTR)>(
                             plugin, SLOT_UpdateExternalFonts)(plugin, nullptr, nullptr, nullptr));
    EXPECT_EQ(UntouchedError, GetLastError());
    EXPECT_EQ(0u, plugin->Release());
}
