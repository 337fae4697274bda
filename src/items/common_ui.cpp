#include "items/common_ui.h"

HRESULT BuildCommonUIItems(OemUiPlugin&, DWORD, POEMCUIPPARAM)
{
    return E_NOTIMPL;
}
