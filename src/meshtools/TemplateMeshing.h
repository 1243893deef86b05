// A foundation template from its parameters to the model's mesh: the
// geometry is written into a private temporary folder, meshed by the mesh
// generator and imported with the template's sets, materials and loads; the
// folder and every file in it are removed afterwards.
#pragma once

#include <functional>
#include <string>

class ModelData;
class MesherHost;
struct TemplateLists;

// The meshing step of a template: writes the geometry of the model's
// template to `geometryFile` (and `secondFile`), runs the mesh generator on
// it, which writes its mesh beside the geometry (".fem"), and fills the
// lists. False when no mesh was made; the step has then told its host why.
using TemplateMesher = std::function<bool(const ModelData& model, const std::string& geometryFile,
                                          const std::string& secondFile, TemplateLists& lists)>;

// The meshing step with the mesher library of `programFolder`.
TemplateMesher LibraryTemplateMesher(const std::string& programFolder, MesherHost& host);

// Nodes above which a new foundation asks before going on.
constexpr int kHugeModelNodes = 15000;

// Meshes the model's template (kind 1 octagonal, 2 circular) with the mesher
// library of `programFolder` and imports the mesh (import flag 1). On a
// failure the host has one reason: the size or dimension that does not
// suit, the file not written or the mesher's failure, or "Error reading file
// temp.fem " (exclamation icon) when the mesh was made but the import
// refused it; the model keeps its tables. True when imported.
bool MeshAndImportTemplate(ModelData& model, const std::string& programFolder, MesherHost& host);
// The same with another meshing step ("temp.i" and "temp.rgd" of the
// temporary folder are its files).
bool MeshAndImportTemplate(ModelData& model, const TemplateMesher& mesher, MesherHost& host);
