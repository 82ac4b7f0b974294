// LeakSanitizer builds only: libcups and PAPPL keep option lists and
// other allocations of their main loop (the `add`, `submit` and other
// sub-commands) past its end. The tests start the application with an
// environment of their own, so the suppression is built in rather than
// passed in LSAN_OPTIONS. Other builds never call this.
extern "C" const char* __lsan_default_suppressions() { return "leak:libcups.so\nleak:libpappl.so\n"; }
