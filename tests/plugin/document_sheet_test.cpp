// The document properties: the plug-in answers the sheet's reasons and adds its five pages through
// the driver core's pfnComPropSheet, with its record on the driver's heap.
#include <gtest/gtest.h>

#include "emulation/driver_core.h"
#include "emulation/spooler_recorder.h"
#include "frame/plugin.h"
#include "pages/page_procs.h"
#include "sheet/module_resources.h"
#include "sheet/sheet_context.h"
#include "support/shipping_dll.h"

namespace {

constexpr WORD PageTemplateIds[] = {113, 103, 106, 112, 111};
const DLGPROC PageProcedures[] = {PrintModePageProc, InkLevelPageProc, UtilitiesPageProc, PurgePageProc, AboutPageProc};

class DocumentSheet : public ::testing::Test {
protected:
    DocumentSheet() { ModuleHandle = ProgramModule(); }
    ~DocumentSheet() override { EXPECT_EQ(0u, plugin->Release()); }

    HRESULT Call(PROPSHEETUI_INFO& info, LPARAM lParam = 0) { return plugin->DocumentPropertySheets(&info, lParam); }

    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core{plugin};
};

}  // namespace

TEST_F(DocumentSheet, InitAddsTheFivePagesInOrderWithOneRecordOnTheDriversHeap)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(S_OK, Call(info));

    ASSERT_EQ(5u, core.calls.size());
    ASSERT_EQ(5u, core.pages.size());
    const auto* context = reinterpret_cast<SheetContext*>(core.pages[0].lParam);
    ASSERT_NE(nullptr, context);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const PROPSHEETPAGEW& page = core.pages[i];
        EXPECT_EQ(static_cast<UINT>(CPSFUNC_ADD_PROPSHEETPAGEW), core.calls[i].function);
        EXPECT_EQ(0, core.calls[i].lParam2);
        EXPECT_EQ(sizeof(PROPSHEETPAGEW), page.dwSize);
        // Every page in the plug-in's one Common Controls 6 context.
        EXPECT_EQ(static_cast<DWORD>(PSP_USEFUSIONCONTEXT), page.dwFlags);
        EXPECT_EQ(PluginActivationContext(), page.hActCtx);
        EXPECT_NE(INVALID_HANDLE_VALUE, page.hActCtx);
        EXPECT_EQ(ProgramModule(), page.hInstance);
        EXPECT_EQ(PageTemplateIds[i], TemplateIdOf(page));
        EXPECT_EQ(PageProcedures[i], page.pfnDlgProc);
        EXPECT_EQ(i < 4 ? reinterpret_cast<LPARAM>(context) : 0, page.lParam);
        EXPECT_EQ(nullptr, page.pszTitle);
        EXPECT_EQ(nullptr, page.pfnCallback);
    }
    EXPECT_EQ(static_cast<ULONG_PTR>(core.calls[4].returned), info.Result);

    EXPECT_EQ(sizeof(SheetContext), HeapSize(core.heap(), 0, context));
    EXPECT_EQ(core.sheetHandle(), context->hComPropSheet);
    EXPECT_EQ(nullptr, context->hPage);
    EXPECT_EQ(core.sheetParam(), context->pOemUiParam);
    EXPECT_EQ(&DriverCoreStandIn::ComPropSheet, context->pfnComPropSheet);
    EXPECT_EQ(context, plugin->sheetContext());
}

TEST_F(DocumentSheet, EachInitMakesARecordOfItsOwnButSharesTheActivationContext)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    Call(info);
    Call(info);
    ASSERT_EQ(10u, core.pages.size());
    EXPECT_NE(core.pages[0].lParam, core.pages[5].lParam);
    EXPECT_EQ(core.pages[0].hActCtx, core.pages[5].hActCtx);
    EXPECT_EQ(reinterpret_cast<SheetContext*>(core.pages[5].lParam), plugin->sheetContext());
}

