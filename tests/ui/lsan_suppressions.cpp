// Fontconfig and pango keep their font caches for the life of the process and never free
// them; the leak checker is told so, and still reports every leak of our own.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libharfbuzz\nleak:libglib\n";
}
