# Cross-builds happy-koalas-hum.exe for the Windows console with Debian's
# g++-mingw-w64-x86-64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The run-time libraries are linked in, so the .exe needs nothing beside
# itself but the system's KERNEL32, msvcrt and WINMM.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
# The game uses no threads, so the win32-threads compiler does; it needs no
# threading library at all.
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_prefix}-g++-win32 ${mingw_prefix}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No link time stamped into the .exe, so the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# A Release .exe ships without its symbol tables.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
