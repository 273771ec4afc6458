/* PilotStub.Exe: the self-extracting wizard. Reads pcn.cfg from its cabinet
   and does what it says, in order: the text, the password, the licence, the
   installation folder, the extraction (each file into %DESTDIR% or its own
   destination), the registration of controls, the mini setup and the program
   to run. Unattended: /Q quiet, /T:folder installation folder,
   /P:password. */

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <wchar.h>

#include "common/config.h"
#include "common/extraction.h"
#include "common/paths.h"

static const WCHAR usage[] =
    L"Installs the files of this package.\r\n\r\n"
    L"  /Q\t\tquiet: no questions, no messages\r\n"
    L"  /T:folder\tinstall into this folder\r\n"
    L"  /P:password\tthe package's password\r\n"
    L"  /?\t\tthis help";

#define CONFIG_NAME L"pcn.cfg"
#define MINI_SETUP_NAME L"TinySetup.Exe"

typedef struct Wizard {
    StubArgs args;
    StubCabinet cabinet;
    StubConfig config;
    BYTE *licence;
    size_t licenceSize;
    WCHAR title[512];
    WCHAR destDir[STUB_PATH_CAP];
    BOOL hasLicence;   /* a licence is shown */
    BOOL licenceSlot;  /* ... and it is the cabinet's second file, not one of the package's */
    BOOL licenceShared; /* the licence is one of the package's files */
    int licenceEntry;  /* the cabinet entry that holds the licence, or -1 */
    BOOL licenceRead;  /* it was read, even when empty */
    BOOL miniSetup;
    BOOL keepFolders;
    WCHAR **installed; /* the path each cabinet entry went to, or NULL */
    WCHAR miniSetupPath[STUB_PATH_CAP];
    BOOL configInstalled;
} Wizard;

static void report(const Wizard *w, const WCHAR *text, UINT icon) { StubReport(w->args.quiet, w->title, text, icon); }

static void reportError(const Wizard *w, const WCHAR *format, const WCHAR *name, DWORD error) {
    WCHAR reason[512], text[STUB_PATH_CAP + 700];
    ErrorText(error, reason, 512);
    WideFormat(text, STUB_PATH_CAP + 700, format, name, reason);
    report(w, text, MB_ICONERROR);
}

/* ---- First pass: pcn.cfg and the licence, into memory. ---- */

/* The licence follows pcn.cfg, unless it is one of the package's files
   ("FileIndex=" gives which): then it is stored once, as that file. Read
   once from pcn.cfg, not for every entry of the cabinet. */
static void findLicenceEntry(Wizard *w) {
    int fileIndex = ConfigInt(&w->config, "FileIndex", -1);
    w->licenceShared = fileIndex >= 0;
    if (!ConfigFlag(&w->config, "FileB")) w->licenceEntry = -1;
    else w->licenceEntry = w->licenceShared ? 1 + fileIndex : 1;
}

static int chooseSettings(CabJob *job, const CabEntry *entry, WCHAR *path, size_t cap) {
    (void)path;
    (void)cap;
    Wizard *w = job->context;
    if (entry->index == 0) {
        if (_wcsicmp(FileNamePart(entry->name), CONFIG_NAME) != 0) {
            job->error = ERROR_FILE_NOT_FOUND;
            return CAB_STOP;
        }
        return CAB_TO_MEMORY;
    }
    if (entry->index == w->licenceEntry) return CAB_TO_MEMORY;
    return CAB_SKIP;
}

static void receiveSettings(CabJob *job, const CabEntry *entry, BYTE *data, size_t size) {
    Wizard *w = job->context;
    if (entry->index == 0) {
        ConfigAdopt(&w->config, data, size);
        findLicenceEntry(w);
    } else {
        w->licence = data;
        w->licenceSize = size;
        w->licenceRead = TRUE;
    }
}

