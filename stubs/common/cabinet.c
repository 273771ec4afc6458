#include "cabinet.h"

#include <fcntl.h>
#include <fdi.h>
#include <stdio.h>
#include <wchar.h>

#include "paths.h"

/* FDI is given this cabinet path and name; its open callback recognises
   the prefix and opens the executable (or a following cabinet beside it). */
#define IMAGE_PREFIX '<'
static char imageCabinetName[] = "image";
static char imageCabinetPath[] = "<";

typedef struct StubHandle {
    HANDLE file;
    LONGLONG base; /* cabinet offset inside the file */
    BOOL memory;
    BYTE *data;
    size_t size, cap;
    WCHAR *path; /* output files only: removed when not completed */
    BOOL completed;
    CabEntry entry;
} StubHandle;

/* FDI's callbacks carry no context: one extraction runs at a time. */
static CabJob *currentJob;

static void fail(CabJob *job, DWORD error, const WCHAR *name) {
    if (job->error == 0) job->error = error ? error : ERROR_GEN_FAILURE;
    if (!job->failedName[0] && name) WideCopy(job->failedName, STUB_PATH_CAP, name);
}

static FNALLOC(fdiAlloc) { return HeapAlloc(GetProcessHeap(), 0, cb ? cb : 1); }
static FNFREE(fdiFree) { StubFree(pv); }

static StubHandle *newHandle(void) {
    StubHandle *h = StubAlloc(sizeof *h);
    if (h) h->file = INVALID_HANDLE_VALUE;
    return h;
}

static INT_PTR openCabinetFile(const WCHAR *path, LONGLONG base) {
    StubHandle *h = newHandle();
    if (!h) return -1;
    h->file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h->file == INVALID_HANDLE_VALUE) {
        fail(currentJob, GetLastError(), path);
        StubFree(h);
        return -1;
    }
    h->base = base;
    LARGE_INTEGER at;
    at.QuadPart = base;
    SetFilePointerEx(h->file, at, NULL, FILE_BEGIN);
    return (INT_PTR)h;
}

static FNOPEN(fdiOpen) {
    (void)oflag;
    (void)pmode;
    if (pszFile[0] != IMAGE_PREFIX) return -1;
    const char *name = pszFile + 1;
    if (strcmp(name, imageCabinetName) == 0) return openCabinetFile(currentJob->imagePath, currentJob->offset);
    /* A following cabinet of the set: a plain file beside the executable. */
    WCHAR *wideName = WideFromBytes(name, -1);
    WCHAR folder[STUB_PATH_CAP], path[STUB_PATH_CAP];
    WideCopy(folder, STUB_PATH_CAP, currentJob->imagePath);
    WCHAR *own = (WCHAR *)FileNamePart(folder);
    if (own > folder) own[-1] = 0;
    INT_PTR result = -1;
    /* FDI may put a separator between the path it was given and the name. */
    if (JoinInside(folder, FileNamePart(wideName), FALSE, path, STUB_PATH_CAP))
        result = openCabinetFile(path, 0);
    else
        fail(currentJob, ERROR_INVALID_NAME, wideName);
    StubFree(wideName);
    return result;
}

static FNREAD(fdiRead) {
    StubHandle *h = (StubHandle *)hf;
    DWORD got = 0;
    if (h->memory || !ReadFile(h->file, pv, cb, &got, NULL)) return (UINT)-1;
    return got;
}

static BOOL appendToMemory(StubHandle *h, const void *bytes, UINT cb) {
    if (h->size + cb > CAB_MEMORY_LIMIT) return FALSE;
    if (h->size + cb > h->cap) {
        size_t cap = h->cap ? h->cap * 2 : 4096;
        while (cap < h->size + cb) cap *= 2;
        BYTE *grown = StubAlloc(cap + 1);
        if (!grown) return FALSE;
        if (h->data) memcpy(grown, h->data, h->size);
        StubFree(h->data);
        h->data = grown;
        h->cap = cap;
    }
    memcpy(h->data + h->size, bytes, cb);
    h->size += cb;
    return TRUE;
}

static FNWRITE(fdiWrite) {
    StubHandle *h = (StubHandle *)hf;
    CabJob *job = currentJob;
    if (h->memory) {
        if (!appendToMemory(h, pv, cb)) {
            fail(job, ERROR_NOT_ENOUGH_MEMORY, h->entry.name);
            return (UINT)-1;
        }
    } else {
        DWORD written = 0;
        if (!WriteFile(h->file, pv, cb, &written, NULL) || written != cb) {
            fail(job, GetLastError(), h->path);
            return (UINT)-1;
        }
    }
    job->bytesWritten += cb;
    if (job->progress && !job->progress(job, &h->entry, job->bytesWritten)) {
        job->cancelled = TRUE;
        return (UINT)-1;
    }
    return cb;
}

