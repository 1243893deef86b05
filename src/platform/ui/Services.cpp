#include "platform/ui/Services.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/ui/App.h"
#include "platform/ui/Backend.h"

extern char** environ;

namespace ui {

int MessageBox(const std::string& text, Buttons buttons, Icon icon, const std::string& caption) {
    MessageBoxRequest req;
    req.text = text;
    req.caption = caption;
    if (req.caption.empty() && App::Get()) req.caption = App::Get()->AppName();
    req.buttons = buttons;
    req.icon = icon;
    return GetBackend().ShowMessageBox(req);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == separator)
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    return pieces;
}

std::vector<FileFilter> ParseFilter(const std::string& filter) {
    const std::vector<std::string> parts = SplitAt(filter, '|');
    std::vector<FileFilter> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;
        FileFilter f;
        f.name = parts[i];
        for (std::string p : SplitAt(parts[i + 1], ';')) {
            p.erase(std::remove(p.begin(), p.end(), ' '), p.end());
            if (!p.empty()) f.patterns.push_back(p);
        }
        out.push_back(std::move(f));
    }
    return out;
}

bool MatchesPattern(const std::string& fileName, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    return ::fnmatch(pattern.c_str(), fileName.c_str(), FNM_CASEFOLD) == 0;
}

std::string ResolveTypedPath(const std::string& folder, const std::string& typed) {
    const size_t first = typed.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const size_t last = typed.find_last_not_of(" \t");
    std::string name = typed.substr(first, last - first + 1);
    if (name[0] == '/') return name;
    if (name == "~" || name.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        if (home && *home) return std::string(home) + name.substr(1);
    }
    std::string path = folder.empty() ? CurrentDirectory() : folder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + name;
}

FileDialog::FileDialog(bool open, std::string defaultExt, std::string fileName, unsigned flags, std::string filter,
                       Window* parent)
    : open_(open), defExt_(std::move(defaultExt)), fileName_(std::move(fileName)), flags_(flags),
      filter_(std::move(filter)), parent_(parent) {
    if (!defExt_.empty() && defExt_[0] == '.') defExt_.erase(0, 1);
}

int FileDialog::DoModal() {
    FileDialogRequest req;
    req.open = open_;
    req.title = title;
    req.initialDir = initialDir;
    req.fileName = fileName_;
    req.defaultExt = defExt_;
    req.filters = ParseFilter(filter_);
    req.flags = flags_;
    req.parent = parent_;
    std::optional<std::string> chosen = GetBackend().ShowFileDialog(req);
    if (!chosen || chosen->empty()) return IDCANCEL;
    path_ = *chosen;
    if (!open_ && !defExt_.empty()) {
        const std::string name = std::filesystem::path(path_).filename().string();
        if (name.find('.') == std::string::npos) path_ += "." + defExt_;
    }
    return IDOK;
}

std::string FileDialog::GetFileName() const { return std::filesystem::path(path_).filename().string(); }

void Sleep(int ms) { GetBackend().Sleep(ms); }
void PumpWindowMessages(Window& w) { GetBackend().PumpMessages(w); }
Rect DesktopRect() { return GetBackend().DesktopRect(); }

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return exe.parent_path().string() + "/";
}

std::string CurrentDirectory() {
    std::error_code ec;
    const auto p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}

bool SetCurrentDirectory(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

std::string DirectoryOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

std::string LogonUserName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
    for (const char* var : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(var); v && v[0]) return v;
    return "";
}

// ---------------------------------------------------------------------------

Library::~Library() { Close(); }

bool Library::Open(const std::string& path) {
    Close();
    path_ = path;
    error_.clear();
    ::dlerror();
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        error_ = "Cannot load the library " + path + (why ? std::string(": ") + why : std::string());
        return false;
    }
    return true;
}

void* Library::Symbol(const std::string& name) {
    if (!handle_) {
        error_ = "The library " + path_ + " is not loaded";
        return nullptr;
    }
    ::dlerror();
    void* sym = ::dlsym(handle_, name.c_str());
    if (!sym) {
        const char* why = ::dlerror();
        error_ = "Cannot find " + name + " in the library " + path_ + (why ? std::string(": ") + why : std::string());
    }
    return sym;
}

void Library::Close() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

// ---------------------------------------------------------------------------

