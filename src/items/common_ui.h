#pragma once

#include "platform/printoem.h"

class OemUiPlugin;

// The driver's option items adjusted and the plug-in's own items built (document and printer).
HRESULT BuildCommonUIItems(OemUiPlugin& plugin, DWORD dwMode, POEMCUIPPARAM pOemCUIPParam);
