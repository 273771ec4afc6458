#ifndef PCN_STUB_UI_H
#define PCN_STUB_UI_H
/* What the stubs show and read from the user: the command line switches of
   unattended use, the pages, the progress window and the final reports. In
   quiet mode nothing is shown: reports go to the standard error stream when
   there is one. */

#include <windows.h>

#include "text.h"

/* Exit codes of the stubs. */
#define STUB_EXIT_OK 0
#define STUB_EXIT_FAILED 1
#define STUB_EXIT_CANCELLED 2
#define STUB_EXIT_USAGE 3

typedef struct StubArgs {
    BOOL quiet;                   /* /Q */
    BOOL help;                    /* /? */
    WCHAR target[STUB_PATH_CAP];  /* /T:folder, empty when not given */
    BOOL hasPassword;             /* /P:password given */
    char password[260];           /* its bytes (UTF-8) */
    WCHAR bad[STUB_PATH_CAP];     /* an unknown switch or stray argument */
    WCHAR first[STUB_PATH_CAP];   /* the first plain argument (TinySetup's folder) */
} StubArgs;

void ParseStubArgs(StubArgs *args, BOOL plainArgumentAllowed);

/* /? or a switch the program does not know: the usage, with the unknown
   argument first; returns the exit code. */
int ReportUsage(const StubArgs *args, const WCHAR *title, const WCHAR *usage);

/* A message box, or in quiet mode a line on the standard error stream. */
void StubReport(BOOL quiet, const WCHAR *title, const WCHAR *text, UINT icon);

/* A text page: heading, read-only body and two buttons. TRUE on the first. */
BOOL PageText(const WCHAR *title, const WCHAR *heading, const WCHAR *body, const WCHAR *acceptLabel,
              const WCHAR *declineLabel);
/* The password prompt; the typed password as UTF-8 bytes. TRUE on OK. */
BOOL PagePassword(const WCHAR *title, char *password, size_t cap);
/* The folder page: folder holds the proposal and receives the choice; it can
   only be changed when editable. TRUE on OK. */
BOOL PageFolder(const WCHAR *title, const WCHAR *heading, WCHAR *folder, size_t cap, BOOL editable);

/* The progress window (none in quiet mode). ProgressUpdate pumps the
   window's messages and returns FALSE once the user asked to cancel. */
typedef struct StubProgress {
    HWND window;
    BOOL cancelled;
    DWORD lastPump;
} StubProgress;

void ProgressOpen(StubProgress *progress, BOOL quiet, const WCHAR *title);
BOOL ProgressUpdate(StubProgress *progress, const WCHAR *status, int percent);
void ProgressClose(StubProgress *progress);

#endif
