#include "platform/ui/Headless.h"

#include <algorithm>
#include <cstdio>

#include "platform/ui/App.h"
#include "platform/ui/Dialog.h"

namespace ui {

namespace {

std::string Hex(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return buf;
}

const char* IconName(Icon i) {
    switch (i) {
        case Icon::None: return "none";
        case Icon::Question: return "question";
        case Icon::Exclamation: return "exclamation";
        case Icon::Stop: return "stop";
        case Icon::Information: return "information";
    }
    return "?";
}

const char* ButtonsName(Buttons b) {
    switch (b) {
        case Buttons::Ok: return "ok";
        case Buttons::OkCancel: return "ok-cancel";
        case Buttons::YesNo: return "yes-no";
        case Buttons::YesNoCancel: return "yes-no-cancel";
    }
    return "?";
}

bool Offers(Buttons b, int answer) {
    switch (b) {
        case Buttons::Ok: return answer == IDOK;
        case Buttons::OkCancel: return answer == IDOK || answer == IDCANCEL;
        case Buttons::YesNo: return answer == IDYES || answer == IDNO;
        case Buttons::YesNoCancel: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    }
    return false;
}

// The answer that changes least when nobody answers.
int SafeAnswer(Buttons b) {
    switch (b) {
        case Buttons::Ok: return IDOK;
        case Buttons::YesNo: return IDNO;
        default: return IDCANCEL;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// RecordingPainter

void RecordingPainter::SetPen(PenStyle style, int width, Color color) {
    static const char* names[] = {"solid", "dash", "dot", "null"};
    ops_.push_back("Pen " + std::string(names[static_cast<int>(style)]) + " " + std::to_string(width) + " " +
                   Hex(color));
}
void RecordingPainter::SetBrush(Color color) { ops_.push_back("Brush " + Hex(color)); }
void RecordingPainter::SetNoBrush() { ops_.push_back("Brush none"); }
void RecordingPainter::SetFont(const Font& font) {
    font_ = font;
    ops_.push_back("Font " + font.face + " " + std::to_string(font.height) + " " + std::to_string(font.weight) + " " +
                   std::to_string(font.escapement));
}
void RecordingPainter::SetTextColor(Color color) { ops_.push_back("TextColor " + Hex(color)); }
void RecordingPainter::SetBackground(bool opaque, Color color) {
    ops_.push_back(std::string("Background ") + (opaque ? "opaque " : "transparent ") + Hex(color));
}
void RecordingPainter::FillSolidRect(const Rect& r, Color color) {
    ops_.push_back("Fill " + std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.w) + " " +
                   std::to_string(r.h) + " " + Hex(color));
}
void RecordingPainter::MoveTo(int x, int y) { ops_.push_back("MoveTo " + std::to_string(x) + " " + std::to_string(y)); }
void RecordingPainter::LineTo(int x, int y) { ops_.push_back("LineTo " + std::to_string(x) + " " + std::to_string(y)); }
void RecordingPainter::Rectangle(int l, int t, int r, int b) {
    ops_.push_back("Rectangle " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                   std::to_string(b));
}
void RecordingPainter::Ellipse(int l, int t, int r, int b) {
    ops_.push_back("Ellipse " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                   std::to_string(b));
}
void RecordingPainter::TextOut(int x, int y, const std::string& s) {
    ops_.push_back("TextOut " + std::to_string(x) + " " + std::to_string(y) + " " + s);
}
void RecordingPainter::DrawText(const Rect& box, const std::string& s, int flags) {
    ops_.push_back("DrawText " + std::to_string(box.x) + " " + std::to_string(box.y) + " " + std::to_string(box.w) +
                   " " + std::to_string(box.h) + " " + std::to_string(flags) + " " + s);
}
Size RecordingPainter::TextExtent(const std::string& s) {
    int h = font_.height < 0 ? -font_.height : font_.height;
    if (h == 0) h = 13;
    return Size{static_cast<int>(s.size()) * ((h + 1) / 2), h};
}
void RecordingPainter::DrawImage(const Image& image, int x, int y) {
    ops_.push_back("Image " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(image.width) + " " +
                   std::to_string(image.height));
}

// ---------------------------------------------------------------------------
// Headless

Headless::Headless() = default;

Headless::~Headless() {
    if (installed_) SetBackend(nullptr);
}

void Headless::Install() {
    SetBackend(this);
    installed_ = true;
}

void Headless::Fail(const std::string& what) {
    failures_.push_back(what);
    log_.push_back("FAILURE " + what);
    if (onFailure)
        onFailure(what);
    else
        std::fprintf(stderr, "headless: %s\n", what.c_str());
}

void Headless::ExpectMessageBox(int answer, std::string expectText) {
    boxScripts_.push_back(BoxScript{answer, std::move(expectText)});
}

void Headless::ExpectFileDialog(std::optional<std::string> path) { fileScripts_.push_back(std::move(path)); }

void Headless::ExpectModal(std::function<void(Dialog&)> script, int templateId) {
    modalScripts_.push_back(ModalScript{std::move(script), templateId});
}

bool Headless::AllScriptsUsed() const { return boxScripts_.empty() && fileScripts_.empty() && modalScripts_.empty(); }

std::vector<std::string> Headless::TakeUnusedScripts() {
    std::vector<std::string> out;
    for (const BoxScript& b : boxScripts_)
        out.push_back("message box answer " + std::to_string(b.answer) +
                      (b.expectText.empty() ? "" : " for \"" + b.expectText + "\""));
    for (const auto& f : fileScripts_) out.push_back("file dialog " + (f ? *f : std::string("(cancel)")));
    for (const ModalScript& m : modalScripts_) out.push_back("modal dialog " + std::to_string(m.templateId));
    boxScripts_.clear();
    fileScripts_.clear();
    modalScripts_.clear();
    return out;
}

void Headless::ClearLogs() {
    boxes_.clear();
    files_.clear();
    log_.clear();
}

int Headless::ShowMessageBox(const MessageBoxRequest& req) {
    MessageBoxRecord rec{req.text, req.caption, req.buttons, req.icon, 0};
    if (req.buttons == Buttons::Ok) {
        rec.answer = IDOK;
    } else if (boxScripts_.empty()) {
        Fail("unscripted question: \"" + req.text + "\"");
        rec.answer = SafeAnswer(req.buttons);
    } else {
        BoxScript s = boxScripts_.front();
        boxScripts_.pop_front();
        rec.answer = s.answer;
        if (!s.expectText.empty() && req.text.find(s.expectText) == std::string::npos)
            Fail("question \"" + req.text + "\" does not contain \"" + s.expectText + "\"");
        if (!Offers(req.buttons, s.answer)) {
            Fail("answer " + std::to_string(s.answer) + " is not offered by \"" + req.text + "\"");
            rec.answer = SafeAnswer(req.buttons);
        }
    }
    boxes_.push_back(rec);
    log_.push_back(std::string("MessageBox ") + ButtonsName(req.buttons) + " " + IconName(req.icon) + " -> " +
                   std::to_string(rec.answer) + ": " + req.text);
    return rec.answer;
}

std::optional<std::string> Headless::ShowFileDialog(const FileDialogRequest& req) {
    std::optional<std::string> answer;
    if (fileScripts_.empty()) {
        Fail(std::string("unscripted ") + (req.open ? "open" : "save") + " file dialog");
    } else {
        answer = fileScripts_.front();
        fileScripts_.pop_front();
    }
    files_.push_back(FileDialogRecord{req, answer});
    log_.push_back(std::string("FileDialog ") + (req.open ? "open" : "save") + " -> " +
                   (answer ? *answer : "(cancel)"));
    return answer;
}

void Headless::RunModal(Dialog& dialog) {
    log_.push_back("Modal " + std::to_string(dialog.TemplateId()) + " " + dialog.GetWindowText());
    if (modalScripts_.empty()) {
        Fail("unscripted modal dialog " + std::to_string(dialog.TemplateId()) + " \"" + dialog.GetWindowText() + "\"");
        dialog.EndDialog(IDCANCEL);
        return;
    }
    ModalScript s = std::move(modalScripts_.front());
    modalScripts_.pop_front();
    if (s.templateId != 0 && s.templateId != dialog.TemplateId()) {
        Fail("modal dialog " + std::to_string(dialog.TemplateId()) + " came where a script for " +
             std::to_string(s.templateId) + " was waiting");
        dialog.EndDialog(IDCANCEL);
        return;
    }
    s.script(dialog);
    if (!dialog.IsEnded()) {
        Fail("the script left modal dialog " + std::to_string(dialog.TemplateId()) + " open");
        dialog.EndDialog(IDCANCEL);
    }
}

void Headless::RunMainLoop(App& app) {
    log_.push_back("MainLoop");
    app.OnIdle();
}

void Headless::WindowChanged(Window& w, Change what) {
    if (what == Change::Created) {
        if (std::find(live_.begin(), live_.end(), &w) == live_.end()) live_.push_back(&w);
    } else if (what == Change::Destroyed) {
        live_.erase(std::remove(live_.begin(), live_.end(), &w), live_.end());
        timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == &w; }),
                      timers_.end());
        paints_.erase(&w);
    }
}

