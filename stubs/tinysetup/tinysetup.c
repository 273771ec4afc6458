/* TinySetup.Exe: the mini setup a wizard package may carry. Started by the
   wizard stub with the installation folder, it reads pcn.cfg there and
   creates the shortcut group and the shortcuts in the shell folder of
   "Shortcut Type=" (23 common programs, 2 personal programs, 7 startup).
   Usage: TinySetup.Exe [folder] [/Q]; without a folder, its own folder. */

#define COBJMACROS
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wchar.h>

#include "common/config.h"
#include "common/paths.h"
#include "common/ui.h"

static const WCHAR usage[] =
    L"Creates the shortcuts of an installed package.\r\n\r\n"
    L"  TinySetup.Exe [folder] [/Q]\r\n\r\n"
    L"  folder\tthe installation folder holding pcn.cfg (default: this program's folder)\r\n"
    L"  /Q\t\tquiet: no messages";

typedef struct MiniSetup {
    StubArgs args;
    StubConfig config;
    WCHAR folder[STUB_PATH_CAP];     /* the installation folder */
    WCHAR linkFolder[STUB_PATH_CAP]; /* where the shortcuts go */
    WCHAR title[512];
    int failures;
} MiniSetup;

static void reportError(MiniSetup *m, const WCHAR *format, const WCHAR *name, DWORD error) {
    WCHAR reason[512], text[STUB_PATH_CAP + 700];
    ErrorText(error, reason, 512);
    WideFormat(text, STUB_PATH_CAP + 700, format, name, reason);
    StubReport(m->args.quiet, m->title, text, MB_ICONERROR);
    m->failures++;
}

/* A description made fit for a file name: the characters Windows refuses
   become '_'; folders are allowed (group descriptions) when keepFolders. */
static void fileNameFrom(const WCHAR *text, BOOL keepFolders, WCHAR *out, size_t cap) {
    WideCopy(out, cap, text);
    for (WCHAR *p = out; *p; ++p) {
        if (*p < 32 || wcschr(L"/:*?\"<>|", *p) || (*p == L'\\' && !keepFolders)) *p = L'_';
    }
    if (keepFolders && !IsSafeEntryName(out))
        for (WCHAR *p = out; *p; ++p)
            if (*p == L'\\' || *p == L'.') *p = L'_';
    if (!out[0]) WideCopy(out, cap, L"_");
}

static int shellFolderCode(const MiniSetup *m) {
    int type = ConfigInt(&m->config, "Shortcut Type", CSIDL_PROGRAMS);
    if (type == CSIDL_COMMON_PROGRAMS || type == CSIDL_PROGRAMS || type == CSIDL_STARTUP) return type;
    return CSIDL_PROGRAMS;
}

static BOOL prepareLinkFolder(MiniSetup *m) {
    WCHAR shell[MAX_PATH];
    HRESULT result = SHGetFolderPathW(NULL, shellFolderCode(m) | CSIDL_FLAG_CREATE, NULL, SHGFP_TYPE_CURRENT, shell);
    if (FAILED(result)) {
        reportError(m, L"Unable to find the shell folder for the shortcuts%ls.\r\n\r\n%ls", L"", (DWORD)result);
        return FALSE;
    }
    WideCopy(m->linkFolder, STUB_PATH_CAP, shell);
    WCHAR *group = ConfigText(&m->config, "Group Description");
    BOOL ok = TRUE;
    if (ConfigFlag(&m->config, "Create Shortcut Group") && group[0]) {
        WCHAR name[MAX_PATH];
        fileNameFrom(group, TRUE, name, MAX_PATH);
        ok = JoinInside(shell, name, TRUE, m->linkFolder, STUB_PATH_CAP);
        if (!ok || !CreateFolderTree(m->linkFolder)) {
            reportError(m, L"Unable to create the shortcut group\r\n%ls\r\n\r\n%ls", m->linkFolder, GetLastError());
            ok = FALSE;
        }
    }
    StubFree(group);
    return ok;
}

/* The shortcut's target: tokens resolved, relative names inside the
   installation folder, or by their bare name when the installation did not
   restore the folders. */
static BOOL targetPath(const MiniSetup *m, const WCHAR *file, WCHAR *out, size_t cap) {
    WCHAR resolved[STUB_PATH_CAP];
    if (!ResolveFolderTokens(file, m->folder, resolved, STUB_PATH_CAP)) return FALSE;
    if (IsAbsolutePath(resolved)) return WideCopy(out, cap, resolved);
    if (!JoinInside(m->folder, resolved, TRUE, out, cap)) return FALSE;
    if (GetFileAttributesW(out) == INVALID_FILE_ATTRIBUTES) {
        WCHAR flat[STUB_PATH_CAP];
        if (JoinInside(m->folder, resolved, FALSE, flat, STUB_PATH_CAP) &&
            GetFileAttributesW(flat) != INVALID_FILE_ATTRIBUTES)
            WideCopy(out, cap, flat);
    }
    return TRUE;
}

