# Cross build for 64-bit Windows with mingw-w64 (posix thread model, static runtime).
# Built programs run through Wine; the test runner sets WINEPREFIX and DISPLAY.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)

# Where the build host keeps what the cross build borrows from it: the
# header-only libraries (CLI11, nlohmann-json) and GoogleTest's sources, which
# are built with this toolchain.
set(KOVAN_HOST_INCLUDE_DIR /usr/include)
set(KOVAN_GOOGLETEST_SOURCE_DIR /usr/src/googletest)
