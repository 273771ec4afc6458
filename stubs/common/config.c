#include "config.h"

#include <stdlib.h>
#include <string.h>

#include "text.h"

#define PASSWORD_FILLER 10
#define PASSWORD_OFFSET 80

void ConfigAdopt(StubConfig *config, BYTE *data, size_t size) {
    config->text = (char *)data;
    config->size = size;
    if (config->text) config->text[size] = 0;
}

BOOL ConfigLoadFile(StubConfig *config, const WCHAR *path) {
    config->text = NULL;
    config->size = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart < 16 * 1024 * 1024;
    BYTE *data = ok ? StubAlloc((size_t)size.QuadPart + 1) : NULL;
    DWORD got = 0;
    ok = data && ReadFile(file, data, (DWORD)size.QuadPart, &got, NULL) && got == (DWORD)size.QuadPart;
    CloseHandle(file);
    if (!ok) {
        StubFree(data);
        if (GetLastError() == 0) SetLastError(ERROR_FILE_CORRUPT);
        return FALSE;
    }
    ConfigAdopt(config, data, got);
    return TRUE;
}

void ConfigFree(StubConfig *config) {
    StubFree(config->text);
    config->text = NULL;
}

/* The start of the value of key in [Config] and its length. */
static const char *findValue(const StubConfig *config, const char *key, size_t *length) {
    if (!config->text) return NULL;
    size_t keyLength = strlen(key);
    BOOL inConfig = FALSE;
    const char *line = config->text;
    const char *end = config->text + config->size;
    while (line < end) {
        const char *lineEnd = line;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n') ++lineEnd;
        if (*line == '[') {
            inConfig = lineEnd - line >= 8 && _strnicmp(line, "[Config]", 8) == 0;
        } else if (inConfig && (size_t)(lineEnd - line) > keyLength && line[keyLength] == '=' &&
                   _strnicmp(line, key, keyLength) == 0) {
            *length = (size_t)(lineEnd - line) - keyLength - 1;
            return line + keyLength + 1;
        }
        line = lineEnd;
        while (line < end && (*line == '\r' || *line == '\n')) ++line;
    }
    return NULL;
}

BOOL ConfigRaw(const StubConfig *config, const char *key, char *out, size_t cap) {
    size_t length = 0;
    const char *value = findValue(config, key, &length);
    if (cap) out[0] = 0;
    if (!value || length + 1 > cap) return FALSE;
    memcpy(out, value, length);
    out[length] = 0;
    return TRUE;
}

char *ConfigBytes(const StubConfig *config, const char *key) {
    size_t length = 0;
    const char *value = findValue(config, key, &length);
    char *out = StubAlloc(value ? length + 1 : 1);
    if (out && value) memcpy(out, value, length);
    return out;
}

BOOL ConfigHas(const StubConfig *config, const char *key) {
    size_t length = 0;
    return findValue(config, key, &length) != NULL;
}

WCHAR *ConfigText(const StubConfig *config, const char *key) {
    size_t length = 0;
    const char *value = findValue(config, key, &length);
    return value ? WideFromBytes(value, (int)length) : WideFromBytes("", 0);
}

int ConfigInt(const StubConfig *config, const char *key, int fallback) {
    char value[32];
    if (!ConfigRaw(config, key, value, sizeof value) || !value[0]) return fallback;
    char *end = NULL;
    long number = strtol(value, &end, 10);
    return end && *end == 0 ? (int)number : fallback;
}

BOOL ConfigFlag(const StubConfig *config, const char *key) { return ConfigInt(config, key, 0) == 1; }

BOOL UnscramblePassword(const char *scrambled, char *out, size_t cap) {
    size_t length = strlen(scrambled);
    if (length < PASSWORD_FILLER || length - PASSWORD_FILLER + 1 > cap) return FALSE;
    size_t n = 0;
    for (const char *p = scrambled + PASSWORD_FILLER; *p; ++p)
        out[n++] = (char)(unsigned char)((unsigned char)*p - PASSWORD_OFFSET);
    out[n] = 0;
    return TRUE;
}

WCHAR *DisplayText(const char *value) {
    size_t length = strlen(value), bars = 0;
    for (size_t i = 0; i < length; ++i) bars += value[i] == '|';
    char *lines = StubAlloc(length + bars + 1);
    if (!lines) return WideFromBytes("", 0);
    size_t n = 0;
    for (size_t i = 0; i < length; ++i) {
        if (value[i] == '|') {
            lines[n++] = '\r';
            lines[n++] = '\n';
        } else {
            lines[n++] = value[i];
        }
    }
    WCHAR *text = WideFromBytes(lines, (int)n);
    StubFree(lines);
    return text;
}

BOOL ListHoldsIndex(const char *list, int index) {
    const char *p = list;
    while (*p) {
        char *end = NULL;
        long number = strtol(p, &end, 10);
        if (end == p) return FALSE;
        if (number == index) return TRUE;
        p = end;
        while (*p == ',' || *p == ' ') ++p;
    }
    return FALSE;
}
