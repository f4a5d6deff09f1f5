/* Preloaded into the test programs under LeakSanitizer: a dlclose() that
 * keeps every library loaded. Mesa's GL driver is opened with dlopen() and
 * closed again when the last display connection goes; what it allocated and
 * keeps until then would be reported from a module no longer loaded, with no
 * name to tell it apart from the program's own leaks. Kept loaded, its
 * frames name the driver, and lsan.supp can tell them apart. */
int dlclose(void* handle) {
    (void)handle;
    return 0;
}
