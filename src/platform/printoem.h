// Printer plug-in interfaces and records that the MinGW-w64 headers do not provide: the
// IPrintOemUI contract between the driver's UI core and this plug-in, the parameter blocks it
// passes, and the constants of those calls. Layouts follow the platform's natural alignment; the
// static_asserts below pin every size and offset the plug-in relies on, for x86 and x64.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>
#include <compstui.h>
#include <prsht.h>
#include <winspool.h>

#include <cstddef>

// ---- Identifiers -------------------------------------------------------------------------------

// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}: the class the driver asks every UI plug-in for.
inline constexpr CLSID CLSID_OEMUI = {0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
inline constexpr IID IID_IPrintOemUI = {0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
inline constexpr IID IID_IPrintOemDriverUI = {
    0x92B05D50, 0x78BC, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};

// ---- Constants ---------------------------------------------------------------------------------

constexpr DWORD OEMDM_SIZE = 1;
constexpr DWORD OEMDM_DEFAULT = 2;
constexpr DWORD OEMDM_CONVERT = 3;
constexpr DWORD OEMDM_MERGE = 4;

constexpr DWORD OEMCUIP_DOCPROP = 1;
constexpr DWORD OEMCUIP_PRNPROP = 2;

constexpr DWORD OEMGI_GETSIGNATURE = 1;
constexpr DWORD OEMGI_GETVERSION = 3;
constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;

constexpr ULONG QCP_DEVICEPROFILE = 0;
constexpr FLONG QCP_PROFILEDISK = 2;

#ifndef PROPSHEETUI_INFO_VERSION
#define PROPSHEETUI_INFO_VERSION 0x0100
#endif

// ---- Records -----------------------------------------------------------------------------------

typedef struct _OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

typedef struct _OEMUIOBJ {
    DWORD cbSize;
    PVOID pOemUIProcs;
} OEMUIOBJ, *POEMUIOBJ;

typedef struct _OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODEW pPublicDMIn;
    PDEVMODEW pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
} OEMDMPARAM, *POEMDMPARAM;

struct _OEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, struct _OEMCUIPPARAM*);

typedef struct _OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
} OEMCUIPPARAM, *POEMCUIPPARAM;

typedef struct _OEMUIPSPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
} OEMUIPSPARAM, *POEMUIPSPARAM;

typedef struct _DEVQUERYPRINT_INFO {
    WORD cbSize;
    WORD Level;
    HANDLE hPrinter;
    PDEVMODEW pDevMode;
    LPWSTR pszErrorStr;
    DWORD cchErrorStr;
    DWORD cchNeeded;
} DEVQUERYPRINT_INFO, *PDEVQUERYPRINT_INFO;

// ---- Interfaces --------------------------------------------------------------------------------

// Implemented by the driver; the plug-in only holds a reference to it.
struct IPrintOemDriverUI : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                          PDWORD pcbNeeded, PDWORD pdwOptionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection,
                                                         DWORD dwMode) = 0;
};

// wingdi.h turns the name DeviceCapabilities into a macro; the slot keeps its place either way.
#pragma push_macro("DeviceCapabilities")
#undef DeviceCapabilities

// The first two operations after IUnknown are the common plug-in operations (GetInfo, DevMode);
// declaration order is slot order, 17 slots in all.
struct IPrintOemUI : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo,
                                                      PDEVMODEW pPublicDM, PVOID pOEMDM) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName,
                                                         WORD wCapability, PVOID pOutput, PDEVMODEW pPublicDM,
                                                         PVOID pOEMDM, DWORD dwOld, DWORD* dwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags,
                                                   LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo,
                                                  LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM,
                                                        PVOID pOEMDM, ULONG ulQueryMode, VOID* pvProfileData,
                                                        ULONG* pcbProfileData, FLONG* pflProfileData) = 0;
    virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) = 0;
};

#pragma pop_macro("DeviceCapabilities")

// ---- Layout checks -----------------------------------------------------------------------------

