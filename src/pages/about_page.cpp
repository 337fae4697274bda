#include "pages/page_procs.h"

INT_PTR CALLBACK AboutPageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
