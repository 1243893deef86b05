#pragma once
// One analysis of a saved model: the run files named from the model path,
// the old results deleted, the model check, then either the solver library
// (loaded from the program's folder, its export ITORVE called with 2) or the
// separate analysis program, and the results read back into the model.
//
// Questions, progress and messages go through RunHost, which the desktop
// document and the command-line runner implement.

#include <string>

class ModelData;

enum class RunIcon { None, Question, Stop, Exclamation };

class RunHost {
public:
    virtual ~RunHost() = default;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const std::string& question) = 0;
    // Progress title and subtitle; closeAfterMs > 0 closes the display after
    // that delay.
    virtual void Progress(const std::string& title, const std::string& subtitle, int closeAfterMs) = 0;
    virtual void Message(const std::string& text, RunIcon icon) = 0;
    // Shows a text file (the message file after a solver run).
    virtual void OpenTextFile(const std::string& path) = 0;
    // Pauses the run (the progress window's short waits).
    virtual void Sleep(int ms);
    // Around the solver call, which runs on a thread of its own: true when
    // the run can be cancelled (the library can be asked to stop), false
    // when the call has returned.
    virtual void OfferCancel(bool offered) { (void)offered; }
    // Called every few tens of milliseconds during the solver call: keeps
    // the progress display alive; true once the user asked to cancel.
    virtual bool PollCancel() { return false; }
    // The model was written to its file: the document is no longer modified.
    virtual void ModelSaved() {}
    // The document's results flag after the read-back.
    virtual void ResultsFlagChanged(bool hasResults) { (void)hasResults; }
};

// What happened during one run, for callers that report more than the
// messages (the command-line runner).
struct RunOutcome {
    bool declined = false;      // the user kept the previous results
    bool lockRefused = false;   // another run of the model holds its lock
    std::string lockHolder;     // that run, as its lock file names it
    bool folderBusy = false;    // another model of the folder is being analysed: the
                                // solver's file list and scratch files are its
    std::string folderHolder;   // that run: its model and the holder in its lock
    bool modelErrors = false;   // the model check found errors
    bool halvorRoute = false;   // the separate analysis program was used
    bool saveFailed = false;    // the model could not be written to its file
    bool listFailed = false;    // the file list could not be written
    bool folderFailed = false;  // the model's folder could not be made the current one
    std::string systemReason;   // why a save, the file list, the change of folder or
                                // the solver input failed, as the system says it
    bool outOfMemory = false;   // the run needed more memory than there is
    bool inputWritten = false;  // the numeric input was written
    bool libraryLoaded = false;
    bool exportFound = false;
    bool solverCalled = false;
    int solverStatus = 0;           // what ITORVE returned
    bool cancelled = false;         // the user cancelled the solver call, which stopped:
                                    // its steps are in "<model>.unfinished.sds"
    bool programStarted = false;    // the separate analysis program ran
    bool resultsFileFound = false;  // the step results existed after the run
    int resultsStatus = -1;         // ReadResultsFile, -1 when not read
    bool cutFileFound = false;
    int cutStatus = -1;  // ReadCutLineResults, -1 when not read
    std::string libraryPath;
    std::string messageFile;
};

// The run file names of a document path: the path less its last four
// characters plus the extension.
std::string RunFileName(const std::string& documentPath, const std::string& extension);

// Folder of a path with its trailing separator ("" for a bare file name).
std::string GetDirectoryOfPath(const std::string& path);

// The words for a file whose reading or run ran out of memory: "<path>
// (<size>) needs more memory than there is".
std::string NeedsMoreMemoryText(const std::string& path);

// For the command-line runner: SIGINT, SIGTERM and SIGHUP (the terminal
// closed) end the process cleanly.
// During the solver call the step results written so far are renamed to
// "<model less .slb>.unfinished.sds" and the message file says that the run
// did not finish; at any time the run's lock is released. The model file is
// only ever replaced whole, so it stays intact. The process ends with status
// 128 + the signal number.
void InstallRunInterruptHandlers();

// Runs the analysis of `model`, whose document is `documentPath` (made
// absolute first). `hadResults`: the document shows results, so the user is
// asked before they are deleted. `programFolder`: where the solver library
// and the analysis program lie. Returns 0 when the user declined or the model
// check found errors, 1 when a route was taken. A run holds the model's run
// lock (RunLock) from before the old results are deleted to the end; when
// another run holds it, the run is refused with a message naming that run
// and 0 returned. On the solver route the run also holds the solver's file
// list "torve.dat" in the model's folder, which names the solver's scratch
// files too: another model of the folder being analysed, the run is refused
// naming that model and its run, and 0 returned. Running out of memory
// ends the run with a message saying so (the model file is only ever
// replaced whole). The solver is called on a thread of its own; a cancel
// reported by the host asks the library to stop (ITORVE_STOP), and a run
// that stopped is marked as not finished as on an interrupt: its step
// results renamed to "<model less .slb>.unfinished.sds", nothing read back.
int RunAnalysis(ModelData& model, const std::string& documentPath, bool hadResults, const std::string& programFolder,
                RunHost& host, RunOutcome* outcome = nullptr);
