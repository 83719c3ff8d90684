// A program on Sondaro's own runtime (framework/Runtime.cpp) for the tests
// of that runtime. Its command line says what it does:
//   order   two global objects are constructed in their order, and after
//           WinMain destroyed in the reverse order; the exit code is
//           WinMain's result plus one when all of that held.
//   memory  asks for more memory than a 32-bit process can have.
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

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCmdLine, int)
{
    if (::lstrcmpA(pszCmdLine, "memory") == 0) {
        s_pBlock = new char[0x7FFF0000];
        return 0;
    }
    s_nResult = ::lstrcmpA(pszCmdLine, "order") == 0 && s_nConstructed == 2 ? 7 : 50;
    return s_nResult;
}
