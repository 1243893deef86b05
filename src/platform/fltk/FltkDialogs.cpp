// Message boxes and the file chooser of the FLTK back end.
#include "platform/fltk/FltkBackend.h"
#include "platform/fltk/FltkPainter.h"
#include "platform/fltk/FltkWidgets.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace brennix::fltk {

namespace {

struct BoxButton {
    const char* label;
    int result;
};

std::vector<BoxButton> ButtonsOf(ui::Buttons b) {
    switch (b) {
        case ui::Buttons::OkCancel: return {{"OK", ui::IDOK}, {"Cancel", ui::IDCANCEL}};
        case ui::Buttons::YesNo: return {{"&Yes", ui::IDYES}, {"&No", ui::IDNO}};
        case ui::Buttons::YesNoCancel: return {{"&Yes", ui::IDYES}, {"&No", ui::IDNO}, {"Cancel", ui::IDCANCEL}};
        case ui::Buttons::Ok:
        default: return {{"OK", ui::IDOK}};
    }
}

// The answer of closing the box or pressing Escape: Cancel where there is
// one, OK for a box with OK alone, none for Yes/No questions.
int EscapeResult(ui::Buttons b) {
    switch (b) {
        case ui::Buttons::Ok: return ui::IDOK;
        case ui::Buttons::OkCancel:
        case ui::Buttons::YesNoCancel: return ui::IDCANCEL;
        default: return 0;
    }
}

// The symbol of the box's icon.
class IconBox : public Fl_Widget {
public:
    IconBox(int x, int y, int w, int h, ui::Icon icon) : Fl_Widget(x, y, w, h), icon_(icon) {}
    void draw() override {
        Fl_Color c = FL_BLUE;
        const char* s = "i";
        switch (icon_) {
            case ui::Icon::Question: c = fl_rgb_color(32, 96, 192); s = "?"; break;
            case ui::Icon::Exclamation: c = fl_rgb_color(224, 160, 0); s = "!"; break;
            case ui::Icon::Stop: c = fl_rgb_color(200, 0, 0); s = "X"; break;
            case ui::Icon::Information: c = fl_rgb_color(32, 96, 192); s = "i"; break;
            default: return;
        }
        fl_color(c);
        fl_pie(x(), y(), w(), h(), 0, 360);
        fl_color(FL_WHITE);
        fl_font(FL_HELVETICA_BOLD, h() * 2 / 3);
        fl_draw(s, x(), y(), w(), h(), FL_ALIGN_CENTER);
    }

private:
    ui::Icon icon_;
};

class BoxWindow : public Fl_Double_Window {
public:
    BoxWindow(int w, int h, int escapeResult) : Fl_Double_Window(w, h), escape_(escapeResult) {}
    int result = 0;
    int handle(int event) override {
        if (event == FL_KEYBOARD && Fl::event_key() == FL_Escape) {
            Escape();
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }
    // Escape and the close box answer Cancel (OK for a box with OK alone);
    // a Yes/No question stays until it is answered.
    void Escape() {
        if (!escape_) return;
        result = escape_;
        hide();
    }

private:
    int escape_;
};

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// "Name (*.slb)\tAll Files (*)" from the dialog's filters.
std::string ChooserFilter(const std::vector<ui::FileFilter>& filters) {
    std::string out;
    for (const ui::FileFilter& f : filters) {
        if (f.patterns.empty()) continue;
        std::string pattern;
        bool allExt = f.patterns.size() > 1;
        for (const std::string& p : f.patterns) allExt = allExt && p.rfind("*.", 0) == 0 && p != "*.*";
        if (allExt) {
            pattern = "*.{";
            for (size_t i = 0; i < f.patterns.size(); ++i) {
                if (i) pattern += ',';
                pattern += f.patterns[i].substr(2);
            }
            pattern += "}";
        } else {
            pattern = f.patterns.front() == "*.*" ? "*" : f.patterns.front();
        }
        std::string name = f.name;
        const size_t paren = name.find(" (");
        if (paren != std::string::npos) name = name.substr(0, paren);
        if (!out.empty()) out += "\t";
        out += name;
        out += " (";
        out += pattern;
        out += ')';
    }
    return out;
}

}  // namespace

int FltkBackend::ShowMessageBox(const ui::MessageBoxRequest& request) {
    const std::vector<BoxButton> buttons = ButtonsOf(request.buttons);
    fl_font(FL_HELVETICA, 13);
    int tw = 360, th = 0;
    const std::string text = ToUtf8(request.text);
    fl_measure(text.c_str(), tw, th, 0);
    tw = std::max(tw, 160);
    const bool icon = request.icon != ui::Icon{};
    const int iconW = icon ? 52 : 0;
    const int buttonW = 80, buttonH = 26, gap = 8;
    const int rowW = static_cast<int>(buttons.size()) * (buttonW + gap) - gap;
    const int w = std::max(iconW + tw + 32, rowW + 32);
    const int h = std::max(th, icon ? 36 : 0) + buttonH + 48;

    NoCurrentGroup noGroup;
    BoxWindow win(w, h, EscapeResult(request.buttons));
    std::string caption = request.caption;
    if (caption.empty() && ui::App::Get()) caption = ui::App::Get()->AppName();
    win.copy_label(ToUtf8(caption).c_str());
    win.begin();
    if (icon) new IconBox(16, 16, 36, 36, request.icon);
    auto* textBox = new Fl_Box(16 + iconW, 16, tw, std::max(th, 36));
    textBox->labelsize(13);
    textBox->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
    textBox->copy_label(text.c_str());
    int x = (w - rowW) / 2;
    const int y = h - buttonH - 12;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Fl_Button* b = i == 0 ? new Fl_Return_Button(x, y, buttonW, buttonH) : new Fl_Button(x, y, buttonW, buttonH);
        b->copy_label(buttons[i].label);
        b->user_data(reinterpret_cast<void*>(static_cast<intptr_t>(buttons[i].result)));
        b->callback([](Fl_Widget* wdg, void* data) {
            auto* bw = static_cast<BoxWindow*>(wdg->window());
            bw->result = static_cast<int>(reinterpret_cast<intptr_t>(data));
            bw->hide();
        });
        x += buttonW + gap;
    }
    win.end();
    win.callback([](Fl_Widget* wdg, void*) { static_cast<BoxWindow*>(wdg)->Escape(); });
    win.set_modal();
    if (Fl_Window* front = Fl::first_window()) win.position(front->x() + (front->w() - w) / 2, front->y() + (front->h() - h) / 2);
    // The keyboard goes back where it was (a dialog's cell that a check
    // refused keeps the typing), unless the widget went meanwhile.
    Fl_Widget_Tracker previousFocus(Fl::focus());
    win.show();
    Fl_Window* previousBox = activeBox_;
    activeBox_ = &win;
    while (win.shown()) Fl::wait(0.05);
    activeBox_ = previousBox;
    if (Fl_Widget* w = previousFocus.widget(); w && w->window() && w->window()->shown() && !Fl::focus()) w->take_focus();
    return win.result ? win.result : EscapeResult(request.buttons);
}

