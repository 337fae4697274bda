// Steps of the head alignment cycle shared by the Utilities page and the alignment adjustment
// dialog: the instruction dialog, then the alignment test pattern for the user to read.
#pragma once

#include <windows.h>

// Driver file holding the alignment test pattern; the printer prints it on its PRINT key.
constexpr wchar_t ALIGNMENT_PATTERN_FILE[] = L"align.bin";
constexpr wchar_t ALIGNMENT_PATTERN_DOC_NAME[] = L"Alignment File";

// Shows the "Alignment" instruction dialog over owner and, once the user pressed "&Print", sends the
// test pattern. Returns 1 when the pattern was asked for, 0 when the user cancelled.
int PrintAlignmentPattern(HWND owner, HANDLE printer);
