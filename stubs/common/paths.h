#ifndef PCN_STUB_PATHS_H
#define PCN_STUB_PATHS_H
/* Paths on the target machine: names from the cabinet joined under a folder
   without ever leaving it, folder trees, and the folder tokens of pcn.cfg. */

#include <windows.h>

/* A cabinet name that stays inside the folder it is extracted into: not
   empty, relative (no leading separator, no drive letter or other ':'), and
   no "." or ".." component. Both '\' and '/' count as separators. */
BOOL IsSafeEntryName(const WCHAR *name);

/* folder + '\' + name, with '/' turned into '\'. keepFolders FALSE keeps only
   the name's last component. FALSE when the name is unsafe or the result
   does not fit. */
BOOL JoinInside(const WCHAR *folder, const WCHAR *name, BOOL keepFolders, WCHAR *out, size_t cap);

/* Creates the folder and every missing parent; TRUE when it exists after. */
BOOL CreateFolderTree(const WCHAR *folder);
/* Creates the folders above a file path. */
BOOL CreateParentFolders(const WCHAR *filePath);

/* Removes one trailing separator (but keeps "C:\" whole). */
void TrimTrailingSeparator(WCHAR *path);
/* The part after the last separator. */
const WCHAR *FileNamePart(const WCHAR *path);
BOOL IsAbsolutePath(const WCHAR *path);

/* This program's own path and folder. */
void OwnPath(WCHAR *out, size_t cap);
void OwnFolder(WCHAR *out, size_t cap);

/* Replaces the folder tokens %DESTDIR%, %PROGRAMFILES%, %COMMONFILES%,
   %WINDOWS%, %SYSTEM% and %TEMP% (any case) by their folders on this
   machine; other text is kept. FALSE when the result does not fit. */
BOOL ResolveFolderTokens(const WCHAR *text, const WCHAR *destDir, WCHAR *out, size_t cap);

#endif
