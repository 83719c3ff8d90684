# The shipped program: MinGW-w64 i686 with the win32 thread model. The posix
# model's runtime (winpthread) imports KERNEL32 functions that Windows 98,
# ME and 2000 do not have, so the program would not load there.
set(MINGW_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
