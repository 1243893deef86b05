#include "app/run/RunLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/run/AnalysisRun.h"

namespace {

std::string ReadHolder(int fd)
{
    char buffer[512];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    std::string text = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text.empty() ? "another run" : text;
}

}  // namespace

std::string RunLockPath(const std::string& documentPath)
{
    return RunFileName(documentPath, ".lck");
}

bool RunLock::Acquire(const std::string& documentPath, const std::string& program)
{
    Release();
    holder_.clear();
    error_.clear();
    path_ = RunLockPath(documentPath);
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
        struct stat mine {}, named {};
        if (::fstat(fd, &mine) != 0 || ::stat(path_.c_str(), &named) != 0 || mine.st_ino != named.st_ino ||
            mine.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        char host[256] = "";
        ::gethostname(host, sizeof host - 1);
        const std::string text =
            "process " + std::to_string(::getpid()) + " (" + program + ") on " + host + "\n";
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.data(), text.size(), 0) < 0) {
            // The lock holds without the holder's name.
        }
        fd_ = fd;
        return true;
    }
    error_ = "the lock file keeps changing";
    return false;
}

void RunLock::Release()
{
    if (fd_ < 0) return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
}
