/* A library that the test plug-in links, kept in the plug-in's folder. */
int scan_helper_value(void) { return 42; }
