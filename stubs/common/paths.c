#include "paths.h"

#include <shlobj.h>
#include <wchar.h>

#include "text.h"

static BOOL isSeparator(WCHAR c) { return c == L'\\' || c == L'/'; }

BOOL IsSafeEntryName(const WCHAR *name) {
    if (!name[0] || isSeparator(name[0])) return FALSE;
    if (wcschr(name, L':')) return FALSE;
    const WCHAR *part = name;
    for (;;) {
        const WCHAR *end = part;
        while (*end && !isSeparator(*end)) ++end;
        size_t length = (size_t)(end - part);
        if (length == 1 && part[0] == L'.') return FALSE;
        if (length == 2 && part[0] == L'.' && part[1] == L'.') return FALSE;
        if (!*end) return length > 0;
        part = end + 1;
    }
}

BOOL JoinInside(const WCHAR *folder, const WCHAR *name, BOOL keepFolders, WCHAR *out, size_t cap) {
    if (!IsSafeEntryName(name)) return FALSE;
    if (!keepFolders) name = FileNamePart(name);
    if (!WideCopy(out, cap, folder)) return FALSE;
    TrimTrailingSeparator(out);
    size_t start = wcslen(out);
    if (!WideAppend(out, cap, L"\\") || !WideAppend(out, cap, name)) return FALSE;
    for (WCHAR *p = out + start; *p; ++p)
        if (*p == L'/') *p = L'\\';
    return TRUE;
}

BOOL CreateFolderTree(const WCHAR *folder) {
    WCHAR path[STUB_PATH_CAP];
    if (!WideCopy(path, STUB_PATH_CAP, folder)) return FALSE;
    TrimTrailingSeparator(path);
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    WCHAR *last = NULL;
    for (WCHAR *p = path; *p; ++p)
        if (isSeparator(*p)) last = p;
    if (last && last > path && last[-1] != L':') {
        *last = 0;
        if (!CreateFolderTree(path)) return FALSE;
        *last = L'\\';
    }
    return CreateDirectoryW(path, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}

BOOL CreateParentFolders(const WCHAR *filePath) {
    WCHAR folder[STUB_PATH_CAP];
    if (!WideCopy(folder, STUB_PATH_CAP, filePath)) return FALSE;
    WCHAR *name = (WCHAR *)FileNamePart(folder);
    if (name == folder) return TRUE;
    name[-1] = 0;
    return folder[0] == 0 || CreateFolderTree(folder);
}

void TrimTrailingSeparator(WCHAR *path) {
    size_t length = wcslen(path);
    if (length > 1 && isSeparator(path[length - 1]) && path[length - 2] != L':') path[length - 1] = 0;
}

const WCHAR *FileNamePart(const WCHAR *path) {
    const WCHAR *name = path;
    for (const WCHAR *p = path; *p; ++p)
        if (isSeparator(*p)) name = p + 1;
    return name;
}

BOOL IsAbsolutePath(const WCHAR *path) {
    return isSeparator(path[0]) || (path[0] && path[1] == L':');
}

void OwnPath(WCHAR *out, size_t cap) {
    DWORD n = GetModuleFileNameW(NULL, out, (DWORD)cap);
    if (n == 0 || n >= cap) out[0] = 0;
}

void OwnFolder(WCHAR *out, size_t cap) {
    OwnPath(out, cap);
    WCHAR *name = (WCHAR *)FileNamePart(out);
    if (name > out) name[-1] = 0;
}

static void shellFolder(int csidl, WCHAR *out, size_t cap) {
    WCHAR path[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path)))
        WideCopy(out, cap, path);
    else
        out[0] = 0;
}

static void tokenFolder(int token, const WCHAR *destDir, WCHAR *out, size_t cap) {
    out[0] = 0;
    switch (token) {
        case 0: WideCopy(out, cap, destDir); break;
        case 1: shellFolder(CSIDL_PROGRAM_FILES, out, cap); break;
        case 2: shellFolder(CSIDL_PROGRAM_FILES_COMMON, out, cap); break;
        case 3: if (!GetWindowsDirectoryW(out, (UINT)cap)) out[0] = 0; break;
        case 4: if (!GetSystemDirectoryW(out, (UINT)cap)) out[0] = 0; break;
        case 5: if (!GetTempPathW((DWORD)cap, out)) out[0] = 0; break;
    }
    TrimTrailingSeparator(out);
}

BOOL ResolveFolderTokens(const WCHAR *text, const WCHAR *destDir, WCHAR *out, size_t cap) {
    static const WCHAR *const tokens[] = {L"%DESTDIR%", L"%PROGRAMFILES%", L"%COMMONFILES%",
                                          L"%WINDOWS%", L"%SYSTEM%",       L"%TEMP%"};
    BOOL fits = WideCopy(out, cap, L"");
    while (*text) {
        int found = -1;
        for (int i = 0; i < 6 && found < 0; ++i)
            if (_wcsnicmp(text, tokens[i], wcslen(tokens[i])) == 0) found = i;
        if (found >= 0) {
            WCHAR folder[STUB_PATH_CAP];
            tokenFolder(found, destDir, folder, STUB_PATH_CAP);
            fits = WideAppend(out, cap, folder) && fits;
            text += wcslen(tokens[found]);
        } else {
            WCHAR one[2] = {*text++, 0};
            fits = WideAppend(out, cap, one) && fits;
        }
    }
    return fits;
}
