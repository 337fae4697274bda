#include "host/sheet/property_sheet.h"

#include <commctrl.h>

#include "host/session/common_ui_items.h"
#include "host/sheet/device_settings_ids.h"

namespace {

// The common property sheet's entry type is stdcall on x86; MinGW's compstui.h leaves out the
// calling convention, so the host declares it itself.
typedef LONG_PTR(CALLBACK* PFNPROPSHEETUI_STDCALL)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
using CommonPropertySheetUIWFn = LONG(WINAPI*)(HWND, PFNPROPSHEETUI_STDCALL, LPARAM, LPDWORD);

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
            const OPTITEM* item = host->core_.pluginItems();
            if (item == nullptr) return TRUE;
            LONG low = 0, high = 0;
            if (item->pOptType != nullptr && item->pOptType->Count >= 2) {
                low = static_cast<LONG>(item->pOptType->pOptParam[1].IconID);
                high = static_cast<LONG>(item->pOptType->pOptParam[1].lParam);
            }
            SetDlgItemTextW(page, IDC_OFFSET_NAME, OptionItemName(*item, host->session_.module()).c_str());
            SendDlgItemMessageW(page, IDC_OFFSET_UPDOWN, UDM_SETRANGE32, low, high);
            SendDlgItemMessageW(page, IDC_OFFSET_UPDOWN, UDM_SETPOS32, 0, item->Sel);
            const std::wstring range = L"From " + std::to_wstring(low) + L" to " + std::to_wstring(high) +
                                       L" eighths; kept by the plug-in in the printer data.";
            SetDlgItemTextW(page, IDC_OFFSET_RANGE, range.c_str());
            return TRUE;
        }
        PropertySheetHost* host = Host(page);
        if (host == nullptr) return FALSE;
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_OFFSET_EDIT && HIWORD(wParam) == EN_CHANGE) {
            SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
            return TRUE;
        }
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY)) {
            OPTITEM* item = host->core_.pluginItems();
            if (item != nullptr) {
                BOOL failed = FALSE;
                const LRESULT value =
                    SendDlgItemMessageW(page, IDC_OFFSET_UPDOWN, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
                item->Sel = static_cast<LONG>(value);
                host->core_.NotifyItem(CPSUICB_REASON_APPLYNOW);
                ++host->record_.applies;
            }
            SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        if (message == WM_DESTROY) host->offsetPage_ = nullptr;
        return FALSE;
    }
};

PropertySheetHost::PropertySheetHost(HostSession& session, SheetKind kind, UiWatch& watch, FILE* log)
    : session_(session), kind_(kind), watch_(watch), log_(log), core_(session.core())
{
    core_.StartSheet();
}

bool PropertySheetHost::Show(std::wstring* error)
{
    if (kind_ == SheetKind::Document && !session_.MergeIntoDefaults(log_, error)) return false;
    if (!ExchangeOptionItems(session_, kind_, log_)) {
        *error = L"CommonUIProp failed";
        return false;
    }
    HMODULE compstui = LoadLibraryW(L"compstui.dll");
    auto show = compstui != nullptr ? reinterpret_cast<CommonPropertySheetUIWFn>(
                                          reinterpret_cast<void*>(GetProcAddress(compstui, "CommonPropertySheetUIW")))
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
    RecordPluginCalls();
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
    // The plug-in's view of the sheet: its own record, with the driver core as the sheet.
    pluginInfo_ = core_.Info(info->Reason, kind_);
    auto callPlugin = [&](LPARAM argument) {
        return document ? session_.plugin()->DocumentPropertySheets(&pluginInfo_, argument)
                        : session_.plugin()->DevicePropertySheets(&pluginInfo_, argument);
    };

    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            info->UserData = reinterpret_cast<ULONG_PTR>(this);
            sheetHandle_ = info->hComPropSheet;
            sheetFunction_ = info->pfnComPropSheet;
            core_.PassPagesTo(sheetHandle_, sheetFunction_);
            record_.initResult = callPlugin(reinterpret_cast<LPARAM>(core_.sheetParam(kind_)));
            RecordPluginCalls();
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

void PropertySheetHost::RecordPluginCalls()
{
    // What the plug-in asked of the sheet, as the core recorded it.
    record_.addedTemplates.clear();
    record_.otherFunctions.clear();
    record_.pagesAccepted = 0;
    for (const DriverCoreStandIn::Call& call : core_.calls) {
        if (call.function == CPSFUNC_ADD_PROPSHEETPAGEW && call.lParam1 != 0) {
            if (call.returned > 0) ++record_.pagesAccepted;
        } else if (call.function != CPSFUNC_SET_RESULT) {
            record_.otherFunctions.push_back(call.function);
        }
    }
    for (const PROPSHEETPAGEW& page : core_.pages)
        record_.addedTemplates.push_back(reinterpret_cast<ULONG_PTR>(page.pszTemplate));
    record_.setResultCalls = static_cast<int>(core_.setResults.size());
    record_.lastSetResult = core_.setResults.empty() ? 0 : core_.setResults.back().lParam2;
}

void PropertySheetHost::OnApplied(bool ok)
{
    if (ok) closedWithOk_ = true;
    if (kind_ != SheetKind::Document) return;
    // The core applies its option items, the plug-in's among them, when the sheet is applied.
    core_.NotifyItem(CPSUICB_REASON_APPLYNOW);
    ++record_.applies;
    appliedSection_ = *session_.privateSection();
}

void PropertySheetHost::AddOffsetPage()
{
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.hInstance = GetModuleHandleW(nullptr);  // the program, which carries the host's resources
    page.pszTemplate = MAKEINTRESOURCEW(IDD_DEVICE_SETTINGS);
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
    SendDlgItemMessageW(offsetPage_, IDC_OFFSET_UPDOWN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    if (value < low || value > high) {
        *why = L"the Offset goes from " + std::to_wstring(low) + L" to " + std::to_wstring(high);
        return false;
    }
    SendDlgItemMessageW(offsetPage_, IDC_OFFSET_UPDOWN, UDM_SETPOS32, 0, value);
    return true;
}
