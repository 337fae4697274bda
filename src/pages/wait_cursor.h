// The wait cursor while a maintenance flow talks to the spooler, which can take seconds (twenty
// port-test jobs, the alignment's pause, files written a byte per call); the cursor shown before
// comes back when the flow ends, whichever way it ends. Where none was set before, the arrow comes
// back: putting back "no cursor" would hide the pointer until the mouse moves.
#pragma once

#include <windows.h>

class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ != nullptr ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};
