# Windows on ARM: Debian's clang-16 and lld-16 against the sysroot the set-up makes once
# (scripts/arm64-sysroot.sh: the mingw-w64 headers and C runtime built for aarch64). No C++ runtime
# library exists for this target here: the plug-in uses the x86-64 MinGW install's libstdc++ headers
# for what is header-only and links no libstdc++ (src/frame/dll_runtime_arm64.cpp has the rest).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(ORLIN_TARGET aarch64-w64-mingw32)
get_filename_component(ORLIN_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../build/arm64-sysroot ABSOLUTE)
if(NOT EXISTS ${ORLIN_SYSROOT}/.orlin-made)
  message(FATAL_ERROR "No ARM64 sysroot in ${ORLIN_SYSROOT}: run scripts/setup.sh first (make does)")
endif()
# The win32 thread variant's: the posix one's headers want winpthreads, which this sysroot lacks.
file(GLOB ORLIN_LIBSTDCXX_HEADERS /usr/lib/gcc/x86_64-w64-mingw32/*-win32/include/c++)
list(GET ORLIN_LIBSTDCXX_HEADERS -1 ORLIN_LIBSTDCXX_HEADERS)

set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_RC_COMPILER llvm-windres-16)
set(CMAKE_C_COMPILER_TARGET ${ORLIN_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${ORLIN_TARGET})
set(CMAKE_ASM_COMPILER clang-16)
set(CMAKE_ASM_COMPILER_TARGET ${ORLIN_TARGET})
set(CMAKE_SYSROOT ${ORLIN_SYSROOT})
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${ORLIN_LIBSTDCXX_HEADERS} ${ORLIN_LIBSTDCXX_HEADERS}/x86_64-w64-mingw32)
# Type information would need the C++ runtime library's classes; nothing here asks a type its name.
set(CMAKE_CXX_FLAGS_INIT -fno-rtti)
# llvm-windres preprocesses with the clang beside it on PATH, for the target, in our sysroot.
set(CMAKE_RC_FLAGS_INIT "--target=${ORLIN_TARGET} --preprocessor-arg=--sysroot=${ORLIN_SYSROOT}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -nostdlib++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -nostdlib++ -static")
set(CMAKE_FIND_ROOT_PATH ${ORLIN_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
