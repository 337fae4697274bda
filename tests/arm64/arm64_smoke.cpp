// The ARM64 plug-in run where no Windows on ARM is at hand: an aarch64 program under arm64 Wine
// loads dist/arm64/orlinui.dll through its two exports, as the driver's core does, and walks one
// table of checks, each against the bytes and answers the x64 build gives. It links no C++ runtime
// library (there is none for this target here), so it keeps to the C runtime and Win32.
//
// arm64_smoke.exe ARM64-DLL X64-DLL PORT-FILE: PORT-FILE is the host path Wine's spooler writes each
// job of the test printer to (the printer and the driver data files are set up here, again harmlessly).
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/print_ticket.h"
#include "resource_ids.h"
#include "settings/private_devmode.h"

namespace {

constexpr wchar_t PRINTER_NAME[] = L"Orlin ARM64 Printer";
constexpr wchar_t PRINTER_PORT[] = L"LPT1:";
constexpr wchar_t OFFSET_VALUE_NAME[] = L"OEMUI_VALUE";
constexpr DWORD PRINTER_OFFSET = 5;

// The head-clean job as the x64 plug-in sends it (the golden template image).
constexpr BYTE HEAD_CLEAN_JOB[] = {
    0x00, 0x00, 0x00, 0x1B, 0x01, '@',  'E',  'J',  'L',  ' ',  '1',  '2',  '8',  '4',  '.',  '4',  0x0A,
    '@',  'E',  'J',  'L',  ' ',  ' ',  ' ',  ' ',  ' ',  0x0A, 0x1B, '@',  0x1B, '@',  0x1B, '(',  'R',
    0x08, 0x00, 0x00, 'R',  'E',  'M',  'O',  'T',  'E',  '1',  'T',  'I',  0x08, 0x00, 0x00, 0x07, 0xD6,
    0x01, 0x08, 0x0A, 0x35, 0x24, 'J',  'S',  0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 'C',  'H',  0x02, 0x00,
    0x00, 0x00, 0x1B, 0x00, 0x00, 0x00, 0x1B, '@',  0x1B, '@',  0x1B, '(',  'R',  0x08, 0x00, 0x00, 'R',
    'E',  'M',  'O',  'T',  'E',  '1',  'J',  'E',  0x01, 0x00, 0x00, 0x1B, 0x00, 0x00, 0x00,
};
static_assert(sizeof(HEAD_CLEAN_JOB) == 100, "the head-clean job is 100 bytes");

// One counter-reset file per driver folder, each telling which folder it came from.
struct DriverFolder {
    const wchar_t* folder;
    BYTE content[8];
};
constexpr DriverFolder DriverFolders[] = {
    {L"arm64", {'c', 'n', 't', '1', '6', 'A', '6', '4'}},
    {L"x64", {'c', 'n', 't', '1', '6', 'X', '6', '4'}},
    {L"w32x86", {'c', 'n', 't', '1', '6', 'X', '8', '6'}},
};

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowFn)();

struct Smoke {
    const wchar_t* dllPath;
    const wchar_t* x64DllPath;
    wchar_t portFile[MAX_PATH];  // the same file, as a Windows path
    HMODULE dll;
    GetClassObjectFn getClassObject;
    CanUnloadNowFn canUnloadNow;
    IPrintOemUI* plugin;
    HANDLE printer;
    HANDLE heap;
    char why[256];
};

bool Fail(Smoke& smoke, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(smoke.why, sizeof(smoke.why), format, arguments);
    va_end(arguments);
    return false;
}

// The private section, in the byte order and layout every build stores.
bool SameSection(Smoke& smoke, const PrivateDevmode& got, const PrivateDevmode& expected, const char* what)
{
    if (memcmp(&got, &expected, sizeof(got)) == 0) return true;
    return Fail(smoke,
                "%s: ink %d spare %d drop %d bidi %d channels %d offset %d mode %d, size %u signature %08X "
                "version %u",
                what, got.inkLevel, got.spareFlag, got.dropSize, got.bidirectional, got.inkChannels, got.offsetValue,
                got.printMode, got.dwSize, got.dwSignature, got.dwVersion);
}

PrivateDevmode Section(int32_t mode, int32_t drop, int32_t bidi, int32_t ink, int32_t channels, int32_t spare)
{
    PrivateDevmode section = {PRIVATE_DEVMODE_SIZE,
                              PRIVATE_DEVMODE_SIGNATURE,
                              PRIVATE_DEVMODE_VERSION,
                              ink,
                              spare,
                              drop,
                              bidi,
                              channels,
                              static_cast<int32_t>(PRINTER_OFFSET),
                              mode};
    return section;
}

