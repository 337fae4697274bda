#include "emulation/driver_core.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "emulation/dialog_driver.h"

namespace {

constexpr LONG_PTR FIRST_PAGE_HANDLE = 0x7100;  // made-up page handles: 0x7101, 0x7102, ...
constexpr ULONG_PTR UNTOUCHED_RESULT = 0xC0FFEE;
constexpr int UNSET_ITEM_BYTE = 0xCC;  // the room for the plug-in's items before it fills them
HANDLE const MADE_UP_PRINTER = reinterpret_cast<HANDLE>(0x5150);

}  // namespace

DriverCoreStandIn::DriverCoreStandIn(IPrintOemUI* plugin, const DriverCoreSetup& setup)
    : plugin_(plugin),
      module_(setup.pluginModule),
      heap_(HeapCreate(0, setup.heapMaximumSize, setup.heapMaximumSize)),
      printerName_(setup.printerName),
      // Room for a whole section even when the plug-in refuses to size one, so nothing reads past it.
      job_(sizeof(DEVMODEW) + sizeof(PrivateDevmode), 0)
{
    uiObject_.cbSize = sizeof(uiObject_);
    if (heap_ == nullptr) {
        error_ = L"cannot create the plug-in heap";
        return;
    }
    if (!LendPrinter(setup) || !MakeJobDevmode()) return;
    documentParam_.cbSize = sizeof(documentParam_);
    documentParam_.poemuiobj = &uiObject_;
    documentParam_.hPrinter = printer_;
    documentParam_.pPrinterName = &printerName_[0];
    documentParam_.hModule = module_;
    documentParam_.hOEMHeap = heap_;
    printerParam_ = documentParam_;
    documentParam_.pPublicDM = publicDevmode();
    documentParam_.pOEMDM = privateSection();
}

DriverCoreStandIn::~DriverCoreStandIn()
{
    CloseSheet();
    if (ownsPrinter_) ClosePrinter(printer_);
    // Everything the plug-in allocated for its items and pages goes with the heap, as in the driver.
    if (heap_ != nullptr) HeapDestroy(heap_);
}

bool DriverCoreStandIn::LendPrinter(const DriverCoreSetup& setup)
{
    switch (setup.printer) {
        case CorePrinter::MadeUp:
            printer_ = MADE_UP_PRINTER;
            return true;
        case CorePrinter::None:
            return true;
        case CorePrinter::Spooler:
            break;
    }
    LPWSTR name = &printerName_[0];
    PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(name, &printer_, &access) && !OpenPrinterW(name, &printer_, nullptr)) {
        printer_ = nullptr;
        error_ = L"cannot open the printer \"" + printerName_ + L"\" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    ownsPrinter_ = true;
    return true;
}

bool DriverCoreStandIn::MakeJobDevmode()
{
    OEMDMPARAM size = DevModeRecord(printer_, module_);
    if (plugin_ == nullptr || FAILED(plugin_->DevMode(OEMDM_SIZE, &size)) || size.cbBufSize < sizeof(PrivateDevmode)) {
        error_ = L"DevMode(OEMDM_SIZE) failed";
        return false;
    }
    privateSize_ = size.cbBufSize;
    job_.assign(sizeof(DEVMODEW) + privateSize_, 0);
    PDEVMODEW publicPart = publicDevmode();
    wcsncpy(publicPart->dmDeviceName, printerName_.c_str(), CCHDEVICENAME - 1);
    publicPart->dmSpecVersion = DM_SPECVERSION;
    publicPart->dmSize = sizeof(DEVMODEW);
    publicPart->dmDriverExtra = static_cast<WORD>(privateSize_);
    publicPart->dmFields = DM_ORIENTATION | DM_COPIES;
    publicPart->dmOrientation = DMORIENT_PORTRAIT;
    publicPart->dmCopies = 1;
    return Defaults(privateSection(), &error_);
}

bool DriverCoreStandIn::Defaults(void* section, std::wstring* error)
{
    OEMDMPARAM param = DevModeParam();
    param.pOEMDMOut = section;
    if (SUCCEEDED(plugin_->DevMode(OEMDM_DEFAULT, &param))) return true;
    *error = L"DevMode(OEMDM_DEFAULT) failed";
    return false;
}

bool DriverCoreStandIn::MergeIntoDefaults(void* section, std::wstring* error)
{
    // Fresh defaults, with the job's section merged into them; the sheet then edits the result.
    std::vector<BYTE> merged(privateSize_, 0);
    if (!Defaults(merged.data(), error)) return false;
    OEMDMPARAM param = DevModeParam();
    param.pPublicDMOut = publicDevmode();
    param.pOEMDMIn = section;
    param.pOEMDMOut = merged.data();
    if (FAILED(plugin_->DevMode(OEMDM_MERGE, &param))) {
        *error = L"DevMode(OEMDM_MERGE) failed";
        return false;
    }
    memcpy(section, merged.data(), privateSize_);
    return true;
}

OEMDMPARAM DriverCoreStandIn::DevModeRecord(HANDLE printer, HMODULE module)
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = printer;
    param.hModule = module;
    return param;
}

OEMDMPARAM DriverCoreStandIn::DevModeParam()
{
    OEMDMPARAM param = DevModeRecord(printer_, module_);
    param.pPublicDMIn = publicDevmode();
    param.cbBufSize = privateSize_;
    return param;
}

OEMCUIPPARAM DriverCoreStandIn::ItemParam(SheetKind kind)
{
    const OEMUIPSPARAM& sheet = *sheetParam(kind);
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof(param);
    param.poemuiobj = sheet.poemuiobj;
    param.hPrinter = sheet.hPrinter;
    param.pPrinterName = sheet.pPrinterName;
    param.hModule = sheet.hModule;
    param.hOEMHeap = sheet.hOEMHeap;
    param.pPublicDM = sheet.pPublicDM;
    param.pOEMDM = sheet.pOEMDM;
    return param;
}

