#include "pages/page_procs.h"

// Shows the product line and version only: no sheet context, no settings, no jobs.
INT_PTR CALLBACK AboutPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_COMMAND ? TRUE : FALSE;
}
