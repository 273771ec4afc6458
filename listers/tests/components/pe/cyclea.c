/* cyclea.dll and cycleb.dll import each other. */
#include <windows.h>

int CycleB(void);

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance; (void)reason; (void)reserved;
    return TRUE;
}

__declspec(dllexport) int CycleA(void) { return CycleB() + 1; }
