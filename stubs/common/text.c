#include "text.h"

#include <stdarg.h>
#include <stdio.h>
#include <wchar.h>

void *StubAlloc(size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1); }

void StubFree(void *p) {
    if (p) HeapFree(GetProcessHeap(), 0, p);
}

static WCHAR *convertToWide(UINT codePage, DWORD flags, const char *bytes, int length) {
    int count = MultiByteToWideChar(codePage, flags, bytes, length, NULL, 0);
    if (count <= 0) return NULL;
    WCHAR *out = StubAlloc(((size_t)count + 1) * sizeof(WCHAR));
    if (out && MultiByteToWideChar(codePage, flags, bytes, length, out, count) != count) {
        StubFree(out);
        return NULL;
    }
    return out;
}

WCHAR *WideFromBytes(const char *bytes, int length) {
    if (length < 0) length = (int)strlen(bytes);
    if (length == 0) return StubAlloc(sizeof(WCHAR));
    WCHAR *out = convertToWide(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, length);
    if (!out) out = convertToWide(CP_ACP, 0, bytes, length);
    return out ? out : StubAlloc(sizeof(WCHAR));
}

char *Utf8FromWide(const WCHAR *text) {
    int count = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char *out = StubAlloc(count > 0 ? (size_t)count : 1);
    if (out && count > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, out, count, NULL, NULL);
    return out;
}

WCHAR *WideDuplicate(const WCHAR *text) {
    size_t length = wcslen(text);
    WCHAR *out = StubAlloc((length + 1) * sizeof(WCHAR));
    if (out) memcpy(out, text, length * sizeof(WCHAR));
    return out;
}

BOOL WideCopy(WCHAR *out, size_t cap, const WCHAR *text) {
    if (cap == 0) return FALSE;
    out[0] = 0;
    return WideAppend(out, cap, text);
}

BOOL WideAppend(WCHAR *out, size_t cap, const WCHAR *text) {
    size_t used = wcslen(out);
    size_t length = wcslen(text);
    if (used + length + 1 > cap) {
        size_t room = cap > used + 1 ? cap - used - 1 : 0;
        memcpy(out + used, text, room * sizeof(WCHAR));
        out[used + room] = 0;
        return FALSE;
    }
    memcpy(out + used, text, (length + 1) * sizeof(WCHAR));
    return TRUE;
}

void WideFormat(WCHAR *out, size_t cap, const WCHAR *format, ...) {
    va_list args;
    va_start(args, format);
    int written = _vsnwprintf(out, cap, format, args);
    va_end(args);
    if (written < 0 || (size_t)written >= cap) out[cap - 1] = 0;
}

void ErrorText(DWORD error, WCHAR *out, size_t cap) {
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, out,
                             (DWORD)cap, NULL);
    while (n > 0 && (out[n - 1] == L'\r' || out[n - 1] == L'\n' || out[n - 1] == L' ')) out[--n] = 0;
    if (n == 0) WideFormat(out, cap, L"Error %lu", (unsigned long)error);
}
