#include "meshtools/MesherBinding.h"

#include <dlfcn.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace {

using MesherEntry = int (*)(const std::string&);

// One handle per library path for the whole process: a library is loaded
// the first time it is asked for and stays loaded, so a second meshing uses
// the same code.
void* LibraryHandle(const std::string& path) {
    static std::map<std::string, void*> handles;
    auto found = handles.find(path);
    if (found != handles.end()) return found->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) handles.emplace(path, handle);
    return handle;
}

std::string FailureText(const std::vector<std::string>& problems) {
    std::string text = "Mesh generation failed";
    for (const std::string& line : problems) text += "\n" + line;
    return text;
}

}  // namespace

std::string MesherLibraryPath(const std::string& programFolder) {
    if (programFolder.empty()) return "Tessaro_DLL.so";
    return programFolder + (programFolder.back() == '/' ? "" : "/") + "Tessaro_DLL.so";
}

std::string MesherOutputName(const std::string& inputName, const std::string& extension) {
    return inputName.size() < 2 ? std::string() : inputName.substr(0, inputName.size() - 2) + extension;
}

std::vector<std::string> MesherLogProblems(const std::string& logName) {
    std::vector<std::string> problems;
    std::ifstream log(logName);
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        const std::string text = line.substr(start);
        // "Error in ..." and "error to ..." lines of older meshers count too.
        std::string head = text.substr(0, 8);
        for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (head.rfind("error", 0) == 0 || head.rfind("warning:", 0) == 0) problems.push_back(text);
    }
    return problems;
}

long long MeshFileElementCount(const std::string& meshName) {
    std::ifstream in(meshName, std::ios::in | std::ios::binary);
    unsigned char b[12];
    if (!in.read(reinterpret_cast<char*>(b), sizeof b)) return -1;
    const std::uint32_t u = static_cast<std::uint32_t>(b[4]) | static_cast<std::uint32_t>(b[5]) << 8 |
                            static_cast<std::uint32_t>(b[6]) << 16 | static_cast<std::uint32_t>(b[7]) << 24;
    std::int32_t elements;
    std::memcpy(&elements, &u, sizeof elements);
    return elements;
}

bool RunMesher(const std::string& inputName, const std::string& programFolder, MesherHost& host) {
    const std::string library = MesherLibraryPath(programFolder);
    void* handle = LibraryHandle(library);
    if (!handle) {
        host.Message("Can not load Executable Library\n" + library + "\nPlease Check.", MesherIcon::Stop);
        return false;
    }
    auto entry = reinterpret_cast<MesherEntry>(dlsym(handle, "Tessaro_entry1"));
    if (!entry) {
        host.Message("Can not find function in Library\nPlease Check.", MesherIcon::Stop);
        return false;
    }
    const std::string meshName = MesherOutputName(inputName, ".fem");
    const std::string logName = MesherOutputName(inputName, ".msh");
    // A mesh left from an earlier run must not pass for this one's.
    std::remove(meshName.c_str());
    const int result = entry(inputName);
    const std::vector<std::string> problems = MesherLogProblems(logName);
    if (result != 0 || !problems.empty() || MeshFileElementCount(meshName) <= 0) {
        std::remove(meshName.c_str());
        host.Message(FailureText(problems), MesherIcon::Stop);
        return false;
    }
    return true;
}
