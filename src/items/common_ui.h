#pragma once

#include "platform/printoem.h"

struct CurrentSheet;

// The driver's option items adjusted and the plug-in's own items built (document and printer). The
// document item reports Apply for the pages of documentSheet.
HRESULT BuildCommonUIItems(CurrentSheet& documentSheet, DWORD dwMode, POEMCUIPPARAM pOemCUIPParam);
