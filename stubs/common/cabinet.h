#ifndef PCN_STUB_CABINET_H
#define PCN_STUB_CABINET_H
/* Extraction of the cabinet appended to the stub with the system's cabinet
   library (FDI of cabinet.dll). FDI opens the cabinet by name; the callbacks
   here map that name to the stub's own file and make every seek relative to
   the cabinet's offset in it. The following cabinets of a spanned set are
   looked for beside the executable. */

#include <windows.h>

#include "text.h"

typedef struct CabEntry {
    const WCHAR *name; /* as stored in the cabinet */
    LONG size;
    int index;         /* the file's position in the cabinet set, from 0 */
} CabEntry;

enum { CAB_STOP = -1, CAB_SKIP = 0, CAB_TO_FILE = 1, CAB_TO_MEMORY = 2 };

/* Memory entries are for small texts (pcn.cfg, the licence): larger ones fail. */
#define CAB_MEMORY_LIMIT (16u * 1024u * 1024u)

typedef struct CabJob {
    const WCHAR *imagePath; /* the executable holding the cabinet */
    LONGLONG offset;        /* where the cabinet starts in it */
    void *context;
    /* Where an entry goes: CAB_SKIP, CAB_TO_FILE (path filled in),
       CAB_TO_MEMORY, or CAB_STOP (failedName and error set by the callee). */
    int (*choose)(struct CabJob *job, const CabEntry *entry, WCHAR *path, size_t cap);
    /* A CAB_TO_MEMORY entry's bytes; the callee owns data (free with StubFree). */
    void (*received)(struct CabJob *job, const CabEntry *entry, BYTE *data, size_t size);
    /* Called before each file and after each block written; FALSE cancels. */
    BOOL (*progress)(struct CabJob *job, const CabEntry *entry, ULONGLONG bytesWritten);

    /* Outcome. */
    DWORD error;                       /* system error of the failed step */
    BOOL cancelled;
    WCHAR failedName[STUB_PATH_CAP];   /* the file (or cabinet) at fault */
    int filesWritten;
    ULONGLONG bytesWritten;
    int entriesSeen;
} CabJob;

BOOL CabExtract(CabJob *job);

/* Walks the names of the set without extracting anything: FALSE when a name
   would leave the target folder (failedName set, error ERROR_INVALID_NAME)
   or the cabinet cannot be read. */
BOOL CabCheckNames(CabJob *job, ULONGLONG *totalBytes);

/* The message for a failed CabExtract or CabCheckNames. */
void CabFailureText(const CabJob *job, WCHAR *out, size_t cap);

#endif
