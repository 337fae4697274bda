#include "pages/page_procs.h"

INT_PTR CALLBACK ConfirmDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