std::optional<std::string> FltkBackend::ShowFileDialog(const ui::FileDialogRequest& request) {
    const std::string filter = ChooserFilter(request.filters);
    std::string start = request.initialDir.empty() && request.fileName.empty() ? std::string(".") : request.initialDir;
    if (!request.fileName.empty()) {
        if (!start.empty() && start.back() != '/') start += '/';
        start += request.fileName;
    }
    const std::string title = !request.title.empty() ? request.title : (request.open ? "Open" : "Save As");
    for (;;) {
        NoCurrentGroup noGroup;
        Fl_File_Chooser chooser(start.c_str(), filter.empty() ? nullptr : filter.c_str(),
                                request.open ? Fl_File_Chooser::SINGLE : Fl_File_Chooser::CREATE, title.c_str());
        chooser.preview(0);
        chooser.show();
        // The name field shows the folder: the caret waits after it, so
        // that typing gives a name in that folder.
        for (int i = 0; i < 5 && !dynamic_cast<Fl_Input*>(Fl::focus()); ++i) Fl::wait(0.01);
        if (auto* name = dynamic_cast<Fl_Input*>(Fl::focus())) name->position(name->size());
        while (chooser.shown()) Fl::wait(0.05);
        const char* value = chooser.value();
        if (!value || !*value) return std::nullopt;
        std::string path = value;
        if (IsDirectory(path)) return std::nullopt;
        if (request.open && (request.flags & ui::ofn::FileMustExist) && !Exists(path)) {
            ShowMessageBox({path + "\nFile not found.\nCheck the file name and try again.", title, ui::Buttons::Ok,
                            ui::Icon::Exclamation});
            start = path;
            continue;
        }
        if (!request.open && (request.flags & ui::ofn::OverwritePrompt)) {
            std::string full = path;
            const size_t slash = full.find_last_of('/');
            const std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
            if (name.find('.') == std::string::npos && !request.defaultExt.empty()) {
                full += '.';
                full += request.defaultExt;
            }
            if (Exists(full) &&
                ShowMessageBox({full + " already exists.\nDo you want to replace it?", title, ui::Buttons::YesNo,
                                ui::Icon::Exclamation}) != ui::IDYES) {
                start = path;
                continue;
            }
        }
        return path;
    }
}

}  // namespace brennix::fltk
