// Process-wide state of the plug-in module.
#pragma once

#include "platform/printoem.h"

// Instance handle of this module: the dialog templates of the pages and dialogs live here.
extern HINSTANCE ModuleHandle;

// Net count of LockServer(TRUE) over LockServer(FALSE); changed only with interlocked operations.
extern volatile LONG ServerLockCount;
