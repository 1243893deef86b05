// A stand-in for the solver library in the program's run tests. Its exports
// hand the calls to the test program (which records the current directory,
// the file list, the marker and the wait cursor, writes the canned results
// and chooses the status; and learns of a stop request); without the test
// program's hooks ITORVE returns 0 and a stop request is dropped.
#include <dlfcn.h>

extern "C" __attribute__((visibility("default"))) int ITORVE(int mode) {
    using Hook = int (*)(int);
    auto hook = reinterpret_cast<Hook>(::dlsym(RTLD_DEFAULT, "BrennixTestSolverCall"));
    return hook ? hook(mode) : 0;
}

extern "C" __attribute__((visibility("default"))) void ITORVE_STOP() {
    using Hook = void (*)();
    auto hook = reinterpret_cast<Hook>(::dlsym(RTLD_DEFAULT, "BrennixTestSolverStop"));
    if (hook) hook();
}
