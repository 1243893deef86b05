#include "app/run/AnalysisRun.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

#include "app/run/RunLock.h"
#include "model/ModelData.h"
#include "model/ModelFile.h"

namespace {

// What the interrupt handlers act on: set while a run holds its lock, the
// solver flag while the solver writes its results. Plain buffers, so that
// the handlers only read memory and make system calls.
struct InterruptTarget {
    char lock[4096] = "";
    char messages[4096] = "";
    char results[4096] = "";
    char unfinished[4096] = "";
    char list[4096] = "";
};
InterruptTarget g_target;
volatile std::sig_atomic_t g_runActive = 0;
volatile std::sig_atomic_t g_solverActive = 0;

void CopyPath(char (&to)[4096], const std::string& from) {
    const std::size_t n = std::min(from.size(), sizeof to - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

void WriteText(int fd, const char* text) {
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0) return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Marks the solver run that did not finish: the message file says how it
// ended ("interrupted (SIGINT)", "cancelled") and where its steps went, and
// the step results written so far are renamed to the unfinished name. Only
// system calls on the stored paths, so that the signal handlers can use it.
void MarkRunUnfinished(const char* how) {
    const int fd = ::open(g_target.messages, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        WriteText(fd, "\n *** Analysis ");
        WriteText(fd, how);
        WriteText(fd, ": not a finished run. The steps written so far are in ");
        WriteText(fd, g_target.unfinished);
        WriteText(fd, "\n");
        ::close(fd);
    }
    ::rename(g_target.results, g_target.unfinished);
}

const char* InterruptText(int sig) {
    switch (sig) {
        case SIGINT: return "interrupted (SIGINT)";
        case SIGHUP: return "interrupted (SIGHUP)";
        default: return "interrupted (SIGTERM)";
    }
}

extern "C" void OnRunInterrupt(int sig) {
    if (g_runActive) {
        if (g_solverActive) MarkRunUnfinished(InterruptText(sig));
        if (g_target.list[0] != '\0') ::unlink(g_target.list);
        ::unlink(g_target.lock);
    }
    ::_exit(128 + sig);
}

// The solver's status of a run that its stop export ended.
constexpr int kSolverStopped = 14;

using SolverEntry = int (*)(int);
using SolverStop = void (*)();

// Calls ITORVE(2) on a thread of its own while this thread keeps the
// progress display alive through the host. Once the host reports a cancel,
// the stop export is called at every poll until the analysis returns (a
// request made before the analysis began is cleared by its start).
int CallSolver(SolverEntry entry, SolverStop stop, RunHost& host, bool& cancelAsked) {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    int status = 0;
    std::thread worker;
    try {
        worker = std::thread([&] {
            const int result = entry(2);
            std::lock_guard<std::mutex> hold(mutex);
            status = result;
            done = true;
            ended.notify_one();
        });
    } catch (const std::system_error&) {
        return entry(2);  // no thread to be had: the call blocks as it is
    }
    std::unique_lock<std::mutex> hold(mutex);
    while (!done) {
        hold.unlock();
        if (host.PollCancel()) cancelAsked = true;
        if (cancelAsked && stop) stop();
        hold.lock();
        ended.wait_for(hold, std::chrono::milliseconds(25), [&] { return done; });
    }
    hold.unlock();
    worker.join();
    return status;
}

// The model's lock for the length of one run; the interrupt handlers learn
// its paths.
class RunScope {
public:
    RunScope(const std::string& documentPath, const std::string& sms, const std::string& sds) {
        CopyPath(g_target.messages, sms);
        CopyPath(g_target.results, sds);
        CopyPath(g_target.unfinished, RunFileName(documentPath, ".unfinished.sds"));
    }
    ~RunScope() {
        g_runActive = 0;
        g_solverActive = 0;
        g_target.list[0] = '\0';
        list.Release();
        lock.Release();
    }
    bool Acquire(const std::string& documentPath) {
        if (!lock.Acquire(documentPath, program_invocation_short_name)) return false;
        CopyPath(g_target.lock, lock.Path());
        g_runActive = 1;
        return true;
    }
    // The solver's file list in the model's folder, written with `lines`:
    // false when another run of the folder holds it. A list that cannot be
    // made is not held, and the run fails where it needs the list.
    bool AcquireList(const std::string& path, const std::string& lines) {
        if (!list.AcquireFile(path, lines)) return list.Holder().empty();
        CopyPath(g_target.list, path);
        return true;
    }
    RunLock lock;
    RunLock list;
};

// The run that holds a folder's solver file list, from the list's text: its
// model (the first line) and the holder named in that model's lock.
std::string ListHolder(const std::string& listText) {
    const std::string model = listText.substr(0, listText.find('\n'));
    std::string holder;
    std::getline(std::ifstream(RunLockPath(model)), holder);
    if (model.empty() || model == listText) return listText;
    return holder.empty() ? model : model + ", " + holder;
}

// The lines of the listing that say why the solver halted (the halt block
// of a routine and the diagnoses of the input checks), appended to the
// message file unless it has them already.
void CopyHaltReason(const std::string& listing, const std::string& messages) {
    std::ifstream in(listing);
    std::ostringstream existing;
    existing << std::ifstream(messages).rdbuf();
    const std::string have = existing.str();
    std::vector<std::string> reason;
    std::string line;
    int following = 0;
    while (std::getline(in, line)) {
        if (line.find("PROGRAM halted") != std::string::npos) following = 3;
        const bool diagnosis = line.find("*** diagnosis by check") != std::string::npos;
        if ((following > 0 || diagnosis) && !line.empty() && have.find(line) == std::string::npos)
            reason.push_back(line);
        if (following > 0) --following;
    }
    if (reason.empty()) return;
    std::ofstream out(messages, std::ios::app);
    out << "\n Reason given in the listing " << listing << ":\n";
    for (const std::string& l : reason) out << l << '\n';
}

const char* const kLibraryName = "Parvane_DLL.so";
const char* const kProgramName = "Halvor";

void DeleteIfExists(const std::string& path) {
    if (FileExists(path)) ::unlink(path.c_str());
}

// The system's words for the error number of a failed call ("" for none).
std::string SystemReason(int error) { return error != 0 ? std::strerror(error) : std::string(); }

// The lines of a file list, each followed by a newline.
std::string ListText(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

void ReportListFailure(const std::string& path, RunHost& host) {
    host.Message("Can not write the file list\n" + path + "\nPlease Check.", RunIcon::Stop);
}

// Writes the file list; a failure is reported and false returned, so the
// run skips the analysis that would find no list.
bool WriteFileList(const std::string& path, std::initializer_list<std::string> lines, RunHost& host,
                   std::string& reason) {
    errno = 0;
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    out << ListText(lines);
    out.close();
    if (out) return true;
    reason = SystemReason(errno);
    ReportListFailure(path, host);
    return false;
}

// Starts the program with `folder` as its working directory and waits for
// it without a limit; false when it could not be started.
bool StartAndWait(const std::string& program, const std::string& folder) {
    if (::access(program.c_str(), X_OK) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return true;
}

// Writes the model to its document; on success the model and the document
// are no longer modified. A failed save is reported and keeps both flags.
bool SaveModel(ModelData& model, const std::string& path, RunHost& host, std::string& reason) {
    errno = 0;
    if (model.WriteModelFile(path) != 0) {
        reason = SystemReason(errno);
        const std::string row = model.UnwritableText();
        host.Message("Can not save the model file\n" + path + "\nPlease Check." +
                         (reason.empty() ? "" : "\n" + reason) + (row.empty() ? "" : "\n" + row),
                     RunIcon::Stop);
        return false;
    }
    model.ClearChanged();
    host.ModelSaved();
    return true;
}

// Writes the numeric input of the solver; a failure is reported with the
// system's reason.
bool WriteInput(ModelData& model, const std::string& sin, RunHost& host, std::string& reason) {
    errno = 0;
    if (model.WriteSolverInput(sin) == 0) return true;
    reason = SystemReason(errno);
    host.Message(
        "Can not write the solver input file\n" + sin + "\nPlease Check." + (reason.empty() ? "" : "\n" + reason),
        RunIcon::Stop);
    return false;
}

// The run files of a document.
struct RunFiles {
    explicit RunFiles(const std::string& document)
        : document(document), folder(GetDirectoryOfPath(document)), sds(RunFileName(document, ".sds")),
          sin(RunFileName(document, ".sin")), sou(RunFileName(document, ".sou")), sms(RunFileName(document, ".sms")),
          gpd(RunFileName(document, ".gpd")), gpo(RunFileName(document, ".gpo")), gpp(RunFileName(document, ".gpp")),
          gpr(RunFileName(document, ".gpr")), cut(RunFileName(document, ".cut")), solverList(folder + "torve.dat") {}
    std::string document, folder, sds, sin, sou, sms, gpd, gpo, gpp, gpr, cut;
    std::string solverList;  // "torve.dat" in the document's folder
};

// Reads the step results and, on the solver route, the section-cut results
// back into the model; the outcome keeps what was found and read.
void ReadResultsBack(ModelData& model, const RunFiles& files, bool solverRoute, RunOutcome& outcome) {
    model.resultsFlag = 0;
    if (!FileExists(files.sds)) return;
    outcome.resultsFileFound = true;
    outcome.resultsStatus = model.ReadResultsFile(files.sds);
    if (solverRoute && FileExists(files.cut)) {
        outcome.cutFileFound = true;
        outcome.cutStatus = model.ReadCutLineResults(files.cut);
    }
}

// A solver run that returned 0 has completed only when its results could be
// read back.
bool ResultsReadBack(const RunOutcome& outcome) {
    return outcome.resultsFileFound && outcome.resultsStatus == 0 && (!outcome.cutFileFound || outcome.cutStatus == 0);
}

// Reading back: the solver's results were read before its last progress
// text; the separate program's are read here.
void ReadBack(ModelData& model, const RunFiles& files, bool halvor, RunHost& host, RunOutcome& outcome) {
    if (!outcome.solverCalled) ReadResultsBack(model, files, !halvor, outcome);
    if (outcome.cutFileFound && outcome.cutStatus != 0)
        host.Message("Error in reading cut line results.", RunIcon::Stop);
    host.ResultsFlagChanged(model.HasResults());
}

// Loads the solver library, calls ITORVE(2) behind the progress display and
// frees the library; failures are reported.
void CallSolverLibrary(ModelData& model, const RunFiles& files, const std::string& library, RunHost& host,
                       RunOutcome& outcome) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        host.Message("Can not load Executable Library\n" + library + "\nPlease Check.", RunIcon::Stop);
        return;
    }
    outcome.libraryLoaded = true;
    auto entry = reinterpret_cast<SolverEntry>(::dlsym(handle, "ITORVE"));
    auto stop = reinterpret_cast<SolverStop>(::dlsym(handle, "ITORVE_STOP"));
    if (!entry) {
        host.Message("Can not find function in Library\nPlease Check.", RunIcon::Stop);
        ::dlclose(handle);
        return;
    }
    outcome.exportFound = true;
    host.Progress("Analysis Started...", "", 0);
    host.Sleep(100);
    host.Progress("Analysis In Progress...", "Please Wait...", 0);
    g_solverActive = 1;
    bool cancelAsked = false;
    host.OfferCancel(stop != nullptr);
    outcome.solverStatus = CallSolver(entry, stop, host, cancelAsked);
    host.OfferCancel(false);
    // Only a run that the stop ended is cancelled: one that finished first
    // stands as it ended.
    outcome.cancelled = cancelAsked && outcome.solverStatus == kSolverStopped;
    if (outcome.cancelled) MarkRunUnfinished("cancelled");
    g_solverActive = 0;
    outcome.solverCalled = true;
    ReadResultsBack(model, files, true, outcome);
    // A run that halted, or whose results cannot be read, is not reported
    // as completed.
    host.Progress(outcome.cancelled                                       ? "Analysis Cancelled..."
                  : outcome.solverStatus > 0 || !ResultsReadBack(outcome) ? "Analysis Terminated..."
                                                                          : "Analysis Completed...",
                  "", 100);
    host.Sleep(100);
    ::dlclose(handle);
    if (outcome.cancelled) {
        // The user ended it: the status line says so, and the message file
        // holds where the steps went.
    } else if (outcome.solverStatus > 0) {
        CopyHaltReason(files.sou, files.sms);
        host.Message("Analysis terminated with errors. Please see message file for details", RunIcon::Stop);
    }
    if (!outcome.cancelled) host.OpenTextFile(files.sms);
}

// The solver route after the model check: save, the document's folder made
// the current one, the file list (written when its lock was taken), the
// numeric input and the solver library.
void SolverRoute(ModelData& model, const RunFiles& files, const RunLock& list, const std::string& programFolder,
                 RunHost& host, RunOutcome& outcome) {
    if (!SaveModel(model, files.document, host, outcome.systemReason)) {
        outcome.saveFailed = true;
        return;
    }
    const std::string library = programFolder + kLibraryName;
    outcome.libraryPath = library;
    // The solver finds its file list in the current directory only: in
    // another folder it would read another run's list.
    if (!files.folder.empty() && ::chdir(files.folder.c_str()) != 0) {
        outcome.folderFailed = true;
        outcome.systemReason = SystemReason(errno);
        host.Message("Can not make the folder of the model the current folder\n" + files.folder + "\n" +
                         outcome.systemReason + "\nPlease Check.",
                     RunIcon::Stop);
        return;
    }
    if (!list.Held() || !list.WriteError().empty()) {
        outcome.listFailed = true;
        outcome.systemReason = list.Held() ? list.WriteError() : list.Error();
        ReportListFailure(files.solverList, host);
        return;
    }
    if (!WriteInput(model, files.sin, host, outcome.systemReason)) return;
    outcome.inputWritten = true;
    CallSolverLibrary(model, files, library, host, outcome);
}

// The separate program's route after the model check.
void HalvorRoute(ModelData& model, const RunFiles& files, const std::string& programFolder, RunHost& host,
                 RunOutcome& outcome) {
    if (model.IsChanged() && !SaveModel(model, files.document, host, outcome.systemReason)) {
        outcome.saveFailed = true;
        return;
    }
    const std::string listFile = programFolder + "names.dat";
    if (!WriteFileList(
            listFile,
            {files.gpd, files.gpo, files.gpp, files.gpr, files.sin, files.sou, files.sds, files.sms, files.document},
            host, outcome.systemReason)) {
        outcome.listFailed = true;
    } else if (WriteInput(model, files.sin, host, outcome.systemReason)) {
        outcome.inputWritten = true;
        const std::string program = programFolder + kProgramName;
        outcome.programStarted = StartAndWait(program, programFolder);
        if (!outcome.programStarted)
            host.Message("Can not start program\n" + program + "\nPlease Check.", RunIcon::Stop);
    }
    DeleteIfExists(listFile);
}

// The run in its order: the model's lock, the question about earlier
// results, the folder's solver list, the deletions, the model check, one of
// the two routes and the read-back.
int RunAnalysisSteps(ModelData& model, const RunFiles& files, bool hadResults, const std::string& programFolder,
                     RunHost& host, RunScope& scope, RunOutcome& outcome) {
    outcome.messageFile = files.sms;

    // One run per model: the lock is taken before anything of an earlier
    // run is touched.
    // (A lock file that cannot be made, in a folder that cannot be
    // written, leaves the run to fail where it writes its files.)
    if (!scope.Acquire(files.document) && !scope.lock.Holder().empty()) {
        outcome.lockRefused = true;
        outcome.lockHolder = scope.lock.Holder();
        host.Message("The model is being analysed by another run: " + scope.lock.Holder() +
                         ".\nPlease wait until that run ends.",
                     RunIcon::Stop);
        return 0;
    }

    if (hadResults && !host.Ask("Analysis will delete previous results\n Do you want to continue?")) {
        outcome.declined = true;
        return 0;
    }

    // The solver's file list and scratch files are the folder's: one solver
    // run per folder, taken before anything of this model is touched.
    const bool halvor = model.GetHalvorFlag() != 0;
    outcome.halvorRoute = halvor;
    if (!halvor && !scope.AcquireList(files.solverList, ListText({files.document, files.sin, files.sou, files.sds,
                                                                  files.sms, files.cut}))) {
        outcome.folderBusy = true;
        outcome.folderHolder = ListHolder(scope.list.Holder());
        host.Message("Another model in the same folder is being analysed: " + outcome.folderHolder +
                         ".\nPlease wait until that run ends.",
                     RunIcon::Stop);
        return 0;
    }

    DeleteIfExists(files.sds);
    DeleteIfExists(files.sou);
    DeleteIfExists(files.sms);
    DeleteIfExists(files.cut);

    bool errors = false;
    model.CheckModel(files.sms, errors);
    if (errors) {
        outcome.modelErrors = true;
        host.Message("Model has errors. Please see message file for details", RunIcon::None);
        return 0;
    }

    if (halvor)
        HalvorRoute(model, files, programFolder, host, outcome);
    else
        SolverRoute(model, files, scope.list, programFolder, host, outcome);
    ReadBack(model, files, halvor, host, outcome);
    return 1;
}

}  // namespace

void InstallRunInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnRunInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

std::string NeedsMoreMemoryText(const std::string& path) {
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    char size[64] = "";
    if (!ec) {
        if (bytes >= 1000u * 1000u)
            std::snprintf(size, sizeof size, " (%.1f MB)", static_cast<double>(bytes) / 1e6);
        else
            std::snprintf(size, sizeof size, " (%ju bytes)", static_cast<std::uintmax_t>(bytes));
    }
    return path + size + " needs more memory than there is";
}

void RunHost::Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string RunFileName(const std::string& documentPath, const std::string& extension) {
    const std::size_t keep = documentPath.size() >= 4 ? documentPath.size() - 4 : documentPath.size();
    return documentPath.substr(0, keep) + extension;
}

std::string GetDirectoryOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int RunAnalysis(ModelData& model, const std::string& documentPathIn, bool hadResults,
                const std::string& programFolderIn, RunHost& host, RunOutcome* outcomeOut) {
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

    const RunFiles files(documentPath);
    RunScope scope(documentPath, files.sms, files.sds);
    try {
        return RunAnalysisSteps(model, files, hadResults, programFolder, host, scope, outcome);
    } catch (const std::bad_alloc&) {
        // The model file is written whole or not at all, so nothing is lost;
        // results of this run are not kept.
        outcome.outOfMemory = true;
        model.resultsFlag = 0;
        host.Message("The analysis of " + NeedsMoreMemoryText(documentPath) + ".", RunIcon::Stop);
        host.ResultsFlagChanged(false);
        return 1;
    }
}
