#ifndef PCN_STUB_EXTRACTION_H
#define PCN_STUB_EXTRACTION_H
/* The extraction step every stub shares: the stub's own cabinet found, its
   names checked before anything is written, then extracted with progress. */

#include "cabinet.h"
#include "ui.h"

typedef struct StubCabinet {
    WCHAR imagePath[STUB_PATH_CAP];
    LONGLONG offset;
    ULONGLONG totalBytes;
    int entryCount;
} StubCabinet;

/* Finds and checks the cabinet appended to this program; reports a failure
   (quiet or not) and returns FALSE. */
BOOL OpenOwnCabinet(StubCabinet *cabinet, BOOL quiet, const WCHAR *title);

/* Runs job over the cabinet with a progress window; job's choose and
   received callbacks and context are the caller's. */
BOOL ExtractWithProgress(const StubCabinet *cabinet, CabJob *job, BOOL quiet, const WCHAR *title);

#endif
