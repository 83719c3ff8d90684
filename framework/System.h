// What the program asks of the Windows it runs on.
#pragma once

#include <windows.h>

// Windows 95, 98 and ME, where most Unicode functions are stubs that fail:
// the high bit of GetVersion.
inline bool AfxIsWin9x()
{
    return (::GetVersion() & 0x80000000) != 0;
}

// A function of a system DLL that not every Windows version has, looked up
// at run time so that the program still loads there; null when it is absent.
template <class Function> Function AfxGetProcAddress(HMODULE hModule, LPCSTR pszName)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(hModule, pszName)));
}

// The same for a system DLL the program has loaded already, by name.
template <class Function> Function AfxGetSystemFunction(LPCSTR pszModule, LPCSTR pszName)
{
    HMODULE hModule = ::GetModuleHandleA(pszModule);
    return hModule ? AfxGetProcAddress<Function>(hModule, pszName) : nullptr;
}
