/* A component that never finishes loading: its constructor sleeps, so the
   loader host that loads it never signals that it is ready. */
#include <unistd.h>

__attribute__((constructor)) static void neverReady(void) {
    for (;;) sleep(60);
}

__attribute__((visibility("default"))) int DllRegisterServer(void) { return 0; }
