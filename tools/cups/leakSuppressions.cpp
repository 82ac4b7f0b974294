// LeakSanitizer builds only: libcups keeps the option lists it makes while
// marking a PPD (print-quality, print-color-mode) past the calls that make
// them. CUPS runs the filter with an environment of its own, so the
// suppression is built in rather than passed in LSAN_OPTIONS. Other builds
// never call this.
extern "C" const char* __lsan_default_suppressions() { return "leak:libcups.so\n"; }
