// Stand-in for the driver's UI core, the one owner of what the core lends a plug-in object: its
// heap, its printer and the job's devmode, made through the plug-in's own DevMode calls. Around a
// property sheet it hands the plug-in a PROPSHEETUI_INFO whose pfnComPropSheet records every call
// (a copy of each added page, each set-result), and either shows the recorded pages in a real
// comctl32 property sheet, so that they get the messages of a real sheet, or passes them on to the
// platform's common property sheet as they come.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "emulation/import_patch.h"
#include "platform/printoem.h"
#include "settings/private_devmode.h"

enum class SheetKind { Document, Printer };

// The printer the core lends the plug-in.
enum class CorePrinter {
    MadeUp,   // a handle no spooler knows: the tests' spooler and printer-data seams answer it
    None,     // no printer at all (no jobs, no printer data)
    Spooler,  // the named printer, opened on the spooler and closed with the core
};

struct DriverCoreSetup {
    HMODULE pluginModule = ProgramModule();  // the OEMUIPSPARAM's and OEMDMPARAM's hModule
    SIZE_T heapMaximumSize = 0;  // 0 gives a growable heap; any other value a fixed one ExhaustHeap can fill
    CorePrinter printer = CorePrinter::MadeUp;
    std::wstring printerName = L"Vantrel Orlin";  // also the job devmode's device name
};

class DriverCoreStandIn {
public:
    // The core of one plug-in object, which it borrows (no reference is taken): the heap, the
    // printer, then the job devmode sized by the plug-in (DevMode OEMDM_SIZE) and started from its
    // defaults (OEMDM_DEFAULT). When one of these fails, error() says which.
    explicit DriverCoreStandIn(IPrintOemUI* plugin, const DriverCoreSetup& setup = {});
    ~DriverCoreStandIn();
    DriverCoreStandIn(const DriverCoreStandIn&) = delete;
    DriverCoreStandIn& operator=(const DriverCoreStandIn&) = delete;

    const std::wstring& error() const { return error_; }
    IPrintOemUI* plugin() const { return plugin_; }
    HMODULE module() const { return module_; }
    HANDLE heap() const { return heap_; }
    HANDLE printer() const { return printer_; }
    const std::wstring& printerName() const { return printerName_; }
    OEMUIOBJ* uiObject() { return &uiObject_; }

    // The job devmode: the public DEVMODEW followed by the plug-in's private section (dmDriverExtra).
    PDEVMODEW publicDevmode() { return reinterpret_cast<PDEVMODEW>(job_.data()); }
    PrivateDevmode* privateSection() { return reinterpret_cast<PrivateDevmode*>(job_.data() + sizeof(DEVMODEW)); }
    DWORD privateSize() const { return privateSize_; }
    // The plug-in's defaults written into a section of privateSize() bytes.
    bool Defaults(void* section, std::wstring* error);
    // A section of the job devmode (or of a copy of it) merged into fresh defaults (DevMode
    // OEMDM_DEFAULT, then OEMDM_MERGE), as the core does with the devmode an application hands to
    // the document properties, and when it validates a devmode.
    bool MergeIntoDefaults(void* section, std::wstring* error);
    // The record of a DevMode call as the core fills it for a plug-in of module and a printer, before
    // it knows the section's size (OEMDM_SIZE answers it).
    static OEMDMPARAM DevModeRecord(HANDLE printer, HMODULE module);
    // The record of a DevMode call about the job devmode: the public part as input, the section's size.
    OEMDMPARAM DevModeParam();

    // The record of a CommonUIProp call for a sheet: the document sheet's carries the job devmode.
    OEMCUIPPARAM ItemParam(SheetKind kind);
    // The core's CommonUIProp exchange for a sheet, in its two calls. CountItems asks how many items
    // the plug-in wants, with the driver's own items already in the record, as the core has them;
    // FillItems hands over room for that many, filled with a pattern (the plug-in must set every
    // field) and kept by the core. The record stays for the items' callbacks.
    HRESULT CountItems(SheetKind kind, OPTITEM* driverItems = nullptr, DWORD driverItemCount = 0);
    HRESULT FillItems();
    HRESULT ExchangeItems(SheetKind kind, OPTITEM* driverItems = nullptr, DWORD driverItemCount = 0)
    {
        const HRESULT hr = CountItems(kind, driverItems, driverItemCount);
        return FAILED(hr) ? hr : FillItems();
    }
    OEMCUIPPARAM& items() { return items_; }
    OPTITEM* pluginItems() { return items_.pOEMOptItems; }
    DWORD pluginItemCount() const { return items_.pOEMOptItems != nullptr ? items_.cOEMOptItems : 0; }
    // The plug-in's item callback for its item at index, as the common property sheet calls it with
    // reason. -1 when the plug-in set no callback or has no such item.
    LONG NotifyItem(WORD reason, DWORD index = 0);

