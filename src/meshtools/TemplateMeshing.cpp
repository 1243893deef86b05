#include "meshtools/TemplateMeshing.h"

#include <stdlib.h>

#include <filesystem>

#include "meshtools/MesherBinding.h"
#include "meshtools/TemplateGeometry.h"
#include "model/ModelData.h"
#include "model/ScratchFolder.h"

namespace {

bool MeshInFolder(ModelData& model, const ScratchFolder& folder, const std::string& programFolder,
                  MesherHost& host) {
    if (!folder.Made()) {
        host.Message("Can not create a temporary folder for the mesh", MesherIcon::Stop);
        return false;
    }
    const std::string input = folder.File("temp.i");
    TemplateLists lists;
    const int kind = model.GetTemplateKind();
    const bool meshed =
        kind == 1   ? MeshOctagonTemplate(model, input, folder.File("temp.rgd"), lists, programFolder, host)
        : kind == 2 ? MeshCircularTemplate(model, input, folder.File("temp.rgd"), lists, programFolder, host)
                    : false;
    if (!meshed) return false;
    return model.ImportMeshFile(MesherOutputName(input, ".fem"), 1, lists.regionNames, lists.regionIds,
                                lists.setNames, lists.setRegions, lists.setHeights) != 0;
}

}  // namespace

bool MeshAndImportTemplate(ModelData& model, const std::string& programFolder, MesherHost& host) {
    const ScratchFolder folder;
    if (MeshInFolder(model, folder, programFolder, host)) return true;
    host.Message("Error reading file temp.fem ", MesherIcon::Exclamation);
    return false;
}
