// The DLL's own nothrow operator new. The plug-in allocates only its COM objects, with nothrow new.
// The runtime library's nothrow new catches the exception of the throwing one, and so brings in
// exception handling and, with the posix thread runtime, a thread-local storage slot taken at load
// and never given back: a process that loads and frees the plug-in about a thousand times (one
// print dialog after another) would run out of slots and could no longer load it. Allocating
// directly keeps that machinery out of the DLL. Linked into the DLL only: the test programs bring
// their own replacement, which can be made to fail.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}
