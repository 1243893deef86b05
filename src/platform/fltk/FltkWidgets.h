// Widgets and peer records of the FLTK back end.
#pragma once

// The layer's headers come before FLTK's: X11 macros (None) would clash.
#include "platform/ui/UI.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_RGB_Image.H>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace brennix::fltk {

// Pixels of the part (x, y, w, h) of a picture for an Fl_RGB_Image: 3 bytes
// per pixel, or 4 with alpha 0 on the picture's transparent colour (255
// elsewhere). Returns the depth; 0 when the part lies outside the picture.
int ImagePixels(const ui::Image& image, int x, int y, int w, int h, std::vector<std::uint8_t>& out);

class FltkBackend;

// While it lives, new widgets join no group unless one is begun; the group
// that was current before comes back afterwards.
class NoCurrentGroup {
public:
    NoCurrentGroup() : saved_(Fl_Group::current()) { Fl_Group::current(nullptr); }
    ~NoCurrentGroup() { Fl_Group::current(saved_); }
    NoCurrentGroup(const NoCurrentGroup&) = delete;
    NoCurrentGroup& operator=(const NoCurrentGroup&) = delete;

private:
    Fl_Group* saved_;
};

// What the back end keeps for each layer window.
struct Peer {
    ui::Window* window = nullptr;
    Fl_Widget* widget = nullptr;  // the widget that shows the window
    Fl_Window* top = nullptr;     // frames, dialogs and popups: their window
    // Frames.
    Fl_Menu_Bar* menu = nullptr;
    std::deque<std::string> menuLabels;  // texts the menu array points to
    std::deque<std::string> itemTexts;   // combo boxes: texts of the menu entries
    int menuHeight = 0;
    std::vector<Fl_Widget*> toolWidgets;
    ui::ToolBarLayout toolLayout;  // where the buttons shown now are
    Fl_Group* status = nullptr;
    std::vector<Fl_Box*> statusPanes;
    // Controls with parts.
    Fl_Browser* browser = nullptr;     // list views: the list under the header
    std::vector<Fl_Box*> headers;      // list views: column titles
    std::vector<int> columnWidths;     // list views: widths, 0-terminated, read by the list
    std::vector<std::uint8_t> pixels;  // pictures: the image data
    std::unique_ptr<Fl_RGB_Image> image;
    ui::Control* pendingFocus = nullptr;

    // The widget that takes the keyboard for the window: a list view's list,
    // else the widget itself.
    Fl_Widget* FocusWidget() const { return browser ? static_cast<Fl_Widget*>(browser) : widget; }
};

// A top-level window of a frame, dialog or popup.
class TopWindow : public Fl_Double_Window {
public:
    TopWindow(FltkBackend& backend, ui::Window& window, int x, int y, int w, int h);
    void resize(int x, int y, int w, int h) override;
    int handle(int event) override;
    ui::Window& Layer() const { return window_; }

private:
    FltkBackend& backend_;
    ui::Window& window_;
};

// A widget painted by a layer window (views, popups, custom controls): it
// hands FLTK's drawing to Window::Paint and mouse and keys to the view.
class PaintWidget : public Fl_Widget {
public:
    PaintWidget(FltkBackend& backend, ui::Window& window, int x, int y, int w, int h);
    void draw() override;
    int handle(int event) override;

private:
    FltkBackend& backend_;
    ui::Window& window_;
};

// The menu bar of a frame: runs the layer's update pass before it opens.
class FrameMenuBar : public Fl_Menu_Bar {
public:
    FrameMenuBar(FltkBackend& backend, ui::Window& frame, int x, int y, int w, int h);
    int handle(int event) override;

private:
    FltkBackend& backend_;
    ui::Window& frame_;
};

// A toolbar button with a picture from the toolbar's strip or one of our
// own drawn icons.
class ToolButton : public Fl_Button {
public:
    ToolButton(int x, int y, int w, int h, int commandId);
    void draw() override;
    int handle(int event) override;
    void SetPicture(const ui::Image* strip, int index, int count);
    // The command's state from the update pass.
    void SetState(bool enabled, bool checked) {
        if (enabled)
            activate();
        else
            deactivate();
        checked_ = checked;
    }
    int CommandId() const { return commandId_; }

private:
    int commandId_;
    std::vector<std::uint8_t> pixels_;
    std::unique_ptr<Fl_RGB_Image> picture_;
    bool checked_ = false;
};

// Group box: an etched frame with its caption on the top line.
class GroupFrame : public Fl_Widget {
public:
    GroupFrame(int x, int y, int w, int h);
    void draw() override;
};

// Up-down arrows of a spin control.
class SpinWidget : public Fl_Widget {
public:
    SpinWidget(FltkBackend& backend, int x, int y, int w, int h);
    void draw() override;
    int handle(int event) override;

private:
    FltkBackend& backend_;
    int pressed_ = 0;  // 1 up, -1 down
};

// A one-line edit whose text stands at its right edge, as number fields ask:
// FLTK's input draws from the left, so while the field is not being edited
// the text is drawn here; with the focus the input edits as usual.
class RightAlignedInput : public Fl_Input {
public:
    RightAlignedInput(int x, int y, int w, int h) : Fl_Input(x, y, w, h) {}
    void draw() override;
    int handle(int event) override;
};

// A static text that reports clicks (notifying statics).
class ClickBox : public Fl_Box {
public:
    ClickBox(FltkBackend& backend, int x, int y, int w, int h);
    int handle(int event) override;

private:
    FltkBackend& backend_;
};

// Draws one of our own toolbar icons for a command into the box.
void DrawToolIcon(int commandId, const std::string& tooltip, int x, int y, int w, int h, bool active);

// Layer key code of the current FLTK key event; 0 when it has none.
int LayerKeyOfEvent();
// Layer modifier bits of the current FLTK event.
int LayerModifiersOfEvent();
// FLTK shortcut of an accelerator text such as "Ctrl+S" or "F5"; 0 when none.
int ShortcutOf(const std::string& accelerator);
// The label type that shows a text as written: an "@" starts no symbol (the
// normal type cuts "support@host" to "support"). Access-key marks ("&") keep
// their meaning where the widget gives them one.
Fl_Labeltype PlainLabel();

// Label text without access-key marks ("&Open" gives "Open", "&&" gives "&").
std::string StripAccessMarks(const std::string& text);

}  // namespace brennix::fltk
