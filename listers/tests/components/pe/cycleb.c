/* cycleb.dll and cyclea.dll import each other. */
#include <windows.h>

int CycleA(void);

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance; (void)reason; (void)reserved;
    return TRUE;
}

__declspec(dllexport) int CycleB(void) { return CycleA() - 1; }
