// Services of the layer: message boxes, file dialogs, pauses, folders,
// dynamic libraries, processes, shell opening, the text editor and the
// analysis marker.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Types.h"

namespace ui {

class Window;

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Question, Exclamation, Stop, Information };

// Shows a message box through the back end and returns IDOK, IDCANCEL,
// IDYES or IDNO. An empty caption is the application's name.
int MessageBox(const std::string& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
               const std::string& caption = "");

// File open and save dialogs.
namespace ofn {
constexpr unsigned HideReadOnly = 1u << 0;
constexpr unsigned OverwritePrompt = 1u << 1;
constexpr unsigned FileMustExist = 1u << 2;
constexpr unsigned PathMustExist = 1u << 3;
}  // namespace ofn

struct FileFilter {
    std::string name;                   // "Brennix Files (*.slb)"
    std::vector<std::string> patterns;  // "*.slb"
};

// The pieces of a text between separators ("a||b" gives "a", "", "b"; an
// empty text gives one empty piece).
std::vector<std::string> SplitAt(const std::string& text, char separator);

// Filters from "Name (*.ext)|*.ext|Other|*.a;*.b||" pairs; a trailing or
// doubled "|" ends the list.
std::vector<FileFilter> ParseFilter(const std::string& filter);
// Whether the file name matches a pattern such as "*.slb" or "*.*".
bool MatchesPattern(const std::string& fileName, const std::string& pattern);

// The path that a name typed into a file chooser showing the folder gives:
// an absolute path stays as typed, "~" and "~/..." are in the home folder,
// anything else is in the folder. Surrounding blanks are dropped; an empty
// name gives "".
std::string ResolveTypedPath(const std::string& folder, const std::string& typed);

class FileDialog {
public:
    FileDialog(bool open, std::string defaultExt = "", std::string fileName = "",
               unsigned flags = ofn::HideReadOnly | ofn::OverwritePrompt, std::string filter = "",
               Window* parent = nullptr);
    std::string title;
    std::string initialDir;
    // IDOK with a chosen path, or IDCANCEL.
    int DoModal();
    // The chosen path; a save dialog adds the default extension to a name
    // without an extension.
    const std::string& GetPathName() const { return path_; }
    std::string GetFileName() const;

    bool IsOpen() const { return open_; }
    const std::string& DefaultExt() const { return defExt_; }
    const std::string& InitialName() const { return fileName_; }
    unsigned Flags() const { return flags_; }
    const std::string& Filter() const { return filter_; }

private:
    bool open_;
    std::string defExt_;
    std::string fileName_;
    unsigned flags_;
    std::string filter_;
    Window* parent_;
    std::string path_;
};

// Reads a PNG file into a picture (any PNG colour type, flattened to 8-bit
// RGB; an alpha channel is blended onto white). A missing, damaged or
// oversized file gives an empty picture.
Image LoadImage(const std::string& path, std::optional<Color> transparent = std::nullopt);

// Pauses the program (the headless back end moves its clock instead).
void Sleep(int ms);
// Delivers the queued messages (due timers, repaints) of one window.
void PumpWindowMessages(Window& w);
// The screen area that top-level windows are centred on.
Rect DesktopRect();

// Folder of the running program, with its trailing separator.
std::string ProgramFolder();
std::string CurrentDirectory();
bool SetCurrentDirectory(const std::string& path);
// Drive and directory of a path with the trailing separator ("" when none).
std::string DirectoryOfPath(const std::string& path);
bool FileExists(const std::string& path);
// The operating system's name of the logged-on user, "" when unknown.
std::string LogonUserName();

// A dynamic library opened by path.
class Library {
public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    // False on failure; Error() then names the path and the reason.
    bool Open(const std::string& path);
    bool IsOpen() const { return handle_ != nullptr; }
    // The symbol's address, or null (Error() names symbol and path).
    void* Symbol(const std::string& name);
    void Close();
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string path_;
    std::string error_;
};

// A process started with an argument vector and no shell.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // argv[0] is the program: a path, or a name looked up in PATH. An empty
    // workDir keeps the current directory. False when it cannot start.
    bool Start(const std::vector<std::string>& argv, const std::string& workDir = "");
    // Waits without a time limit; the exit status (128 + signal when killed),
    // -1 when nothing runs.
    int Wait();
    // Not waited for: the process runs on by itself.
    void Detach();
    int Pid() const { return pid_; }
    const std::string& Error() const { return error_; }

private:
    int pid_ = -1;
    std::string error_;
};

// Starts a program that nobody waits for. False when it cannot start.
bool StartDetached(const std::vector<std::string>& argv, const std::string& workDir = "", std::string* error = nullptr);
// Opens a document with the desktop's opener ("xdg-open"), through the back end.
bool ShellOpen(const std::string& path);
// The text-editor command (settings section "Tools", key "TextEditor"; a
// command line where double quotes group words), default "xdg-open".
std::vector<std::string> TextEditorCommand();
void SetTextEditorCommand(const std::string& commandLine);
// Splits a command line into words; double quotes group blanks.
std::vector<std::string> SplitCommandLine(const std::string& line);
// Opens a text file in the text editor, through the back end.
bool OpenInTextEditor(const std::string& path);
// What desktop back ends do for the two calls above: start the opener or the
// editor detached, in a session of its own.
bool LaunchShellOpen(const std::string& path);
bool LaunchTextEditor(const std::string& path);

// A named marker visible to other processes while it exists (a file in
// $XDG_RUNTIME_DIR, else the temporary folder).
bool AddGlobalMarker(const std::string& name);
bool FindGlobalMarker(const std::string& name);
void DeleteGlobalMarker(const std::string& name);
std::string GlobalMarkerPath(const std::string& name);

// The marker for the duration of a scope.
class ScopedGlobalMarker {
public:
    explicit ScopedGlobalMarker(std::string name) : name_(std::move(name)) { AddGlobalMarker(name_); }
    ~ScopedGlobalMarker() { DeleteGlobalMarker(name_); }
    ScopedGlobalMarker(const ScopedGlobalMarker&) = delete;
    ScopedGlobalMarker& operator=(const ScopedGlobalMarker&) = delete;

private:
    std::string name_;
};

}  // namespace ui
