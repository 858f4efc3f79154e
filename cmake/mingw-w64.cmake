# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers (the
# posix thread model, which std::thread needs). Programs link the C and C++
# runtimes in, so that they run with no DLL of the compiler beside them.
#
#   cmake --preset windows-cross   (or -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCANFORMS_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCANFORMS_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCANFORMS_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SCANFORMS_MINGW}-windres)

# Libraries and headers of the target only; programs of this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SCANFORMS_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
