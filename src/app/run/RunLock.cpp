#include "app/run/RunLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/run/AnalysisRun.h"

namespace {

std::string ReadHolder(int fd) {
    char buffer[8192];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    std::string text = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text.empty() ? "another run" : text;
}

// Replaces the file's content by `text`; false with errno set when a write
// failed (a full disk).
bool WriteWhole(int fd, const std::string& text) {
    if (::ftruncate(fd, 0) != 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string RunLockPath(const std::string& documentPath) { return RunFileName(documentPath, ".lck"); }

bool RunLockIsStale(const std::string& documentPath) {
    const int fd = ::open(RunLockPath(documentPath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

bool RunLock::Acquire(const std::string& documentPath, const std::string& program) {
    char host[256] = "";
    ::gethostname(host, sizeof host - 1);
    // The lock holds without the holder's name when that cannot be written.
    return AcquireFile(RunLockPath(documentPath),
                       "process " + std::to_string(::getpid()) + " (" + program + ") on " + host + "\n");
}

bool RunLock::AcquireFile(const std::string& path, const std::string& text) {
    Release();
    holder_.clear();
    error_.clear();
    writeError_.clear();
    path_ = path;
    // A file removed by its holder between our open and our lock is not
    // the lock any more: try again with the new one.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            error_ = std::strerror(errno);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int e = errno;
            holder_ = e == EWOULDBLOCK ? ReadHolder(fd) : std::string();
            if (e != EWOULDBLOCK) error_ = std::strerror(e);
            ::close(fd);
            return false;
        }
        struct stat mine {
        }, named{};
        if (::fstat(fd, &mine) != 0 || ::stat(path_.c_str(), &named) != 0 || mine.st_ino != named.st_ino ||
            mine.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        if (!WriteWhole(fd, text)) writeError_ = std::strerror(errno);
        fd_ = fd;
        return true;
    }
    error_ = "the lock file keeps changing";
    return false;
}

void RunLock::Release() {
    if (fd_ < 0) return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
}
