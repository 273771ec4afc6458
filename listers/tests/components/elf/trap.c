/* A library that must never be loaded by the scanner: its constructor writes
   the file named by PCN_TEST_TRAP, so a test can tell that it ran. */
#include <stdio.h>
#include <stdlib.h>

__attribute__((constructor)) static void sprung(void) {
    const char* marker = getenv("PCN_TEST_TRAP");
    FILE* file = marker ? fopen(marker, "w") : NULL;
    if (file) {
        fputs("loaded\n", file);
        fclose(file);
    }
}

int pcn_trap_present(void) { return 1; }
