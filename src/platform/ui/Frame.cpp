#include "platform/ui/Frame.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/App.h"
#include "platform/ui/Backend.h"
#include "platform/ui/DocView.h"

namespace ui {

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

bool IsRecentId(int id) { return id >= cmd::FileMruFirst && id <= cmd::FileMruLast; }

}  // namespace

MenuItem& MenuItem::AddCommand(int cmdId, const std::string& label) {
    MenuItem item;
    item.type = Type::Command;
    item.id = cmdId;
    item.text = label;
    items.push_back(std::move(item));
    return items.back();
}

MenuItem& MenuItem::AddCommand(int cmdId) {
    const CommandInfo* info = FindCommand(cmdId);
    return AddCommand(cmdId, info ? info->menuText : std::string());
}

MenuItem& MenuItem::AddSeparator() {
    MenuItem item;
    item.type = Type::Separator;
    items.push_back(std::move(item));
    return items.back();
}

MenuItem& MenuItem::AddPopup(const std::string& label) {
    MenuItem item;
    item.type = Type::Popup;
    item.text = label;
    items.push_back(std::move(item));
    return items.back();
}

MenuItem* MenuItem::Find(int cmdId) {
    for (MenuItem& m : items) {
        if (m.type == Type::Command && m.id == cmdId) return &m;
        if (m.type == Type::Popup)
            if (MenuItem* f = m.Find(cmdId)) return f;
    }
    return nullptr;
}

Frame::Frame() : Window(WindowKind::Frame) {
    menuBar_.type = MenuItem::Type::Popup;
    OnCommand(cmd::ViewToolBar, [this] { ShowToolBar(0, !IsToolBarVisible(0)); });
    OnUpdateUI(cmd::ViewToolBar, [this](CmdUI& ui) {
        ui.Enable(ToolBarCount() > 0);
        ui.SetCheck(IsToolBarVisible(0));
    });
    OnCommand(cmd::ViewStatusBar, [this] { ShowStatusBar(!statusBar_.visible); });
    OnUpdateUI(cmd::ViewStatusBar, [this](CmdUI& ui) {
        ui.Enable(statusBar_.created);
        ui.SetCheck(statusBar_.created && statusBar_.visible);
    });
}

Frame::~Frame() {
    if (view_ && view_->IsWindow()) view_->DestroyWindow();
    view_.reset();
}

bool Frame::LoadFrame(const std::string& title, unsigned styleBits) {
    if (IsWindow()) return false;
    appTitle_ = title;
    ModifyStyle(~0u, styleBits);
    SetTextSilently(title);
    SetRectSilently(GetBackend().DesktopRect());
    MarkCreated();
    if (OnCreate() == -1) {
        DestroyWindow();
        return false;
    }
    OnSize(GetWindowRect().w, GetWindowRect().h);
    UpdateTitle();
    return true;
}

void Frame::SetMenuBar(MenuItem bar) {
    menuBar_ = std::move(bar);
    menuBar_.type = MenuItem::Type::Popup;
    NotifyChange(Change::Menu);
}

int Frame::AddToolBar(ToolBar bar) {
    if (ToolBarCount() >= kMaxToolBars) return -1;
    bar.state.clear();
    for (int id : bar.buttons) bar.state.emplace_back(id);
    toolBars_.push_back(std::move(bar));
    NotifyChange(Change::ToolBars);
    RecalcLayout();
    return ToolBarCount() - 1;
}

ToolBar* Frame::GetToolBar(int index) { return (index >= 0 && index < ToolBarCount()) ? &toolBars_[index] : nullptr; }

void Frame::ShowToolBar(int index, bool show) {
    ToolBar* bar = GetToolBar(index);
    if (!bar || bar->visible == show) return;
    bar->visible = show;
    NotifyChange(Change::ToolBars);
    RecalcLayout();
}

bool Frame::IsToolBarVisible(int index) const {
    return index >= 0 && index < ToolBarCount() && toolBars_[index].visible;
}

bool Frame::CreateStatusBar(const std::vector<std::string>& indicators) {
    statusBar_.created = true;
    statusBar_.visible = true;
    statusBar_.indicators = indicators;
    statusBar_.lit.assign(indicators.size(), false);
    statusBar_.message = kIdleMessage;
    NotifyChange(Change::StatusBar);
    RecalcLayout();
    return true;
}

void Frame::SetMessageText(const std::string& text) {
    if (statusBar_.message == text) return;
    statusBar_.message = text;
    NotifyChange(Change::StatusBar);
}

void Frame::SetIdleMessage(const std::string& text) {
    idleMessage_ = text;
    SetMessageText(text);
}

void Frame::ShowStatusBar(bool show) {
    if (!statusBar_.created || statusBar_.visible == show) return;
    statusBar_.visible = show;
    NotifyChange(Change::StatusBar);
    RecalcLayout();
}

