#include "meshtools/TemplateMeshing.h"

#include <stdlib.h>

#include <filesystem>

#include "meshtools/MesherBinding.h"
#include "meshtools/TemplateGeometry.h"
#include "model/ModelData.h"

namespace {

// A folder of its own below the system's temporary folder, removed with
// everything in it when the object goes.
class PrivateFolder {
public:
    PrivateFolder() {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "brennix-mesh-XXXXXX").string();
        if (!ec && ::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~PrivateFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    bool Made() const { return !path_.empty(); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

bool MeshInFolder(ModelData& model, const PrivateFolder& folder, const std::string& programFolder,
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
    const PrivateFolder folder;
    if (MeshInFolder(model, folder, programFolder, host)) return true;
    host.Message("Error reading file temp.fem ", MesherIcon::Exclamation);
    return false;
}
