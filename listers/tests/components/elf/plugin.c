/* The test plug-in: links its helper and zlib, registers itself, and names
   libraries in its data that it would load on demand. */
#include <zlib.h>

int scan_helper_value(void);

const char scan_loaded_on_demand[] = "libdynamic.so.3\0\0\nplugdyn.dll\0\0\n";

int DllRegisterServer(void) { return scan_helper_value() == 42 && zlibVersion() ? 0 : 1; }
