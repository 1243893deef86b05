// One run of the mesh generator: read the geometry definition, mesh its
// regions, join them and write the mesh file and the message log.
#pragma once

#include <string>

namespace tessaro {

// The mesh file and the log are named after the input less its last two
// characters, plus ".fem" and ".msh". Returns 0 when the mesh file was
// written, 1 when the run failed (the reason is in the log, and any log line
// beginning "Error:" fails the run). An input that is not a regular file
// (a folder, pipe or device) gives 1 with nothing written. Never throws.
int runTessaro(const std::string& inputName) noexcept;

// File names of a run; empty when the input name is shorter than two
// characters.
std::string meshFileName(const std::string& inputName);
std::string logFileName(const std::string& inputName);

}  // namespace tessaro
