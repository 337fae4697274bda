#pragma once

#include "platform/printoem.h"

class OemUiPlugin;

// Answers the document property sheet's reasons and adds the plug-in's pages.
HRESULT RegisterDocumentSheet(OemUiPlugin& plugin, PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
