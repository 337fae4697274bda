#include "host/property_sheet.h"

#include <commctrl.h>

#include "host/dialog_template.h"

namespace {

// The common property sheet's entry type is stdcall on x86; MinGW's compstui.h leaves out the
// calling convention, so the host declares it itself.
typedef LONG_PTR(CALLBACK* PFNPROPSHEETUI_STDCALL)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
using CommonPropertySheetUIWFn = LONG(WINAPI*)(HWND, PFNPROPSHEETUI_STDCALL, LPARAM, LPDWORD);

constexpr int OFFSET_NAME_LABEL = 100;
constexpr int OFFSET_EDIT = 101;
constexpr int OFFSET_UPDOWN = 102;
constexpr int OFFSET_RANGE_LABEL = 103;

// The host's page for the printer's option items: the Offset item's name, an edit field with an
// up-down control over the item's range, and the range in words.
std::vector<BYTE> BuildOffsetPageTemplate()
{
    DialogTemplateWriter page(WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT, 0, 0, 230, 90, L"Device Settings",
                              8, L"MS Sans Serif");
    page.AddControl(WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 16, 100, 10, OFFSET_NAME_LABEL, L"Static", L"");
    page.AddControl(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_NUMBER, 120, 14, 40, 12, OFFSET_EDIT, L"Edit",
                    L"");
    page.AddControl(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 0, 0, 0,
                    0, OFFSET_UPDOWN, UPDOWN_CLASSW, L"");
    page.AddControl(WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 34, 200, 10, OFFSET_RANGE_LABEL, L"Static", L"");
    return page.bytes();
}

}  // namespace

// The entry points the common property sheet and the plug-in call; each finds its host again.
struct SheetCallbacks {
    static LONG_PTR CALLBACK SheetUi(PPROPSHEETUI_INFO info, LPARAM lParam)
    {
        if (info == nullptr) return -1;
        auto* host = reinterpret_cast<PropertySheetHost*>(info->lParamInit);
        if (host == nullptr) host = reinterpret_cast<PropertySheetHost*>(info->UserData);
        return host != nullptr ? host->OnSheetReason(info, lParam) : -1;
    }

    static LONG_PTR CALLBACK ComPropSheet(HANDLE handle, UINT function, LPARAM lParam1, LPARAM lParam2)
    {
        auto* host = static_cast<PropertySheetHost*>(handle);
        return host != nullptr ? host->OnComPropSheet(function, lParam1, lParam2) : 0;
    }
};

struct OffsetPageCallbacks {
    static PropertySheetHost* Host(HWND page)
    {
        return reinterpret_cast<PropertySheetHost*>(GetWindowLongPtrW(page, DWLP_USER));
    }

    static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            auto* host = reinterpret_cast<PropertySheetHost*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
            SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(host));
            host->offsetPage_ = page;
            const OPTITEM* item = host->items_.pluginItems();
            if (item == nullptr) return TRUE;
            LONG low = 0, high = 0;
            if (item->pOptType != nullptr && item->pOptType->Count >= 2) {
                low = static_cast<LONG>(item->pOptType->pOptParam[1].IconID);
                high = static_cast<LONG>(item->pOptType->pOptParam[1].lParam);
            }
            SetDlgItemTextW(page, OFFSET_NAME_LABEL, OptionItemName(*item, host->session_.module()).c_str());
            SendDlgItemMessageW(page, OFFSET_UPDOWN, UDM_SETRANGE32, low, high);
            SendDlgItemMessageW(page, OFFSET_UPDOWN, UDM_SETPOS32, 0, item->Sel);
            const std::wstring range = L"From " + std::to_wstring(low) + L" to " + std::to_wstring(high) +
                                       L" eighths; kept by the plug-in in the printer data.";
            SetDlgItemTextW(page, OFFSET_RANGE_LABEL, range.c_str());
            return TRUE;
        }
        PropertySheetHost* host = Host(page);
        if (host == nullptr) return FALSE;
        if (message == WM_COMMAND && LOWORD(wParam) == OFFSET_EDIT && HIWORD(wParam) == EN_CHANGE) {
            SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
            return TRUE;
        }
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY)) {
            OPTITEM* item = host->items_.pluginItems();
            if (item != nullptr) {
                BOOL failed = FALSE;
                const LRESULT value = SendDlgItemMessageW(page, OFFSET_UPDOWN, UDM_GETPOS32, 0,
                                                          reinterpret_cast<LPARAM>(&failed));
                item->Sel = static_cast<LONG>(value);
                host->items_.Notify(CPSUICB_REASON_APPLYNOW, 0);
                ++host->record_.applies;
            }
            SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        if (message == WM_DESTROY) host->offsetPage_ = nullptr;
        return FALSE;
    }
};

PropertySheetHost::PropertySheetHost(HostSession& session, CommonUiExchange& items, SheetKind kind, UiWatch& watch,
                                     FILE* log)
    : session_(session), items_(items), kind_(kind), watch_(watch), log_(log)
{
    pageParam_.cbSize = sizeof(pageParam_);
    pageParam_.poemuiobj = session.uiObject();
    pageParam_.hPrinter = session.printer();
    pageParam_.pPrinterName = const_cast<PWSTR>(session.printerName().c_str());
    pageParam_.hModule = session.module();
    pageParam_.hOEMHeap = session.heap();
    if (kind == SheetKind::Document) {
        pageParam_.pPublicDM = session.publicDevmode();
        pageParam_.pOEMDM = session.privateSection();
    }
}

