# Cross-building for 64-bit Windows on Debian with MinGW-w64:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTORVENKA_DESKTOP=OFF
#
# (scripts/windows does it, and installs the compilers). The posix flavour of
# Debian's compilers (g++-mingw-w64-x86-64-posix) has std::thread and
# std::mutex; the win32 flavour has not. Everything is linked statically, the
# C and C++ runtimes included, so the program imports only Windows' own DLLs
# and runs from a folder or a zip without any DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TORVENKA_MINGW_PREFIX x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER ${TORVENKA_MINGW_PREFIX}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${TORVENKA_MINGW_PREFIX}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${TORVENKA_MINGW_PREFIX}-windres REQUIRED)
find_program(CMAKE_AR ${TORVENKA_MINGW_PREFIX}-ar)
find_program(CMAKE_RANLIB ${TORVENKA_MINGW_PREFIX}-ranlib)
find_program(CMAKE_STRIP ${TORVENKA_MINGW_PREFIX}-strip)
find_program(CMAKE_OBJDUMP ${TORVENKA_MINGW_PREFIX}-objdump)

# Headers and libraries come from the MinGW tree only; programs (fluidsynth,
# oggenc, makensis, zip) are the build machine's own.
set(CMAKE_FIND_ROOT_PATH /usr/${TORVENKA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

