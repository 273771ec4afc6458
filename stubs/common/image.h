#ifndef PCN_STUB_IMAGE_H
#define PCN_STUB_IMAGE_H
/* The cabinet a stub carries: appended to the executable's image, right
   after the raw data of its last section. */

#include <windows.h>

/* The file offset of the cabinet appended to the executable at path; FALSE
   (with the last error set) when the file cannot be read or holds none. */
BOOL FindAppendedCabinet(const WCHAR *path, LONGLONG *offset);

#endif