static BOOL readSettings(Wizard *w) {
    CabJob job;
    memset(&job, 0, sizeof job);
    job.imagePath = w->cabinet.imagePath;
    job.offset = w->cabinet.offset;
    job.context = w;
    job.choose = chooseSettings;
    job.received = receiveSettings;
    if (!CabExtract(&job) || !w->config.text) {
        if (job.error == ERROR_FILE_NOT_FOUND || !w->config.text) {
            report(w, L"This package holds no setup configuration (pcn.cfg).", MB_ICONERROR);
        } else {
            WCHAR text[STUB_PATH_CAP + 600];
            CabFailureText(&job, text, STUB_PATH_CAP + 600);
            report(w, text, MB_ICONERROR);
        }
        return FALSE;
    }
    /* An empty licence is the licence all the same: taking it for the first
       file would shift every file's destination and registration. */
    w->hasLicence = ConfigFlag(&w->config, "FileB") && w->licenceRead;
    w->licenceSlot = w->hasLicence && !w->licenceShared;
    w->miniSetup = ConfigFlag(&w->config, "Mini Setup");
    w->keepFolders = ConfigFlag(&w->config, "RestoreDirStruct");
    return TRUE;
}

static void makeTitle(Wizard *w) {
    WCHAR *product = ConfigText(&w->config, "ProductName");
    WCHAR *version = ConfigText(&w->config, "Version");
    WCHAR *company = ConfigText(&w->config, "CompanyName");
    if (!product[0]) {
        StubFree(product);
        product = WideDuplicate(FileNamePart(w->cabinet.imagePath));
    }
    WideFormat(w->title, 512, L"%ls%ls%ls Setup%ls%ls", product, version[0] ? L" " : L"", version,
               company[0] ? L" - " : L"", company);
    StubFree(product);
    StubFree(version);
    StubFree(company);
}

/* ---- The pages. ---- */

static int showText(Wizard *w) {
    if (w->args.quiet || !ConfigFlag(&w->config, "TextB")) return STUB_EXIT_OK;
    char *value = ConfigBytes(&w->config, "Text");
    WCHAR *text = DisplayText(value ? value : "");
    StubFree(value);
    BOOL ok = PageText(w->title, L"Please read the following:", text, L"OK", L"Cancel");
    StubFree(text);
    return ok ? STUB_EXIT_OK : STUB_EXIT_CANCELLED;
}

static int askPassword(Wizard *w) {
    if (!ConfigFlag(&w->config, "AdgangB")) return STUB_EXIT_OK;
    char scrambled[300], password[260];
    if (!ConfigRaw(&w->config, "Adgang", scrambled, sizeof scrambled) ||
        !UnscramblePassword(scrambled, password, sizeof password)) {
        report(w, L"The package's password setting is damaged.", MB_ICONERROR);
        return STUB_EXIT_FAILED;
    }
    if (w->args.hasPassword && strcmp(w->args.password, password) == 0) return STUB_EXIT_OK;
    if (w->args.quiet) {
        report(w, w->args.hasPassword ? L"The password is not correct."
                                      : L"This package is protected by a password: give it with /P:password.",
               MB_ICONERROR);
        return STUB_EXIT_FAILED;
    }
    char typed[260];
    for (;;) {
        if (!PagePassword(w->title, typed, sizeof typed)) return STUB_EXIT_CANCELLED;
        if (strcmp(typed, password) == 0) return STUB_EXIT_OK;
        MessageBoxW(NULL, L"The password is not correct. Please try again.", w->title, MB_OK | MB_ICONWARNING);
    }
}

/* The licence as text for an edit control: lone LF become CR LF. */
static WCHAR *licenceText(const Wizard *w) {
    const char *bytes = (const char *)w->licence;
    size_t extra = 0;
    for (size_t i = 0; i < w->licenceSize; ++i) extra += bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
    char *lines = StubAlloc(w->licenceSize + extra + 1);
    size_t n = 0;
    for (size_t i = 0; lines && i < w->licenceSize; ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) lines[n++] = '\r';
        lines[n++] = bytes[i] ? bytes[i] : ' ';
    }
    WCHAR *text = WideFromBytes(lines ? lines : "", (int)n);
    StubFree(lines);
    return text;
}

static int showLicence(Wizard *w) {
    /* Unattended installation stands for accepting the licence. */
    if (w->args.quiet || !w->hasLicence) return STUB_EXIT_OK;
    WCHAR *text = licenceText(w);
    BOOL ok = PageText(w->title, L"Please read the following licence agreement. Do you accept it?", text,
                       L"I &Accept", L"I &Decline");
    StubFree(text);
    return ok ? STUB_EXIT_OK : STUB_EXIT_CANCELLED;
}