bool ReadPort(Smoke& smoke, BYTE* bytes, DWORD capacity, DWORD* size)
{
    HANDLE file = CreateFileW(smoke.portFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(smoke, "the port file cannot be read (%lu)", GetLastError());
    const BOOL read = ReadFile(file, bytes, capacity, size, nullptr);
    CloseHandle(file);
    return read ? true : Fail(smoke, "reading the port file failed");
}

bool EmptyPort(Smoke& smoke)
{
    HANDLE file = CreateFileW(smoke.portFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(smoke, "the port file cannot be emptied");
    CloseHandle(file);
    return true;
}

// ---- The document sheet, as the common property sheet makes it ---------------------------------

HPROPSHEETPAGE utilitiesPage;

LONG_PTR CALLBACK ComPropSheet(HANDLE, UINT function, LPARAM lParam1, LPARAM)
{
    if (function != CPSFUNC_ADD_PROPSHEETPAGEW) return 0;
    const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
    if (page->pszTemplate == MAKEINTRESOURCEW(IDD_UTILITIES_PAGE)) utilitiesPage = CreatePropertySheetPageW(page);
    return 1;
}

// Opens the document sheet, presses the Utilities page's buttons given and closes the sheet again.
bool PressUtilityButton(Smoke& smoke, WORD button)
{
    OEMUIPSPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = smoke.printer;
    param.pPrinterName = const_cast<PWSTR>(PRINTER_NAME);
    param.hOEMHeap = smoke.heap;
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = reinterpret_cast<HANDLE>(1);
    info.pfnComPropSheet = ComPropSheet;
    info.lParamInit = reinterpret_cast<LPARAM>(&param);
    utilitiesPage = nullptr;
    HRESULT hr = smoke.plugin->DocumentPropertySheets(&info, 0);
    if (FAILED(hr) || utilitiesPage == nullptr) return Fail(smoke, "no Utilities page (%08lX)", hr);

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.nPages = 1;
    header.phpage = &utilitiesPage;
    const HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    const HWND page = sheet != nullptr ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr;
    if (page != nullptr)
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, button)));
    if (sheet != nullptr) DestroyWindow(sheet);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    smoke.plugin->DocumentPropertySheets(&info, 0);
    return page != nullptr ? true : Fail(smoke, "the Utilities page was not created");
}

// ---- The checks -----------------------------------------------------------------------------------

bool UnknownClassRefused(Smoke& smoke)
{
    constexpr CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* factory = nullptr;
    const HRESULT hr = smoke.getClassObject(unknown, IID_IClassFactory, &factory);
    return hr == CLASS_E_CLASSNOTAVAILABLE ? true : Fail(smoke, "answered %08lX", hr);
}

bool FactoryMakesPlugin(Smoke& smoke)
{
    IClassFactory* factory = nullptr;
    HRESULT hr = smoke.getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return Fail(smoke, "DllGetClassObject: %08lX", hr);
    hr = factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&smoke.plugin));
    const ULONG left = factory->Release();
    if (FAILED(hr)) return Fail(smoke, "CreateInstance: %08lX", hr);
    return left == 0 ? true : Fail(smoke, "the factory's last Release left %lu", left);
}

bool GetInfoAnswers(Smoke& smoke)
{
    DWORD value = 0, needed = 0;
    HRESULT hr = smoke.plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed);
    if (hr != S_OK || value != PRIVATE_DEVMODE_SIGNATURE) return Fail(smoke, "signature %08lX (%08lX)", value, hr);
    hr = smoke.plugin->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed);
    if (hr != S_OK || value != 2) return Fail(smoke, "version %lu (%08lX)", value, hr);
    return true;
}

bool DevModeAsX64(Smoke& smoke)
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = smoke.printer;
    if (smoke.plugin->DevMode(OEMDM_SIZE, &param) != S_OK || param.cbBufSize != PRIVATE_DEVMODE_SIZE)
        return Fail(smoke, "size %lu", param.cbBufSize);

    PrivateDevmode out = {};
    param.pOEMDMOut = &out;
    if (smoke.plugin->DevMode(OEMDM_DEFAULT, &param) != S_OK) return Fail(smoke, "OEMDM_DEFAULT failed");
    // The defaults carry the Offset read from the printer's data through the spooler.
    if (!SameSection(smoke, out, Section(PRINT_MODE_STANDARD, DROP_SIZE_HEAVY, 1, 0, INK_CHANNELS_FULL_8, 0),
                     "defaults"))
        return false;

    // An application's section out of range: the merge keeps what is valid and brings the rest back.
    PrivateDevmode in = Section(7, DROP_SIZE_LIGHT, 0, 9, INK_CHANNELS_BACK_4, 3);
    param.pOEMDMIn = &in;
    if (smoke.plugin->DevMode(OEMDM_MERGE, &param) != S_OK) return Fail(smoke, "OEMDM_MERGE failed");
    return SameSection(smoke, out, Section(PRINT_MODE_STANDARD, DROP_SIZE_LIGHT, 0, 0, INK_CHANNELS_BACK_4, 1),
                       "merged");
}

