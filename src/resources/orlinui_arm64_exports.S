// The ARM64 DLL's export table, given to the linker whole. From a .def file, the ARM64 linker
// (LLVM 16's) numbers the exports from ordinal base 0 and writes an empty, unnamed export at
// ordinal 0 ahead of ours; this table holds exactly the two exports, at ordinals 1 and 2, as the
// x86 and x64 DLLs have them.
    .section .edata, "dr"
    .p2align 2
    .long 0, 0                          // characteristics, time stamp
    .short 0, 0                         // version
    .rva dll_name
    .long 1, 2, 2                       // ordinal base, functions, names
    .rva functions, names, ordinals
functions:
    .rva DllCanUnloadNow, DllGetClassObject
names:                                  // in the order of the names: the loader searches them
    .rva can_unload_now, get_class_object
ordinals:
    .short 0, 1
dll_name:
    .asciz "orlinui.dll"
can_unload_now:
    .asciz "DllCanUnloadNow"
get_class_object:
    .asciz "DllGetClassObject"
