#include "emulation/driver_core.h"

#include <commctrl.h>

#include "emulation/dialog_driver.h"

namespace {

constexpr LONG_PTR FIRST_PAGE_HANDLE = 0x7100;  // made-up page handles: 0x7101, 0x7102, ...
constexpr ULONG_PTR UNTOUCHED_RESULT = 0xC0FFEE;
HANDLE const STAND_IN_PRINTER = reinterpret_cast<HANDLE>(0x5150);

}  // namespace

DriverCoreStandIn::DriverCoreStandIn(HMODULE pluginModule, SIZE_T heapMaximumSize)
    : heap_(HeapCreate(0, heapMaximumSize, heapMaximumSize))
{
    devmode = DefaultPrivateDevmode(DEFAULT_OFFSET_VALUE);
    param.cbSize = sizeof(param);
    param.hPrinter = STAND_IN_PRINTER;
    param.pPrinterName = &printerName_[0];
    param.hModule = pluginModule;
    param.hOEMHeap = heap_;
    param.pOEMDM = &devmode;
}

DriverCoreStandIn::~DriverCoreStandIn()
{
    CloseSheet();
    if (heap_ != nullptr) HeapDestroy(heap_);
}

PROPSHEETUI_INFO DriverCoreStandIn::Info(WORD reason) const
{
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    info.hComPropSheet = sheetHandle();
    info.pfnComPropSheet = ComPropSheet;
    info.lParamInit = reinterpret_cast<LPARAM>(&param);
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

bool JobDevmode::Create(IPrintOemUI* plugin, HMODULE module, HANDLE printer, const std::wstring& deviceName,
                        std::wstring* error)
{
    plugin_ = plugin;
    module_ = module;
    printer_ = printer;
    privateSize_ = 0;
    OEMDMPARAM size = Param();
    if (FAILED(plugin->DevMode(OEMDM_SIZE, &size)) || size.cbBufSize < sizeof(PrivateDevmode)) {
        *error = L"DevMode(OEMDM_SIZE) failed";
        return false;
    }
    privateSize_ = size.cbBufSize;
    bytes_.assign(sizeof(DEVMODEW) + privateSize_, 0);
    PDEVMODEW publicDevmode = publicPart();
    wcsncpy(publicDevmode->dmDeviceName, deviceName.c_str(), CCHDEVICENAME - 1);
    publicDevmode->dmSpecVersion = DM_SPECVERSION;
    publicDevmode->dmSize = sizeof(DEVMODEW);
    publicDevmode->dmDriverExtra = static_cast<WORD>(privateSize_);
    publicDevmode->dmFields = DM_ORIENTATION | DM_COPIES;
    publicDevmode->dmOrientation = DMORIENT_PORTRAIT;
    publicDevmode->dmCopies = 1;
    return Defaults(privateSection(), error);
}

bool JobDevmode::Defaults(void* section, std::wstring* error)
{
    OEMDMPARAM param = Param();
    param.pOEMDMOut = section;
    if (SUCCEEDED(plugin_->DevMode(OEMDM_DEFAULT, &param))) return true;
    *error = L"DevMode(OEMDM_DEFAULT) failed";
    return false;
}

OEMDMPARAM JobDevmode::Param()
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = printer_;
    param.hModule = module_;
    param.pPublicDMIn = bytes_.empty() ? nullptr : publicPart();
    param.cbBufSize = privateSize_;
    return param;
}