static int chooseFolder(Wizard *w) {
    WCHAR proposal[STUB_PATH_CAP];
    if (w->args.target[0]) {
        WideCopy(proposal, STUB_PATH_CAP, w->args.target);
    } else {
        WCHAR *dir = ConfigText(&w->config, "Dir");
        if (!dir[0]) {
            WCHAR *product = ConfigText(&w->config, "ProductName");
            WideFormat(proposal, STUB_PATH_CAP, L"%%PROGRAMFILES%%\\%ls", product);
            StubFree(product);
        } else {
            WideCopy(proposal, STUB_PATH_CAP, dir);
        }
        StubFree(dir);
    }
    ResolveFolderTokens(proposal, L"", w->destDir, STUB_PATH_CAP);
    if (!w->args.quiet && !w->args.target[0] &&
        !PageFolder(w->title, L"Install the files into this folder:", w->destDir, STUB_PATH_CAP,
                    ConfigFlag(&w->config, "DirB")))
        return STUB_EXIT_CANCELLED;
    WCHAR full[STUB_PATH_CAP];
    DWORD n = GetFullPathNameW(w->destDir, STUB_PATH_CAP, full, NULL);
    if (n > 0 && n < STUB_PATH_CAP) WideCopy(w->destDir, STUB_PATH_CAP, full);
    TrimTrailingSeparator(w->destDir);
    if (!CreateFolderTree(w->destDir)) {
        reportError(w, L"Unable to create the folder\r\n%ls\r\n\r\n%ls", w->destDir, GetLastError());
        return STUB_EXIT_FAILED;
    }
    return STUB_EXIT_OK;
}

/* ---- Second pass: every file to its destination. ---- */

/* The cabinet holds pcn.cfg, the licence when shown (and not one of the
   package's files), the package's files in the order of its file table, and
   the mini setup program last. */
static int fileTableIndex(const Wizard *w, int entry) { return entry - 1 - (w->licenceSlot ? 1 : 0); }

static BOOL isMiniSetupEntry(const Wizard *w, const CabEntry *entry) {
    return w->miniSetup && entry->index == w->cabinet.entryCount - 1 &&
           _wcsicmp(FileNamePart(entry->name), MINI_SETUP_NAME) == 0;
}

static BOOL destinationOf(const Wizard *w, int fileIndex, WCHAR *folder, size_t cap) {
    char key[32], dest[1024];
    wsprintfA(key, "DestPath%d", fileIndex);
    if (!ConfigRaw(&w->config, key, dest, sizeof dest) || !dest[0]) return WideCopy(folder, cap, w->destDir);
    WCHAR *token = WideFromBytes(dest, -1);
    BOOL ok = ResolveFolderTokens(token, w->destDir, folder, cap);
    StubFree(token);
    if (ok && !IsAbsolutePath(folder)) {
        /* A destination without a token lies inside the installation folder. */
        WCHAR inside[STUB_PATH_CAP];
        ok = JoinInside(w->destDir, folder, TRUE, inside, STUB_PATH_CAP) && WideCopy(folder, cap, inside);
    }
    return ok;
}

static int chooseInstalled(CabJob *job, const CabEntry *entry, WCHAR *path, size_t cap) {
    Wizard *w = job->context;
    BOOL placed;
    if (entry->index == 0) {
        /* The mini setup reads its shortcuts from pcn.cfg in the installation folder. */
        if (!w->miniSetup) return CAB_SKIP;
        placed = JoinInside(w->destDir, CONFIG_NAME, FALSE, path, cap);
        w->configInstalled = placed;
    } else if (entry->index == 1 && w->licenceSlot) {
        return CAB_SKIP;
    } else if (isMiniSetupEntry(w, entry)) {
        placed = JoinInside(w->destDir, entry->name, FALSE, path, cap) &&
                 WideCopy(w->miniSetupPath, STUB_PATH_CAP, path);
    } else {
        WCHAR folder[STUB_PATH_CAP];
        placed = destinationOf(w, fileTableIndex(w, entry->index), folder, STUB_PATH_CAP) &&
                 JoinInside(folder, entry->name, w->keepFolders, path, cap);
    }
    if (!placed) {
        job->error = ERROR_FILENAME_EXCED_RANGE;
        return CAB_STOP;
    }
    if (entry->index < w->cabinet.entryCount) w->installed[entry->index] = WideDuplicate(path);
    return CAB_TO_FILE;
}

