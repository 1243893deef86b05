#pragma once
// The lock of an analysis run, a file beside the model (the model path less
// its last four characters plus ".lck"): one run per model at a time, from
// the program or the command-line runner alike. The lock is an advisory
// lock on the file, held while the file stays open, so a run whose process
// is gone leaves a stale file that the next run takes over. The file names
// the holder (process number, program and host) for the refusal message.
// The same kind of lock, taken on the solver's file list "torve.dat", keeps
// a second model of the folder from the solver files of a run.

#include <string>

class RunLock {
public:
    RunLock() = default;
    ~RunLock() { Release(); }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock of the model at `documentPath` for `program`. False
    // when another run holds it (Holder() then names that run) or the lock
    // file cannot be made (Holder() empty, Error() says why).
    bool Acquire(const std::string& documentPath, const std::string& program);
    // Takes the lock of the file at `path` (made when missing) and writes
    // `text` into it; false as Acquire, Holder() then being the text of the
    // holder. A text that could not be written leaves the lock held and
    // WriteError() saying why.
    bool AcquireFile(const std::string& path, const std::string& text);
    // Removes the lock file and lets go of the lock; nothing when not held.
    void Release();

    bool Held() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    const std::string& Holder() const { return holder_; }
    const std::string& Error() const { return error_; }
    const std::string& WriteError() const { return writeError_; }

private:
    int fd_ = -1;
    std::string path_;
    std::string holder_;
    std::string error_;
    std::string writeError_;
};

// Path of the lock file of a model.
std::string RunLockPath(const std::string& documentPath);

// True when the lock file of the model is there and no run holds it: the
// last run of the model ended without releasing it (its process was killed).
bool RunLockIsStale(const std::string& documentPath);
