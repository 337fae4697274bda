// Callbacks of the plug-in's own option items, called by the driver's common property sheet.
#pragma once

#include "platform/printoem.h"

// The blank document item: its Apply reports success for the plug-in's document pages.
LONG APIENTRY DocItemCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam);

// The printer's Offset item: its Apply stores the chosen Offset in the printer data.
LONG APIENTRY PrinterItemCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam);