bool PropertySheetHost::Show(std::wstring* error)
{
    HMODULE compstui = LoadLibraryW(L"compstui.dll");
    auto show = compstui != nullptr ? reinterpret_cast<CommonPropertySheetUIWFn>(reinterpret_cast<void*>(
                                          GetProcAddress(compstui, "CommonPropertySheetUIW")))
                                    : nullptr;
    if (show == nullptr) {
        *error = L"the common property sheet (compstui.dll) is not available";
        return false;
    }
    appliedSection_ = *session_.privateSection();
    watch_.onSheetApplied = [this](bool ok) { OnApplied(ok); };
    DWORD result = 0;
    const LONG shown = show(nullptr, &SheetCallbacks::SheetUi, reinterpret_cast<LPARAM>(this), &result);
    watch_.onSheetApplied = nullptr;
    // Wine's sheet reports the same result for OK and Cancel; the host saw which one it was.
    record_.sheetResult = closedWithOk_ ? CPSUI_OK : CPSUI_CANCEL;
    // Cancel leaves the job settings as they were at the last OK or Apply, as the driver does.
    if (kind_ == SheetKind::Document && record_.sheetResult != CPSUI_OK) *session_.privateSection() = appliedSection_;
    if (shown < 0) {
        *error = L"CommonPropertySheetUIW failed (" + std::to_wstring(shown) + L")";
        return false;
    }
    return true;
}

LONG_PTR PropertySheetHost::OnSheetReason(PPROPSHEETUI_INFO info, LPARAM lParam)
{
    const bool document = kind_ == SheetKind::Document;
    // The plug-in's view of the sheet: its own record, with the host as the sheet.
    pluginInfo_.cbSize = sizeof(pluginInfo_);
    pluginInfo_.Version = PROPSHEETUI_INFO_VERSION;
    pluginInfo_.hComPropSheet = static_cast<HANDLE>(this);
    pluginInfo_.pfnComPropSheet = &SheetCallbacks::ComPropSheet;
    pluginInfo_.lParamInit = reinterpret_cast<LPARAM>(&pageParam_);
    pluginInfo_.Reason = info->Reason;
    auto callPlugin = [&](LPARAM argument) {
        return document ? session_.plugin()->DocumentPropertySheets(&pluginInfo_, argument)
                        : session_.plugin()->DevicePropertySheets(&pluginInfo_, argument);
    };

    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
        info->UserData = reinterpret_cast<ULONG_PTR>(this);
        sheetHandle_ = info->hComPropSheet;
        sheetFunction_ = info->pfnComPropSheet;
        record_.initResult = callPlugin(reinterpret_cast<LPARAM>(&pageParam_));
        if (!document) AddOffsetPage();
        fwprintf(log_, L"  %ls: %u page(s) added by the plug-in, %d accepted by the common property sheet\n",
                 document ? L"DocumentPropertySheets" : L"DevicePropertySheets",
                 static_cast<unsigned>(record_.addedTemplates.size()), record_.pagesAccepted);
        info->Result = 1;
        return 1;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        if (header == nullptr) return -1;
        PROPSHEETUI_INFO_HEADER pluginHeader = *header;
        pluginHeader.pTitle = nullptr;
        if (SUCCEEDED(callPlugin(reinterpret_cast<LPARAM>(&pluginHeader))) && pluginHeader.pTitle != nullptr &&
            document) {
            record_.pluginTitle = pluginHeader.pTitle;
        }
        title_ = session_.printerName() + (document ? L" Document Properties" : L" Properties");
        header->pTitle = const_cast<LPWSTR>(title_.c_str());
        header->Flags = 0;
        return 1;
    }
    case PROPSHEETUI_REASON_DESTROY:
        callPlugin(lParam);
        return 1;
    default:
        return callPlugin(lParam) == S_OK ? 1 : 0;
    }
}

LONG_PTR PropertySheetHost::OnComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2)
{
    switch (function) {
    case CPSFUNC_ADD_PROPSHEETPAGEW: {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
        record_.addedTemplates.push_back(page != nullptr ? reinterpret_cast<ULONG_PTR>(page->pszTemplate) : 0);
        const LONG_PTR added = sheetFunction_(sheetHandle_, function, lParam1, lParam2);
        if (added > 0) ++record_.pagesAccepted;
        return added;
    }
    case CPSFUNC_SET_RESULT:
        // The plug-in reports the result of its pages; the host, as the driver, takes it.
        ++record_.setResultCalls;
        record_.lastSetResult = lParam2;
        return 1;
    default:
        record_.otherFunctions.push_back(function);
        return sheetFunction_(sheetHandle_, function, lParam1, lParam2);
    }
}

void PropertySheetHost::OnApplied(bool ok)
{
    if (ok) closedWithOk_ = true;
    if (kind_ != SheetKind::Document) return;
    // The core applies its option items, the plug-in's among them, when the sheet is applied.
    items_.Notify(CPSUICB_REASON_APPLYNOW, 0);
    ++record_.applies;
    appliedSection_ = *session_.privateSection();
}

void PropertySheetHost::AddOffsetPage()
{
    offsetTemplate_ = BuildOffsetPageTemplate();
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(offsetTemplate_.data());
    page.pfnDlgProc = &OffsetPageCallbacks::PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    sheetFunction_(sheetHandle_, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0);
}

bool PropertySheetHost::SetOffsetOnPage(long value, std::wstring* why)
{
    if (offsetPage_ == nullptr) {
        *why = L"the printer's Offset page is not open";
        return false;
    }
    LONG low = 0, high = 0;
    SendDlgItemMessageW(offsetPage_, OFFSET_UPDOWN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    if (value < low || value > high) {
        *why = L"the Offset goes from " + std::to_wstring(low) + L" to " + std::to_wstring(high);
        return false;
    }
    SendDlgItemMessageW(offsetPage_, OFFSET_UPDOWN, UDM_SETPOS32, 0, value);
    return true;
}
