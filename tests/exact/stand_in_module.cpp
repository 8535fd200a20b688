// Stand-ins for a broken exact module: a shared object without the entry, or one whose entry
// answers for another version of the program (null, as exact_module.h says).
#ifdef CORVANE_STAND_IN_ENTRY
extern "C" __attribute__((visibility("default"))) const void* corvane_exact_module(const char*) {
    return nullptr;
}
#else
extern "C" __attribute__((visibility("default"))) int corvane_something_else() {
    return 0;
}
#endif
