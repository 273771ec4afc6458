/* Extract.Exe: the self-extracting cabinet. Asks for a folder (a new folder
   in the temporary folder named after the executable by default) and
   extracts every file of the attached cabinet into it with its stored
   sub-folders. Unattended: /Q quiet, /T:folder target. */

#include <windows.h>
#include <objbase.h>
#include <wchar.h>

#include "common/extraction.h"
#include "common/paths.h"

static const WCHAR usage[] =
    L"Extracts the files of this self-extracting cabinet.\r\n\r\n"
    L"  /Q\t\tquiet: no questions, no messages\r\n"
    L"  /T:folder\textract into this folder\r\n"
    L"  /?\t\tthis help";

typedef struct ExtractTarget {
    WCHAR folder[STUB_PATH_CAP];
} ExtractTarget;

static int chooseInTarget(CabJob *job, const CabEntry *entry, WCHAR *path, size_t cap) {
    const ExtractTarget *target = job->context;
    if (JoinInside(target->folder, entry->name, TRUE, path, cap)) return CAB_TO_FILE;
    job->error = ERROR_INVALID_NAME;
    return CAB_STOP;
}

/* The temporary folder and the executable's name without its extension. */
static void defaultFolder(const WCHAR *imagePath, WCHAR *out, size_t cap) {
    WCHAR name[MAX_PATH];
    WideCopy(name, MAX_PATH, FileNamePart(imagePath));
    WCHAR *dot = wcsrchr(name, L'.');
    if (dot && dot != name) *dot = 0;
    ResolveFolderTokens(L"%TEMP%\\", NULL, out, cap);
    WideAppend(out, cap, name);
}

static int fail(BOOL quiet, const WCHAR *title, const WCHAR *format, const WCHAR *path) {
    WCHAR reason[512], text[STUB_PATH_CAP + 600];
    ErrorText(GetLastError(), reason, 512);
    WideFormat(text, STUB_PATH_CAP + 600, format, path, reason);
    StubReport(quiet, title, text, MB_ICONERROR);
    return STUB_EXIT_FAILED;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    StubArgs args;
    ParseStubArgs(&args, FALSE);
    WCHAR title[MAX_PATH + 64];
    WCHAR own[STUB_PATH_CAP];
    OwnPath(own, STUB_PATH_CAP);
    WideFormat(title, MAX_PATH + 64, L"%ls - Self-Extracting Cabinet", FileNamePart(own));
    if (args.help || args.bad[0]) return ReportUsage(&args, title, usage);
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);

    StubCabinet cabinet;
    if (!OpenOwnCabinet(&cabinet, args.quiet, title)) return STUB_EXIT_FAILED;

    ExtractTarget target;
    if (args.target[0]) {
        WideCopy(target.folder, STUB_PATH_CAP, args.target);
    } else {
        defaultFolder(cabinet.imagePath, target.folder, STUB_PATH_CAP);
        if (!args.quiet && !PageFolder(title, L"Extract the files into this folder:", target.folder,
                                       STUB_PATH_CAP, TRUE))
            return STUB_EXIT_CANCELLED;
    }
    WCHAR full[STUB_PATH_CAP];
    DWORD n = GetFullPathNameW(target.folder, STUB_PATH_CAP, full, NULL);
    if (n > 0 && n < STUB_PATH_CAP) WideCopy(target.folder, STUB_PATH_CAP, full);
    TrimTrailingSeparator(target.folder);
    if (!CreateFolderTree(target.folder))
        return fail(args.quiet, title, L"Unable to create the folder\r\n%ls\r\n\r\n%ls", target.folder);

    CabJob job;
    memset(&job, 0, sizeof job);
    job.context = &target;
    job.choose = chooseInTarget;
    if (!ExtractWithProgress(&cabinet, &job, args.quiet, title)) {
        WCHAR text[STUB_PATH_CAP + 600];
        CabFailureText(&job, text, STUB_PATH_CAP + 600);
        StubReport(args.quiet, title, text, job.cancelled ? MB_ICONINFORMATION : MB_ICONERROR);
        return job.cancelled ? STUB_EXIT_CANCELLED : STUB_EXIT_FAILED;
    }
    if (!args.quiet) {
        WCHAR text[STUB_PATH_CAP + 64];
        WideFormat(text, STUB_PATH_CAP + 64, L"%d file(s) extracted into\r\n%ls", job.filesWritten, target.folder);
        StubReport(FALSE, title, text, MB_ICONINFORMATION);
    }
    return STUB_EXIT_OK;
}
