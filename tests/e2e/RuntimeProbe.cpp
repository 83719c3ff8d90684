// A program on Sondaro's own runtime (framework/Runtime.cpp) for the tests
// of that runtime. Its command line says what it does:
//   order   two global objects are constructed in their order, and after
//           WinMain destroyed in the reverse order; the exit code is
//           WinMain's result plus one when all of that held.
//   memory  asks for more memory than a 32-bit process can have.
//   repaint the same, while a window of its own waits to be repainted; its
//           paint asks for as much again, as the heap then refuses every
//           request. A second message box ends the process with 98.
#include <windows.h>

namespace {

int s_nConstructed = 0;
int s_nResult = -1;

struct First {
    First() { m_nOrder = ++s_nConstructed; }
    // Runs last: ends the process with what it found.
    ~First() { ::ExitProcess(s_bSecondDestroyed && m_nOrder == 1 ? s_nResult + 1 : 99); }
    int m_nOrder;
    static bool s_bSecondDestroyed;
};
bool First::s_bSecondDestroyed = false;

struct Second {
    Second() { m_nOrder = ++s_nConstructed; }
    ~Second() { First::s_bSecondDestroyed = s_nResult >= 0 && m_nOrder == 2; }
    int m_nOrder;
};

First s_first;
Second s_second;

// Kept where the compiler cannot drop the allocation.
char* volatile s_pBlock;
const unsigned kImpossibleSize = 0x7FFF0000;

BOOL CALLBACK CountDialog(HWND hWnd, LPARAM lParam)
{
    char szClass[8] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (::lstrcmpA(szClass, "#32770") == 0)
        ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

LRESULT CALLBACK AllocatingPaintProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg != WM_PAINT)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    int nBoxes = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountDialog, reinterpret_cast<LPARAM>(&nBoxes));
    if (nBoxes > 1)
        ::ExitProcess(98);
    s_pBlock = new char[kImpossibleSize];
    PAINTSTRUCT ps;
    ::BeginPaint(hWnd, &ps);
    ::EndPaint(hWnd, &ps);
    return 0;
}

void AskWhileARepaintWaits()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AllocatingPaintProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "RuntimeProbePaint";
    ::RegisterClassA(&wc);
    HWND hWnd = ::CreateWindowExA(0, wc.lpszClassName, "RuntimeProbe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ::InvalidateRect(hWnd, nullptr, TRUE);
    s_pBlock = new char[kImpossibleSize];
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCmdLine, int)
{
    if (::lstrcmpA(pszCmdLine, "memory") == 0) {
        s_pBlock = new char[kImpossibleSize];
        return 0;
    }
    if (::lstrcmpA(pszCmdLine, "repaint") == 0) {
        AskWhileARepaintWaits();
        return 0;
    }
    s_nResult = ::lstrcmpA(pszCmdLine, "order") == 0 && s_nConstructed == 2 ? 7 : 50;
    return s_nResult;
}