TEST_F(DocumentSheet, DestroyForgetsTheRecordThatGoesWithTheHeap)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    Call(info);
    ASSERT_NE(nullptr, plugin->sheetContext());
    info = core.Info(PROPSHEETUI_REASON_DESTROY);
    EXPECT_EQ(S_OK, Call(info));
    EXPECT_EQ(1u, info.Result);
    EXPECT_EQ(nullptr, plugin->sheetContext());
    EXPECT_EQ(5u, core.calls.size());
}

// Two document sheets on one plug-in object: closing the first leaves the document item reporting
// Apply for the second sheet's pages.
TEST_F(DocumentSheet, DestroyOfOneSheetKeepsTheRecordOfAnother)
{
    DriverCoreStandIn second(plugin);
    ASSERT_EQ(S_OK, second.ExchangeItems(SheetKind::Document));

    PROPSHEETUI_INFO first = core.Info(PROPSHEETUI_REASON_INIT);
    PROPSHEETUI_INFO other = second.Info(PROPSHEETUI_REASON_INIT);
    Call(first);
    Call(other);
    first = core.Info(PROPSHEETUI_REASON_DESTROY);
    Call(first);
    second.NotifyItem(CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(1u, second.setResults.size());

    other = second.Info(PROPSHEETUI_REASON_DESTROY);
    Call(other);
    second.NotifyItem(CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(1u, second.setResults.size()) << "the record went with the second sheet's heap";
    EXPECT_TRUE(core.setResults.empty());
}

// A sheet the plug-in cannot add pages to gets none, and no record is made for it.
TEST_F(DocumentSheet, ASheetWithoutItsFunctionGetsNoPages)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    info.pfnComPropSheet = nullptr;
    SetLastError(0);
    EXPECT_EQ(S_OK, Call(info));
    EXPECT_EQ(static_cast<ULONG_PTR>(-1), info.Result);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(nullptr, plugin->sheetContext());
}

TEST_F(DocumentSheet, OtherReasonsAnswerWithoutTouchingTheSheet)
{
    PROPSHEETUI_INFO_HEADER header = {};
    header.cbSize = sizeof(header);
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_GET_INFO_HEADER);
    EXPECT_EQ(S_OK, Call(info, reinterpret_cast<LPARAM>(&header)));
    ASSERT_NE(nullptr, header.pTitle);
    EXPECT_STREQ(L"OEM UI Page", header.pTitle);
    EXPECT_EQ(1u, info.Result);

    SETRESULT_INFO result = {};
    result.cbSize = sizeof(result);
    result.Result = 0x1234;
    info = core.Info(PROPSHEETUI_REASON_SET_RESULT);
    EXPECT_EQ(S_OK, Call(info, reinterpret_cast<LPARAM>(&result)));
    EXPECT_EQ(0x1234u, info.Result);

    info = core.Info(PROPSHEETUI_REASON_GET_ICON);
    EXPECT_EQ(S_OK, Call(info));
    EXPECT_EQ(0u, info.Result);

    info = core.Info(5);
    const ULONG_PTR before = info.Result;
    EXPECT_EQ(S_OK, Call(info));
    EXPECT_EQ(before, info.Result);

    EXPECT_TRUE(core.calls.empty());
}

