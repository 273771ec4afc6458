#ifndef PCN_STUB_TEXT_H
#define PCN_STUB_TEXT_H
/* Small string helpers shared by the stubs. Texts from the cabinet and from
   pcn.cfg are bytes: UTF-8 when they are valid UTF-8 (what Parcelon writes),
   else the machine's ANSI code page. */

#include <windows.h>

#define STUB_PATH_CAP 1024

void *StubAlloc(size_t size);
void StubFree(void *p);

/* A heap copy of the bytes as wide text; never NULL (empty on failure). */
WCHAR *WideFromBytes(const char *bytes, int length);
/* A heap copy of the wide text as UTF-8 bytes; never NULL. */
char *Utf8FromWide(const WCHAR *text);
WCHAR *WideDuplicate(const WCHAR *text);

/* Bounded copy and append; FALSE (and the text cut) when it does not fit. */
BOOL WideCopy(WCHAR *out, size_t cap, const WCHAR *text);
BOOL WideAppend(WCHAR *out, size_t cap, const WCHAR *text);
/* printf-style formatting into a bounded buffer (use %ls for wide strings). */
void WideFormat(WCHAR *out, size_t cap, const WCHAR *format, ...);

/* The system's description of an error number, without the line end. */
void ErrorText(DWORD error, WCHAR *out, size_t cap);

#endif
