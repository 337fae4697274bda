// Allocation failures on demand: the plug-in's HeapAlloc/HeapReAlloc on one heap, and the
// nothrow operator new of the test program, fail at a chosen call so that every allocation the
// plug-in makes can be made to fail in turn.
#pragma once

#include <windows.h>

#include "emulation/import_patch.h"

class FailingHeap {
public:
    // Counts only the calls made on `heap`; other heaps pass through untouched.
    explicit FailingHeap(HANDLE heap, HMODULE module = ProgramModule());
    ~FailingHeap();

    size_t failAt = 0;       // 1-based number of the counted call that fails; 0: none
    bool failAfter = false;  // with failAt: that call and every later one fail
    size_t calls = 0;
    size_t failures = 0;

private:
    ImportPatches patches_;
};

// The nothrow operator new of the test program, counted and made to fail the same way.
struct FailingNew {
    FailingNew();
    ~FailingNew();
    size_t failAt = 0;
    size_t calls = 0;
};
