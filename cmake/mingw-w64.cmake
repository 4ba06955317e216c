# Cross build for 64-bit Windows with the mingw-w64 toolchain (Debian package
# mingw-w64). The programs link everything of the toolchain statically (libgcc,
# libstdc++ and, with the posix thread model, libwinpthread), so they run on a
# Windows machine that has none of the toolchain's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLANE_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${QUILLANE_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${QUILLANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
