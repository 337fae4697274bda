// The process's object counts, for telling whether anything is left behind: GDI objects, USER
// objects and private bytes. Windows answers GetGuiResources and PrivateUsage. Wine answers 0 to
// GetGuiResources and fills only PagefileUsage, so there the GDI count is a census of the
// process's GDI handle table, read at the platform's fixed offsets, and the USER count a census of
// the thread's windows; each census is used only after it has counted objects made on purpose
// correctly. The source of each count is chosen once, at run time.
#pragma once

#include <windows.h>

#include <string>

struct ObjectCounts {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T privateBytes = 0;
};

class ObjectCensus {
public:
    ObjectCensus();  // chooses the sources; needs a thread that may create windows

    ObjectCounts Take() const;

    // How each count is read, in words for the report.
    std::wstring gdiSource() const;
    std::wstring userSource() const;
    std::wstring memorySource() const;

private:
    enum class Source { Platform, Census, None };
    Source gdi_ = Source::None, user_ = Source::None;
    bool memoryFromPagefile_ = false;
};
