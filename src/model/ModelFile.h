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

#include <iosfwd>
#include <string>

class ModelData;

// 1 when the path names an existing file system entry, else 0.
int FileExists(const std::string& path);
// Size in bytes of the regular file at the path; -1 when there is none.
long long RegularFileSize(const std::string& path);
// "" when the path names a regular file that can be opened for reading;
// otherwise why not ("is a folder", "is not a regular file (a pipe, socket
// or device)", or the system's reason). Never blocks on a pipe.
std::string WhyNotReadableFile(const std::string& path);

// The template block: "MODEL_PROFILE_DATA" and the template kind; for the
// kinds 1 and 2 also the element option and integration rule, the dimension
// line, the load line, the typical element size and the END line.
void WriteTemplateBlock(const ModelData& model, std::ostream& out);
// Reads the template block after its keyword into the model. A kind that
// cannot be read changes nothing; for the kinds 1 and 2 the further fields
// are taken only when the whole block could be read.
void ReadTemplateBlock(ModelData& model, std::istream& in);
