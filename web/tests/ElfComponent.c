/* A Linux component for the registration tests: its entry points write a
   marker file named by PCN_TEST_MARKER plus ".registered" or ".unregistered"
   and return the number in PCN_TEST_RESULT (0 when unset), after waiting
   PCN_TEST_DELAY_MS milliseconds (a component that takes its time). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#if defined(WITH_REGISTER) || defined(WITH_UNREGISTER)
static int leaveMarker(const char* suffix) {
    const char* delay = getenv("PCN_TEST_DELAY_MS");
    if (delay) {
        long ms = strtol(delay, NULL, 10);
        struct timespec wait = {ms / 1000, (ms % 1000) * 1000000L};
        nanosleep(&wait, NULL);
    }
    const char* base = getenv("PCN_TEST_MARKER");
    if (base) {
        char path[4096];
        snprintf(path, sizeof path, "%s%s", base, suffix);
        FILE* file = fopen(path, "w");
        if (file) {
            fputs("called\n", file);
            fclose(file);
        }
    }
    const char* result = getenv("PCN_TEST_RESULT");
    return result ? (int)strtoul(result, NULL, 0) : 0;
}
#endif

#ifdef WITH_REGISTER
int DllRegisterServer(void) { return leaveMarker(".registered"); }
#endif
#ifdef WITH_UNREGISTER
int DllUnregisterServer(void) { return leaveMarker(".unregistered"); }
#endif
/* Every variant exports something, so that each is a loadable library. */
int ElfComponentPresent(void) { return 1; }
