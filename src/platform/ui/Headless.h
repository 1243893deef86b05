// Headless back end and test driver: every message box and file dialog is
// logged and answered from a script, modal dialogs run their own scripts,
// timers run on a virtual clock, and painting is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Backend.h"
#include "platform/ui/Painter.h"

namespace ui {

// A painter that records each call as one text line ("LineTo 3 4").
class RecordingPainter : public Painter {
public:
    explicit RecordingPainter(Size size) : size_(size) {}
    const std::vector<std::string>& Ops() const { return ops_; }
    Size GetSize() const override { return size_; }
    void SetPen(PenStyle style, int width, Color color) override;
    void SetBrush(Color color) override;
    void SetNoBrush() override;
    void SetFont(const Font& font) override;
    void SetTextColor(Color color) override;
    void SetBackground(bool opaque, Color color) override;
    void FillSolidRect(const Rect& r, Color color) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, const std::string& s) override;
    void DrawText(const Rect& box, const std::string& s, int flags) override;
    // Fixed metrics: each character is (height + 1) / 2 pixels wide and a
    // line is the font height high (height 0 counts as 13).
    Size TextExtent(const std::string& s) override;
    void DrawImage(const Image& image, int x, int y) override;
    const Font& CurrentFont() const { return font_; }

private:
    Size size_;
    Font font_;
    std::vector<std::string> ops_;
};

class Headless : public Backend {
public:
    struct MessageBoxRecord {
        std::string text;
        std::string caption;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        int answer = 0;
    };
    struct FileDialogRecord {
        FileDialogRequest request;
        std::optional<std::string> answer;
    };

    Headless();
    ~Headless() override;

    // Installs this driver as the back end for its lifetime.
    void Install();

    // Scripts, used in order. A question (any box but OK-only) takes the
    // next answer; expectText, when not empty, must occur in the box's text.
    // OK-only boxes are answered IDOK without a script and only logged.
    void ExpectMessageBox(int answer, std::string expectText = "");
    // The path chosen in the next file dialog, or nothing for Cancel.
    void ExpectFileDialog(std::optional<std::string> path);
    // The next modal dialog runs this script after OnInitDialog; the script
    // must end the dialog (click, key or EndDialog). templateId 0 takes any.
    void ExpectModal(std::function<void(Dialog&)> script, int templateId = 0);
    bool AllScriptsUsed() const;
    // Unused scripts, described; clears them.
    std::vector<std::string> TakeUnusedScripts();

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
    const std::vector<FileDialogRecord>& FileDialogs() const { return files_; }
    void ClearLogs();
    // Everything that happened, one line each ("MessageBox ...", "Modal 209", "ShellOpen x").
    const std::vector<std::string>& Log() const { return log_; }

    // Test failures: an unscripted question, file dialog or modal dialog, a
    // script answer that the box does not offer, a script that left its
    // dialog open. Handed to the hook (tests install one that fails the
    // test); always recorded.
    std::function<void(const std::string&)> onFailure;
    const std::vector<std::string>& Failures() const { return failures_; }
    void ClearFailures() { failures_.clear(); }
    // Called by every PumpMessages after the window's due timers (tests act
    // on a window that a long call keeps alive by pumping it).
    std::function<void(Window&)> onPump;

    // Virtual clock in milliseconds. Advance moves it and fires the due timers
    // in time order; Sleep moves it without firing (timers fire when messages
    // are pumped).
    std::int64_t Now() const { return now_; }
    void Advance(int ms);
    void FireDueTimers();
    bool TimerActive(const Window& w, int id) const;

    // Paints one window now with a recording painter and returns its lines.
    std::vector<std::string> PaintWindow(Window& w);
    int PaintCount(const Window& w) const;
    int WaitCursorDepth() const { return waitDepth_; }
    void SetKeyLock(int lockKey, bool on) { locks_[lockKey] = on; }
    void SetDesktop(Rect r) { desktop_ = r; }
    // Programs that would have been started by ShellOpen and OpenInTextEditor.
    const std::vector<std::vector<std::string>>& Launched() const { return launched_; }
    // From now on no program can be started (as when it is not installed).
    void FailLaunches(bool fail) { failLaunches_ = fail; }
    // Windows that exist now (created and not destroyed).
    std::vector<Window*> LiveWindows() const;

    // Backend
    void WindowChanged(Window& w, Change what) override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) override;
    void RunModal(Dialog& dialog) override;
    void RunMainLoop(App& app) override;
    void Invalidate(Window& w, bool erase) override;
    void UpdateNow(Window& w) override;
    void SetTimer(Window& w, int id, int ms) override;
    void KillTimer(Window& w, int id) override;
    void PumpMessages(Window& w) override;
    void Sleep(int ms) override;
    void BeginWaitCursor() override { ++waitDepth_; }
    void EndWaitCursor() override { --waitDepth_; }
    BaseUnits DialogBaseUnits() const override { return BaseUnits{6, 13}; }
    Rect DesktopRect() const override { return desktop_; }
    bool KeyLockState(int lockKey) const override;
    bool ShellOpen(const std::string& path) override;
    bool OpenInTextEditor(const std::string& path) override;

private:
    struct BoxScript {
        int answer;
        std::string expectText;
    };
    struct ModalScript {
        std::function<void(Dialog&)> script;
        int templateId;
    };
    struct Timer {
        Window* window;
        int id;
        int period;
        std::int64_t due;
        std::uint64_t seq;
    };
    void Fail(const std::string& what);
    void FireTimersOf(Window* only);

    std::deque<BoxScript> boxScripts_;
    std::deque<std::optional<std::string>> fileScripts_;
    std::deque<ModalScript> modalScripts_;
    std::vector<MessageBoxRecord> boxes_;
    std::vector<FileDialogRecord> files_;
    std::vector<std::string> log_;
    std::vector<std::string> failures_;
    std::vector<Timer> timers_;
    std::uint64_t timerSeq_ = 0;
    std::int64_t now_ = 0;
    std::map<const Window*, int> paints_;
    std::vector<Window*> live_;
    std::vector<std::vector<std::string>> launched_;
    bool failLaunches_ = false;
    std::map<int, bool> locks_;
    Rect desktop_{0, 0, 1920, 1080};
    int waitDepth_ = 0;
    Backend* previous_ = nullptr;
    bool installed_ = false;
};

}  // namespace ui