bool Frame::SetView(std::unique_ptr<View> view) {
    if (view_) {
        if (view_->IsWindow()) view_->DestroyWindow();
        view_.reset();
    }
    if (!view) {
        UpdateTitle();
        return true;
    }
    view_ = std::move(view);
    if (!view_->CreateChild(this, ViewRect())) {
        view_.reset();
        UpdateTitle();
        return false;
    }
    UpdateTitle();
    return true;
}

std::unique_ptr<View> Frame::TakeView() {
    if (view_ && view_->IsWindow()) view_->DestroyWindow();
    std::unique_ptr<View> v = std::move(view_);
    UpdateTitle();
    return v;
}

Document* Frame::GetActiveDocument() const { return view_ ? view_->GetDocument() : nullptr; }

void Frame::SetAppTitle(const std::string& title) {
    appTitle_ = title;
    UpdateTitle();
}

void Frame::UpdateTitle() {
    std::string title = appTitle_;
    if (Document* doc = GetActiveDocument(); doc && !doc->GetTitle().empty()) title += " - " + doc->GetTitle();
    SetWindowText(title);
}

std::vector<CommandTarget*> Frame::RoutingChain() {
    std::vector<CommandTarget*> chain;
    if (view_) chain.push_back(view_.get());
    if (Document* doc = GetActiveDocument()) chain.push_back(doc);
    chain.push_back(this);
    if (App* app = App::Get()) chain.push_back(app);
    return chain;
}

CmdUI Frame::UpdateCommand(int id) { return RouteUpdate(RoutingChain(), id); }

bool Frame::ExecuteCommand(int id) {
    if (!UpdateCommand(id).Enabled()) return false;
    if (idleMessage_ != kIdleMessage) {
        if (statusBar_.message == idleMessage_) SetMessageText(kIdleMessage);
        idleMessage_ = kIdleMessage;
    }
    return RouteCommand(RoutingChain(), id);
}

void Frame::FillRecentFiles(MenuItem& popup) {
    auto first = std::find_if(popup.items.begin(), popup.items.end(),
                              [](const MenuItem& m) { return m.type == MenuItem::Type::Command && IsRecentId(m.id); });
    if (first == popup.items.end()) return;
    const auto pos = first - popup.items.begin();
    std::string placeholder = first->text;
    popup.items.erase(
        std::remove_if(popup.items.begin(), popup.items.end(),
                       [](const MenuItem& m) { return m.type == MenuItem::Type::Command && IsRecentId(m.id); }),
        popup.items.end());
    std::vector<MenuItem> entries;
    App* app = App::Get();
    const int count = app ? app->RecentFiles().Count() : 0;
    for (int i = 0; i < count; ++i) {
        MenuItem m;
        m.id = cmd::FileMruFirst + i;
        m.text = app->RecentFiles().MenuText(i);
        entries.push_back(std::move(m));
    }
    if (entries.empty()) {
        MenuItem m;
        m.id = cmd::FileMruFirst;
        m.text = placeholder.empty() || placeholder[0] == '&' ? "Recent File" : placeholder;
        m.enabled = false;
        entries.push_back(std::move(m));
    }
    popup.items.insert(popup.items.begin() + pos, entries.begin(), entries.end());
}

void Frame::UpdateMenuPopup(MenuItem& popup) {
    FillRecentFiles(popup);
    for (MenuItem& m : popup.items) {
        if (m.type == MenuItem::Type::Popup) {
            UpdateMenuPopup(m);
            continue;
        }
        if (m.type != MenuItem::Type::Command) continue;
        CmdUI ui = UpdateCommand(m.id);
        m.enabled = ui.Enabled();
        m.checked = ui.Checked();
        if (ui.Text()) m.text = *ui.Text();
    }
    NotifyChange(Change::Menu);
}

void Frame::OnIdle() {
    bool changed = false;
    for (ToolBar& bar : toolBars_) {
        if (!bar.visible) continue;
        for (size_t i = 0; i < bar.buttons.size(); ++i) {
            if (bar.buttons[i] == 0) continue;
            CmdUI ui = UpdateCommand(bar.buttons[i]);
            CmdUI& old = bar.state[i];
            if (old.Enabled() != ui.Enabled() || old.Checked() != ui.Checked()) changed = true;
            old = ui;
        }
    }
    if (changed) NotifyChange(Change::ToolBars);
    bool lamps = false;
    for (size_t i = 0; i < statusBar_.indicators.size(); ++i) {
        const std::string& name = statusBar_.indicators[i];
        const int k = name == "CAP"    ? key::CapsLock
                      : name == "NUM"  ? key::NumLock
                      : name == "SCRL" ? key::ScrollLock
                                       : 0;
        const bool on = k != 0 && GetBackend().KeyLockState(k);
        if (statusBar_.lit[i] != on) {
            statusBar_.lit[i] = on;
            lamps = true;
        }
    }
    if (lamps) NotifyChange(Change::StatusBar);
}

