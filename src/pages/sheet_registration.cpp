#include "pages/sheet_registration.h"

HRESULT RegisterDocumentSheet(OemUiPlugin&, PPROPSHEETUI_INFO, LPARAM)
{
    return E_NOTIMPL;
}
