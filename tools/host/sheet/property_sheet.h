// The document and printer properties shown through the platform's common property sheet
// (CommonPropertySheetUIW in compstui.dll), with the host in the driver's place: its own
// PFNPROPSHEETUI answers the sheet and calls the plug-in's DocumentPropertySheets (or
// DevicePropertySheets) with the session's driver-core stand-in's PROPSHEETUI_INFO, which records what the
// plug-in asks for and passes its pages on to the real sheet. The stand-in also takes the
// set-result calls, which Wine's sheet does not support. The printer's Offset item, which Wine's
// sheet does not draw, is shown by the host on a page of its own, Device Settings.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "emulation/dialog_driver.h"
#include "emulation/driver_core.h"
#include "host/session/host_session.h"

// What passed between the plug-in and the sheet.
struct SheetRecord {
    HRESULT initResult = S_OK;
    std::vector<ULONG_PTR> addedTemplates;  // template ids of the pages the plug-in added
    int pagesAccepted = 0;                  // add-page calls the real sheet accepted
    int setResultCalls = 0;                 // CPSFUNC_SET_RESULT calls of the plug-in
    LPARAM lastSetResult = 0;
    std::vector<UINT> otherFunctions;  // any other pfnComPropSheet function asked for
    std::wstring pluginTitle;          // the plug-in's answer to GET_INFO_HEADER
    int applies = 0;                   // OK or Apply pressed
    DWORD sheetResult = 0;             // CommonPropertySheetUIW's result (CPSUI_OK, CPSUI_CANCEL)
};

class PropertySheetHost {
public:
    PropertySheetHost(HostSession& session, SheetKind kind, UiWatch& watch, FILE* log);

    // Shows the sheet modally and returns when it is closed, after the core's calls before a sheet:
    // for the document sheet the job's section merged into fresh defaults, then the option items'
    // exchange. False, with the reason, when one of them failed or the sheet could not be shown.
    bool Show(std::wstring* error);
    const SheetRecord& record() const { return record_; }
    SheetKind kind() const { return kind_; }

    // The host's page that shows the printer's Offset item (printer sheet only) while it is open.
    HWND offsetPage() const { return offsetPage_; }
    // Sets the Offset on that page as a person would with its up-down control (Apply or OK then
    // stores it). False, with the reason, when the page is not open or the value is out of range.
    bool SetOffsetOnPage(long value, std::wstring* why);

private:
    friend struct SheetCallbacks;
    friend struct OffsetPageCallbacks;

    LONG_PTR OnSheetReason(PPROPSHEETUI_INFO info, LPARAM lParam);
    void OnApplied(bool ok);
    void RecordPluginCalls();
    void AddOffsetPage();

    HostSession& session_;
    SheetKind kind_;
    UiWatch& watch_;
    FILE* log_;
    SheetRecord record_;
    std::wstring title_;       // the sheet's caption, read by the sheet while it is open
    DriverCoreStandIn& core_;  // the session's core: its heap, printer and job devmode, lent to the plug-in
    PROPSHEETUI_INFO pluginInfo_ = {};
    HANDLE sheetHandle_ = nullptr;  // the real sheet's handle and function, from its INIT call
    PFNCOMPROPSHEET sheetFunction_ = nullptr;
    HWND offsetPage_ = nullptr;
    PrivateDevmode appliedSection_ = {};  // the job settings as of the last OK or Apply
    bool closedWithOk_ = false;
};
