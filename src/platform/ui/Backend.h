// The interface between the layer and whatever shows it: the headless test
// driver and the desktop back end implement it. The layer's windows are the
// model; the back end mirrors them and feeds the user's input back through
// the User* entry points of Dialog, Frame, View and App.
//
// How a back end drives the layer:
// - Dialogs: Dialog::UserFocus / UserClick / UserType / UserTypeChars /
//   UserKeyDown / UserKeyUp / UserScroll / UserSelect / UserSelectItem /
//   UserDoubleClick / UserSpin / UserPickColor / UserClose / UserResize
//   (resizable dialogs). Every key of a dialog goes through
//   UserKeyDown/UserKeyUp (the dialog's PreTranslateMessage sees it first,
//   then Tab, Enter and Escape are handled by the layer). Focus changes that the program makes (Change::Focus) are
//   mirrored without calling UserFocus: only the user's own focus changes
//   produce notifications.
// - Frames: UserOpenMenu before a menu shows, UserChooseMenuItem,
//   UserClickToolButton, UserAccelerator ("Ctrl+S", "F5": modifiers Ctrl+,
//   Shift+, Alt+ before the key's name), UserHover / UserHoverEnd for the
//   status text, UserClose, UserResize; App::OnIdle when the queue is empty.
// - Views: UserMouseDown / UserMouseUp / UserDoubleClick / UserMouseMove /
//   UserWheel / UserKeyDown / UserKeyUp / UserResize.
// - Painting: Window::Paint with the back end's painter when a window needs it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Services.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

namespace ui {

class App;
class Dialog;

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

struct FileDialogRequest {
    bool open = true;
    std::string title;
    std::string initialDir;
    std::string fileName;
    std::string defaultExt;
    std::vector<FileFilter> filters;
    unsigned flags = 0;
    Window* parent = nullptr;
};

class Backend {
public:
    virtual ~Backend() = default;

    // A state change of a window (see Change). Created comes once per window
    // after its state is complete; Destroyed before the peer is deleted.
    virtual void WindowChanged(Window& w, Change what) = 0;

    // Modal services. Return IDOK/IDCANCEL/IDYES/IDNO.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) = 0;
    // Runs until dialog.IsEnded(); the dialog is created, initialised and
    // shown when this is called. Nested calls nest.
    virtual void RunModal(Dialog& dialog) = 0;
    // The program's main loop until App::QuitRequested().
    virtual void RunMainLoop(App& app) = 0;

    // Painting: Invalidate marks, UpdateNow paints a marked window at once
    // (calling Window::Paint with a painter of its own).
    virtual void Invalidate(Window& w, bool erase) = 0;
    virtual void UpdateNow(Window& w) = 0;

    // Timers: OnTimer(id) of the window every ms milliseconds.
    virtual void SetTimer(Window& w, int id, int ms) = 0;
    virtual void KillTimer(Window& w, int id) = 0;
    // Delivers what is queued for one window (due timers, repaints).
    virtual void PumpMessages(Window& w) = 0;
    virtual void Sleep(int ms) = 0;

    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Pixels of 4 horizontal and 8 vertical dialog units: the average width
    // of the letters of the font that dialogs show and its line height.
    virtual BaseUnits DialogBaseUnits() const = 0;
    virtual Rect DesktopRect() const = 0;
    // State of Caps Lock, Num Lock and Scroll Lock for the status bar.
    virtual bool KeyLockState(int lockKey) const = 0;

    // Starting other programs: the desktop's opener and the text editor.
    // Headless logs them instead of starting anything.
    virtual bool ShellOpen(const std::string& path) = 0;
    virtual bool OpenInTextEditor(const std::string& path) = 0;
};

// The back end in use. Without one set, a headless back end is made on first
// use.
Backend& GetBackend();
// Sets the back end (not owned); null returns to the default.
void SetBackend(Backend* backend);

}  // namespace ui
