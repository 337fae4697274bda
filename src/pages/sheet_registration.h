#pragma once

#include "sheet/sheet_context.h"

// Answers the document property sheet's reasons and adds the plug-in's pages; the sheet's record
// becomes the current sheet until that sheet is destroyed.
HRESULT RegisterDocumentSheet(CurrentSheet& current, PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
