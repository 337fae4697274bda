#include "pages/page_procs.h"

INT_PTR CALLBACK InkLevelPageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
