#include "meshtools/TemplateMeshing.h"

#include <stdlib.h>

#include <filesystem>

#include "meshtools/MesherBinding.h"
#include "meshtools/TemplateGeometry.h"
#include "model/ModelData.h"
#include "model/ScratchFolder.h"

namespace {

// Steps of the soil iteration a template's model allows: a foundation on the
// half-space soil whose moment lifts one side settles in about 90.
constexpr int kTemplateIterations = 150;

// The meshing step reports its own failure; a mesh that was made but cannot
// be imported, or no meshing step at all, is reported here.
bool MeshInFolder(ModelData& model, const ScratchFolder& folder, const TemplateMesher& mesher, MesherHost& host) {
    if (!folder.Made()) {
        host.Message("Can not create a temporary folder for the mesh", MesherIcon::Stop);
        return false;
    }
    const std::string input = folder.File("temp.i");
    TemplateLists lists;
    if (mesher && !mesher(model, input, folder.File("temp.rgd"), lists)) return false;
    const bool imported =
        mesher && model.ImportMeshFile(MesherOutputName(input, ".fem"), 1, lists.regionNames, lists.regionIds,
                                       lists.setNames, lists.setRegions, lists.setHeights) != 0;
    if (!imported) {
        host.Message("Error reading file temp.fem ", MesherIcon::Exclamation);
        return false;
    }
    int iterations = 0;
    double increment = 0, start = 0, end = 0, smallest = 0, tolerance = 0;
    model.GetTimeSteppingParameters(iterations, increment, start, end, smallest, tolerance);
    if (iterations < kTemplateIterations)
        model.SetTimeSteppingParameters(kTemplateIterations, increment, start, end, smallest, tolerance);
    return true;
}

}  // namespace

TemplateMesher LibraryTemplateMesher(const std::string& programFolder, MesherHost& host) {
    return [programFolder, &host](const ModelData& model, const std::string& geometry, const std::string& second,
                                  TemplateLists& lists) {
        switch (model.GetTemplateKind()) {
            case 1: return MeshOctagonTemplate(model, geometry, second, lists, programFolder, host);
            case 2: return MeshCircularTemplate(model, geometry, second, lists, programFolder, host);
            default: return false;
        }
    };
}

bool MeshAndImportTemplate(ModelData& model, const std::string& programFolder, MesherHost& host) {
    return MeshAndImportTemplate(model, LibraryTemplateMesher(programFolder, host), host);
}

bool MeshAndImportTemplate(ModelData& model, const TemplateMesher& mesher, MesherHost& host) {
    const ScratchFolder folder;
    return MeshInFolder(model, folder, mesher, host);
}