void Headless::Invalidate(Window&, bool) {}

void Headless::UpdateNow(Window& w) { PaintWindow(w); }

std::vector<std::string> Headless::PaintWindow(Window& w) {
    RecordingPainter p(w.GetClientSize());
    w.Paint(p);
    ++paints_[&w];
    return p.Ops();
}

int Headless::PaintCount(const Window& w) const {
    auto it = paints_.find(&w);
    return it == paints_.end() ? 0 : it->second;
}

void Headless::SetTimer(Window& w, int id, int ms) {
    KillTimer(w, id);
    const int period = std::max(ms, 1);
    timers_.push_back(Timer{&w, id, period, now_ + period, ++timerSeq_});
}

void Headless::KillTimer(Window& w, int id) {
    timers_.erase(
        std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == &w && t.id == id; }),
        timers_.end());
}

bool Headless::TimerActive(const Window& w, int id) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == &w && t.id == id; });
}

void Headless::FireTimersOf(Window* only) {
    std::vector<Timer> due;
    for (const Timer& t : timers_)
        if (t.due <= now_ && (!only || t.window == only)) due.push_back(t);
    std::sort(due.begin(), due.end(),
              [](const Timer& a, const Timer& b) { return a.due != b.due ? a.due < b.due : a.seq < b.seq; });
    for (const Timer& d : due) {
        auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.seq == d.seq; });
        if (it == timers_.end()) continue;  // killed by an earlier timer
        while (it->due <= now_) it->due += it->period;
        Window* w = it->window;
        const int id = it->id;
        w->OnTimer(id);
    }
}