static void releaseHandle(StubHandle *h) {
    if (h->file != INVALID_HANDLE_VALUE) CloseHandle(h->file);
    /* A file cut short by an error or a cancel is not left behind half-written. */
    if (h->path && !h->completed) DeleteFileW(h->path);
    StubFree(h->path);
    StubFree(h->data);
    StubFree((void *)h->entry.name);
    StubFree(h);
}

static FNCLOSE(fdiClose) {
    /* FDI may close the handle of a file it was told to skip. */
    if (hf == 0 || hf == -1) return 0;
    releaseHandle((StubHandle *)hf);
    return 0;
}

static FNSEEK(fdiSeek) {
    StubHandle *h = (StubHandle *)hf;
    LARGE_INTEGER move, now;
    move.QuadPart = dist;
    DWORD method = FILE_CURRENT;
    if (seektype == SEEK_SET) {
        move.QuadPart += h->base;
        method = FILE_BEGIN;
    } else if (seektype == SEEK_END) {
        method = FILE_END;
    }
    if (h->memory || !SetFilePointerEx(h->file, move, &now, method)) return -1;
    return (__LONG32)(now.QuadPart - h->base);
}

static INT_PTR startEntry(CabJob *job, PFDINOTIFICATION pfdin) {
    CabEntry entry;
    WCHAR *name = WideFromBytes(pfdin->psz1, -1);
    entry.name = name;
    entry.size = pfdin->cb;
    entry.index = job->entriesSeen++;
    if (job->progress && !job->progress(job, &entry, job->bytesWritten)) {
        job->cancelled = TRUE;
        StubFree(name);
        return -1;
    }
    WCHAR path[STUB_PATH_CAP];
    path[0] = 0;
    int target = job->choose(job, &entry, path, STUB_PATH_CAP);
    if (target == CAB_SKIP || target == CAB_STOP) {
        if (target == CAB_STOP) fail(job, 0, name);
        StubFree(name);
        return target == CAB_STOP ? -1 : 0;
    }
    StubHandle *h = newHandle();
    if (!h) {
        fail(job, ERROR_NOT_ENOUGH_MEMORY, name);
        StubFree(name);
        return -1;
    }
    h->entry = entry;
    if (target == CAB_TO_MEMORY) {
        h->memory = TRUE;
        return (INT_PTR)h;
    }
    h->path = WideDuplicate(path);
    if (!h->path || !CreateParentFolders(path)) {
        fail(job, GetLastError(), path);
        releaseHandle(h);
        return -1;
    }
    /* A read-only file of an earlier installation is replaced all the same. */
    DWORD old = GetFileAttributesW(path);
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path, old & ~FILE_ATTRIBUTE_READONLY);
    h->file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h->file == INVALID_HANDLE_VALUE) {
        fail(job, GetLastError(), path);
        StubFree(h->path);
        h->path = NULL; /* nothing of ours to remove */
        releaseHandle(h);
        return -1;
    }
    return (INT_PTR)h;
}

static void stampFile(StubHandle *h, USHORT date, USHORT time) {
    FILETIME local, utc;
    if (DosDateTimeToFileTime(date, time, &local) && LocalFileTimeToFileTime(&local, &utc))
        SetFileTime(h->file, &utc, NULL, &utc);
}

static INT_PTR finishEntry(CabJob *job, PFDINOTIFICATION pfdin) {
    StubHandle *h = (StubHandle *)pfdin->hf;
    USHORT kept = pfdin->attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE);
    if (h->memory) {
        if (job->received) job->received(job, &h->entry, h->data, h->size);
        h->data = NULL;
    } else {
        stampFile(h, pfdin->date, pfdin->time);
        CloseHandle(h->file);
        h->file = INVALID_HANDLE_VALUE;
        if (kept) SetFileAttributesW(h->path, kept);
        job->filesWritten++;
    }
    h->completed = TRUE;
    releaseHandle(h);
    return TRUE;
}

/* FDICopy handles one cabinet of a set (and the rest of a file that goes on
   into the next); the files that begin in the following cabinets take a
   call of their own. The first notice of each call names the next one. */
static char nextCabinet[CB_MAX_CABINET_NAME];
static BOOL cabinetInfoSeen;

