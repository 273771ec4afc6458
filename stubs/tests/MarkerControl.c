/* A stand-in control for the stub tests: DllRegisterServer and
   DllUnregisterServer write a marker file beside the library. */
#include <windows.h>

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

static HRESULT writeMarker(const char *suffix) {
    char path[MAX_PATH + 32];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    lstrcatA(path, suffix);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return E_FAIL;
    DWORD written = 0;
    WriteFile(file, "registered\r\n", 12, &written, NULL);
    CloseHandle(file);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) { return writeMarker(".registered"); }
__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) { return writeMarker(".unregistered"); }
