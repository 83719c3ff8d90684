# Cross-compiling the tests for 32-bit Windows with MinGW-w64 (posix thread
# model: GoogleTest needs std::mutex). The shipped program is built with the
# win32 thread model, in a build of its own (mingw-i686-win32.cmake).
set(MINGW_THREAD_MODEL posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)

set(SONDARO_PRODUCT_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-i686-win32.cmake)

# CTest runs the test programs under Wine through this wrapper, which also
# provides the display and audio server they need.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test-env)
