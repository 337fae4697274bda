// What the ARM64 DLL would otherwise take from a C++ runtime library, of which the ARM64 build links
// none: the tag that selects the plug-in's nothrow new (dll_allocation.cpp) and the deletes that
// free what it allocated, both forms, as the compiler calls the sized one for objects of known size.
#include <cstdlib>
#include <new>

namespace std {
const nothrow_t nothrow{};
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
