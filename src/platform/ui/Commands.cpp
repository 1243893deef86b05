#include "platform/ui/Commands.h"

#include <cctype>

namespace ui {

namespace {
std::map<int, CommandInfo>& Table() {
    static std::map<int, CommandInfo> table;
    return table;
}
}  // namespace

std::string StatusTextOf(const std::string& prompt) { return prompt.substr(0, prompt.find('\n')); }

std::string TooltipOf(const std::string& prompt) {
    const size_t nl = prompt.find('\n');
    return nl == std::string::npos ? std::string() : prompt.substr(nl + 1);
}

std::string MenuLabelOf(const std::string& menuText) { return menuText.substr(0, menuText.find('\t')); }

char AccessKeyOf(const std::string& menuText) {
    const std::string label = MenuLabelOf(menuText);
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(label[i + 1])));
    }
    return 0;
}

std::string AcceleratorOf(const std::string& menuText) {
    const size_t tab = menuText.find('\t');
    return tab == std::string::npos ? std::string() : menuText.substr(tab + 1);
}

void RegisterCommand(const CommandInfo& info) { Table()[info.id] = info; }

const CommandInfo* FindCommand(int id) {
    auto it = Table().find(id);
    return it == Table().end() ? nullptr : &it->second;
}

void CommandTarget::OnCommand(int id, std::function<void()> handler) { commands_[id] = std::move(handler); }

void CommandTarget::OnCommandRange(int first, int last, std::function<void(int)> handler) {
    ranges_.push_back(Range{first, last, std::move(handler)});
}

void CommandTarget::OnUpdateUI(int id, std::function<void(CmdUI&)> handler) { updates_[id] = std::move(handler); }

void CommandTarget::OnUpdateUIRange(int first, int last, std::function<void(CmdUI&)> handler) {
    updateRanges_.push_back(UpdateRange{first, last, std::move(handler)});
}

bool CommandTarget::HasCommandHandler(int id) const {
    if (commands_.count(id)) return true;
    for (const Range& r : ranges_)
        if (r.first <= id && id <= r.last) return true;
    return false;
}

bool CommandTarget::HandleCommand(int id) {
    auto it = commands_.find(id);
    if (it != commands_.end()) {
        auto fn = it->second;  // the handler may change the map
        fn();
        return true;
    }
    for (const Range& r : ranges_)
        if (r.first <= id && id <= r.last) {
            auto fn = r.fn;
            fn(id);
            return true;
        }
    return false;
}

bool CommandTarget::HandleUpdate(CmdUI& ui) {
    auto it = updates_.find(ui.Id());
    if (it != updates_.end()) {
        auto fn = it->second;
        fn(ui);
        return true;
    }
    for (const UpdateRange& r : updateRanges_)
        if (r.first <= ui.Id() && ui.Id() <= r.last) {
            auto fn = r.fn;
            fn(ui);
            return true;
        }
    return false;
}

bool RouteCommand(const std::vector<CommandTarget*>& chain, int id) {
    for (CommandTarget* t : chain)
        if (t && t->HandleCommand(id)) return true;
    return false;
}

CmdUI RouteUpdate(const std::vector<CommandTarget*>& chain, int id) {
    CmdUI ui(id);
    for (CommandTarget* t : chain)
        if (t && t->HandleUpdate(ui)) return ui;
    bool handled = false;
    for (CommandTarget* t : chain)
        if (t && t->HasCommandHandler(id)) handled = true;
    ui.SetEnabledSilently(handled);
    return ui;
}

}  // namespace ui