TEST_F(DocumentSheet, OnlyVersion0x0100IsAccepted)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    info.Version = 0x0101;
    const ULONG_PTR before = info.Result;
    SetLastError(0);
    EXPECT_EQ(E_FAIL, Call(info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(before, info.Result);

    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->DocumentPropertySheets(nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_TRUE(core.calls.empty());
}

TEST(DocumentSheetMemory, AFullHeapAddsNoPagesAndReportsTheFailure)
{
    ModuleHandle = ProgramModule();
    OemUiPlugin* plugin = new OemUiPlugin();
    DriverCoreStandIn core(plugin, {ProgramModule(), 64 * 1024});
    core.ExhaustHeap();
    ASSERT_EQ(nullptr, HeapAlloc(core.heap(), 0, 16)) << "the heap still gives memory";

    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    SetLastError(0);
    EXPECT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
    EXPECT_EQ(static_cast<ULONG_PTR>(-1), info.Result);
    EXPECT_TRUE(core.calls.empty());
    EXPECT_EQ(nullptr, plugin->sheetContext());
    EXPECT_EQ(0u, plugin->Release());
}

// The plug-in's own pages in a real property sheet, with the captions of their templates as tabs.
TEST_F(DocumentSheet, OwnPagesShowInARealSheetUnderTheirTemplateCaptions)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    Call(info);
    HWND sheet = core.OpenSheet({2, 3, 4});
    ASSERT_NE(nullptr, sheet);
    const std::vector<std::wstring> titles = {L"Utilities - VANTREL, Inc. ", L"Print Nozzle Purge by Printhead",
                                              L"About"};
    EXPECT_EQ(titles, core.TabTitles());
    for (int i = 0; i < 3; ++i) {
        HWND page = core.ShowPage(i);
        ASSERT_NE(nullptr, page);
        EXPECT_TRUE(GetWindowLongW(page, GWL_STYLE) & WS_CHILD) << "page " << i << " is shown inside the sheet";
        EXPECT_EQ(sheet, GetParent(page));
    }
}

// The shipping DLL, loaded as the driver loads it: its pages come from its own module and send
// their jobs through its own imports.
class ShippedDocumentSheet : public ShippingDll {};

TEST_F(ShippedDocumentSheet, PagesComeFromTheDllAndTheirButtonsReachTheSpooler)
{
    SpoolerRecorder spooler(Module());
    IPrintOemUI* plugin = NewPlugin();
    DriverCoreStandIn core(plugin, {Module()});
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
    ASSERT_EQ(5u, core.pages.size());
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(Module(), core.pages[i].hInstance);
        EXPECT_EQ(PageTemplateIds[i], TemplateIdOf(core.pages[i]));
        EXPECT_EQ(static_cast<DWORD>(PSP_USEFUSIONCONTEXT), core.pages[i].dwFlags);
    }
    // The DLL's manifest parses on its own as well.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(Module(), path, MAX_PATH);
    ACTCTXW request = {sizeof(request), ACTCTX_FLAG_RESOURCE_NAME_VALID};
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEW(2);
    const HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(INVALID_HANDLE_VALUE, context) << GetLastError();
    ReleaseActCtx(context);

    ASSERT_NE(nullptr, core.OpenSheet({2}));
    HWND page = core.ShowPage(0);
    ASSERT_NE(nullptr, page);
    SendMessageW(GetDlgItem(page, 1002), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, spooler.jobs.size());
    EXPECT_EQ(L"Head Clean", spooler.jobs[0].docName);
    EXPECT_EQ(100u, spooler.jobs[0].bytes.size());

    core.CloseSheet();
    info = core.Info(PROPSHEETUI_REASON_DESTROY);
    EXPECT_EQ(S_OK, plugin->DocumentPropertySheets(&info, 0));
    EXPECT_EQ(0u, plugin->Release());
}

// All five pages in one real sheet: their tabs in order, and Apply reported by the two pages that
// edit the job's settings and by no other.
TEST_F(DocumentSheet, TheFivePagesShowInOrderAndOnlyTheSettingsPagesReportApply)
{
    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    Call(info);
    HWND sheet = core.OpenSheet();
    ASSERT_NE(nullptr, sheet);
    const std::vector<std::wstring> titles = {L"Print Mode", L"Ink Level", L"Utilities - VANTREL, Inc. ",
                                              L"Print Nozzle Purge by Printhead", L"About"};
    EXPECT_EQ(titles, core.TabTitles());
    for (int i = 4; i >= 0; --i) ASSERT_NE(nullptr, core.ShowPage(i)) << "page " << i;

    core.Press(PSBTN_OK);
    ASSERT_EQ(2u, core.setResults.size());
    for (const DriverCoreStandIn::Call& call : core.setResults) {
        EXPECT_EQ(0, call.lParam1) << "the whole group reports, not one page";
        EXPECT_EQ(CPSUI_OK, call.lParam2);
    }
}
