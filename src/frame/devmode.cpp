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

    auto* in = static_cast<const PrivateDevmode*>(pOemDMParam->pOEMDMIn);
    auto* out = static_cast<PrivateDevmode*>(pOemDMParam->pOEMDMOut);

    switch (dwMode) {
        case OEMDM_SIZE:
            pOemDMParam->cbBufSize = PRIVATE_DEVMODE_SIZE;
            break;
        case OEMDM_DEFAULT:
            // New jobs start with the printer's Offset, so a printer whose Offset was set passes it on.
            // Only here: the read is a spooler round trip, and the driver calls DevMode several times
            // for every job of every application.
            if (out != nullptr) *out = DefaultPrivateDevmode(ReadPrinterOffset(pOemDMParam->hPrinter));
            break;
        case OEMDM_CONVERT:
            ConvertPrivateDevmode(in, out);
            break;
        case OEMDM_MERGE:
            // A source devmode without our section still leaves the driver a section in range.
            ConvertPrivateDevmode(in, out);
            ValidatePrivateDevmode(out);
            break;
    }
    return S_OK;
}
