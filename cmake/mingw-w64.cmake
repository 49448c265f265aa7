# Cross build of the Windows program with mingw-w64 (x86-64, POSIX threads).
#   cmake -S . -B /tmp/build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Unicode throughout: only the W functions. The program's entry point is
# wWinMain (-municode on the vela target); the test programs keep main().
add_compile_definitions(UNICODE _UNICODE NOMINMAX)
# One self-contained .exe: no libgcc, libstdc++ or winpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine runs the built programs (test discovery, ctest).
find_program(VELA_WINE NAMES wine wine64)
if(VELA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELA_WINE})
endif()