    // The record the core passes to the plug-in's sheets: the document sheet's carries the job
    // devmode, the printer sheet's none.
    OEMUIPSPARAM* sheetParam(SheetKind kind = SheetKind::Document)
    {
        return kind == SheetKind::Document ? &documentParam_ : &printerParam_;
    }
    // The record the core passes with a reason: version 0x0100, this stand-in's sheet and function,
    // lParamInit the sheet's OEMUIPSPARAM, Result a marker the plug-in may overwrite.
    PROPSHEETUI_INFO Info(WORD reason, SheetKind kind = SheetKind::Document);

    HANDLE sheetHandle() const { return const_cast<DriverCoreStandIn*>(this); }
    // Fills a fixed heap until it can give no more.
    void ExhaustHeap();

    // A new sheet of the same session: the recorded calls and pages of the last one are forgotten.
    void StartSheet();
    // From now on the plug-in's add-page calls, and any function the core does not answer itself,
    // go on to the platform's common property sheet (its handle and function as its INIT call gave
    // them); the set-result calls stay with the core, as in the driver.
    void PassPagesTo(HANDLE platformSheet, PFNCOMPROPSHEET platformFunction);

    struct Call {
        UINT function;
        LPARAM lParam1, lParam2;
        LONG_PTR returned;
    };
    std::vector<Call> calls;            // every pfnComPropSheet call, in order
    std::vector<PROPSHEETPAGEW> pages;  // a copy of each page added with CPSFUNC_ADD_PROPSHEETPAGEW
    std::vector<Call> setResults;       // the CPSFUNC_SET_RESULT calls
    LONG_PTR setResultAnswer = 1;       // what a set-result call returns

    // Shows the recorded pages in a modeless property sheet: all of them, or those at the given
    // positions of pages. Returns the sheet window, or null when the sheet could not be made.
    HWND OpenSheet(std::initializer_list<size_t> positions = {});
    // Brings the page at a position of the open sheet to the front and returns its window.
    HWND ShowPage(size_t sheetPosition);
    // Presses a button of the sheet (PSBTN_OK, PSBTN_APPLYNOW, PSBTN_CANCEL).
    void Press(int sheetButton);
    void CloseSheet();
    HWND sheet() const { return sheet_; }
    // The titles of the open sheet's tabs, in order.
    std::vector<std::wstring> TabTitles() const;

    static LONG_PTR CALLBACK ComPropSheet(HANDLE hComPropSheet, UINT function, LPARAM lParam1, LPARAM lParam2);

private:
    bool LendPrinter(const DriverCoreSetup& setup);
    bool MakeJobDevmode();

    IPrintOemUI* plugin_;
    HMODULE module_;
    HANDLE heap_ = nullptr;
    HANDLE printer_ = nullptr;
    bool ownsPrinter_ = false;
    std::wstring printerName_;
    std::wstring error_;
    OEMUIOBJ uiObject_ = {};
    DWORD privateSize_ = 0;
    std::vector<BYTE> job_;
    OEMUIPSPARAM documentParam_ = {};
    OEMUIPSPARAM printerParam_ = {};
    OEMCUIPPARAM items_ = {};
    DWORD itemMode_ = 0;
    std::vector<OPTITEM> itemRoom_;
    HWND sheet_ = nullptr;
    HANDLE platformSheet_ = nullptr;
    PFNCOMPROPSHEET platformFunction_ = nullptr;
};

// Address of an added page's dialog template id, as an integer.
inline WORD TemplateIdOf(const PROPSHEETPAGEW& page)
{
    return LOWORD(reinterpret_cast<ULONG_PTR>(page.pszTemplate));
}
