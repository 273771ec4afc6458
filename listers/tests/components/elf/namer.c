/* A component that names libraries in its data without linking them: one
   with a constructor (trap.c) and one that is a FIFO in the tests. */
const char scan_named_libraries[] = "libpcntrap.so\0\0\nlibpcnfifo.so.1\0\0\n";

int scan_namer_present(void) { return scan_named_libraries[0] != 0; }
