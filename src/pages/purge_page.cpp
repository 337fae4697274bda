#include "pages/page_procs.h"

INT_PTR CALLBACK PurgePageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
