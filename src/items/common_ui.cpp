#include "items/common_ui.h"

#include "items/driver_item_adjustments.h"
#include "items/item_callbacks.h"
#include "items/opt_items.h"
#include "items/printer_offset.h"
#include "resource_ids.h"
#include "settings/private_devmode.h"
#include "sheet/module_resources.h"
#include "sheet/sheet_context.h"

namespace {

// The plug-in adds one item to each tree: the driver first asks how many, then passes them to fill.
constexpr DWORD OEM_ITEM_COUNT = 1;

// The Offset item's up-down range, in eighths; the control takes it from its second parameter.
constexpr WORD OFFSET_PARAM_COUNT = 2;
constexpr size_t OFFSET_RANGE_PARAM = 1;

HRESULT BuildDocumentItems(CurrentSheet& documentSheet, POEMCUIPPARAM param)
{
    if (param->pOEMOptItems == nullptr) {
        param->cOEMOptItems = OEM_ITEM_COUNT;
        return S_OK;
    }
    // The item's Apply has to find the current sheet again: the driver hands this record back to it.
    param->pOEMUserData = &documentSheet;
    param->OEMCUIPCallback = DocItemCallback;
    InitOemOptItems(param->pOEMOptItems, param->cOEMOptItems);
    return S_OK;
}

HRESULT BuildPrinterItem(POEMCUIPPARAM param)
{
    if (param->pOEMOptItems == nullptr) {
        param->cOEMOptItems = OEM_ITEM_COUNT;
        return S_OK;
    }
    const int32_t offset = ReadPrinterOffset(param->hPrinter);
    param->OEMCUIPCallback = PrinterItemCallback;
    if (InitOemOptItems(param->pOEMOptItems, param->cOEMOptItems) == 0) return S_OK;

    OPTITEM& item = param->pOEMOptItems[0];
    item.Level = 1;
    item.Flags = OPTIF_COLLAPSE;
    item.pName = LoadHeapString(param->hOEMHeap, param->hModule, IDS_OFFSET_ITEM_NAME);
    item.Sel = offset;
    item.pOptType = CreateOptType(param->hOEMHeap, OFFSET_PARAM_COUNT);
    if (item.pOptType == nullptr) {
        // Without its range the control would offer values the printer cannot take.
        item.Flags |= OPTIF_HIDE;
        return S_OK;
    }
    item.pOptType->Type = TVOT_UDARROW;
    item.pOptType->pOptParam[OFFSET_RANGE_PARAM].IconID = 0;
    item.pOptType->pOptParam[OFFSET_RANGE_PARAM].lParam = MAX_OFFSET_VALUE;
    return S_OK;
}

}  // namespace

HRESULT BuildCommonUIItems(CurrentSheet& documentSheet, DWORD dwMode, POEMCUIPPARAM pOemCUIPParam)
{
    if (pOemCUIPParam == nullptr || (dwMode != OEMCUIP_DOCPROP && dwMode != OEMCUIP_PRNPROP)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (dwMode == OEMCUIP_DOCPROP) {
        AdjustAndTraceDriverItems(pOemCUIPParam->pDrvOptItems, pOemCUIPParam->cDrvOptItems);
        return BuildDocumentItems(documentSheet, pOemCUIPParam);
    }
    return BuildPrinterItem(pOemCUIPParam);
}