HRESULT DriverCoreStandIn::CountItems(SheetKind kind, OPTITEM* driverItems, DWORD driverItemCount)
{
    itemMode_ = kind == SheetKind::Document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
    items_ = ItemParam(kind);
    items_.pDrvOptItems = driverItems;
    items_.cDrvOptItems = driverItemCount;
    itemRoom_.clear();
    return plugin_->CommonUIProp(itemMode_, &items_);
}

HRESULT DriverCoreStandIn::FillItems()
{
    itemRoom_.resize(items_.cOEMOptItems);
    memset(itemRoom_.data(), UNSET_ITEM_BYTE, itemRoom_.size() * sizeof(OPTITEM));
    // No room is no array: the plug-in then takes the call for another count question.
    items_.pOEMOptItems = itemRoom_.empty() ? nullptr : itemRoom_.data();
    return plugin_->CommonUIProp(itemMode_, &items_);
}

LONG DriverCoreStandIn::NotifyItem(WORD reason, DWORD index)
{
    if (items_.OEMCUIPCallback == nullptr || index >= pluginItemCount()) return -1;
    OPTITEM& item = items_.pOEMOptItems[index];
    CPSUICBPARAM callback = {};
    callback.cbSize = sizeof(callback);
    callback.Reason = reason;
    callback.pOptItem = items_.pOEMOptItems;
    callback.cOptItem = static_cast<WORD>(items_.cOEMOptItems);
    callback.pCurItem = &item;
    callback.OldSel = item.Sel;
    callback.UserData = item.UserData;
    return items_.OEMCUIPCallback(&callback, &items_);
}

PROPSHEETUI_INFO DriverCoreStandIn::Info(WORD reason, SheetKind kind)
{
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    info.hComPropSheet = sheetHandle();
    info.pfnComPropSheet = ComPropSheet;
    info.lParamInit = reinterpret_cast<LPARAM>(sheetParam(kind));
    info.Result = UNTOUCHED_RESULT;
    return info;
}

void DriverCoreStandIn::ExhaustHeap()
{
    for (SIZE_T size = 4096; size >= 8; size /= 2) {
        while (HeapAlloc(heap_, 0, size) != nullptr) {
        }
    }
}

void DriverCoreStandIn::StartSheet()
{
    CloseSheet();
    calls.clear();
    pages.clear();
    setResults.clear();
    platformSheet_ = nullptr;
    platformFunction_ = nullptr;
}

void DriverCoreStandIn::PassPagesTo(HANDLE platformSheet, PFNCOMPROPSHEET platformFunction)
{
    platformSheet_ = platformSheet;
    platformFunction_ = platformFunction;
}

LONG_PTR CALLBACK DriverCoreStandIn::ComPropSheet(HANDLE hComPropSheet, UINT function, LPARAM lParam1, LPARAM lParam2)
{
    auto* core = static_cast<DriverCoreStandIn*>(hComPropSheet);
    LONG_PTR returned = 0;  // what the platform answers for functions it does not know
    const bool toPlatform = core->platformFunction_ != nullptr;
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW && lParam1 != 0) {
        core->pages.push_back(*reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
        returned = toPlatform ? core->platformFunction_(core->platformSheet_, function, lParam1, lParam2)
                              : FIRST_PAGE_HANDLE + static_cast<LONG_PTR>(core->pages.size());
    } else if (function == CPSFUNC_SET_RESULT) {
        returned = core->setResultAnswer;
        core->setResults.push_back({function, lParam1, lParam2, returned});
    } else if (toPlatform) {
        returned = core->platformFunction_(core->platformSheet_, function, lParam1, lParam2);
    }
    core->calls.push_back({function, lParam1, lParam2, returned});
    return returned;
}

HWND DriverCoreStandIn::OpenSheet(std::initializer_list<size_t> positions)
{
    CloseSheet();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    std::vector<HPROPSHEETPAGE> handles;
    auto add = [&](size_t position) {
        if (position < pages.size()) handles.push_back(CreatePropertySheetPageW(&pages[position]));
    };
    if (positions.size() == 0) {
        for (size_t position = 0; position < pages.size(); ++position) add(position);
    } else {
        for (size_t position : positions) add(position);
    }

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_NOCONTEXTHELP;
    header.pszCaption = L"Document Properties";
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    const INT_PTR created = PropertySheetW(&header);
    sheet_ = created > 0 ? reinterpret_cast<HWND>(created) : nullptr;
    PumpMessages();
    return sheet_;
}

HWND DriverCoreStandIn::ShowPage(size_t sheetPosition)
{
    if (sheet_ == nullptr) return nullptr;
    SendMessageW(sheet_, PSM_SETCURSEL, sheetPosition, 0);
    PumpMessages();
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void DriverCoreStandIn::Press(int sheetButton)
{
    if (sheet_ == nullptr) return;
    SendMessageW(sheet_, PSM_PRESSBUTTON, sheetButton, 0);
    PumpMessages();
}

void DriverCoreStandIn::CloseSheet()
{
    if (sheet_ != nullptr && IsWindow(sheet_)) DestroyWindow(sheet_);
    sheet_ = nullptr;
    PumpMessages();
}

std::vector<std::wstring> DriverCoreStandIn::TabTitles() const
{
    std::vector<std::wstring> titles;
    if (sheet_ == nullptr) return titles;
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETTABCONTROL, 0, 0));
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = ARRAYSIZE(text);
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        titles.push_back(text);
    }
    return titles;
}