#define ORLIN_CHECK(type, x86size, x64size) \
    static_assert(sizeof(type) == (sizeof(void*) == 4 ? (x86size) : (x64size)), #type " size")
#define ORLIN_OFFSET(type, field, x86off, x64off) \
    static_assert(offsetof(type, field) == (sizeof(void*) == 4 ? (x86off) : (x64off)), #type "." #field)

ORLIN_CHECK(OEM_DMEXTRAHEADER, 12, 12);
ORLIN_CHECK(OEMUIOBJ, 8, 16);
ORLIN_CHECK(OEMDMPARAM, 36, 72);
ORLIN_OFFSET(OEMDMPARAM, hPrinter, 8, 16);
ORLIN_OFFSET(OEMDMPARAM, hModule, 12, 24);
ORLIN_OFFSET(OEMDMPARAM, pPublicDMIn, 16, 32);
ORLIN_OFFSET(OEMDMPARAM, pPublicDMOut, 20, 40);
ORLIN_OFFSET(OEMDMPARAM, pOEMDMIn, 24, 48);
ORLIN_OFFSET(OEMDMPARAM, pOEMDMOut, 28, 56);
ORLIN_OFFSET(OEMDMPARAM, cbBufSize, 32, 64);
ORLIN_CHECK(OEMCUIPPARAM, 60, 120);
ORLIN_OFFSET(OEMCUIPPARAM, hPrinter, 8, 16);
ORLIN_OFFSET(OEMCUIPPARAM, pPrinterName, 12, 24);
ORLIN_OFFSET(OEMCUIPPARAM, hModule, 16, 32);
ORLIN_OFFSET(OEMCUIPPARAM, hOEMHeap, 20, 40);
ORLIN_OFFSET(OEMCUIPPARAM, pPublicDM, 24, 48);
ORLIN_OFFSET(OEMCUIPPARAM, pOEMDM, 28, 56);
ORLIN_OFFSET(OEMCUIPPARAM, dwFlags, 32, 64);
ORLIN_OFFSET(OEMCUIPPARAM, pDrvOptItems, 36, 72);
ORLIN_OFFSET(OEMCUIPPARAM, cDrvOptItems, 40, 80);
ORLIN_OFFSET(OEMCUIPPARAM, pOEMOptItems, 44, 88);
ORLIN_OFFSET(OEMCUIPPARAM, cOEMOptItems, 48, 96);
ORLIN_OFFSET(OEMCUIPPARAM, pOEMUserData, 52, 104);
ORLIN_OFFSET(OEMCUIPPARAM, OEMCUIPCallback, 56, 112);
ORLIN_CHECK(OEMUIPSPARAM, 44, 88);
ORLIN_OFFSET(OEMUIPSPARAM, hPrinter, 8, 16);
ORLIN_OFFSET(OEMUIPSPARAM, hModule, 16, 32);
ORLIN_OFFSET(OEMUIPSPARAM, hOEMHeap, 20, 40);
ORLIN_OFFSET(OEMUIPSPARAM, pOEMDM, 28, 56);
ORLIN_OFFSET(OEMUIPSPARAM, pOEMUserData, 32, 64);
ORLIN_OFFSET(OEMUIPSPARAM, dwFlags, 36, 72);
ORLIN_OFFSET(OEMUIPSPARAM, pOemEntry, 40, 80);
ORLIN_CHECK(DEVQUERYPRINT_INFO, 24, 40);

// Records MinGW already declares, pinned because the plug-in fills or steps through them.
ORLIN_CHECK(OPTITEM, 52, 88);
ORLIN_OFFSET(OPTITEM, Flags, 4, 4);
ORLIN_OFFSET(OPTITEM, UserData, 8, 8);
ORLIN_OFFSET(OPTITEM, pName, 12, 16);
ORLIN_OFFSET(OPTITEM, Sel, 16, 24);
ORLIN_OFFSET(OPTITEM, pOptType, 24, 40);
ORLIN_OFFSET(OPTITEM, DMPubID, 32, 52);
ORLIN_CHECK(OPTTYPE, 32, 48);
ORLIN_OFFSET(OPTTYPE, Count, 4, 4);
ORLIN_OFFSET(OPTTYPE, pOptParam, 8, 8);
ORLIN_CHECK(OPTPARAM, 24, 48);
ORLIN_OFFSET(OPTPARAM, IconID, 8, 16);
ORLIN_OFFSET(OPTPARAM, lParam, 12, 24);
ORLIN_CHECK(CPSUICBPARAM, 32, 64);
ORLIN_OFFSET(CPSUICBPARAM, UserData, 24, 48);
ORLIN_CHECK(PROPSHEETUI_INFO, 28, 48);
ORLIN_OFFSET(PROPSHEETUI_INFO, hComPropSheet, 8, 8);
ORLIN_OFFSET(PROPSHEETUI_INFO, pfnComPropSheet, 12, 16);
ORLIN_OFFSET(PROPSHEETUI_INFO, lParamInit, 16, 24);
ORLIN_OFFSET(PROPSHEETUI_INFO, Result, 24, 40);
ORLIN_CHECK(SETRESULT_INFO, 12, 24);
ORLIN_CHECK(PROPSHEETUI_INFO_HEADER, 20, 40);
ORLIN_CHECK(PROPSHEETPAGEW, 52, 96);
ORLIN_OFFSET(PROPSHEETPAGEW, pszTemplate, 12, 16);
ORLIN_OFFSET(PROPSHEETPAGEW, pfnDlgProc, 24, 40);
ORLIN_OFFSET(PROPSHEETPAGEW, lParam, 28, 48);
ORLIN_CHECK(DOC_INFO_1W, 12, 24);
static_assert(DWLP_USER == (sizeof(void*) == 4 ? 8 : 16), "dialog user data index");
static_assert(PSM_CHANGED == 0x468, "PSM_CHANGED");

#undef ORLIN_CHECK
#undef ORLIN_OFFSET
