// A foundation template from its parameters to the model's mesh: the
// geometry is written into a private temporary folder, meshed by the mesh
// generator and imported with the template's sets, materials and loads; the
// folder and every file in it are removed afterwards.
#pragma once

#include <string>

class ModelData;
class MesherHost;

// Nodes above which a new foundation asks before going on.
constexpr int kHugeModelNodes = 15000;

// Meshes the model's template (kind 1 octagonal, 2 circular) with the mesher
// library of `programFolder` and imports the mesh (import flag 1). On any
// failure (size unsuitable, file not written, mesher failed, import refused)
// the host has the reason and then "Error reading file temp.fem "
// (exclamation icon), and the model keeps its tables. True when imported.
bool MeshAndImportTemplate(ModelData& model, const std::string& programFolder, MesherHost& host);
