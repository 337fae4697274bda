// The driver's devmode calls: size, defaults, convert and merge of the private section.
#include "frame/plugin.h"
#include "items/printer_offset.h"
#include "settings/private_devmode.h"

HRESULT STDMETHODCALLTYPE OemUiPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam)
{
    if (pOemDMParam == nullptr || dwMode < OEMDM_SIZE || dwMode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }

    // New jobs start with the printer's Offset, so a printer whose Offset was set passes it on.
    const int32_t offsetValue = ReadPrinterOffset(pOemDMParam->hPrinter);
    auto* in = static_cast<const PrivateDevmode*>(pOemDMParam->pOEMDMIn);
    auto* out = static_cast<PrivateDevmode*>(pOemDMParam->pOEMDMOut);

    switch (dwMode) {
    case OEMDM_SIZE:
        pOemDMParam->cbBufSize = PRIVATE_DEVMODE_SIZE;
        break;
    case OEMDM_DEFAULT:
        if (out != nullptr) *out = DefaultPrivateDevmode(offsetValue);
        break;
    case OEMDM_CONVERT:
        ConvertPrivateDevmode(in, out);
        break;
    case OEMDM_MERGE:
        if (ConvertPrivateDevmode(in, out)) ValidatePrivateDevmode(out);
        break;
    }
    return S_OK;
}