static int installFiles(Wizard *w) {
    w->installed = StubAlloc(sizeof(WCHAR *) * (size_t)(w->cabinet.entryCount + 1));
    CabJob job;
    memset(&job, 0, sizeof job);
    job.context = w;
    job.choose = chooseInstalled;
    if (ExtractWithProgress(&w->cabinet, &job, w->args.quiet, w->title)) return STUB_EXIT_OK;
    WCHAR text[STUB_PATH_CAP + 600];
    CabFailureText(&job, text, STUB_PATH_CAP + 600);
    report(w, text, job.cancelled ? MB_ICONINFORMATION : MB_ICONERROR);
    return job.cancelled ? STUB_EXIT_CANCELLED : STUB_EXIT_FAILED;
}

/* ---- After the extraction. ---- */

typedef HRESULT(STDAPICALLTYPE *RegisterFunction)(void);

static BOOL registerControl(const Wizard *w, const WCHAR *path) {
    HMODULE library = LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        reportError(w, L"Unable to load\r\n%ls\r\nfor registration.\r\n\r\n%ls", path, GetLastError());
        return FALSE;
    }
    RegisterFunction registerServer = (RegisterFunction)(void (*)(void))GetProcAddress(library, "DllRegisterServer");
    HRESULT result = registerServer ? registerServer() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(library);
    if (FAILED(result)) {
        reportError(w, L"Unable to register\r\n%ls\r\n\r\n%ls", path, (DWORD)result);
        return FALSE;
    }
    return TRUE;
}

static int registerControls(Wizard *w) {
    char *list = ConfigBytes(&w->config, "Register");
    BOOL ok = TRUE;
    for (int entry = 0; entry < w->cabinet.entryCount; ++entry) {
        if (!list || !w->installed[entry] || !ListHoldsIndex(list, fileTableIndex(w, entry))) continue;
        if (entry == 0 || (entry == 1 && w->licenceSlot)) continue;
        ok = registerControl(w, w->installed[entry]) && ok;
    }
    StubFree(list);
    return ok ? STUB_EXIT_OK : STUB_EXIT_FAILED;
}

static BOOL startProgram(const Wizard *w, const WCHAR *program, const WCHAR *arguments, const WCHAR *folder,
                         int show, BOOL wait, DWORD *exitCode) {
    size_t cap = wcslen(program) + wcslen(arguments) + 8;
    WCHAR *commandLine = StubAlloc(cap * sizeof(WCHAR));
    WideFormat(commandLine, cap, L"\"%ls\"%ls%ls", program, arguments[0] ? L" " : L"", arguments);
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)show;
    PROCESS_INFORMATION process;
    BOOL started = CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, folder[0] ? folder : NULL,
                                  &startup, &process);
    DWORD error = GetLastError();
    StubFree(commandLine);
    if (!started) {
        reportError(w, L"Unable to start\r\n%ls\r\n\r\n%ls", program, error);
        return FALSE;
    }
    if (wait) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

static int runMiniSetup(Wizard *w) {
    if (!w->miniSetup) return STUB_EXIT_OK;
    int result = STUB_EXIT_OK;
    if (!w->miniSetupPath[0]) {
        report(w, L"The package's mini setup (" MINI_SETUP_NAME L") is missing.", MB_ICONERROR);
        result = STUB_EXIT_FAILED;
    } else {
        WCHAR arguments[STUB_PATH_CAP + 16];
        WideFormat(arguments, STUB_PATH_CAP + 16, L"\"%ls\"%ls", w->destDir, w->args.quiet ? L" /Q" : L"");
        DWORD exitCode = 0;
        if (!startProgram(w, w->miniSetupPath, arguments, w->destDir, SW_SHOWNORMAL, TRUE, &exitCode) ||
            exitCode != 0)
            result = STUB_EXIT_FAILED;
    }
    /* pcn.cfg was only there for the mini setup. */
    if (w->configInstalled) DeleteFileW(w->installed[0]);
    return result;
}

