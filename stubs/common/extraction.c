#include "extraction.h"

#include <wchar.h>

#include "image.h"
#include "paths.h"

BOOL OpenOwnCabinet(StubCabinet *cabinet, BOOL quiet, const WCHAR *title) {
    memset(cabinet, 0, sizeof *cabinet);
    OwnPath(cabinet->imagePath, STUB_PATH_CAP);
    if (!FindAppendedCabinet(cabinet->imagePath, &cabinet->offset)) {
        WCHAR text[STUB_PATH_CAP + 128];
        WideFormat(text, STUB_PATH_CAP + 128, L"No cabinet is attached to\r\n%ls", cabinet->imagePath);
        StubReport(quiet, title, text, MB_ICONERROR);
        return FALSE;
    }
    CabJob check;
    memset(&check, 0, sizeof check);
    check.imagePath = cabinet->imagePath;
    check.offset = cabinet->offset;
    if (!CabCheckNames(&check, &cabinet->totalBytes)) {
        WCHAR text[STUB_PATH_CAP + 600];
        CabFailureText(&check, text, STUB_PATH_CAP + 600);
        StubReport(quiet, title, text, MB_ICONERROR);
        return FALSE;
    }
    cabinet->entryCount = check.entriesSeen;
    return TRUE;
}

typedef struct ProgressState {
    StubProgress window;
    ULONGLONG total;
} ProgressState;

/* The progress state rides beside the job: FDI gives its callbacks no room. */
static ProgressState *activeProgress;

static BOOL reportProgress(CabJob *job, const CabEntry *entry, ULONGLONG bytesWritten) {
    (void)job;
    ProgressState *state = activeProgress;
    DWORD now = GetTickCount();
    /* Pumping for every block would slow a big extraction down. */
    if (bytesWritten && now - state->window.lastPump < 50) return !state->window.cancelled;
    state->window.lastPump = now;
    WCHAR status[STUB_PATH_CAP + 32];
    WideFormat(status, STUB_PATH_CAP + 32, L"Extracting %ls", entry->name);
    int percent = state->total ? (int)(bytesWritten * 100 / state->total) : 0;
    return ProgressUpdate(&state->window, status, percent > 100 ? 100 : percent);
}

BOOL ExtractWithProgress(const StubCabinet *cabinet, CabJob *job, BOOL quiet, const WCHAR *title) {
    ProgressState state;
    memset(&state, 0, sizeof state);
    ProgressOpen(&state.window, quiet, title);
    state.total = cabinet->totalBytes;
    activeProgress = &state;
    job->imagePath = cabinet->imagePath;
    job->offset = cabinet->offset;
    job->progress = reportProgress;
    BOOL ok = CabExtract(job);
    activeProgress = NULL;
    ProgressClose(&state.window);
    return ok;
}
