// The plug-in module as the pages and option items draw on it: its dialog templates and strings, and
// the Common Controls 6 context its windows are created in.
#pragma once

#include "platform/printoem.h"

// Instance handle of this module: the dialog templates of the pages and dialogs live here.
extern HINSTANCE ModuleHandle;

// The activation context of the module's manifest (Common Controls 6), made on first use and kept
// until the module unloads: one for the process, never one per sheet. INVALID_HANDLE_VALUE when the
// manifest cannot be used; the windows then get the host's controls, as they would without one.
HANDLE PluginActivationContext();

// Releases the context at unload; nothing else may use it afterwards.
void ReleasePluginActivationContext();

// DialogBoxParamW on one of the module's templates, inside the plug-in's activation context.
INT_PTR ShowPluginDialog(HWND owner, WORD templateId, DLGPROC procedure, LPARAM initParam);

// String id of module, copied onto heap and trimmed to its length; null when it cannot be loaded.
PWSTR LoadHeapString(HANDLE heap, HANDLE module, UINT id);
