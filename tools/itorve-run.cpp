// itorve-run INPUT.sin: runs the solver library alone on a numeric input, as
// the program calls it. Writes "torve.dat" beside the input, naming the run
// files INPUT less ".sin" plus ".sou", ".sds", ".sms" and ".cut", changes to
// that folder, calls ITORVE(2) of the Parvane_DLL.so in this program's folder
// and prints "Status: N". Exits 0 for status 0, 1 for any other.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const std::string usage =
        "usage: itorve-run INPUT.sin\n"
        "Runs the solver library of this program's folder on the numeric input INPUT.sin.\n";
    if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    const std::string input = argc == 2 ? argv[1] : "";
    if (input.size() < 5 || input.substr(input.size() - 4) != ".sin") {
        std::fputs(usage.c_str(), stderr);
        return 2;
    }
    char self[PATH_MAX] = {};
    const ssize_t len = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const std::filesystem::path folder =
        std::filesystem::path(len > 0 ? std::string(self, std::size_t(len)) : "").parent_path();
    const std::string library = (folder / "Parvane_DLL.so").string();

    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(input, ec);
    const std::string base = path.string().substr(0, path.string().size() - 4);
    {
        std::ofstream list(path.parent_path() / "torve.dat", std::ios::trunc);
        for (const char* ext : {".slb", ".sin", ".sou", ".sds", ".sms", ".cut"}) list << base << ext << '\n';
        if (!list) {
            std::fprintf(stderr, "itorve-run: can not write %s\n", (path.parent_path() / "torve.dat").c_str());
            return 2;
        }
    }
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "itorve-run: can not load %s: %s\n", library.c_str(), ::dlerror());
        return 2;
    }
    auto entry = reinterpret_cast<int (*)(int)>(::dlsym(handle, "ITORVE"));
    if (!entry || ::chdir(path.parent_path().c_str()) != 0) {
        std::fprintf(stderr, "itorve-run: no ITORVE in %s or no folder %s\n", library.c_str(),
                     path.parent_path().c_str());
        return 2;
    }
    const int status = entry(2);
    ::dlclose(handle);
    std::printf("Status: %d\n", status);
    return status == 0 ? 0 : 1;
}
