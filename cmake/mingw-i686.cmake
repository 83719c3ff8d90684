# Cross-compiling the tests for 32-bit Windows with MinGW-w64 (posix thread
# model: GoogleTest needs std::mutex). The shipped program is built with the
# win32 thread model, in a build of its own (mingw-i686-win32.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(SONDARO_PRODUCT_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-i686-win32.cmake)

# CTest runs the test programs under Wine through this wrapper, which also
# provides the display and audio server they need.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test-env)
