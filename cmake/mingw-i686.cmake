# Cross build for 32-bit Windows with MinGW-w64 (posix thread model: std::mutex etc.)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No runtime DLLs beside the program: link libgcc, libstdc++ and winpthread statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The static LZO and libjpeg that scripts/setup cross-builds.
get_filename_component(_snapwise_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(SNAPWISE_DEPS_PREFIX "${_snapwise_root}/build/deps/${TOOLCHAIN_PREFIX}" CACHE PATH "Cross-built dependencies")
list(APPEND CMAKE_FIND_ROOT_PATH "${SNAPWISE_DEPS_PREFIX}")

# ctest runs every Windows executable under Wine through our wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_snapwise_root}/scripts/wine-run")
