// The C and C++ runtimes linked into the program call three Unicode
// functions of KERNEL32 that Windows 95, 98 and ME export only as stubs that
// fail: GetModuleHandleW and LoadLibraryW, to find optional functions of
// msvcrt and advapi32, and CreateSemaphoreW, for the wait of a contended
// mutex. Their import slots are defined here, so that the linker takes these
// instead of KERNEL32's: functions that go through the ANSI ones, which
// every version has. The runtime's names are plain ASCII, so nothing is lost
// on NT either.
#include <windows.h>

namespace {

bool ToAnsi(LPCWSTR pszName, char (&szName)[MAX_PATH])
{
    return ::WideCharToMultiByte(CP_ACP, 0, pszName, -1, szName, MAX_PATH, nullptr, nullptr) != 0;
}

HMODULE WINAPI GetModuleHandleThroughAnsi(LPCWSTR pszModule)
{
    char szModule[MAX_PATH];
    if (!pszModule)
        return ::GetModuleHandleA(nullptr);
    return ToAnsi(pszModule, szModule) ? ::GetModuleHandleA(szModule) : nullptr;
}

HMODULE WINAPI LoadLibraryThroughAnsi(LPCWSTR pszFile)
{
    char szFile[MAX_PATH];
    return ToAnsi(pszFile, szFile) ? ::LoadLibraryA(szFile) : nullptr;
}

HANDLE WINAPI CreateSemaphoreThroughAnsi(LPSECURITY_ATTRIBUTES pAttributes, LONG lInitialCount,
                                         LONG lMaximumCount, LPCWSTR pszName)
{
    char szName[MAX_PATH];
    if (!pszName)
        return ::CreateSemaphoreA(pAttributes, lInitialCount, lMaximumCount, nullptr);
    return ToAnsi(pszName, szName) ? ::CreateSemaphoreA(pAttributes, lInitialCount, lMaximumCount, szName)
                                   : nullptr;
}

} // namespace

extern "C" const void* const ImportGetModuleHandleW __asm__("__imp__GetModuleHandleW@4") =
    reinterpret_cast<const void*>(&GetModuleHandleThroughAnsi);
extern "C" const void* const ImportLoadLibraryW __asm__("__imp__LoadLibraryW@4") =
    reinterpret_cast<const void*>(&LoadLibraryThroughAnsi);
extern "C" const void* const ImportCreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16") =
    reinterpret_cast<const void*>(&CreateSemaphoreThroughAnsi);
