#include "pages/page_procs.h"

// The "Alignment" and "Nozzle Check" instructions: the first button goes ahead; the second, Escape
// and the close box (which the dialog manager turns into IDCANCEL) send nothing.
INT_PTR CALLBACK ConfirmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_COMMAND) return FALSE;
    const WORD control = LOWORD(wParam);
    if (control != IDOK && control != IDCANCEL) return FALSE;
    EndDialog(dialog, control == IDOK ? 1 : 0);
    return TRUE;
}
