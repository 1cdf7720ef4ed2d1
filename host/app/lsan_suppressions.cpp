// Fontconfig, pango and GLib keep their caches for the life of the process and never free them.
// In sanitizer builds the leak checker is told so (the same list as tools/lsan.supp), so that
// `zorma` exits cleanly after rendering and still reports every leak of our own. Other builds
// never call this function.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libharfbuzz.so\nleak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\nleak:libcairo.so\nleak:libfreetype.so\n"
           // the desktop window's toolkit and its session bus
           "leak:libgtk-3.so\nleak:libgdk-3.so\nleak:libdbus-1.so\nleak:libatk\n";
}
