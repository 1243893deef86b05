// Message boxes and the file chooser of the FLTK back end.
#include "platform/fltk/FltkBackend.h"
#include "platform/fltk/FltkPainter.h"
#include "platform/fltk/FltkWidgets.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
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
            case ui::Icon::Question:
                c = fl_rgb_color(32, 96, 192);
                s = "?";
                break;
            case ui::Icon::Exclamation:
                c = fl_rgb_color(224, 160, 0);
                s = "!";
                break;
            case ui::Icon::Stop:
                c = fl_rgb_color(200, 0, 0);
                s = "X";
                break;
            case ui::Icon::Information:
                c = fl_rgb_color(32, 96, 192);
                s = "i";
                break;
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

// A box or chooser opens centred over the frontmost window; before the
// main window is up (a message at start-up) it opens centred on the screen.
void CentreOverFront(Fl_Window& win) {
    if (Fl_Window* front = Fl::first_window(); front && front != &win) {
        win.position(front->x() + (front->w() - win.w()) / 2, front->y() + (front->h() - win.h()) / 2);
        return;
    }
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h);
    win.position(x + (w - win.w()) / 2, y + (h - win.h()) / 2);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

TextExtent MessageTextExtent(const std::string& text, int size) {
    // Lines keep their own length up to a width that suits a sentence or
    // two; only longer lines wrap, between words.
    constexpr int kWrapWidth = 560;
    fl_font(FL_HELVETICA, size);
    int w = 0, h = 0;
    fl_measure(text.c_str(), w, h, 0);
    if (w > kWrapWidth) {
        w = kWrapWidth;
        h = 0;
        fl_measure(text.c_str(), w, h, 0);
    }
    // Room for rounding in the measured widths.
    return TextExtent{w + 2, h};
}

int FltkBackend::ShowMessageBox(const ui::MessageBoxRequest& request) {
    const std::vector<BoxButton> buttons = ButtonsOf(request.buttons);
    const std::string text = ToUtf8(request.text);
    const TextExtent extent = MessageTextExtent(text, 13);
    const int tw = std::max(extent.w, 160);
    const int th = extent.h;
    const bool icon = request.icon != ui::Icon{};
    const int iconW = icon ? 52 : 0;
    const int buttonW = 80, buttonH = 26, gap = 8;
    const int rowW = static_cast<int>(buttons.size()) * (buttonW + gap) - gap;
    const int w = std::max(iconW + tw + 32, rowW + 32);
    const int textH = std::max(th, icon ? 36 : 0);
    const int h = textH + buttonH + 48;

    NoCurrentGroup noGroup;
    BoxWindow win(w, h, EscapeResult(request.buttons));
    std::string caption = request.caption;
    if (caption.empty() && ui::App::Get()) caption = ui::App::Get()->AppName();
    win.copy_label(ToUtf8(caption).c_str());
    win.begin();
    if (icon) new IconBox(16, 16, 36, 36, request.icon);
    // FLTK keeps a margin of 3 pixels each side of a label inside its box:
    // the box is that much wider than the text it was measured for.
    auto* textBox = new Fl_Box(16 + iconW - 3, 16, tw + 6, textH);
    textBox->labelsize(13);
    textBox->labeltype(PlainLabel());
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
    CentreOverFront(win);
    // The keyboard goes back where it was (a dialog's cell that a check
    // refused keeps the typing), unless the widget went meanwhile.
    Fl_Widget_Tracker previousFocus(Fl::focus());
    win.show();
    Fl_Window* previousBox = activeBox_;
    activeBox_ = &win;
    while (win.shown()) Fl::wait(0.05);
    activeBox_ = previousBox;
    if (Fl_Widget* w = previousFocus.widget(); w && w->window() && w->window()->shown() && !Fl::focus())
        w->take_focus();
    return win.result ? win.result : EscapeResult(request.buttons);
}