/* The shell link's identifiers, here rather than from libuuid, whose every
   identifier would come along and double the program's size. */
static const CLSID shellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID shellLinkInterface = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID persistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

static HRESULT saveLink(const WCHAR *linkPath, const WCHAR *target, const WCHAR *description) {
    IShellLinkW *link = NULL;
    HRESULT result = CoCreateInstance(&shellLinkClass, NULL, CLSCTX_INPROC_SERVER, &shellLinkInterface, (void **)&link);
    if (FAILED(result)) return result;
    WCHAR folder[STUB_PATH_CAP];
    WideCopy(folder, STUB_PATH_CAP, target);
    WCHAR *name = (WCHAR *)FileNamePart(folder);
    if (name > folder) name[-1] = 0;
    IShellLinkW_SetPath(link, target);
    IShellLinkW_SetWorkingDirectory(link, folder);
    IShellLinkW_SetDescription(link, description);
    IPersistFile *file = NULL;
    result = IShellLinkW_QueryInterface(link, &persistFileInterface, (void **)&file);
    if (SUCCEEDED(result)) {
        result = IPersistFile_Save(file, linkPath, TRUE);
        IPersistFile_Release(file);
    }
    IShellLinkW_Release(link);
    return result;
}

static void createShortcut(MiniSetup *m, int index) {
    char key[32];
    wsprintfA(key, "SCD %d", index);
    WCHAR *description = ConfigText(&m->config, key);
    wsprintfA(key, "SC %d", index);
    WCHAR *file = ConfigText(&m->config, key);
    WCHAR name[MAX_PATH], linkPath[STUB_PATH_CAP], target[STUB_PATH_CAP];
    fileNameFrom(description, FALSE, name, MAX_PATH - 4);
    WideAppend(name, MAX_PATH, L".lnk");
    if (!file[0] || !targetPath(m, file, target, STUB_PATH_CAP)) {
        reportError(m, L"The shortcut \"%ls\" has no usable target.%ls", description, ERROR_INVALID_NAME);
    } else if (!JoinInside(m->linkFolder, name, FALSE, linkPath, STUB_PATH_CAP)) {
        reportError(m, L"Unable to create the shortcut \"%ls\".\r\n\r\n%ls", description, ERROR_FILENAME_EXCED_RANGE);
    } else {
        HRESULT result = saveLink(linkPath, target, description);
        if (FAILED(result)) reportError(m, L"Unable to create the shortcut\r\n%ls\r\n\r\n%ls", linkPath, (DWORD)result);
    }
    StubFree(description);
    StubFree(file);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    static MiniSetup m;
    ParseStubArgs(&m.args, TRUE);
    WideCopy(m.title, 512, L"Mini Setup");
    if (m.args.target[0] || m.args.hasPassword) WideCopy(m.args.bad, STUB_PATH_CAP, L"/T: or /P:");
    if (m.args.help || m.args.bad[0]) return ReportUsage(&m.args, m.title, usage);
    if (m.args.first[0]) {
        DWORD n = GetFullPathNameW(m.args.first, STUB_PATH_CAP, m.folder, NULL);
        if (n == 0 || n >= STUB_PATH_CAP) WideCopy(m.folder, STUB_PATH_CAP, m.args.first);
    } else {
        OwnFolder(m.folder, STUB_PATH_CAP);
    }
    TrimTrailingSeparator(m.folder);
    WCHAR configPath[STUB_PATH_CAP];
    if (!JoinInside(m.folder, L"pcn.cfg", FALSE, configPath, STUB_PATH_CAP) || !ConfigLoadFile(&m.config, configPath)) {
        reportError(&m, L"Unable to read the setup configuration\r\n%ls\r\n\r\n%ls", configPath, GetLastError());
        return STUB_EXIT_FAILED;
    }
    WCHAR *product = ConfigText(&m.config, "ProductName");
    if (product[0]) WideFormat(m.title, 512, L"%ls Mini Setup", product);
    StubFree(product);

    if (!ConfigFlag(&m.config, "Create Shortcut Group") && !ConfigFlag(&m.config, "Create Shortcut"))
        return STUB_EXIT_OK;
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (prepareLinkFolder(&m) && ConfigFlag(&m.config, "Create Shortcut")) {
        char description[32], file[32];
        for (int i = 0;; ++i) {
            wsprintfA(description, "SCD %d", i);
            wsprintfA(file, "SC %d", i);
            if (!ConfigHas(&m.config, description) && !ConfigHas(&m.config, file)) break;
            createShortcut(&m, i);
        }
    }
    CoUninitialize();
    return m.failures ? STUB_EXIT_FAILED : STUB_EXIT_OK;
}
