// Exports of the mesh-generator library Tessaro_DLL.so.
//
// Both functions run the mesher on the geometry definition named by the
// argument and return 0 when the mesh file was written, 1 otherwise.
// `Tessaro_entry1` is the fixed C-linkage name that callers bind with dlsym
// (it stands for the library's first entry); both names reach the same code.
#pragma once

#include <string>

__attribute__((visibility("default"))) int Tessaro(std::string& inputName);

extern "C" __attribute__((visibility("default"))) int Tessaro_entry1(const std::string& inputName);