bool CommonUIPropItems(Smoke& smoke)
{
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof(param);
    param.hPrinter = smoke.printer;
    param.hOEMHeap = smoke.heap;
    param.hModule = smoke.dll;
    // The driver's first call asks how many items, the second has them filled.
    HRESULT hr = smoke.plugin->CommonUIProp(OEMCUIP_PRNPROP, &param);
    if (hr != S_OK || param.cOEMOptItems != 1) return Fail(smoke, "count %lu (%08lX)", param.cOEMOptItems, hr);
    OPTITEM item = {};
    param.pOEMOptItems = &item;
    hr = smoke.plugin->CommonUIProp(OEMCUIP_PRNPROP, &param);
    if (hr != S_OK || item.cbSize != sizeof(OPTITEM) || param.OEMCUIPCallback == nullptr)
        return Fail(smoke, "the Offset item was not filled (%08lX)", hr);
    if (item.Sel != static_cast<LONG>(PRINTER_OFFSET) || item.pOptType == nullptr ||
        item.pOptType->Type != TVOT_UDARROW || item.pName == nullptr)
        return Fail(smoke, "the Offset item shows %ld", item.Sel);
    return true;
}

bool HeadCleanReachesPrinter(Smoke& smoke)
{
    if (!EmptyPort(smoke) || !PressUtilityButton(smoke, IDC_HEAD_CLEAN)) return false;
    BYTE job[256];
    DWORD size = 0;
    if (!ReadPort(smoke, job, sizeof(job), &size)) return false;
    if (size != sizeof(HEAD_CLEAN_JOB) || memcmp(job, HEAD_CLEAN_JOB, size) != 0)
        return Fail(smoke, "the printer received %lu other bytes", size);
    return true;
}

bool ReadsArm64DriverFolder(Smoke& smoke)
{
    if (!EmptyPort(smoke) || !PressUtilityButton(smoke, IDC_COUNTER_RESET)) return false;
    BYTE job[64];
    DWORD size = 0;
    if (!ReadPort(smoke, job, sizeof(job), &size)) return false;
    for (const DriverFolder& row : DriverFolders) {
        if (size == sizeof(row.content) && memcmp(job, row.content, size) == 0)
            return row.folder == DriverFolders[0].folder ? true : Fail(smoke, "read drivers\\%ls\\3", row.folder);
    }
    return Fail(smoke, "the printer received %lu bytes from no driver folder", size);
}

// ---- Tickets, on the MSXML of this Wine -------------------------------------------------------------

struct TicketDevmode {
    DEVMODEW open;
    PrivateDevmode section;
};

IXMLDOMDocument2* NewTicket()
{
    IXMLDOMDocument2* document = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                reinterpret_cast<void**>(&document))) &&
        FAILED(CoCreateInstance(CLSID_DOMDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                reinterpret_cast<void**>(&document))))
        return nullptr;
    BSTR name = SysAllocString(L"SelectionLanguage");
    VARIANT xpath;
    VariantInit(&xpath);
    xpath.vt = VT_BSTR;
    xpath.bstrVal = SysAllocString(L"XPath");
    document->setProperty(name, xpath);
    VariantClear(&xpath);
    SysFreeString(name);
    BSTR xml = SysAllocString(
        L"<psf:PrintTicket version=\"1\" "
        L"xmlns:psf=\"http://schemas.microsoft.com/windows/2003/08/printing/printschemaframework\" "
        L"xmlns:psk=\"http://schemas.microsoft.com/windows/2003/08/printing/printschemakeywords\"/>");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->loadXML(xml, &loaded);
    SysFreeString(xml);
    if (loaded == VARIANT_TRUE) return document;
    document->Release();
    return nullptr;
}

TicketDevmode JobDevmode(const PrivateDevmode& section)
{
    TicketDevmode devmode = {};
    devmode.open.dmSize = sizeof(DEVMODEW);
    devmode.open.dmDriverExtra = sizeof(PrivateDevmode);
    devmode.open.dmSpecVersion = DM_SPECVERSION;
    devmode.section = section;
    return devmode;
}

