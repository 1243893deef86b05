#pragma once
// The model keyword file (".slb"): ModelData::WriteModelFile,
// ModelData::ReadModelFile and ModelData::ReadFirstLine are declared with the
// model; this header adds the file test and the reader's result codes.
//
// ReadModelFile results: 0 read up to END_DATA; 1 NODE_DATA; 2 MATERIAL_DATA
// or CUTLINE_DATA; 3 ELEMENT_DATA or a nonlinear spring point line; 4..8 the
// five nodal blocks; 9 CONCENTRATED_LOAD_DATA, EDGE_LOAD_DATA or the title
// lines; 10 CONCENTRATED_STIFFNESS_DATA, TOTAL_CONCENTRATED_STIFFNESS_DATA,
// EDGE_STIFFNESS_DATA or a word that is no keyword; 11 NODESET_DATA, or no
// keyword could be read (end of file, unreadable value, missing file);
// 12 ELEMENTSET_DATA or EDGESET_DATA.

#include <string>

// 1 when the path names an existing file system entry, else 0.
int FileExists(const std::string& path);
