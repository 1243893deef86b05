#include "app/run/AnalysisRun.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "model/ModelData.h"
#include "model/ModelFile.h"

namespace {

const char* const kLibraryName = "Parvane_DLL.so";
const char* const kProgramName = "Halvor";

void DeleteIfExists(const std::string& path)
{
    if (FileExists(path)) ::unlink(path.c_str());
}

// Writes the file list; a failure is reported and false returned, so the
// run skips the analysis that would find no list.
bool WriteFileList(const std::string& path, std::initializer_list<std::string> lines, RunHost& host)
{
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    out.close();
    if (out) return true;
    host.Message("Can not write the file list\n" + path + "\nPlease Check.", RunIcon::Stop);
    return false;
}

// Starts the program with `folder` as its working directory and waits for
// it without a limit; false when it could not be started.
bool StartAndWait(const std::string& program, const std::string& folder)
{
    if (::access(program.c_str(), X_OK) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

// Writes the model to its document; on success the model and the document
// are no longer modified. A failed save is reported and keeps both flags.
bool SaveModel(ModelData& model, const std::string& path, RunHost& host)
{
    if (model.WriteModelFile(path) != 0) {
        const std::string row = model.UnwritableText();
        host.Message("Can not save the model file\n" + path + "\nPlease Check." + (row.empty() ? "" : "\n" + row),
                     RunIcon::Stop);
        return false;
    }
    model.ClearChanged();
    host.ModelSaved();
    return true;
}

} // namespace

void RunHost::Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string RunFileName(const std::string& documentPath, const std::string& extension)
{
    const std::size_t keep = documentPath.size() >= 4 ? documentPath.size() - 4 : documentPath.size();
    return documentPath.substr(0, keep) + extension;
}

std::string GetDirectoryOfPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int RunAnalysis(ModelData& model, const std::string& documentPathIn, bool hadResults,
                const std::string& programFolderIn, RunHost& host, RunOutcome* outcomeOut)
{
    RunOutcome local;
    RunOutcome& outcome = outcomeOut ? *outcomeOut : local;
    outcome = RunOutcome{};

    // The run changes the current directory, so every path is made absolute
    // first.
    std::error_code ec;
    std::string documentPath = std::filesystem::absolute(documentPathIn, ec).string();
    if (ec) documentPath = documentPathIn;
    std::string programFolder = programFolderIn;
    if (!programFolder.empty()) {
        const std::string abs = std::filesystem::absolute(programFolder, ec).string();
        if (!ec) programFolder = abs;
        if (programFolder.back() != '/') programFolder += '/';
    }

    if (hadResults && !host.Ask("Analysis will delete previous results\n Do you want to continue?")) {
        outcome.declined = true;
        return 0;
    }

    const std::string sds = RunFileName(documentPath, ".sds");
    const std::string sin = RunFileName(documentPath, ".sin");
    const std::string sou = RunFileName(documentPath, ".sou");
    const std::string sms = RunFileName(documentPath, ".sms");
    const std::string gpd = RunFileName(documentPath, ".gpd");
    const std::string gpo = RunFileName(documentPath, ".gpo");
    const std::string gpp = RunFileName(documentPath, ".gpp");
    const std::string gpr = RunFileName(documentPath, ".gpr");
    const std::string cut = RunFileName(documentPath, ".cut");
    outcome.messageFile = sms;

    DeleteIfExists(sds);
    DeleteIfExists(sou);
    DeleteIfExists(sms);
    DeleteIfExists(cut);

    bool errors = false;
    model.CheckModel(sms, errors);
    if (errors) {
        outcome.modelErrors = true;
        host.Message("Model has errors. Please see message file for details", RunIcon::None);
        return 0;
    }

    const bool halvor = model.GetHalvorFlag() != 0;
    outcome.halvorRoute = halvor;
    std::string listFile;

    if (!halvor && !SaveModel(model, documentPath, host)) {
        outcome.saveFailed = true;
    } else if (!halvor) {
        const std::string library = programFolder + kLibraryName;
        outcome.libraryPath = library;
        const std::string folder = GetDirectoryOfPath(documentPath);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            // The solver finds its file list in the current directory only.
        }
        listFile = folder + "torve.dat";
        if (!WriteFileList(listFile, {documentPath, sin, sou, sds, sms, cut}, host)) {
            outcome.listFailed = true;
        } else if (model.WriteSolverInput(sin) != 0) {
            host.Message("Can not write the solver input file\n" + sin + "\nPlease Check.", RunIcon::Stop);
        } else {
            outcome.inputWritten = true;
            void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                host.Message("Can not load Executable Library\n" + library + "\nPlease Check.", RunIcon::Stop);
            } else {
                outcome.libraryLoaded = true;
                using Entry = int (*)(int);
                auto entry = reinterpret_cast<Entry>(::dlsym(handle, "ITORVE"));
                if (!entry) {
                    host.Message("Can not find function in Library\nPlease Check.", RunIcon::Stop);
                    ::dlclose(handle);
                } else {
                    outcome.exportFound = true;
                    host.Progress("Analysis Started...", "", 0);
                    host.Sleep(100);
                    host.Progress("Analysis In Progress...", "Please Wait...", 0);
                    outcome.solverStatus = entry(2);
                    outcome.solverCalled = true;
                    host.Progress("Analysis Completed...", "", 100);
                    host.Sleep(100);
                    ::dlclose(handle);
                    if (outcome.solverStatus > 0)
                        host.Message("Analysis terminated with errors. Please see message file for details",
                                     RunIcon::Stop);
                    host.OpenTextFile(sms);
                }
            }
        }
    } else if (model.IsChanged() && !SaveModel(model, documentPath, host)) {
        outcome.saveFailed = true;
    } else {
        listFile = programFolder + "names.dat";
        if (!WriteFileList(listFile, {gpd, gpo, gpp, gpr, sin, sou, sds, sms, documentPath}, host)) {
            outcome.listFailed = true;
        } else if (model.WriteSolverInput(sin) != 0) {
            host.Message("Can not write the solver input file\n" + sin + "\nPlease Check.", RunIcon::Stop);
        } else {
            outcome.inputWritten = true;
            const std::string program = programFolder + kProgramName;
            outcome.programStarted = StartAndWait(program, programFolder);
            if (!outcome.programStarted)
                host.Message("Can not start program\n" + program + "\nPlease Check.", RunIcon::Stop);
        }
    }

    // Reading back.
    model.resultsFlag = 0;
    if (FileExists(sds)) {
        outcome.resultsFileFound = true;
        outcome.resultsStatus = model.ReadResultsFile(sds);
        if (!halvor && FileExists(cut)) {
            outcome.cutFileFound = true;
            outcome.cutStatus = model.ReadCutLineResults(cut);
            if (outcome.cutStatus != 0) host.Message("Error in reading cut line results.", RunIcon::Stop);
        }
    }
    host.ResultsFlagChanged(model.HasResults());
    if (!listFile.empty()) DeleteIfExists(listFile);
    return 1;
}