namespace {

std::mutex g_reapMutex;
std::vector<int> g_detached;

// Collects the exit status of detached processes that have ended.
void ReapDetached() {
    std::lock_guard<std::mutex> lock(g_reapMutex);
    std::vector<int> running;
    for (int pid : g_detached) {
        int st = 0;
        if (::waitpid(pid, &st, WNOHANG) == 0) running.push_back(pid);
    }
    g_detached.swap(running);
}

int Spawn(const std::vector<std::string>& argv, const std::string& workDir, bool newSession, std::string& error) {
    ReapDetached();
    if (argv.empty() || argv[0].empty()) {
        error = "No program to start";
        return -1;
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    if (newSession) posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    const bool byPath = argv[0].find('/') != std::string::npos;
    const int rc = byPath ? ::posix_spawn(&pid, argv[0].c_str(), &actions, &attr, args.data(), environ)
                          : ::posix_spawnp(&pid, argv[0].c_str(), &actions, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error = "Cannot start " + argv[0] + ": " + std::strerror(rc);
        return -1;
    }
    return pid;
}

}  // namespace

Process::~Process() { Detach(); }

bool Process::Start(const std::vector<std::string>& argv, const std::string& workDir) {
    if (pid_ > 0) Detach();
    error_.clear();
    pid_ = Spawn(argv, workDir, false, error_);
    return pid_ > 0;
}

int Process::Wait() {
    if (pid_ <= 0) return -1;
    int st = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &st, 0);
    } while (r < 0 && errno == EINTR);
    pid_ = -1;
    if (r < 0) return -1;
    if (WIFEXITED(st)) return WEXITSTATUS(st);
    if (WIFSIGNALED(st)) return 128 + WTERMSIG(st);
    return -1;
}

void Process::Detach() {
    if (pid_ <= 0) return;
    {
        std::lock_guard<std::mutex> lock(g_reapMutex);
        g_detached.push_back(pid_);
    }
    pid_ = -1;
}

bool StartDetached(const std::vector<std::string>& argv, const std::string& workDir, std::string* error) {
    std::string why;
    const int pid = Spawn(argv, workDir, true, why);
    if (pid <= 0) {
        if (error) *error = why;
        return false;
    }
    std::lock_guard<std::mutex> lock(g_reapMutex);
    g_detached.push_back(pid);
    return true;
}

bool ShellOpen(const std::string& path) { return GetBackend().ShellOpen(path); }
bool OpenInTextEditor(const std::string& path) { return GetBackend().OpenInTextEditor(path); }

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string cur;
    bool quoted = false;
    bool any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) words.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (any) words.push_back(cur);
    return words;
}

std::vector<std::string> TextEditorCommand() {
    std::string line;
    if (App* app = App::Get()) line = app->GetSettings().GetString("Tools", "TextEditor");
    std::vector<std::string> words = SplitCommandLine(line);
    if (words.empty()) words.push_back("xdg-open");
    return words;
}

void SetTextEditorCommand(const std::string& commandLine) {
    if (App* app = App::Get()) app->GetSettings().SetString("Tools", "TextEditor", commandLine);
}

bool LaunchShellOpen(const std::string& path) { return StartDetached({"xdg-open", path}); }

bool LaunchTextEditor(const std::string& path) {
    std::vector<std::string> argv = TextEditorCommand();
    argv.push_back(path);
    return StartDetached(argv);
}

// ---------------------------------------------------------------------------

std::string GlobalMarkerPath(const std::string& name) {
    std::string folder;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && run[0] == '/') {
        folder = run;
    } else {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec).string();
        if (folder.empty()) folder = "/tmp";
    }
    return folder + "/" + name + "." + std::to_string(::getuid()) + ".marker";
}

bool AddGlobalMarker(const std::string& name) {
    // The folder may be the shared temporary folder: a link planted at the
    // marker's name is refused rather than followed.
    const int fd = ::open(GlobalMarkerPath(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const std::string text = std::to_string(::getpid()) + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}

bool FindGlobalMarker(const std::string& name) { return FileExists(GlobalMarkerPath(name)); }

void DeleteGlobalMarker(const std::string& name) {
    std::error_code ec;
    std::filesystem::remove(GlobalMarkerPath(name), ec);
}

}  // namespace ui
