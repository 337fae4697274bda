// The driver's option items as the plug-in leaves them, the debugger trace, the plug-in's own
// document and Offset items with their callbacks, and the heap helpers behind them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "emulation/driver_core.h"
#include "emulation/kernel_seams.h"
#include "emulation/printer_data.h"
#include "frame/plugin.h"
#include "items/item_callbacks.h"
#include "items/opt_items.h"
#include "sheet/module_resources.h"

namespace {

const HANDLE Printer = reinterpret_cast<HANDLE>(0x5150);

// A plug-in object as the class factory makes it, and the core with the heap it lends it.
class CommonUI : public ::testing::Test {
protected:
    void TearDown() override
    {
        core_.reset();
        EXPECT_EQ(0u, plugin_->Release());
    }

    // The core's two calls, with the driver's items when the test gives them.
    HRESULT TwoCalls(DWORD mode, std::vector<OPTITEM>* driverItems = nullptr)
    {
        const SheetKind kind = mode == OEMCUIP_DOCPROP ? SheetKind::Document : SheetKind::Printer;
        if (driverItems == nullptr) return core_->ExchangeItems(kind);
        return core_->ExchangeItems(kind, driverItems->data(), static_cast<DWORD>(driverItems->size()));
    }
    LONG Callback(WORD reason) { return core_->NotifyItem(reason); }
    OEMCUIPPARAM& param() { return core_->items(); }
    OPTITEM& item() { return core_->pluginItems()[0]; }

    OemUiPlugin* plugin_ = new (std::nothrow) OemUiPlugin();
    std::unique_ptr<DriverCoreStandIn> core_ = std::make_unique<DriverCoreStandIn>(plugin_);
};

OPTITEM DriverItem(BYTE dmPubId, DWORD flags, LONG sel, POPTTYPE type = nullptr)
{
    OPTITEM item = {};
    item.cbSize = sizeof(OPTITEM);
    item.Level = 1;
    item.DMPubID = dmPubId;
    item.Flags = flags;
    item.Sel = sel;
    item.pOptType = type;
    item.pName = MAKEINTRESOURCEW(300 + dmPubId);
    return item;
}

}  // namespace

TEST_F(CommonUI, DriverItemsAreHiddenDisabledOrForcedAndKeepTheirOtherFlags)
{
    FakeKernel kernel;
    constexpr DWORD Kept = OPTIF_COLLAPSE | OPTIF_CALLBACK;
    OPTTYPE sourceType = {};
    sourceType.cbSize = sizeof(OPTTYPE);
    sourceType.Flags = OPTTF_NOSPACE_BEFORE_POSTFIX;
    std::vector<OPTITEM> items = {
        DriverItem(DMPUB_ICMINTENT, Kept, 3),
        DriverItem(DMPUB_DITHERTYPE, Kept, 0),
        DriverItem(DMPUB_SCALE, Kept, 4),
        DriverItem(DMPUB_COPIES_COLLATE, Kept, 5),
        DriverItem(DMPUB_DEFSOURCE, Kept, 6, &sourceType),
        DriverItem(DMPUB_NUP, Kept, 7),
        DriverItem(DMPUB_PAGEORDER, Kept, 8),
        DriverItem(DMPUB_ORIENTATION, Kept, 9),
        DriverItem(DMPUB_DEFSOURCE, Kept, 10),  // a source item without a type is left alone
    };
    ASSERT_EQ(S_OK, TwoCalls(OEMCUIP_DOCPROP, &items));

    EXPECT_EQ(0, items[0].Sel);
    EXPECT_EQ(1, items[1].Sel);
    EXPECT_EQ(Kept, items[0].Flags);
    EXPECT_EQ(Kept, items[1].Flags);
    EXPECT_EQ(Kept | OPTIF_DISABLED, items[2].Flags);
    EXPECT_EQ(Kept | OPTIF_HIDE, items[3].Flags);
    EXPECT_EQ(Kept, items[4].Flags);
    EXPECT_EQ(OPTTF_NOSPACE_BEFORE_POSTFIX | OPTTF_TYPE_DISABLED, sourceType.Flags);
    EXPECT_EQ(Kept | OPTIF_HIDE, items[5].Flags);
    EXPECT_EQ(Kept | OPTIF_HIDE, items[6].Flags);
    EXPECT_EQ(Kept, items[7].Flags);
    for (size_t i = 2; i < items.size(); ++i) EXPECT_EQ(static_cast<LONG>(i + 2), items[i].Sel) << i;
    EXPECT_EQ(2 * 3 * items.size(), kernel.debugOutput.size());  // every item traced on both calls
}

