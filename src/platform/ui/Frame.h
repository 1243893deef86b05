// The main frame: menu bar, up to five toolbars in rows, the status bar and
// the one view that fills the rest. Commands chosen in it are routed along
// view, document, frame and application.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Commands.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

namespace ui {

class App;
class Document;
class View;

struct MenuItem {
    enum class Type { Command, Separator, Popup };
    Type type = Type::Command;
    int id = 0;
    std::string text;  // "&File", "&Save\tCtrl+S"
    std::vector<MenuItem> items;
    // Results of the last update pass.
    bool enabled = true;
    bool checked = false;

    // Builders for popups; each returns the added item.
    MenuItem& AddCommand(int id, const std::string& text);
    // The menu text from the command table (RegisterCommand).
    MenuItem& AddCommand(int id);
    MenuItem& AddSeparator();
    MenuItem& AddPopup(const std::string& text);
    // Depth-first search for a command item.
    MenuItem* Find(int id);
};

struct ToolBar {
    int id = 0;
    std::string name;
    std::vector<int> buttons;  // command ids; 0 is a separator
    // Button pictures: one strip of equally wide images in button order
    // (separators have none); empty to show tooltips as text.
    Image images;
    int imageCount = 0;
    bool visible = true;
    // Results of the last idle update, per button in order.
    std::vector<CmdUI> state;
};

struct StatusBar {
    bool created = false;
    bool visible = true;
    std::string message;                  // the message pane
    std::vector<std::string> indicators;  // e.g. "CAP", "NUM", "SCRL"
    std::vector<bool> lit;                // per indicator, whether it shows
};

// Text of the message pane when nothing else is shown.
inline const char* const kIdleMessage = "Ready";

constexpr int kMaxToolBars = 5;
// Layout in pixels of the frame's client area.
constexpr int kToolBarRowHeight = 38;
constexpr int kStatusBarHeight = 22;
// Toolbar buttons are squares; a gap inside a bar and the etched line
// between two bars take these widths.
constexpr int kToolButtonSize = kToolBarRowHeight - 6;
constexpr int kToolButtonStep = kToolButtonSize + 1;
constexpr int kToolGapWidth = 6;
constexpr int kToolBarSeparatorWidth = 8;

// Where the visible toolbars' buttons go in a client area of a given width:
// bars follow each other in rows, a bar that does not fit the rest of a
// row starts the next one, and a bar wider than the whole width wraps
// between its buttons.
struct ToolButtonPlace {
    int bar = 0;     // index of the toolbar
    int button = 0;  // index in the bar's buttons
    int id = 0;      // the command
    int image = 0;   // index in the bar's picture strip
    Rect rect;
    bool operator==(const ToolButtonPlace&) const = default;
};
struct ToolBarLayout {
    std::vector<ToolButtonPlace> buttons;
    std::vector<Rect> separators;  // the lines between bars
    int rows = 0;
    int Height() const { return rows * kToolBarRowHeight; }
    bool operator==(const ToolBarLayout&) const = default;
};

class Frame : public Window, public CommandTarget {
public:
    Frame();
    ~Frame() override;

    // Creates the frame window with the title (the application's title) and
    // style bits; OnCreate builds bars (a -1 from it fails the load).
    virtual bool LoadFrame(const std::string& title, unsigned styleBits = style::Caption | style::Resizable);

    // Menu bar: a popup whose items are the top-level menus.
    void SetMenuBar(MenuItem bar);
    MenuItem& GetMenuBar() { return menuBar_; }

    // Toolbars in the order added; -1 when five exist already.
    int AddToolBar(ToolBar bar);
    int ToolBarCount() const { return static_cast<int>(toolBars_.size()); }
    ToolBar* GetToolBar(int index);
    void ShowToolBar(int index, bool show);
    bool IsToolBarVisible(int index) const;
    ToolBarLayout LayoutToolBars(int width) const;

    bool CreateStatusBar(const std::vector<std::string>& indicators);
    StatusBar& GetStatusBar() { return statusBar_; }
    void SetMessageText(const std::string& text);
    // What a command reports when it ends: the message pane shows it, and
    // shows it again after a pointed-at button's text, until the next command
    // runs ("Ready" then).
    void SetIdleMessage(const std::string& text);
    void ShowStatusBar(bool show);

    // The one view; the frame owns it, creates its window (OnCreate) and
    // lays it out in its client area. False when the view's creation failed
    // (the view is then dropped). Null removes the view.
    bool SetView(std::unique_ptr<View> view);
    std::unique_ptr<View> TakeView();
    View* GetActiveView() const { return view_.get(); }
    Document* GetActiveDocument() const;

    // Title: the application's title, then " - " and the document's title.
    void SetAppTitle(const std::string& title);
    const std::string& AppTitle() const { return appTitle_; }
    void UpdateTitle();

    // Targets in routing order: view, document, frame, application.
    std::vector<CommandTarget*> RoutingChain();
    // Runs the update pass for the command, then its handler when enabled.
    bool ExecuteCommand(int id);
    CmdUI UpdateCommand(int id);
    // The update pass over one popup before it opens (recent files included).
    void UpdateMenuPopup(MenuItem& popup);
    // Idle: toolbar buttons and status-bar indicators.
    void OnIdle();
    // Layout: the rectangle left to the view below the toolbars' rows (laid
    // out for the client's width) and above the status bar.
    Rect ViewRect() const;
    void RecalcLayout();

    // What closing the frame does: save-or-discard, then the program ends.
    virtual void OnClose();

    // User actions.
    bool UserOpenMenu(int topIndex);
    bool UserChooseMenuItem(int id);
    bool UserClickToolButton(int id);
    // An accelerator chord such as "Ctrl+S" or "F1".
    bool UserAccelerator(const std::string& chord);
    void UserHover(int id);
    void UserHoverEnd();
    void UserClose();
    void UserResize(int w, int h);

protected:
    void OnSize(int cx, int cy) override;

private:
    MenuItem* FindInPopup(MenuItem& popup, int id);
    void FillRecentFiles(MenuItem& popup);

    MenuItem menuBar_;
    std::vector<ToolBar> toolBars_;
    StatusBar statusBar_;
    std::string idleMessage_ = kIdleMessage;
    std::unique_ptr<View> view_;
    std::string appTitle_;
};

}  // namespace ui
