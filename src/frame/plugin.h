#pragma once

#include "platform/printoem.h"
#include "sheet/sheet_context.h"
#include "tickets/ticket_provider.h"

// The plug-in object the driver's UI core talks to through IPrintOemUI, and applications' print
// tickets through IPrintOemPrintTicketProvider: one object, one reference count.
class OemUiPlugin final : public IPrintOemUI {
public:
    OemUiPlugin() = default;
    OemUiPlugin(const OemUiPlugin&) = delete;
    OemUiPlugin& operator=(const OemUiPlugin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) override;
    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM,
                                              PVOID pOEMDM) override;
#pragma push_macro("DeviceCapabilities")
#undef DeviceCapabilities
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName,
                                                 WORD wCapability, PVOID pOutput, PDEVMODEW pPublicDM, PVOID pOEMDM,
                                                 DWORD dwOld, DWORD* dwResult) override;
#pragma pop_macro("DeviceCapabilities")
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) override;
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo,
                                          LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM, PVOID pOEMDM,
                                                ULONG ulQueryMode, VOID* pvProfileData, ULONG* pcbProfileData,
                                                FLONG* pflProfileData) override;
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) override;

    // The current document sheet's record, null while none is open.
    SheetContext* sheetContext() const
    {
        return documentSheet_.context;
    }

    // The printer of the last CommonUIProp call.
    HANDLE printer() const
    {
        return printer_;
    }

private:
    ~OemUiPlugin();

    volatile LONG refCount_ = 1;
    // The print-ticket interface, counted on this object.
    PrintTicketProvider ticketProvider_{static_cast<IPrintOemUI*>(this)};
    IPrintOemDriverUI* driverHelper_ = nullptr;
    HANDLE printer_ = nullptr;  // from the last CommonUIProp; kept, not read by the plug-in
    // The document sheet whose pages the document item's Apply reports for.
    CurrentSheet documentSheet_;
};

constexpr DWORD PLUGIN_VERSION = 2;
constexpr wchar_t COLOR_PROFILE_NAME[] = L"OEMPROFILE.icm";
constexpr ULONG COLOR_PROFILE_BUFFER_SIZE = 32;
