#include "pages/page_procs.h"

INT_PTR CALLBACK PrintModePageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
