// The desktop back end: shows the layer's frames, views, dialogs, controls
// and popups as FLTK windows and widgets, and feeds the user's input back
// through the layer's User* entry points. Only this folder knows FLTK.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/gl/Printing.h"
#include "platform/ui/Backend.h"

class Fl_Widget;
class Fl_Window;

namespace ui {
class ListView;
}

namespace brennix::fltk {

// The files named by dropped text: one per line, each a "file:" URI
// (percent escapes decoded, an empty or "localhost" host) or a plain
// absolute path; other lines are left out.
std::vector<std::string> DroppedFilePaths(const std::string& text);

// The size of a message box's text in the sans font of the given size:
// lines as written, wrapped between words only when longer than a
// comfortable reading width.
struct TextExtent {
    int w = 0;
    int h = 0;
};
TextExtent MessageTextExtent(const std::string& text, int size);

struct Peer;
struct TimerData;
class PrintSupport;

class FltkBackend : public ui::Backend {
public:
    FltkBackend();
    ~FltkBackend() override;

    // Installs this back end for the layer and the print service; the
    // previous ones come back when it is destroyed.
    void Install();
    static FltkBackend* Instance();

    // The FLTK widget that shows a layer window (a top-level window for
    // frames, dialogs and popups), or null.
    Fl_Widget* WidgetOf(const ui::Window& w) const;
    Fl_Window* TopWindowOf(const ui::Window& w) const;
    // The layer window that a widget shows, or null.
    ui::Window* LayerWindowOf(const Fl_Widget* widget) const;
    // The message box shown now (for tests driving it), or null.
    Fl_Window* ActiveMessageBox() const { return activeBox_; }
    // The file chooser shown now, or null.
    Fl_Window* ActiveFileChooser() const { return activeChooser_; }

    // ui::Backend
    void WindowChanged(ui::Window& w, ui::Change what) override;
    int ShowMessageBox(const ui::MessageBoxRequest& request) override;
    std::optional<std::string> ShowFileDialog(const ui::FileDialogRequest& request) override;
    void RunModal(ui::Dialog& dialog) override;
    void RunMainLoop(ui::App& app) override;
    void Invalidate(ui::Window& w, bool erase) override;
    void UpdateNow(ui::Window& w) override;
    void SetTimer(ui::Window& w, int id, int ms) override;
    void KillTimer(ui::Window& w, int id) override;
    void PumpMessages(ui::Window& w) override;
    void Sleep(int ms) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    ui::BaseUnits DialogBaseUnits() const override;
    ui::Rect DesktopRect() const override;
    bool KeyLockState(int lockKey) const override;
    bool ShellOpen(const std::string& path) override;
    bool OpenInTextEditor(const std::string& path) override;

    // Internal: used by the widgets of this back end.
    Peer* PeerOf(const ui::Window& w) const;
    bool Syncing() const { return syncing_ > 0; }
    int DispatchEvent(int event, Fl_Window* window);
    // A key chord nothing in the modeless dialog `window` took, as a
    // shortcut of the main frame's menu bar; true when an item took it.
    bool ForwardShortcutToMainFrame(Fl_Window* window);
    void FireTimer(ui::Window* w, int id);
    void RefreshFrameBars(ui::Window& frame);
    // The user acted on the widget of a control: 0 its callback, 1 a click
    // on a notifying static, 2 a double click there, 3 spin up, 4 spin down.
    void ControlEvent(Fl_Widget* widget, int what);
    void TopClosed(ui::Window& w);
    // Text dropped on a frame: the files it names go to the application.
    void FilesDropped(const std::string& text);
    void TopResized(ui::Window& w, int width, int height);
    // Dialogs and popups that stay above the frame come back on top of it
    // (after a click on the frame).
    void RaiseOwnedWindows(ui::Window& frame);
    // The update pass over the menus of a frame, then the menu bar rebuilt.
    void RefreshMenu(ui::Window& frame);
    void MenuChosen(ui::Window& frame, int id);
    void ToolClicked(ui::Window& frame, int id);

private:
    void Create(ui::Window& w);
    void CreateFrame(ui::Window& w, const ui::Rect& r, Peer& peer);
    void CreateDialog(ui::Window& w, const ui::Rect& r, Peer& peer);
    void CreatePaintWindow(ui::Window& w, const ui::Rect& r, Peer& peer);
    bool CreateControl(ui::Window& w, const ui::Rect& r, Peer& peer);
    void Destroy(ui::Window& w);
    void Sync(ui::Window& w, ui::Change what);
    void SyncControl(ui::Window& w);
    void SyncListView(const ui::ListView& list, Peer& p);
    void SyncGeometry(ui::Window& w);
    void SyncVisibility(ui::Window& w);
    void KeepAboveMainWindow(Fl_Window& top);
    void BuildMenu(ui::Window& frame);
    void BuildToolBars(ui::Window& frame);
    void BuildStatusBar(ui::Window& frame);
    int HandleDialogKey(ui::Dialog& dialog, int event);
    // Hands what the user typed into a widget to the dialog; the widget's
    // own text and caret are left as the user made them.
    void TypedIn(ui::Dialog& dialog, int id, Fl_Widget* widget, const std::string& text);

    std::map<const ui::Window*, std::unique_ptr<Peer>> peers_;
    std::map<const Fl_Widget*, ui::Window*> owners_;
    std::map<std::pair<ui::Window*, int>, std::unique_ptr<TimerData>> timers_;
    ui::Backend* previous_ = nullptr;
    brennix::gl::PrintService* previousPrint_ = nullptr;
    std::unique_ptr<PrintSupport> print_;
    Fl_Window* activeBox_ = nullptr;
    Fl_Window* activeChooser_ = nullptr;
    // The widget whose user input is being handed to the layer: its own
    // text and caret are not written back.
    Fl_Widget* inputSource_ = nullptr;
    void SelectAllOnTripleClick();
    // The field of the last double click, and when (SelectAllOnTripleClick).
    Fl_Widget* doubleClicked_ = nullptr;
    std::chrono::steady_clock::time_point doubleClickedAt_;
    int syncing_ = 0;
    int waitDepth_ = 0;
    bool installed_ = false;
};

}  // namespace brennix::fltk
