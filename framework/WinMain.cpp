// The process entry of a program built on the framework.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return AfxWinMain();
}