// devmode -> ticket, and the ticket (validated first when asked) -> a devmode of defaults.
bool ThroughTicket(Smoke& smoke, const PrivateDevmode& from, bool validate, HRESULT expectedValidation,
                   PrivateDevmode* to)
{
    IPrintOemPrintTicketProvider* provider = nullptr;
    HRESULT hr = smoke.plugin->QueryInterface(IID_IPrintOemPrintTicketProvider, reinterpret_cast<void**>(&provider));
    if (FAILED(hr)) return Fail(smoke, "no ticket provider (%08lX)", hr);
    IXMLDOMDocument2* ticket = NewTicket();
    bool passed = false;
    if (ticket == nullptr) {
        Fail(smoke, "neither MSXML 6 nor MSXML 3 makes a document");
    } else {
        TicketDevmode source = JobDevmode(from);
        TicketDevmode target = JobDevmode(Section(PRINT_MODE_STANDARD, DROP_SIZE_HEAVY, 1, 0, 0, 0));
        hr = provider->ConvertDevModeToPrintTicket(sizeof(source), &source.open, sizeof(source.section),
                                                   &source.section, ticket);
        if (FAILED(hr)) {
            Fail(smoke, "ConvertDevModeToPrintTicket: %08lX", hr);
        } else if (validate && (hr = provider->ValidatePrintTicket(ticket)) != expectedValidation) {
            Fail(smoke, "ValidatePrintTicket: %08lX", hr);
        } else if (FAILED(hr = provider->ConvertPrintTicketToDevMode(ticket, sizeof(target), &target.open,
                                                                     sizeof(target.section), &target.section))) {
            Fail(smoke, "ConvertPrintTicketToDevMode: %08lX", hr);
        } else {
            *to = target.section;
            passed = true;
        }
        ticket->Release();
    }
    provider->Release();
    return passed;
}

bool TicketRoundTrip(Smoke& smoke)
{
    const PrivateDevmode job = Section(PRINT_MODE_VIVID, DROP_SIZE_MEDIUM, 0, 3, INK_CHANNELS_BACK_4, 0);
    PrivateDevmode back = {};
    return ThroughTicket(smoke, job, false, S_OK, &back) && SameSection(smoke, back, job, "back from the ticket");
}

bool PhotoWithHeavyBecomesLight(Smoke& smoke)
{
    PrivateDevmode back = {};
    return ThroughTicket(smoke, Section(PRINT_MODE_PHOTO, DROP_SIZE_HEAVY, 1, 0, 0, 0), true, S_CONFLICT_RESOLVED,
                         &back) &&
           SameSection(smoke, back, Section(PRINT_MODE_PHOTO, DROP_SIZE_LIGHT, 1, 0, 0, 0), "validated");
}

bool X64DllRefused(Smoke& smoke)
{
    const HMODULE other = LoadLibraryExW(smoke.x64DllPath, nullptr, 0);
    if (other == nullptr)
        return GetLastError() == ERROR_BAD_EXE_FORMAT ? true : Fail(smoke, "error %lu", GetLastError());
    FreeLibrary(other);
    return Fail(smoke, "the x64 DLL was loaded into an ARM64 process");
}

bool LastReleaseUnloads(Smoke& smoke)
{
    const ULONG left = smoke.plugin->Release();
    smoke.plugin = nullptr;
    if (left != 0) return Fail(smoke, "the last Release left %lu", left);
    return smoke.canUnloadNow() == S_OK ? true : Fail(smoke, "DllCanUnloadNow still refuses");
}

struct Check {
    const char* name;
    bool (*run)(Smoke&);
};
constexpr Check Checks[] = {
    {"an unknown class is refused", UnknownClassRefused},
    {"the factory makes IPrintOemUI", FactoryMakesPlugin},
    {"GetInfo gives the signature and version", GetInfoAnswers},
    {"DevMode: size, defaults and merge as x64", DevModeAsX64},
    {"CommonUIProp: the count, then the printer's Offset item", CommonUIPropItems},
    {"Head Clean reaches the printer byte for byte", HeadCleanReachesPrinter},
    {"the driver files come from drivers\\arm64\\3", ReadsArm64DriverFolder},
    {"tickets: devmode to ticket and back", TicketRoundTrip},
    {"tickets: Photo with Heavy validated to Light", PhotoWithHeavyBecomesLight},
    {"the x64 DLL is refused", X64DllRefused},
    {"the last Release lets the DLL unload", LastReleaseUnloads},
};

// ---- Set-up: the test printer on a file port, the printer's Offset and the driver data files ----

