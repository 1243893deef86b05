// tessaro-run INPUT: meshes a geometry definition with the Tessaro_DLL.so
// that sits in this program's folder and prints the mesher's result (0
// success). Exits 0 only for a whole mesh: a non-zero result, an "Error:" or
// "Warning:" line in the log or a mesh without elements exit 1, with the
// log's lines on the error output; an input that needs more memory than
// there is is said to be so, with its size.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/run/AnalysisRun.h"
#include "meshtools/MesherBinding.h"

namespace {

int usage(const char* program, FILE* to) {
    std::fprintf(
        to,
        "usage: %s INPUT\n"
        "Meshes the geometry definition INPUT (a name ending in \".i\") into INPUT less \".i\" plus \".fem\",\n"
        "with the log in \".msh\"; prints 0 on success, 1 on failure.\n",
        program);
    return to == stdout ? 0 : 2;
}

std::string MemoryShortfall(const std::string& input) {
    return "Mesh generation failed: the geometry input " + NeedsMoreMemoryText(input);
}

// The exit status of a meshing that returned `result`, with the log's
// problems on the error output.
int Outcome(const std::string& input, int result) {
    const std::vector<std::string> problems = MesherLogProblems(MesherOutputName(input, ".msh"));
    for (const std::string& line : problems) std::fprintf(stderr, "%s\n", line.c_str());
    for (const std::string& line : problems)
        if (line.find("Error: out of memory") != std::string::npos)
            std::fprintf(stderr, "%s\n", MemoryShortfall(input).c_str());
    if (result != 0 || !problems.empty()) return 1;
    if (MeshFileElementCount(MesherOutputName(input, ".fem")) <= 0) {
        std::fprintf(stderr, "Mesh generation failed: the mesh has no elements\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "tessaro-run";
    if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) return usage(program, stdout);
    if (argc != 2) return usage(program, stderr);
    char self[PATH_MAX] = {};
    const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = len > 0 ? std::string(self, static_cast<std::size_t>(len)) : std::string();
    const std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    const std::string library = folder + "/Tessaro_DLL.so";

    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "Can not load %s: %s\n", library.c_str(), dlerror());
        return 2;
    }
    using Entry = int (*)(const std::string&);
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "Tessaro_entry1"));
    if (!entry) {
        std::fprintf(stderr, "Can not find Tessaro_entry1 in %s\n", library.c_str());
        dlclose(handle);
        return 2;
    }
    const std::string input = argv[1];
    struct stat info {};
    if (stat(input.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "%s is not a regular file; nothing was written\n", input.c_str());
        dlclose(handle);
        return 1;
    }
    // The mesher reports running out of memory in its log; here nothing of
    // it may end the program with an abort either.
    try {
        const int result = entry(input);
        std::printf("%d\n", result);
        dlclose(handle);
        return Outcome(input, result);
    } catch (const std::bad_alloc&) {
        std::printf("1\n");
        std::fprintf(stderr, "%s\n", MemoryShortfall(input).c_str());
        return 1;
    }
}
