#ifndef PCN_STUB_CONFIG_H
#define PCN_STUB_CONFIG_H
/* pcn.cfg, the configuration a wizard package carries: 8-bit text, CR LF
   lines, "[Config]" section with "key=value" lines. */

#include <windows.h>

typedef struct StubConfig {
    char *text; /* zero-terminated copy of the file */
    size_t size;
} StubConfig;

/* Takes ownership of data (allocated with StubAlloc, size+1 bytes). */
void ConfigAdopt(StubConfig *config, BYTE *data, size_t size);
BOOL ConfigLoadFile(StubConfig *config, const WCHAR *path);
void ConfigFree(StubConfig *config);

/* The raw bytes of a [Config] key's value (keys compare without case);
   FALSE when the key is missing or the value does not fit. */
BOOL ConfigRaw(const StubConfig *config, const char *key, char *out, size_t cap);
/* A zero-terminated heap copy of the value's bytes (empty when missing). */
char *ConfigBytes(const StubConfig *config, const char *key);
BOOL ConfigHas(const StubConfig *config, const char *key);
/* The value as wide text (empty when missing); free with StubFree. */
WCHAR *ConfigText(const StubConfig *config, const char *key);
int ConfigInt(const StubConfig *config, const char *key, int fallback);
BOOL ConfigFlag(const StubConfig *config, const char *key);

/* "Adgang=": ten filler characters, then each password byte plus 80. The
   result is the password's bytes; FALSE when the value is malformed. */
BOOL UnscramblePassword(const char *scrambled, char *out, size_t cap);

/* "Text=" with each '|' a line break, as CR LF for an edit control. */
WCHAR *DisplayText(const char *value);

/* The comma-separated decimal list of "Register=" holds index. */
BOOL ListHoldsIndex(const char *list, int index);

#endif
