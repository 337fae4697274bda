// Redirects one import of a loaded module (its import address table entry) to a replacement, and
// puts the original back when the patch goes out of scope. The host uses it to record the spooler
// calls of the loaded plug-in; the tests use it to put stand-ins in place.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <vector>

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module does not import that function (nothing was patched).
    bool active() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// Several imports of one module redirected together, each put back when the set goes out of scope.
class ImportPatches {
public:
    struct Redirect {
        const char* dll;
        const char* function;
        const void* replacement;
    };
    ImportPatches(HMODULE module, std::initializer_list<Redirect> redirects);

    const ImportPatch& operator[](size_t index) const { return *patches_[index]; }

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

// The program itself: where the plug-in's code is linked into a program (the tests), its imports are
// the program's.
inline HMODULE ProgramModule()
{
    return GetModuleHandleW(nullptr);
}
