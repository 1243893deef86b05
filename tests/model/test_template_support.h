#pragma once
// Foundation templates in tests: the lists the template writers hand to the
// mesh import, and the mesher library run on a geometry input.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace templatetest {

// The lists the template writers hand to the import: one region per object
// 101.., four element sets of consecutive regions with their slab heights.
struct TemplateLists {
    std::vector<std::string> regionNames;
    std::vector<int> regionIds;
    std::vector<std::string> setNames{"set_1", "set_2", "set_3", "set_4"};
    std::vector<std::vector<int>> setRegions;
    std::vector<double> setHeights;
};

inline TemplateLists ListsOf(int kind, double D1, double D2, double D3) {
    TemplateLists lists;
    const int regions = kind == 1 ? 36 : 16;
    for (int r = 1; r <= regions; ++r) {
        lists.regionNames.push_back("Region_" + std::to_string(r));
        lists.regionIds.push_back(100 + r);
    }
    // Last region of each set.
    const std::vector<int> ends = kind == 1 ? std::vector<int>{4, 12, 24, 36} : std::vector<int>{4, 8, 12, 16};
    int first = 1;
    for (int end : ends) {
        std::vector<int> pairs;
        for (int r = first; r <= end; ++r) {
            pairs.push_back(0);
            pairs.push_back(100 + r);
        }
        lists.setRegions.push_back(pairs);
        first = end + 1;
    }
    lists.setHeights = {D1 + D2 + D3, D1 + D2, D1 + 0.75 * D2, D1 + 0.25 * D2};
    return lists;
}

// Meshes `input` with the mesher library beside the test programs; 0 when the
// mesh was made.
inline int RunMesher(const std::string& input) {
    const std::string library = std::string(BRENNIX_BIN_DIR) + "/Tessaro_DLL.so";
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        ADD_FAILURE() << "cannot load " << library << ": " << ::dlerror();
        return -1;
    }
    using Entry = int (*)(const std::string&);
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, "Tessaro_entry1"));
    const int result = entry ? entry(input) : -1;
    EXPECT_NE(entry, nullptr) << "no Tessaro_entry1 in " << library;
    ::dlclose(handle);
    return result;
}

}  // namespace templatetest
