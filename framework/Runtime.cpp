// What the program needs of a C and C++ runtime, and nothing else. The
// MinGW runtime is compiled for the Pentium Pro (its start-up alone runs a
// CMOV) and brings msvcrt.dll, which Windows 95 lacks; so the shipped
// program links none of it. Here are its process entry, the global
// constructors and exit functions, operator new and delete on the process
// heap, and the memory functions that the compiler emits calls to. This
// file is compiled freestanding, so that the compiler does not turn these
// loops back into calls to themselves.
#include <windows.h>

#include <cstddef>

typedef void (*Function)();

// ld's PE script puts the constructors of every module in one list: -1, the
// functions, 0.
extern "C" Function __CTOR_LIST__[];
// The process entry: the linker's default for a GUI program.
extern "C" void WinMainCRTStartup();

namespace {

// The exit functions, run last registered first. Only the global objects
// with destructors register, a handful.
const int kMaxExitFunctions = 32;
Function s_exitFunctions[kMaxExitFunctions];
int s_nExitFunctions = 0;

void RunConstructors()
{
    // As MinGW does: from the end of the list to its start.
    int nCount = 0;
    while (__CTOR_LIST__[nCount + 1])
        ++nCount;
    for (int i = nCount; i >= 1; --i)
        __CTOR_LIST__[i]();
}

void RunExitFunctions()
{
    while (s_nExitFunctions > 0)
        s_exitFunctions[--s_nExitFunctions]();
}

// Blanks and control characters end the program's name. Compared unsigned:
// char is signed here, and the letters of the code page from 0x80 on would
// otherwise count as control characters.
bool IsBlank(char ch)
{
    return static_cast<unsigned char>(ch) <= ' ';
}

// The command line after the program's name, as the C runtime gives it to
// WinMain.
LPSTR CommandTail()
{
    LPSTR psz = ::GetCommandLineA();
    if (*psz == '"') {
        ++psz;
        while (*psz && *psz != '"')
            ++psz;
        if (*psz == '"')
            ++psz;
    } else {
        while (*psz && !IsBlank(*psz))
            ++psz;
    }
    while (*psz && IsBlank(*psz))
        ++psz;
    return psz;
}

bool s_bOutOfMemory = false;

[[noreturn]] void OutOfMemory()
{
    // The message box runs a message loop: a paint there that allocates, and
    // fails, comes back here, and would open box upon box until the stack
    // runs out. The second time ends the program at once.
    if (s_bOutOfMemory)
        ::ExitProcess(3);
    s_bOutOfMemory = true;
    // Nothing more can be allocated: fixed texts, no owner window. The
    // program writes nothing, so ending it loses nothing.
    ::MessageBoxA(nullptr, "Nicht gen\xFCgend Arbeitsspeicher.", "Sondaro",
                  MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND);
    ::ExitProcess(3);
}

void* Allocate(size_t nSize)
{
    void* p = ::HeapAlloc(::GetProcessHeap(), 0, nSize ? nSize : 1);
    if (!p)
        OutOfMemory();
    return p;
}

void Free(void* p)
{
    if (p)
        ::HeapFree(::GetProcessHeap(), 0, p);
}

} // namespace

extern "C" void WinMainCRTStartup()
{
    RunConstructors();
    STARTUPINFOA si;
    si.cb = sizeof si;
    ::GetStartupInfoA(&si);
    int nShowCmd = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
    int nResult = WinMain(::GetModuleHandleA(nullptr), nullptr, CommandTail(), nShowCmd);
    RunExitFunctions();
    ::ExitProcess(static_cast<UINT>(nResult));
}

// GCC registers the destructor of each global object here.
extern "C" int atexit(Function pfn)
{
    if (s_nExitFunctions == kMaxExitFunctions)
        return -1;
    s_exitFunctions[s_nExitFunctions++] = pfn;
    return 0;
}

// Never null: when the heap refuses, the program ends.
void* operator new(size_t nSize)
{
    return Allocate(nSize);
}

void* operator new[](size_t nSize)
{
    return Allocate(nSize);
}

void operator delete(void* p) noexcept
{
    Free(p);
}

void operator delete[](void* p) noexcept
{
    Free(p);
}

void operator delete(void* p, size_t) noexcept
{
    Free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    Free(p);
}

extern "C" void* memcpy(void* pDest, const void* pSource, size_t nCount)
{
    BYTE* pTo = static_cast<BYTE*>(pDest);
    const BYTE* pFrom = static_cast<const BYTE*>(pSource);
    while (nCount--)
        *pTo++ = *pFrom++;
    return pDest;
}

extern "C" void* memset(void* pDest, int nValue, size_t nCount)
{
    BYTE* pTo = static_cast<BYTE*>(pDest);
    while (nCount--)
        *pTo++ = static_cast<BYTE>(nValue);
    return pDest;
}

extern "C" size_t strlen(const char* psz)
{
    const char* pch = psz;
    while (*pch)
        ++pch;
    return static_cast<size_t>(pch - psz);
}
