# Cross-building for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTALO_WINDOWS_DEPS=/path/to/prefix
#
# TALO_WINDOWS_DEPS is where tools/windows.sh installed freeglut and
# GoogleTest built for Windows. Programs built for the build machine's use
# (the scene generator at build time, test discovery) run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALO_TRIPLETE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALO_TRIPLETE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALO_TRIPLETE}-g++-posix)
set(CMAKE_RC_COMPILER ${TALO_TRIPLETE}-windres)

set(TALO_WINDOWS_DEPS "" CACHE PATH "Prefix holding freeglut and GoogleTest built for Windows")
set(CMAKE_FIND_ROOT_PATH /usr/${TALO_TRIPLETE} ${TALO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TALO_WINE NAMES wine64 wine)
if(TALO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALO_WINE})
endif()

# No MinGW DLL beside the programs: the C and C++ run-times and winpthread
# are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TALO_WINDOWS_DEPS)