TEST_F(CommonUI, TraceGivesThreeOutputsForAResourceNameAndFourForAStringName)
{
    FakeKernel kernel;
    std::wstring longName(500, L'x');
    std::vector<OPTITEM> items = {DriverItem(DMPUB_ICMINTENT, 0, 0), DriverItem(DMPUB_DITHERTYPE, 0, 0),
                                  DriverItem(DMPUB_USER, 0, 0)};
    items[0].pName = MAKEINTRESOURCEW(321);
    items[1].Level = 2;
    items[1].pName = const_cast<LPWSTR>(L"Dithering");
    items[2].Level = 3;
    items[2].pName = longName.data();
    ASSERT_EQ(S_OK, TwoCalls(OEMCUIP_DOCPROP, &items));

    const std::vector<std::wstring> expected = {
        L"0, Level 1,", L"321,",      L"11\r\n",              // first call
        L"1, Level 2,", L"Dithering", L",",      L"13\r\n",   // first call
        L"2, Level 3,", longName,     L",",      L"100\r\n",  // first call
        L"0, Level 1,", L"321,",      L"11\r\n",              // second call
        L"1, Level 2,", L"Dithering", L",",      L"13\r\n",  L"2, Level 3,", longName, L",", L"100\r\n",
    };
    EXPECT_EQ(expected, kernel.debugOutput);
}

TEST_F(CommonUI, DocumentItemIsOneBlankItemWhoseApplyReportsForThePages)
{
    FakeKernel kernel;
    ASSERT_EQ(S_OK, core_->CountItems(SheetKind::Document));
    EXPECT_EQ(1u, param().cOEMOptItems);
    EXPECT_EQ(nullptr, param().OEMCUIPCallback);  // the count question changes nothing else

    ASSERT_EQ(S_OK, TwoCalls(OEMCUIP_DOCPROP));
    ASSERT_EQ(1u, core_->pluginItemCount());
    OPTITEM blank = {};
    blank.cbSize = sizeof(OPTITEM);
    EXPECT_EQ(0, std::memcmp(&blank, &item(), sizeof(OPTITEM)));
    EXPECT_EQ(&DocItemCallback, param().OEMCUIPCallback);
    EXPECT_EQ(Printer, plugin_->printer());

    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_APPLYNOW));  // no document sheet: nothing to report

    DriverCoreStandIn core(plugin_);
    PROPSHEETUI_INFO init = core.Info(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(S_OK, plugin_->DocumentPropertySheets(&init, 0));
    const size_t registrationCalls = core.calls.size();
    CPSUICBPARAM apply = {};
    apply.cbSize = sizeof(apply);
    apply.Reason = CPSUICB_REASON_APPLYNOW;
    apply.UserData = 0x6666;  // never taken for a SheetContext
    EXPECT_EQ(CPSUICB_ACTION_NONE, param().OEMCUIPCallback(&apply, &param()));
    ASSERT_EQ(1u, core.setResults.size());
    EXPECT_EQ(0, core.setResults[0].lParam1);  // the SheetContext's hPage
    EXPECT_EQ(CPSUI_OK, core.setResults[0].lParam2);
    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_APPLYNOW));
    EXPECT_EQ(2u, core.setResults.size());

    EXPECT_EQ(CPSUICB_ACTION_OPTIF_CHANGED, Callback(CPSUICB_REASON_SETACTIVE));
    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_SEL_CHANGED));
    EXPECT_EQ(registrationCalls + 2, core.calls.size());

    PROPSHEETUI_INFO destroy = core.Info(PROPSHEETUI_REASON_DESTROY);
    ASSERT_EQ(S_OK, plugin_->DocumentPropertySheets(&destroy, 0));
    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_APPLYNOW));
    EXPECT_EQ(2u, core.setResults.size());
}

TEST_F(CommonUI, OffsetItemShowsTheStoredOffsetOrTwo)
{
    FakePrinterData printer;
    struct Case {
        bool stored;
        DWORD value;
        LONG shown;
    } cases[] = {{false, 0, 2}, {true, 9, 2}, {true, 5, 5}, {true, 0, 0}, {true, 8, 8}};
    for (const Case& c : cases) {
        printer.values.clear();
        if (c.stored) printer.SetDword(L"OEMUI_VALUE", c.value);
        const int readsBefore = printer.reads;

        ASSERT_EQ(S_OK, core_->CountItems(SheetKind::Printer));
        EXPECT_EQ(1u, param().cOEMOptItems);
        EXPECT_EQ(readsBefore, printer.reads);  // the count question reads nothing

        ASSERT_EQ(S_OK, TwoCalls(OEMCUIP_PRNPROP));
        ASSERT_EQ(1u, core_->pluginItemCount());
        const OPTITEM& item = this->item();
        EXPECT_EQ(c.shown, item.Sel) << c.value;
        EXPECT_EQ(Printer, printer.lastPrinter);
        EXPECT_EQ(sizeof(OPTITEM), item.cbSize);
        EXPECT_EQ(1, item.Level);
        EXPECT_EQ(static_cast<DWORD>(OPTIF_COLLAPSE), item.Flags);
        EXPECT_EQ(0, item.DMPubID);
        ASSERT_NE(nullptr, item.pName);
        EXPECT_STREQ(L"Offset (1/8 \")", item.pName);
        ASSERT_NE(nullptr, item.pOptType);
        EXPECT_EQ(TVOT_UDARROW, item.pOptType->Type);
        EXPECT_EQ(2, item.pOptType->Count);
        EXPECT_EQ(0u, item.pOptType->pOptParam[1].IconID);
        EXPECT_EQ(8, item.pOptType->pOptParam[1].lParam);
        EXPECT_EQ(&PrinterItemCallback, param().OEMCUIPCallback);
    }
}