namespace {

// The program's own file chooser: the folder, its sub-folders and the files
// of the chosen type, and a name field that keeps what is typed into it (a
// name in the folder, or a path of its own).
class FileChooser {
public:
    FileChooser(const ui::FileDialogRequest& request, const std::string& title) {
        for (const ui::FileFilter& f : request.filters)
            if (!f.patterns.empty()) filters_.push_back(f);
        if (filters_.empty()) filters_.push_back(ui::FileFilter{"All Files (*.*)", {"*.*"}});
        const int W = 560, H = 400;
        win_ = std::make_unique<Fl_Double_Window>(W, H);
        win_->copy_label(title.c_str());
        win_->begin();
        auto* folderLabel = new Fl_Box(10, 10, 70, 24, "Look in:");
        folderLabel->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
        folder_ = new Fl_Input(80, 10, W - 80 - 50, 24);
        folder_->when(FL_WHEN_ENTER_KEY_ALWAYS);
        folder_->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->FolderTyped(); }, this);
        auto* up = new Fl_Button(W - 45, 10, 35, 24, "Up");
        up->tooltip("Up one folder");
        up->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->GoUp(); }, this);
        list_ = new Fl_Hold_Browser(10, 42, W - 20, H - 42 - 80);
        list_->format_char(0);
        list_->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->ListClicked(); }, this);
        auto* nameLabel = new Fl_Box(10, H - 70, 90, 24, "File name:");
        nameLabel->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
        name_ = new Fl_Input(100, H - 70, W - 100 - 100, 24);
        auto* typeLabel = new Fl_Box(10, H - 38, 90, 24, "Files of type:");
        typeLabel->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
        type_ = new Fl_Choice(100, H - 38, W - 100 - 100, 24);
        for (const ui::FileFilter& f : filters_) {
            // Menu texts: "/" and "\" would make submenus, "&" and "@" marks.
            std::string text;
            for (char c : ToUtf8(f.name)) {
                if (c == '/' || c == '\\') text += '\\';
                text += c;
                if (c == '&') text += '&';
            }
            const int i = type_->add(text.c_str());
            if (i >= 0) const_cast<Fl_Menu_Item*>(&type_->menu()[i])->labeltype(PlainLabel());
        }
        type_->value(0);
        type_->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->Fill(); }, this);
        auto* ok = new Fl_Return_Button(W - 90, H - 70, 80, 24, request.open ? "Open" : "Save");
        ok->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->Accept(); }, this);
        auto* cancel = new Fl_Button(W - 90, H - 38, 80, 24, "Cancel");
        cancel->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->Cancel(); }, this);
        win_->end();
        win_->resizable(list_);
        win_->size_range(360, 240);
        win_->callback([](Fl_Widget*, void* me) { static_cast<FileChooser*>(me)->Cancel(); }, this);
        win_->set_modal();

        std::string dir = request.initialDir;
        std::string file = request.fileName;
        if (const size_t slash = file.find_last_of('/'); slash != std::string::npos) {
            dir = slash == 0 ? "/" : file.substr(0, slash);
            if (!file.empty() && file[0] != '/') dir = ui::ResolveTypedPath(request.initialDir, dir);
            file = file.substr(slash + 1);
        }
        if (dir.empty() || !IsDirectory(dir)) dir = ui::CurrentDirectory();
        name_->value(ToUtf8(file).c_str());
        Show(dir);
    }

    // Runs the chooser until a path is taken or it is cancelled.
    std::optional<std::string> Run() {
        CentreOverFront(*win_);
        win_->show();
        // The name is selected: typing replaces it, the arrows keep it.
        name_->take_focus();
        name_->position(name_->size(), 0);
        while (win_->shown() && !done_) Fl::wait(0.05);
        win_->hide();
        return result_;
    }

    Fl_Window* Window() const { return win_.get(); }