void Headless::FireDueTimers() { FireTimersOf(nullptr); }

void Headless::Advance(int ms) {
    const std::int64_t target = now_ + std::max(ms, 0);
    for (;;) {
        auto next = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        });
        if (next == timers_.end() || next->due > target) break;
        now_ = next->due;
        next->due += next->period;
        Window* w = next->window;
        const int id = next->id;
        w->OnTimer(id);
    }
    now_ = target;
}

void Headless::PumpMessages(Window& w) {
    FireTimersOf(&w);
    // A timer may have destroyed (and deleted) the window.
    if (std::find(live_.begin(), live_.end(), &w) == live_.end()) return;
    if (onPump) {
        onPump(w);
        if (std::find(live_.begin(), live_.end(), &w) == live_.end()) return;
    }
    if (w.NeedsPaint()) PaintWindow(w);
}

void Headless::Sleep(int ms) { now_ += std::max(ms, 0); }

bool Headless::KeyLockState(int lockKey) const {
    auto it = locks_.find(lockKey);
    return it != locks_.end() && it->second;
}

bool Headless::ShellOpen(const std::string& path) {
    if (failLaunches_) return false;
    launched_.push_back({"xdg-open", path});
    log_.push_back("ShellOpen " + path);
    return true;
}

bool Headless::OpenInTextEditor(const std::string& path) {
    if (failLaunches_) return false;
    std::vector<std::string> argv = TextEditorCommand();
    argv.push_back(path);
    launched_.push_back(argv);
    log_.push_back("TextEditor " + path);
    return true;
}

std::vector<Window*> Headless::LiveWindows() const { return live_; }

}  // namespace ui