ToolBarLayout Frame::LayoutToolBars(int width) const {
    ToolBarLayout layout;
    constexpr int kMargin = 2;
    const int right = std::max(width - kMargin, kMargin + kToolButtonSize);
    int x = kMargin;
    int row = 0;
    bool rowUsed = false;
    auto newRow = [&] {
        ++row;
        x = kMargin;
        rowUsed = false;
    };
    auto top = [&] { return row * kToolBarRowHeight + 3; };
    for (int b = 0; b < ToolBarCount(); ++b) {
        const ToolBar& bar = toolBars_[b];
        if (!bar.visible) continue;
        int barWidth = 0;
        for (int id : bar.buttons) barWidth += id == 0 ? kToolGapWidth : kToolButtonStep;
        if (rowUsed && x + kToolBarSeparatorWidth + barWidth > right) newRow();
        if (rowUsed) {
            layout.separators.push_back(Rect{x + 3, top() + 1, 2, kToolBarRowHeight - 8});
            x += kToolBarSeparatorWidth;
        }
        int image = 0;
        for (size_t i = 0; i < bar.buttons.size(); ++i) {
            const int id = bar.buttons[i];
            if (id == 0) {
                if (x > kMargin) x += kToolGapWidth;
                continue;
            }
            if (x > kMargin && x + kToolButtonSize > right) newRow();
            layout.buttons.push_back(
                ToolButtonPlace{b, static_cast<int>(i), id, image++, Rect{x, top(), kToolButtonSize, kToolButtonSize}});
            x += kToolButtonStep;
            rowUsed = true;
        }
    }
    layout.rows = layout.buttons.empty() ? 0 : row + 1;
    return layout;
}

Rect Frame::ViewRect() const {
    const Size client = GetClientSize();
    const int top = LayoutToolBars(client.cx).Height();
    const int bottom = (statusBar_.created && statusBar_.visible) ? kStatusBarHeight : 0;
    return Rect{0, top, client.cx, std::max(0, client.cy - top - bottom)};
}

void Frame::RecalcLayout() {
    if (view_ && view_->IsWindow()) {
        const Rect r = ViewRect();
        if (!(r == view_->GetWindowRect())) view_->MoveWindow(r, true);
    }
}

void Frame::OnSize(int, int) { RecalcLayout(); }

void Frame::OnClose() {
    App* app = App::Get();
    if (!app) return;
    if (!app->SaveAllModified()) return;
    app->CloseAllDocuments();
    app->Quit();
}

bool Frame::UserOpenMenu(int topIndex) {
    if (topIndex < 0 || topIndex >= static_cast<int>(menuBar_.items.size())) return false;
    MenuItem& popup = menuBar_.items[topIndex];
    if (popup.type != MenuItem::Type::Popup) return false;
    UpdateMenuPopup(popup);
    return true;
}

bool Frame::UserChooseMenuItem(int id) {
    for (MenuItem& top : menuBar_.items)
        if (top.type == MenuItem::Type::Popup) FillRecentFiles(top);
    if (!menuBar_.Find(id)) return false;
    return ExecuteCommand(id);
}

bool Frame::UserClickToolButton(int id) {
    for (const ToolBar& bar : toolBars_)
        if (bar.visible && std::find(bar.buttons.begin(), bar.buttons.end(), id) != bar.buttons.end())
            return ExecuteCommand(id);
    return false;
}

bool Frame::UserAccelerator(const std::string& chord) {
    const std::string want = Upper(chord);
    if (want.empty()) return false;
    std::vector<const MenuItem*> stack{&menuBar_};
    while (!stack.empty()) {
        const MenuItem* m = stack.back();
        stack.pop_back();
        for (const MenuItem& item : m->items) {
            if (item.type == MenuItem::Type::Popup) stack.push_back(&item);
            if (item.type == MenuItem::Type::Command && Upper(AcceleratorOf(item.text)) == want)
                return ExecuteCommand(item.id);
        }
    }
    return false;
}

void Frame::UserHover(int id) {
    if (IsRecentId(id)) {
        SetMessageText("Open this document");
        return;
    }
    const CommandInfo* info = FindCommand(id);
    SetMessageText(info ? StatusTextOf(info->prompt) : std::string());
}

void Frame::UserHoverEnd() { SetMessageText(idleMessage_); }

void Frame::UserClose() { OnClose(); }

void Frame::UserResize(int w, int h) { SetWindowSize(w, h); }

}  // namespace ui