private:
    void Show(const std::string& dir) {
        folderPath_ = dir;
        while (folderPath_.size() > 1 && folderPath_.back() == '/') folderPath_.pop_back();
        folder_->value(ToUtf8(folderPath_).c_str());
        Fill();
    }

    void Fill() {
        list_->clear();
        entries_.clear();
        const ui::FileFilter& f =
            filters_[std::max(0, std::min(type_->value(), static_cast<int>(filters_.size()) - 1))];
        std::vector<std::string> dirs, files;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folderPath_, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.empty() || name[0] == '.') continue;
            std::error_code typeEc;
            if (it->is_directory(typeEc)) {
                dirs.push_back(name);
                continue;
            }
            for (const std::string& pattern : f.patterns)
                if (ui::MatchesPattern(name, pattern)) {
                    files.push_back(name);
                    break;
                }
        }
        std::sort(dirs.begin(), dirs.end());
        std::sort(files.begin(), files.end());
        for (const std::string& d : dirs) {
            entries_.push_back({d, true});
            list_->add(ToUtf8(d + "/").c_str());
        }
        for (const std::string& n : files) {
            entries_.push_back({n, false});
            list_->add(ToUtf8(n).c_str());
        }
    }

    void FolderTyped() {
        const std::string dir = ui::ResolveTypedPath(folderPath_, folder_->value());
        if (IsDirectory(dir))
            Show(dir);
        else
            folder_->value(ToUtf8(folderPath_).c_str());
    }

    void GoUp() {
        const size_t slash = folderPath_.find_last_of('/');
        if (slash == std::string::npos) return;
        Show(slash == 0 ? "/" : folderPath_.substr(0, slash));
    }

    void ListClicked() {
        const int line = list_->value();
        if (line < 1 || line > static_cast<int>(entries_.size())) return;
        const Entry& e = entries_[static_cast<size_t>(line - 1)];
        if (e.folder) {
            if (Fl::event_clicks()) {
                Fl::event_clicks(0);
                Show(ui::ResolveTypedPath(folderPath_, e.name));
            }
            return;
        }
        name_->value(ToUtf8(e.name).c_str());
        if (Fl::event_clicks()) {
            Fl::event_clicks(0);
            Accept();
        }
    }

    void Accept() {
        const std::string path = ui::ResolveTypedPath(folderPath_, name_->value());
        if (path.empty()) return;
        // A folder typed or chosen is opened, not taken.
        if (IsDirectory(path)) {
            Show(path);
            name_->value("");
            return;
        }
        result_ = path;
        done_ = true;
    }

    void Cancel() {
        result_.reset();
        done_ = true;
    }

    struct Entry {
        std::string name;
        bool folder;
    };
    std::vector<ui::FileFilter> filters_;
    std::unique_ptr<Fl_Double_Window> win_;
    Fl_Input* folder_ = nullptr;
    Fl_Hold_Browser* list_ = nullptr;
    Fl_Input* name_ = nullptr;
    Fl_Choice* type_ = nullptr;
    std::vector<Entry> entries_;
    std::string folderPath_;
    std::optional<std::string> result_;
    bool done_ = false;
};

}  // namespace

std::optional<std::string> FltkBackend::ShowFileDialog(const ui::FileDialogRequest& request) {
    const std::string title = !request.title.empty() ? request.title : (request.open ? "Open" : "Save As");
    ui::FileDialogRequest ask = request;
    for (;;) {
        std::optional<std::string> chosen;
        {
            NoCurrentGroup noGroup;
            FileChooser chooser(ask, ToUtf8(title));
            Fl_Window* previous = activeChooser_;
            activeChooser_ = chooser.Window();
            chosen = chooser.Run();
            activeChooser_ = previous;
        }
        if (!chosen) return std::nullopt;
        const std::string path = *chosen;
        if (request.open && (request.flags & ui::ofn::FileMustExist) && !Exists(path)) {
            ShowMessageBox({path + "\nFile not found.\nCheck the file name and try again.", title, ui::Buttons::Ok,
                            ui::Icon::Exclamation});
            ask.initialDir.clear();
            ask.fileName = path;
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
            if (Exists(full) && ShowMessageBox({full + " already exists.\nDo you want to replace it?", title,
                                                ui::Buttons::YesNo, ui::Icon::Exclamation}) != ui::IDYES) {
                ask.initialDir.clear();
                ask.fileName = path;
                continue;
            }
        }
        return path;
    }
}

}  // namespace brennix::fltk