static BOOL configPath(const Wizard *w, const char *key, WCHAR *out, size_t cap) {
    WCHAR *value = ConfigText(&w->config, key);
    BOOL ok = ResolveFolderTokens(value, w->destDir, out, cap);
    StubFree(value);
    return ok;
}

/* A program given by its bare name is looked up where that file was
   installed when it is not in the installation folder itself (folders
   restored, or a destination of its own). */
static void findInstalledProgram(const Wizard *w, WCHAR *program, size_t cap) {
    if (GetFileAttributesW(program) != INVALID_FILE_ATTRIBUTES) return;
    const WCHAR *name = FileNamePart(program);
    for (int entry = 0; entry < w->cabinet.entryCount; ++entry) {
        if (w->installed[entry] && _wcsicmp(FileNamePart(w->installed[entry]), name) == 0) {
            WideCopy(program, cap, w->installed[entry]);
            return;
        }
    }
}

static int runProgram(Wizard *w, BOOL *started) {
    WCHAR program[STUB_PATH_CAP], arguments[STUB_PATH_CAP], folder[STUB_PATH_CAP];
    *started = FALSE;
    if (!configPath(w, "Exe", program, STUB_PATH_CAP) || !program[0]) return STUB_EXIT_OK;
    if (!IsAbsolutePath(program)) {
        BOOL bareName = !wcschr(program, L'\\') && !wcschr(program, L'/');
        WCHAR inside[STUB_PATH_CAP];
        if (!JoinInside(w->destDir, program, TRUE, inside, STUB_PATH_CAP)) {
            reportError(w, L"Unable to start\r\n%ls\r\n\r\n%ls", program, ERROR_INVALID_NAME);
            return STUB_EXIT_FAILED;
        }
        WideCopy(program, STUB_PATH_CAP, inside);
        if (bareName) findInstalledProgram(w, program, STUB_PATH_CAP);
    }
    configPath(w, "CommandLine", arguments, STUB_PATH_CAP);
    configPath(w, "ExeDir", folder, STUB_PATH_CAP);
    if (!folder[0]) WideCopy(folder, STUB_PATH_CAP, w->destDir);
    int show = ConfigInt(&w->config, "DisplayType", SW_SHOWNORMAL);
    *started = startProgram(w, program, arguments, folder, show, FALSE, NULL);
    return *started ? STUB_EXIT_OK : STUB_EXIT_FAILED;
}

static int install(Wizard *w) {
    int result;
    if ((result = showText(w)) != STUB_EXIT_OK) return result;
    if ((result = askPassword(w)) != STUB_EXIT_OK) return result;
    if ((result = showLicence(w)) != STUB_EXIT_OK) return result;
    if ((result = chooseFolder(w)) != STUB_EXIT_OK) return result;
    if ((result = installFiles(w)) != STUB_EXIT_OK) return result;
    int registered = registerControls(w);
    int setUp = runMiniSetup(w);
    BOOL started = FALSE;
    int ran = runProgram(w, &started);
    if (registered != STUB_EXIT_OK || setUp != STUB_EXIT_OK || ran != STUB_EXIT_OK) return STUB_EXIT_FAILED;
    if (!started && !w->args.quiet) {
        WCHAR text[STUB_PATH_CAP + 64];
        WideFormat(text, STUB_PATH_CAP + 64, L"The installation is complete. The files are in\r\n%ls", w->destDir);
        report(w, text, MB_ICONINFORMATION);
    }
    return STUB_EXIT_OK;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    static Wizard w;
    ParseStubArgs(&w.args, FALSE);
    OwnPath(w.cabinet.imagePath, STUB_PATH_CAP);
    WideFormat(w.title, 512, L"%ls Setup", FileNamePart(w.cabinet.imagePath));
    if (w.args.help || w.args.bad[0]) return ReportUsage(&w.args, w.title, usage);
    OleInitialize(NULL);
    if (!OpenOwnCabinet(&w.cabinet, w.args.quiet, w.title) || !readSettings(&w)) return STUB_EXIT_FAILED;
    makeTitle(&w);
    int result = install(&w);
    OleUninitialize();
    return result;
}
