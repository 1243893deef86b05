// A folder of its own below the system's temporary folder for the scratch
// files of one piece of work (the mesher's input, mesh and log): nothing of
// the user's is touched, and the folder goes with everything in it when the
// object goes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "brennix-mesh-XXXXXX").string();
        if (!ec && ::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // False when the folder could not be made.
    bool Made() const { return !path_.empty(); }
    // The path of a file in the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
