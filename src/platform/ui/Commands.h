// Commands: ids with their menu text and prompt, handlers per command target,
// and the update pass that enables, checks and renames menu items and
// toolbar buttons.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// Standard command ids of the layer.
namespace cmd {
constexpr int FileNew = 57600;
constexpr int FileOpen = 57601;
constexpr int FileClose = 57602;
constexpr int FileSave = 57603;
constexpr int FileSaveAs = 57604;
constexpr int FilePageSetup = 57605;
constexpr int FilePrintSetup = 57606;
constexpr int FilePrint = 57607;
constexpr int FilePrintDirect = 57608;
constexpr int FilePrintPreview = 57609;
constexpr int FileMruFirst = 57616;  // recent files 1..4 are 57616..57619
constexpr int FileMruLast = 57631;
constexpr int AppAbout = 57664;
constexpr int AppExit = 57665;
constexpr int HelpIndex = 57666;
constexpr int HelpFinder = 57667;
constexpr int HelpUsing = 57668;
constexpr int ContextHelp = 57669;
constexpr int Help = 57670;
constexpr int DefaultHelp = 57671;
constexpr int ViewToolBar = 59392;
constexpr int ViewStatusBar = 59393;
}  // namespace cmd

// One command: its id, menu text ("&" marks the access key, "\t" starts the
// accelerator) and prompt ("status text\ntooltip").
struct CommandInfo {
    int id = 0;
    std::string menuText;
    std::string prompt;
};

// Text pieces of a command.
std::string StatusTextOf(const std::string& prompt);     // before "\n"
std::string TooltipOf(const std::string& prompt);        // after "\n"
std::string MenuLabelOf(const std::string& menuText);    // without the accelerator
char AccessKeyOf(const std::string& menuText);           // upper-cased, 0 when none
std::string AcceleratorOf(const std::string& menuText);  // after "\t", "" when none

// Program-wide table of command texts (menus, prompts, tooltips).
void RegisterCommand(const CommandInfo& info);
const CommandInfo* FindCommand(int id);

// Item state collected by the update pass.
class CmdUI {
public:
    explicit CmdUI(int id) : id_(id) {}
    int Id() const { return id_; }
    void Enable(bool on = true) {
        enabled_ = on;
        handled_ = true;
    }
    void SetCheck(bool on = true) {
        checked_ = on;
        handled_ = true;
    }
    void SetText(const std::string& text) {
        text_ = text;
        handled_ = true;
    }
    bool Enabled() const { return enabled_; }
    bool Checked() const { return checked_; }
    const std::optional<std::string>& Text() const { return text_; }
    bool Handled() const { return handled_; }
    void SetEnabledSilently(bool on) { enabled_ = on; }

private:
    int id_;
    bool enabled_ = true;
    bool checked_ = false;
    bool handled_ = false;
    std::optional<std::string> text_;
};

// Something that handles commands: application, frame, document, view.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    void OnCommand(int id, std::function<void()> handler);
    void OnCommandRange(int first, int last, std::function<void(int)> handler);
    void OnUpdateUI(int id, std::function<void(CmdUI&)> handler);
    void OnUpdateUIRange(int first, int last, std::function<void(CmdUI&)> handler);

    // Runs this target's own handler; false when it has none.
    virtual bool HandleCommand(int id);
    // Runs this target's own update handler; false when it has none.
    virtual bool HandleUpdate(CmdUI& ui);
    bool HasCommandHandler(int id) const;

private:
    struct Range {
        int first;
        int last;
        std::function<void(int)> fn;
    };
    struct UpdateRange {
        int first;
        int last;
        std::function<void(CmdUI&)> fn;
    };
    std::map<int, std::function<void()>> commands_;
    std::vector<Range> ranges_;
    std::map<int, std::function<void(CmdUI&)>> updates_;
    std::vector<UpdateRange> updateRanges_;
};

// Routes along a chain of targets (view, document, frame, application):
// the first target with a handler runs it.
bool RouteCommand(const std::vector<CommandTarget*>& chain, int id);
// The update pass for one item: the first update handler along the chain
// decides; without one the item is enabled exactly when some target has a
// command handler for it.
CmdUI RouteUpdate(const std::vector<CommandTarget*>& chain, int id);

}  // namespace ui
