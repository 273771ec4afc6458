#include "image.h"

#include <string.h>

/* A signing tool may align the appended data: look this far past the end of
   the image for the cabinet's header. */
#define CABINET_SEARCH_SPAN 4096

static BOOL readAt(HANDLE file, LONGLONG offset, void *buffer, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    return SetFilePointerEx(file, at, NULL, FILE_BEGIN) && ReadFile(file, buffer, size, &got, NULL) && got == size;
}

/* The end of the last section's raw data: where the image ends on disk. */
static BOOL imageEnd(HANDLE file, LONGLONG *end) {
    IMAGE_DOS_HEADER dos;
    if (!readAt(file, 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return FALSE;
    DWORD signature = 0;
    IMAGE_FILE_HEADER header;
    LONGLONG at = (LONGLONG)(DWORD)dos.e_lfanew;
    if (!readAt(file, at, &signature, sizeof signature) || signature != IMAGE_NT_SIGNATURE) return FALSE;
    if (!readAt(file, at + 4, &header, sizeof header)) return FALSE;
    LONGLONG sections = at + 4 + (LONGLONG)sizeof header + header.SizeOfOptionalHeader;
    LONGLONG last = 0;
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!readAt(file, sections + (LONGLONG)i * (LONGLONG)sizeof section, &section, sizeof section)) return FALSE;
        LONGLONG sectionEnd = (LONGLONG)section.PointerToRawData + section.SizeOfRawData;
        if (section.SizeOfRawData && sectionEnd > last) last = sectionEnd;
    }
    *end = last;
    return last > 0;
}

/* "MSCF" followed by the header's zero reserved field. */
static BOOL isCabinetHeader(const BYTE *p) {
    static const BYTE header[8] = {'M', 'S', 'C', 'F', 0, 0, 0, 0};
    return memcmp(p, header, sizeof header) == 0;
}

BOOL FindAppendedCabinet(const WCHAR *path, LONGLONG *offset) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    BOOL found = FALSE;
    LONGLONG end = 0;
    static BYTE window[CABINET_SEARCH_SPAN + 8];
    if (imageEnd(file, &end)) {
        DWORD got = 0;
        LARGE_INTEGER at;
        at.QuadPart = end;
        if (SetFilePointerEx(file, at, NULL, FILE_BEGIN) && ReadFile(file, window, sizeof window, &got, NULL)) {
            for (DWORD i = 0; i + 8 <= got && !found; ++i) {
                if (isCabinetHeader(window + i)) {
                    *offset = end + i;
                    found = TRUE;
                }
            }
        }
    }
    CloseHandle(file);
    if (!found) SetLastError(ERROR_BAD_FORMAT);
    return found;
}
