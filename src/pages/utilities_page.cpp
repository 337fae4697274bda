#include "pages/page_procs.h"

INT_PTR CALLBACK UtilitiesPageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