static FNFDINOTIFY(fdiNotify) {
    CabJob *job = currentJob;
    switch (fdint) {
        case fdintCABINET_INFO:
            if (!cabinetInfoSeen) {
                cabinetInfoSeen = TRUE;
                lstrcpynA(nextCabinet, pfdin->psz1 ? pfdin->psz1 : "", sizeof nextCabinet);
            }
            return 0;
        case fdintCOPY_FILE: return startEntry(job, pfdin);
        case fdintCLOSE_FILE_INFO: return finishEntry(job, pfdin);
        case fdintNEXT_CABINET:
            if (pfdin->fdie != FDIERROR_NONE) {
                WCHAR *name = WideFromBytes(pfdin->psz1, -1);
                fail(job, ERROR_FILE_NOT_FOUND, name);
                StubFree(name);
                return -1;
            }
            return 0;
        default: return 0;
    }
}

static DWORD errorOfFdi(int oper) {
    switch (oper) {
        case FDIERROR_CABINET_NOT_FOUND: return ERROR_FILE_NOT_FOUND;
        case FDIERROR_NOT_A_CABINET:
        case FDIERROR_UNKNOWN_CABINET_VERSION:
        case FDIERROR_CORRUPT_CABINET:
        case FDIERROR_BAD_COMPR_TYPE:
        case FDIERROR_MDI_FAIL:
        case FDIERROR_WRONG_CABINET: return ERROR_FILE_CORRUPT;
        case FDIERROR_ALLOC_FAIL: return ERROR_NOT_ENOUGH_MEMORY;
        case FDIERROR_TARGET_FILE: return ERROR_WRITE_FAULT;
        case FDIERROR_USER_ABORT: return ERROR_CANCELLED;
        default: return ERROR_GEN_FAILURE;
    }
}

BOOL CabExtract(CabJob *job) {
    ERF erf;
    memset(&erf, 0, sizeof erf);
    job->error = 0;
    job->cancelled = FALSE;
    job->failedName[0] = 0;
    job->filesWritten = 0;
    job->bytesWritten = 0;
    job->entriesSeen = 0;
    HFDI fdi = FDICreate(fdiAlloc, fdiFree, fdiOpen, fdiRead, fdiWrite, fdiClose, fdiSeek, cpuUNKNOWN, &erf);
    if (!fdi) {
        fail(job, ERROR_NOT_ENOUGH_MEMORY, job->imagePath);
        return FALSE;
    }
    currentJob = job;
    char cabinet[CB_MAX_CABINET_NAME];
    lstrcpynA(cabinet, imageCabinetName, sizeof cabinet);
    BOOL ok;
    int cabinets = 0;
    do {
        cabinetInfoSeen = FALSE;
        nextCabinet[0] = 0;
        ok = FDICopy(fdi, cabinet, imageCabinetPath, 0, fdiNotify, NULL, job);
        lstrcpynA(cabinet, nextCabinet, sizeof cabinet);
        /* A set of more cabinets than the format numbers is a loop. */
    } while (ok && !job->cancelled && cabinet[0] && ++cabinets < 65535);
    currentJob = NULL;
    FDIDestroy(fdi);
    if (!ok && !job->cancelled) fail(job, errorOfFdi(erf.erfOper), job->imagePath);
    return ok && !job->cancelled;
}

typedef struct NameCheck {
    CabJob *outer;
    ULONGLONG total;
} NameCheck;

static int checkName(CabJob *job, const CabEntry *entry, WCHAR *path, size_t cap) {
    (void)path;
    (void)cap;
    NameCheck *check = job->context;
    if (!IsSafeEntryName(entry->name)) {
        job->error = ERROR_INVALID_NAME;
        return CAB_STOP;
    }
    check->total += (ULONGLONG)(DWORD)entry->size;
    return CAB_SKIP;
}

BOOL CabCheckNames(CabJob *job, ULONGLONG *totalBytes) {
    NameCheck check = {job, 0};
    CabJob walk;
    memset(&walk, 0, sizeof walk);
    walk.imagePath = job->imagePath;
    walk.offset = job->offset;
    walk.context = &check;
    walk.choose = checkName;
    BOOL ok = CabExtract(&walk);
    job->error = walk.error;
    WideCopy(job->failedName, STUB_PATH_CAP, walk.failedName);
    job->entriesSeen = walk.entriesSeen;
    if (totalBytes) *totalBytes = check.total;
    return ok;
}

void CabFailureText(const CabJob *job, WCHAR *out, size_t cap) {
    WCHAR reason[512];
    if (job->cancelled) {
        WideCopy(out, cap, L"Extraction cancelled.");
        return;
    }
    if (job->error == ERROR_INVALID_NAME) {
        WideFormat(out, cap,
                   L"The package holds a file name that would leave the destination folder:\r\n%ls\r\n\r\n"
                   L"Nothing was extracted.",
                   job->failedName);
        return;
    }
    ErrorText(job->error, reason, 512);
    WideFormat(out, cap, L"Extraction failed on\r\n%ls\r\n\r\n%ls", job->failedName, reason);
}
