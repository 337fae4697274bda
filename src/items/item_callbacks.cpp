#include "items/item_callbacks.h"

#include "items/printer_offset.h"
#include "sheet/sheet_context.h"

LONG APIENTRY DocItemCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam)
{
    if (pCallbackParam == nullptr) return CPSUICB_ACTION_NONE;
    switch (pCallbackParam->Reason) {
        case CPSUICB_REASON_APPLYNOW: {
            // The plug-in object put its current sheet in pOEMUserData when it built this item; there
            // is no record while no document sheet is open.
            const auto* sheet =
                pOemCUIPParam != nullptr ? static_cast<const CurrentSheet*>(pOemCUIPParam->pOEMUserData) : nullptr;
            const SheetContext* context = sheet != nullptr ? sheet->context : nullptr;
            if (context != nullptr) ReportApplied(*context);
            return CPSUICB_ACTION_NONE;
        }
        case CPSUICB_REASON_SETACTIVE:
            return CPSUICB_ACTION_OPTIF_CHANGED;
        default:
            return CPSUICB_ACTION_NONE;
    }
}

LONG APIENTRY PrinterItemCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam)
{
    if (pCallbackParam == nullptr || pCallbackParam->Reason != CPSUICB_REASON_APPLYNOW) return CPSUICB_ACTION_NONE;
    if (pOemCUIPParam == nullptr || pOemCUIPParam->pOEMOptItems == nullptr || pOemCUIPParam->cOEMOptItems == 0) {
        return CPSUICB_ACTION_NONE;
    }
    StorePrinterOffset(pOemCUIPParam->hPrinter, static_cast<DWORD>(pOemCUIPParam->pOEMOptItems[0].Sel));
    return CPSUICB_ACTION_NONE;
}
