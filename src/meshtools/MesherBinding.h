// The binding of the mesh-generator library Tessaro_DLL.so: it is loaded
// from the program's folder (once per path for the whole process, never
// unloaded), its first entry `Tessaro_entry1` is bound by name and called
// with the name of a geometry definition. The mesher writes beside it, under
// the same base name, the mesh (".fem", binary) and its message log (".msh").
//
// Everything runs synchronously on the caller's thread; messages go to the
// caller's host.
#pragma once

#include <string>
#include <vector>

enum class MesherIcon { NoIcon, Information, Question, Exclamation, Stop };

// What the mesh tools need of the program's user interface: message boxes
// and a Yes/No question.
class MesherHost {
public:
    virtual ~MesherHost() = default;
    virtual void Message(const std::string& text, MesherIcon icon) = 0;
    // True for Yes.
    virtual bool Ask(const std::string& question) = 0;
};

// "<folder>/Tessaro_DLL.so" (one separator between folder and name).
std::string MesherLibraryPath(const std::string& programFolder);

// The mesher's output beside its input: the input name less its last two
// characters (".i") plus the extension (".fem", ".msh").
std::string MesherOutputName(const std::string& inputName, const std::string& extension);

// Lines of a mesher log that begin (after blanks) with "Error" (any case,
// with or without a colon) or "Warning:"; none for a missing log.
std::vector<std::string> MesherLogProblems(const std::string& logName);

// Number of elements in the header of a binary mesh file; -1 when the file is
// missing or too short to hold its header.
long long MeshFileElementCount(const std::string& meshName);

// Meshes `inputName` with the library of `programFolder`. Fails, with a
// message to the host (stop icon) and no mesh file left, when the library
// cannot be loaded ("Can not load Executable Library\n<path>\nPlease
// Check."), has no entry ("Can not find function in Library\nPlease
// Check."), or the mesher returns non-zero, logs an "Error:" or "Warning:"
// line, or writes a mesh without elements ("Mesh generation failed" and the
// log's lines). True when a mesh was made.
bool RunMesher(const std::string& inputName, const std::string& programFolder, MesherHost& host);
