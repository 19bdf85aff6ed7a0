// Leaks in the system libraries the game sits on, which a sanitised run of
// the tests should not fail over: D-Bus (which SDL opens) keeps a buffer for
// the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
