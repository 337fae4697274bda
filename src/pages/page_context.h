// What every document page shares: its SheetContext in the dialog user data, and marking the page
// changed. Apply is reported through the sheet's record itself.
#pragma once

#include "sheet/sheet_context.h"

// WM_INITDIALOG of a page: keeps the SheetContext that registration put in PROPSHEETPAGEW::lParam.
void StoreSheetContext(HWND page, LPARAM initParam);

// The page's SheetContext, or null while there is none or it has no OEMUIPSPARAM.
SheetContext* GetSheetContext(HWND page);

// Enables the sheet's Apply button for this page.
void MarkPageChanged(HWND page);
