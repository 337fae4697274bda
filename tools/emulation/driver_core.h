// Stand-in for the driver's UI core around a property sheet: it hands the plug-in a
// PROPSHEETUI_INFO whose pfnComPropSheet records every call (a copy of each added page, each
// set-result), an OEMUIPSPARAM with a heap of its own and a job's PrivateDevmode, and either shows
// the recorded pages in a real comctl32 property sheet, so that they get the messages of a real
// sheet, or passes them on to the platform's common property sheet as they come.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "emulation/import_patch.h"
#include "platform/printoem.h"
#include "settings/private_devmode.h"

class DriverCoreStandIn {
public:
    // pluginModule is the OEMUIPSPARAM's hModule. heapMaximumSize 0 gives a growable heap; any
    // other value a fixed one that ExhaustHeap can fill.
    explicit DriverCoreStandIn(HMODULE pluginModule = ProgramModule(), SIZE_T heapMaximumSize = 0);
    ~DriverCoreStandIn();
    DriverCoreStandIn(const DriverCoreStandIn&) = delete;
    DriverCoreStandIn& operator=(const DriverCoreStandIn&) = delete;

    // The record the core passes with a reason: version 0x0100, this stand-in's sheet and function,
    // lParamInit the OEMUIPSPARAM below, Result a marker the plug-in may overwrite.
    PROPSHEETUI_INFO Info(WORD reason) const;

    HANDLE sheetHandle() const { return const_cast<DriverCoreStandIn*>(this); }
    HANDLE printer() const { return param.hPrinter; }
    // Fills a fixed heap until it can give no more.
    void ExhaustHeap();

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

    OEMUIPSPARAM param = {};
    PrivateDevmode devmode = {};

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
    HANDLE heap_ = nullptr;
    HWND sheet_ = nullptr;
    HANDLE platformSheet_ = nullptr;
    PFNCOMPROPSHEET platformFunction_ = nullptr;
    std::wstring printerName_ = L"Vantrel Orlin";
};

// A job's devmode as the driver's core keeps it: the public DEVMODEW followed by the plug-in's
// private section (dmDriverExtra bytes), sized by the plug-in (DevMode OEMDM_SIZE) and started from
// its defaults (OEMDM_DEFAULT).
class JobDevmode {
public:
    // Makes the devmode for deviceName with the plug-in's section at its defaults. False, with the
    // call that failed, when the plug-in refuses one.
    bool Create(IPrintOemUI* plugin, HMODULE module, HANDLE printer, const std::wstring& deviceName,
                std::wstring* error);
    // The plug-in's defaults written into a section of privateSize() bytes.
    bool Defaults(void* section, std::wstring* error);
    // The record of a DevMode call about this devmode, with the public part as input.
    OEMDMPARAM Param();

    PDEVMODEW publicPart() { return reinterpret_cast<PDEVMODEW>(bytes_.data()); }
    PrivateDevmode* privateSection() { return reinterpret_cast<PrivateDevmode*>(bytes_.data() + sizeof(DEVMODEW)); }
    DWORD privateSize() const { return privateSize_; }

private:
    IPrintOemUI* plugin_ = nullptr;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
    DWORD privateSize_ = 0;
    std::vector<BYTE> bytes_;
};

// Address of an added page's dialog template id, as an integer.
inline WORD TemplateIdOf(const PROPSHEETPAGEW& page)
{
    return LOWORD(reinterpret_cast<ULONG_PTR>(page.pszTemplate));
}
