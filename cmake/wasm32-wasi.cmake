# Cross-compiles for the browser: a WebAssembly reactor module on WASI's C
# library, with Debian's clang and lld. Debian's clang finds wasi-libc and the
# wasm32 libc++ in /usr/include/wasm32-wasi and /usr/lib/wasm32-wasi by itself;
# WASI_SYSROOT points it elsewhere.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)

# GNU ar writes no symbol index for WebAssembly objects, which wasm-ld needs.
find_program(CMAKE_AR NAMES llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib REQUIRED)

set(WASI_SYSROOT "" CACHE PATH "wasi-libc sysroot, empty for the compiler's own search path")
if(WASI_SYSROOT)
    set(CMAKE_SYSROOT ${WASI_SYSROOT})
endif()

set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
# Cached before the compiler module appends its -O3 to the _INIT flags.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
# No main: the page calls the module's exports after _initialize.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-mexec-model=reactor -Wl,--strip-all")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
