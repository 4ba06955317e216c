# Cross build for 64-bit Windows with the mingw-w64 toolchain (Debian package
# g++-mingw-w64-x86-64-posix: the posix thread model, which std::thread needs).
#
# QUILLANE_MINGW_RUNTIME chooses how programs get the toolchain's runtime
# (libgcc, libstdc++, libwinpthread):
#   static (default)  linked into each program, which then runs on a Windows
#                     machine that has none of the toolchain's DLLs;
#   shared            the toolchain's DLLs, shipped beside the program. Qt
#                     built as DLLs and the console built against it both use
#                     this, so that one runtime serves the program and Qt.
# QUILLANE_QT_PREFIX adds the folder of a Qt built for Windows to the places
# where packages are looked for (besides the toolchain's own root).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLANE_MINGW_PREFIX x86_64-w64-mingw32)
# The -posix compilers by name, whatever the alternatives point at.
set(quillane_mingw_suffix "")
if(EXISTS /usr/bin/${QUILLANE_MINGW_PREFIX}-g++-posix)
  set(quillane_mingw_suffix -posix)
endif()
set(CMAKE_C_COMPILER ${QUILLANE_MINGW_PREFIX}-gcc${quillane_mingw_suffix})
set(CMAKE_CXX_COMPILER ${QUILLANE_MINGW_PREFIX}-g++${quillane_mingw_suffix})
set(CMAKE_RC_COMPILER ${QUILLANE_MINGW_PREFIX}-windres)

# try_compile projects read this file again: hand them the same choices.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLANE_MINGW_RUNTIME QUILLANE_QT_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLANE_MINGW_PREFIX})
if(QUILLANE_QT_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${QUILLANE_QT_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT QUILLANE_MINGW_RUNTIME STREQUAL "shared")
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
  set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
endif()
