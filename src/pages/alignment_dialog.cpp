#include "pages/page_procs.h"

INT_PTR CALLBACK AlignmentAdjustProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
