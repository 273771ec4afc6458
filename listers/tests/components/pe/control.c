/* The test control: imports the helper, KERNEL32 and USER32, registers
   itself, and names two libraries in its data that it would load on demand. */
#include <windows.h>

int HelperValue(void);

/* Each name is followed by two bytes and a line feed, as the name pass needs. */
const char kLoadedOnDemand[] = "dynload.dll\0\0\nautprx32.dll\0\0\n";

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance; (void)reason; (void)reserved;
    return TRUE;
}

__declspec(dllexport) HRESULT DllRegisterServer(void) {
    if (HelperValue() != 42) MessageBoxA(NULL, kLoadedOnDemand, "control", MB_OK);
    return GetLastError() ? E_FAIL : S_OK;
}
