// Small builders for the plug-in's own option items, allocated on the driver's plug-in heap so
// that the driver frees them with it.
#pragma once

#include "platform/printoem.h"

// Blanks count items for the driver: zeroed, each with its size set and no DMPubID. Returns count.
DWORD InitOemOptItems(POPTITEM items, DWORD count);

// A zeroed option type with count zeroed parameters, sizes set; null when either allocation fails.
POPTTYPE CreateOptType(HANDLE heap, WORD count);
