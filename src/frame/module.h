// Process-wide state of the plug-in module.
#pragma once

#include "platform/printoem.h"

// Net count of LockServer(TRUE) over LockServer(FALSE); changed only with interlocked operations.
extern volatile LONG ServerLockCount;