TEST_F(CommonUI, OffsetApplyStoresTheChosenOffsetKeepingTheStoredType)
{
    FakePrinterData printer;
    ASSERT_EQ(S_OK, TwoCalls(OEMCUIP_PRNPROP));
    item().Sel = 7;

    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_SETACTIVE));
    EXPECT_EQ(0, printer.writes);

    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_APPLYNOW));
    ASSERT_TRUE(printer.Has(L"OEMUI_VALUE"));
    EXPECT_EQ(7u, printer.Dword(L"OEMUI_VALUE"));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), printer.values[L"OEMUI_VALUE"].type);  // a new value
    EXPECT_EQ(4u, printer.values[L"OEMUI_VALUE"].data.size());
    EXPECT_EQ(Printer, printer.lastPrinter);

    printer.SetDword(L"OEMUI_VALUE", 1, REG_BINARY);
    item().Sel = 3;
    EXPECT_EQ(CPSUICB_ACTION_NONE, Callback(CPSUICB_REASON_APPLYNOW));
    EXPECT_EQ(3u, printer.Dword(L"OEMUI_VALUE"));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), printer.values[L"OEMUI_VALUE"].type);
}

TEST_F(CommonUI, OffsetItemIsHiddenWhenItsRangeCannotBeAllocated)
{
    FakePrinterData printer;
    DriverCoreSetup fixedHeap;
    fixedHeap.heapMaximumSize = 0x10000;
    core_ = std::make_unique<DriverCoreStandIn>(plugin_, fixedHeap);
    core_->ExhaustHeap();
    ASSERT_EQ(S_OK, TwoCalls(OEMCUIP_PRNPROP));
    EXPECT_EQ(nullptr, item().pOptType);
    EXPECT_EQ(nullptr, item().pName);
    EXPECT_EQ(static_cast<DWORD>(OPTIF_COLLAPSE | OPTIF_HIDE), item().Flags);
}

TEST_F(CommonUI, UnknownModeOrMissingParametersFailWithInvalidParameter)
{
    FakeKernel kernel;
    SetLastError(0);
    OEMCUIPPARAM param = core_->ItemParam(SheetKind::Printer);
    EXPECT_EQ(E_FAIL, plugin_->CommonUIProp(3, &param));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(Printer, plugin_->printer());  // copied before the mode was looked at

    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin_->CommonUIProp(OEMCUIP_PRNPROP, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_TRUE(kernel.debugOutput.empty());
}

TEST(OptItemHelpers, CreateOptTypeSizesEveryRecordAndFreesTheTypeWhenParametersFail)
{
    HANDLE heap = HeapCreate(0, 0, 0);
    POPTTYPE type = CreateOptType(heap, 3);
    ASSERT_NE(nullptr, type);
    EXPECT_EQ(sizeof(OPTTYPE), type->cbSize);
    EXPECT_EQ(3, type->Count);
    EXPECT_EQ(3 * sizeof(OPTPARAM), HeapSize(heap, 0, type->pOptParam));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sizeof(OPTPARAM), type->pOptParam[i].cbSize);
        EXPECT_EQ(nullptr, type->pOptParam[i].pData);
    }
    HeapDestroy(heap);

    // Room for the type but not for 0xFFFF parameters: nothing is left behind.
    heap = HeapCreate(0, 0x10000, 0x10000);
    EXPECT_EQ(nullptr, CreateOptType(heap, 0xFFFF));
    PROCESS_HEAP_ENTRY entry = {};
    size_t busy = 0;
    while (HeapWalk(heap, &entry)) busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    EXPECT_EQ(0u, busy);
    HeapDestroy(heap);
}

TEST(OptItemHelpers, LoadHeapStringTrimsToTheStringOrGivesNull)
{
    HANDLE heap = HeapCreate(0, 0, 0);
    const HANDLE module = ProgramModule();
    PWSTR name = LoadHeapString(heap, module, 9);
    ASSERT_NE(nullptr, name);
    EXPECT_STREQ(L"Full 8 Channels", name);
    EXPECT_EQ(16 * sizeof(WCHAR), HeapSize(heap, 0, name));
    EXPECT_EQ(nullptr, LoadHeapString(heap, module, 4999));
    HeapDestroy(heap);
}
