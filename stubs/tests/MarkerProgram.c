/* A stand-in program for the stub tests: writes its command line and working
   folder into "ran.txt" in its working folder. */
#include <windows.h>

int wmain(void) {
    WCHAR folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    HANDLE file = CreateFileW(L"ran.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char line[4 * MAX_PATH];
    int n = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, NULL, NULL);
    DWORD written = 0;
    if (n > 0) WriteFile(file, line, (DWORD)n - 1, &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    n = WideCharToMultiByte(CP_UTF8, 0, folder, -1, line, sizeof line, NULL, NULL);
    if (n > 0) WriteFile(file, line, (DWORD)n - 1, &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
    return 0;
}
