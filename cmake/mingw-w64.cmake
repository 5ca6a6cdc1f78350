# Cross-compiles for 64-bit Windows with Debian's MinGW-w64. The -posix
# compilers use the winpthreads thread model, which std::thread and
# std::mutex need; the runtime is linked statically so the programs run
# without the MinGW DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMI_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMI_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMI_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMI_MINGW_TRIPLET}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# Libraries and headers come from the MinGW tree only; programs the build
# runs come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${LUMI_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ZLIB_USE_STATIC_LIBS ON)
