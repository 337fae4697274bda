// Page and dialog procedures of the document properties, in the order the pages are added.
#pragma once

#include "platform/printoem.h"

INT_PTR CALLBACK PrintModePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InkLevelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UtilitiesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PurgePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The "Alignment" and "Nozzle Check" instruction dialogs: 1 for the first button, 0 otherwise.
INT_PTR CALLBACK ConfirmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The alignment adjustment dialog; its creation parameter points at the printer handle.
INT_PTR CALLBACK AlignmentAdjustProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
