// What every document page shares: its SheetContext in the dialog user data, marking the page
// changed, and reporting a successful Apply to the common property sheet.
#pragma once

#include "pages/sheet_context.h"

// WM_INITDIALOG of a page: keeps the SheetContext that registration put in PROPSHEETPAGEW::lParam.
void StoreSheetContext(HWND page, LPARAM initParam);

// The page's SheetContext, or null while there is none or it has no OEMUIPSPARAM.
SheetContext* GetSheetContext(HWND page);

// Enables the sheet's Apply button for this page.
void MarkPageChanged(HWND page);

// CPSFUNC_SET_RESULT with CPSUI_OK for the plug-in's pages.
void ReportApplied(const SheetContext& context);
