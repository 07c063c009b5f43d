// Linked into every test program of the sanitizer build, so the settings
// hold however a test is started (ctest, test discovery, by hand).

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }

// Qt's platform plugins, fontconfig and the browser engine keep caches and
// threads for the life of the process and never free them; those are not
// our leaks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libdbus-1.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libQt6WebEngineCore.so\n"
           "leak:libudev.so\n";
}