bool SetUp(Smoke& smoke, const wchar_t* portUnixPath)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return Fail(smoke, "the spooler's port key");
    RegSetValueExW(key, PRINTER_PORT, 0, REG_SZ, reinterpret_cast<const BYTE*>(portUnixPath),
                   static_cast<DWORD>((wcslen(portUnixPath) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(L"Orlin ARM64 Test Driver");
    driver.pDriverPath = driver.pDataFile = driver.pConfigFile = const_cast<LPWSTR>(L"wineps.drv");
    driver.pDefaultDataType = const_cast<LPWSTR>(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
        return Fail(smoke, "AddPrinterDriverExW: %lu", GetLastError());
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<LPWSTR>(PRINTER_NAME);
    info.pPortName = const_cast<LPWSTR>(PRINTER_PORT);
    info.pDriverName = driver.pName;
    info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    const HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (added != nullptr) ClosePrinter(added);
    if (!OpenPrinterW(const_cast<LPWSTR>(PRINTER_NAME), &smoke.printer, nullptr))
        return Fail(smoke, "OpenPrinterW: %lu", GetLastError());
    DWORD offset = PRINTER_OFFSET;
    if (SetPrinterDataW(smoke.printer, const_cast<LPWSTR>(OFFSET_VALUE_NAME), REG_DWORD,
                        reinterpret_cast<LPBYTE>(&offset), sizeof(offset)) != ERROR_SUCCESS)
        return Fail(smoke, "SetPrinterDataW");

    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Fail(smoke, "GetWindowsDirectoryW");
    for (const DriverFolder& row : DriverFolders) {
        wchar_t path[MAX_PATH];
        swprintf(path, MAX_PATH, L"%ls\\system32\\spool\\drivers\\%ls", windows, row.folder);
        CreateDirectoryW(path, nullptr);
        wcscat(path, L"\\3");
        CreateDirectoryW(path, nullptr);
        wcscat(path, L"\\cnt16.bin");
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        const bool wrote = file != INVALID_HANDLE_VALUE &&
                           WriteFile(file, row.content, sizeof(row.content), &written, nullptr) &&
                           written == sizeof(row.content);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!wrote) return Fail(smoke, "writing %ls", path);
    }

    // The port file as a path of the drive Wine maps to the host's root.
    swprintf(smoke.portFile, MAX_PATH, L"Z:%ls", portUnixPath);
    for (wchar_t* c = smoke.portFile; *c != L'\0'; ++c)
        if (*c == L'/') *c = L'\\';
    smoke.heap = HeapCreate(0, 0, 0);
    return smoke.heap != nullptr ? true : Fail(smoke, "HeapCreate");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: arm64_smoke ARM64-DLL X64-DLL PORT-FILE\n");
        return 2;
    }
    Smoke smoke = {};
    smoke.dllPath = argv[1];
    smoke.x64DllPath = argv[2];
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) || !SetUp(smoke, argv[3])) {
        printf("set-up FAILED: %s\n", smoke.why);
        return 1;
    }
    smoke.dll = LoadLibraryW(smoke.dllPath);
    smoke.getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(smoke.dll, "DllGetClassObject")));
    smoke.canUnloadNow =
        reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(smoke.dll, "DllCanUnloadNow")));
    if (smoke.getClassObject == nullptr || smoke.canUnloadNow == nullptr) {
        printf("FAILED: %ls does not load with its two exports (error %lu)\n", smoke.dllPath, GetLastError());
        return 1;
    }

    int failed = 0;
    for (const Check& check : Checks) {
        smoke.why[0] = '\0';
        // Every check after the object's creation needs the object.
        const bool passed = (smoke.plugin != nullptr || check.run == UnknownClassRefused ||
                             check.run == FactoryMakesPlugin || check.run == X64DllRefused) &&
                            check.run(smoke);
        if (!passed) ++failed;
        printf("%s: %s%s%s\n", passed ? "ok" : "FAILED", check.name, passed ? "" : ": ",
               passed ? "" : (smoke.why[0] != '\0' ? smoke.why : "no plug-in object"));
    }
    if (smoke.plugin != nullptr) smoke.plugin->Release();
    FreeLibrary(smoke.dll);
    ClosePrinter(smoke.printer);
    HeapDestroy(smoke.heap);
    CoUninitialize();
    printf("%d of %d checks passed\n", static_cast<int>(sizeof(Checks) / sizeof(Checks[0])) - failed,
           static_cast<int>(sizeof(Checks) / sizeof(Checks[0])));
    return failed == 0 ? 0 : 1;
}
