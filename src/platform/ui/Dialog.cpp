#include "platform/ui/Dialog.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/ui/App.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Services.h"

namespace ui {

namespace {

bool TakesFocus(const Control* c) {
    switch (c->ControlType()) {
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::ListView:
        case ControlKind::ColorButton: return true;
        default: return false;
    }
}

std::unique_ptr<Control> MakeControl(const ControlTemplate& t, Dialog* owner) {
    switch (t.kind) {
        case ControlKind::Static: return std::make_unique<StaticText>(owner, t.id, t.style);
        case ControlKind::Group: return std::make_unique<GroupBox>(owner, t.id, t.style);
        case ControlKind::Picture: return std::make_unique<Picture>(owner, t.id, t.style);
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: return std::make_unique<Button>(t.kind, owner, t.id, t.style);
        case ControlKind::Edit: return std::make_unique<Edit>(owner, t.id, t.style);
        case ControlKind::ComboBox: return std::make_unique<ComboBox>(owner, t.id, t.style);
        case ControlKind::ListBox: return std::make_unique<ListBox>(owner, t.id, t.style);
        case ControlKind::ListView: return std::make_unique<ListView>(owner, t.id, t.style);
        case ControlKind::ScrollBar: return std::make_unique<ScrollBar>(owner, t.id, t.style);
        case ControlKind::Spin: return std::make_unique<Spin>(owner, t.id, t.style);
        case ControlKind::ColorButton: return std::make_unique<ColorButton>(owner, t.id, t.style);
        case ControlKind::Custom: return std::make_unique<CustomControl>(owner, t.id, t.style);
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Life cycle

Dialog::Dialog(int templateId, Window* parent)
    : Window(WindowKind::Dialog), templateId_(templateId), ctorParent_(parent) {
    SetParent(parent);
}

Dialog::~Dialog() {
    if (IsWindow()) DestroyChildWindows();
}

DialogTemplate Dialog::BuildTemplate() const { return FindDialogTemplate(templateId_); }

bool Dialog::BuildWindow(Window* parent) {
    DialogTemplate t = BuildTemplate();
    SetParent(parent);
    ModifyStyle(~0u, t.style);
    SetTextSilently(t.caption);
    // A dialog opens centred over its owner and on the desktop; its own
    // initialisation may move it afterwards.
    Rect placed = MapDialogRect(t.rect);
    const Rect desk = GetBackend().DesktopRect();
    Window* owner = PlacementOwner();
    const Rect over = owner ? owner->GetWindowRect() : desk;
    placed.x = over.x + (over.w - placed.w) / 2;
    placed.y = over.y + (over.h - placed.h) / 2;
    if (desk.w > 0 && desk.h > 0) {
        placed.x = std::max(desk.x, std::min(placed.x, desk.x + desk.w - placed.w));
        placed.y = std::max(desk.y, std::min(placed.y, desk.y + desk.h - placed.h));
    }
    SetRectSilently(placed);
    SetShownSilently(false);
    ended_ = false;
    result_ = 0;
    focus_ = nullptr;
    shift_ = ctrl_ = false;
    controls_.clear();
    order_.clear();
    for (const ControlTemplate& ct : t.controls) {
        std::unique_ptr<Control> c = MakeControl(ct, this);
        if (!c) continue;
        c->SetTemplateRect(ct.rect);
        c->SetRectSilently(MapDialogRect(ct.rect));
        c->SetTextSilently(ct.text);
        c->SetShownSilently(!(ct.style & cs::Hidden));
        if (ct.style & cs::Disabled) c->EnableWindow(false);
        if (auto* spin = dynamic_cast<Spin*>(c.get()); spin && (ct.style & cs::AutoBuddy) && !order_.empty())
            spin->SetBuddy(order_.back());
        order_.push_back(c.get());
        controls_.push_back(std::move(c));
    }
    MarkCreated();
    for (Control* c : order_) c->MarkCreated();
    return true;
}

void Dialog::FitResizableOnDesktop() {
    if (!IsWindow() || !(GetStyle() & style::Resizable)) return;
    const Rect desk = GetBackend().DesktopRect();
    Rect r = GetWindowRect();
    if (desk.w <= 0 || desk.h <= 0 || (r.w <= desk.w && r.h <= desk.h)) return;
    r.w = std::min(r.w, desk.w);
    r.h = std::min(r.h, desk.h);
    r.x = std::max(desk.x, std::min(r.x, desk.x + desk.w - r.w));
    r.y = std::max(desk.y, std::min(r.y, desk.y + desk.h - r.h));
    MoveWindow(r, false);
}

Window* Dialog::PlacementOwner() const {
    Window* w = GetParent();
    // Controls and views belong to the dialog or frame that shows them.
    while (w && (w->Kind() == WindowKind::Control || w->Kind() == WindowKind::View)) {
        if (auto* c = dynamic_cast<Control*>(w))
            w = c->Owner();
        else
            w = w->GetParent();
    }
    if (w && w->IsWindow()) return w;
    App* app = App::Get();
    Frame* main = app ? app->MainFrame() : nullptr;
    return main && main->IsWindow() ? main : nullptr;
}

void Dialog::DestroyChildWindows() {
    focus_ = nullptr;
    for (auto it = order_.rbegin(); it != order_.rend(); ++it) (*it)->DestroyWindow();
    order_.clear();
    controls_.clear();
}

bool Dialog::DestroyWindow() { return Window::DestroyWindow(); }

int Dialog::DoModal() {
    if (IsWindow()) return -1;
    if (!BuildWindow(ctorParent_)) return -1;
    modal_ = true;
    if (OnInitDialog()) FocusFirstTabStop();
    FitResizableOnDesktop();
    if (!ended_) {
        ShowWindow(true);
        GetBackend().RunModal(*this);
    }
    const int result = result_;
    modal_ = false;
    if (IsWindow()) DestroyWindow();
    return result;
}

bool Dialog::Create(int templateId, Window* parent) {
    if (IsWindow()) return false;
    if (templateId != 0) templateId_ = templateId;
    if (parent) ctorParent_ = parent;
    if (!BuildWindow(ctorParent_)) return false;
    modal_ = false;
    if (OnInitDialog()) FocusFirstTabStop();
    FitResizableOnDesktop();
    if (GetStyle() & style::Visible) ShowWindow(true);
    return true;
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (!modal_) ShowWindow(false);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool Dialog::PreTranslateMessage(const Message&) { return false; }

void Dialog::OnVScroll(int, int, ScrollBar*) {}

bool Dialog::OnCommand(int) { return false; }

// ---------------------------------------------------------------------------
// Controls

Control* Dialog::GetDlgItem(int id) const {
    for (Control* c : order_)
        if (c->GetDlgCtrlID() == id) return c;
    return nullptr;
}

std::string Dialog::GetDlgItemText(int id) const {
    Control* c = GetDlgItem(id);
    return c ? c->GetWindowText() : std::string();
}

void Dialog::SetDlgItemText(int id, const std::string& text) {
    if (Control* c = GetDlgItem(id)) c->SetWindowText(text);
}

int Dialog::IsDlgButtonChecked(int id) const {
    auto* b = Get<Button>(id);
    return b ? b->GetCheck() : 0;
}

void Dialog::CheckDlgButton(int id, int state) {
    if (auto* b = Get<Button>(id)) b->SetCheck(state);
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (Control* c : order_) {
        const int id = c->GetDlgCtrlID();
        if (id < firstId || id > lastId) continue;
        if (auto* b = dynamic_cast<Button*>(c)) b->SetCheck(id == checkId ? 1 : 0);
    }
}

void Dialog::SetFocusSilently(Control* c) {
    if (c == focus_) return;
    focus_ = c;
    NotifyChange(Change::Focus);
}

void Dialog::GotoDlgCtrl(Control* c) {
    SetFocusSilently(c);
    if (auto* e = dynamic_cast<Edit*>(c)) e->SetSel(0, -1);
}

Button* Dialog::GetDefaultButton() const {
    for (Control* c : order_)
        if (c->ControlType() == ControlKind::PushButton && c->HasStyle(cs::Default)) return static_cast<Button*>(c);
    return nullptr;
}

Rect Dialog::MapDialogRect(const Rect& du) const {
    const BaseUnits base = GetBackend().DialogBaseUnits();
    auto across = [&](int units) { return static_cast<int>(std::floor(units * base.cx / 4 + 1e-9)); };
    auto down = [&](int units) { return static_cast<int>(std::floor(units * base.cy / 8 + 1e-9)); };
    return Rect{across(du.x), down(du.y), across(du.w), down(du.h)};
}

std::vector<Control*> Dialog::GroupOf(Control* c) const {
    auto it = std::find(order_.begin(), order_.end(), c);
    if (it == order_.end()) return {};
    auto first = it;
    while (first != order_.begin() && !(*first)->HasStyle(cs::Group)) --first;
    std::vector<Control*> group;
    for (auto k = first; k != order_.end(); ++k) {
        if (k != first && (*k)->HasStyle(cs::Group)) break;
        group.push_back(*k);
    }
    return group;
}

// ---------------------------------------------------------------------------
// Notifications

void Dialog::OnNotify(Notify code, int id, NotifyHandler h) {
    handlers_.push_back(Handler{code, id, id, std::move(h)});
}

void Dialog::OnNotify(Notify code, int id, std::function<void()> h) {
    handlers_.push_back(Handler{code, id, id, [fn = std::move(h)](Notification&) { fn(); }});
}

void Dialog::OnNotifyRange(Notify code, int firstId, int lastId, NotifyHandler h) {
    handlers_.push_back(Handler{code, firstId, lastId, std::move(h)});
}

const NotifyHandler* Dialog::FindHandler(Notify code, int id) const {
    for (const Handler& h : handlers_)
        if (h.code == code && h.first == id && h.last == id) return &h.fn;
    for (const Handler& h : handlers_)
        if (h.code == code && h.first <= id && id <= h.last) return &h.fn;
    return nullptr;
}

bool Dialog::Fire(Notification& n) {
    const NotifyHandler* h = FindHandler(n.code, n.id);
    if (!h) return false;
    NotifyHandler copy = *h;  // the handler may register others
    copy(n);
    return true;
}

bool Dialog::FireSimple(Notify code, Control* c, int item) {
    Notification n;
    n.code = code;
    n.id = c->GetDlgCtrlID();
    n.control = c;
    n.item = item;
    return Fire(n);
}

// ---------------------------------------------------------------------------
// User actions

bool Dialog::Open() const { return IsWindow() && IsShown(); }

bool Dialog::Usable(const Control* c) const {
    return c && c->IsWindow() && c->IsWindowEnabled() && c->IsWindowVisible();
}

bool Dialog::MoveFocusByUser(Control* to) {
    if (to == focus_) return true;
    Control* old = focus_;
    SetFocusSilently(to);
    if (old) FireSimple(Notify::KillFocus, old);
    if (to && focus_ == to && IsWindow()) FireSimple(Notify::SetFocus, to);
    return IsWindow();
}

void Dialog::FocusFirstTabStop() {
    // The dialog itself may not be shown yet.
    for (Control* c : order_) {
        if (!c->IsWindowEnabled() || !c->IsShown() || !TakesFocus(c) || !c->IsTabStop()) continue;
        GotoDlgCtrl(c);
        return;
    }
}

bool Dialog::UserFocus(int id) {
    Control* c = GetDlgItem(id);
    if (!Open() || !Usable(c) || !TakesFocus(c)) return false;
    if (!MoveFocusByUser(c)) return true;
    return true;
}

void Dialog::RunCommand(int id) {
    Notification n;
    n.code = Notify::Clicked;
    n.id = id;
    n.control = GetDlgItem(id);
    if (Fire(n)) return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    else
        OnCommand(id);
}

void Dialog::ClickButton(Button* b) { RunCommand(b->GetDlgCtrlID()); }

bool Dialog::UserClick(int id) {
    Control* c = GetDlgItem(id);
    if (!Open() || !Usable(c)) return false;
    switch (c->ControlType()) {
        case ControlKind::PushButton:
            // A control that keeps the focus (its check refused what was
            // typed and put the focus back) keeps the click from the button
            // too: the check has spoken once.
            if (!MoveFocusByUser(c) || focus_ != c) return true;
            ClickButton(static_cast<Button*>(c));
            return true;
        case ControlKind::CheckBox: {
            auto* b = static_cast<Button*>(c);
            if (!MoveFocusByUser(c) || focus_ != c) return true;
            if (b->HasStyle(cs::AutoCheck)) b->SetCheck(b->GetCheck() ? 0 : 1);
            ClickButton(b);
            return true;
        }
        case ControlKind::RadioButton: {
            auto* b = static_cast<Button*>(c);
            if (!MoveFocusByUser(c)) return true;
            if (b->HasStyle(cs::AutoRadio)) {
                for (Control* g : GroupOf(c))
                    if (g->ControlType() == ControlKind::RadioButton && g->HasStyle(cs::AutoRadio))
                        static_cast<Button*>(g)->SetCheck(g == c ? 1 : 0);
            }
            ClickButton(b);
            return true;
        }
        case ControlKind::Static:
            if (!c->HasStyle(cs::Notify)) return false;
            FireSimple(Notify::Clicked, c);
            return true;
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::ListView:
            if (!MoveFocusByUser(c)) return true;
            return true;
        default: return false;
    }
}

bool Dialog::UserType(int id, const std::string& text) {
    Control* c = GetDlgItem(id);
    if (!Open() || !Usable(c)) return false;
    if (auto* e = dynamic_cast<Edit*>(c)) {
        if (e->IsReadOnly()) return false;
        if (!MoveFocusByUser(e)) return true;
        std::string t = text;
        if (e->HasStyle(cs::Number))
            t.erase(std::remove_if(t.begin(), t.end(),
                                   [](char ch) { return !std::isdigit(static_cast<unsigned char>(ch)); }),
                    t.end());
        if (!e->HasStyle(cs::MultiLine)) t.erase(std::remove(t.begin(), t.end(), '\n'), t.end());
        e->Control::SetWindowText(t);
        e->SetSel(-1, -1);
        FireSimple(Notify::Change, e);
        return true;
    }
    if (auto* cb = dynamic_cast<ComboBox*>(c)) {
        if (!cb->HasEdit()) return false;
        if (!MoveFocusByUser(cb)) return true;
        cb->SetWindowText(text);
        FireSimple(Notify::Change, cb);
        return true;
    }
    return false;
}

bool Dialog::UserTypeChars(int id, const std::string& chars) {
    auto* e = Get<Edit>(id);
    if (!Open() || !Usable(e) || e->IsReadOnly()) return false;
    if (!MoveFocusByUser(e)) return true;
    for (char ch : chars) {
        if (e->HasStyle(cs::Number) && !std::isdigit(static_cast<unsigned char>(ch))) continue;
        if (ch == '\n' && !e->HasStyle(cs::MultiLine)) continue;
        std::string t = e->GetWindowText();
        const int s = std::min(e->SelStart(), static_cast<int>(t.size()));
        const int en = std::min(std::max(e->SelEnd(), s), static_cast<int>(t.size()));
        t = t.substr(0, s) + ch + t.substr(en);
        e->Control::SetWindowText(t);
        e->SetSel(s + 1, s + 1);
        FireSimple(Notify::Change, e);
    }
    return true;
}

Message Dialog::KeyMessage(Message::Type type, int key, int repeat, int flags) {
    const bool down = type == Message::KeyDown;
    if (key == key::Shift) shift_ = down;
    if (key == key::Control) ctrl_ = down;
    Message m;
    m.type = type;
    m.key = key;
    m.repeat = repeat;
    m.flags = flags;
    m.target = focus_;
    return m;
}

void Dialog::FireKey(Notify code, int key) {
    if (!focus_) return;
    Notification n;
    n.code = code;
    n.id = focus_->GetDlgCtrlID();
    n.control = focus_;
    n.key = key;
    Fire(n);
}

bool Dialog::UserKeyDown(int key, int repeat, int flags) {
    if (!Open()) return false;
    const Message m = KeyMessage(Message::KeyDown, key, repeat, flags);
    if (PreTranslateMessage(m)) return true;
    if (IsWindow()) DefaultKeyProcessing(m);
    return true;
}

bool Dialog::UserKeyUp(int key, int repeat, int flags) {
    if (!IsWindow()) return false;
    if (!PreTranslateMessage(KeyMessage(Message::KeyUp, key, repeat, flags))) FireKey(Notify::KeyUp, key);
    return true;
}

bool Dialog::UserKey(int key, int modifiers) {
    if (!Open()) return false;
    if (modifiers & mod::Shift) UserKeyDown(key::Shift);
    if (modifiers & mod::Control) UserKeyDown(key::Control);
    UserKeyDown(key);
    UserKeyUp(key);
    if (modifiers & mod::Control) UserKeyUp(key::Control);
    if (modifiers & mod::Shift) UserKeyUp(key::Shift);
    return true;
}

void Dialog::TabToNext(bool backward) {
    const int n = static_cast<int>(order_.size());
    if (n == 0) return;
    int start = backward ? n : -1;
    if (focus_) {
        Control* anchor = focus_;
        if (focus_->ControlType() == ControlKind::RadioButton) {
            std::vector<Control*> g = GroupOf(focus_);
            if (!g.empty()) anchor = g.front();
        }
        start = static_cast<int>(std::find(order_.begin(), order_.end(), anchor) - order_.begin());
    }
    for (int step = 1; step <= n; ++step) {
        const int i = ((start + (backward ? -step : step)) % n + n) % n;
        Control* c = order_[i];
        if (!Usable(c) || !TakesFocus(c) || !c->IsTabStop()) continue;
        Control* target = c;
        if (c->ControlType() == ControlKind::RadioButton) {
            for (Control* g : GroupOf(c))
                if (g->ControlType() == ControlKind::RadioButton && static_cast<Button*>(g)->GetCheck() && Usable(g)) {
                    target = g;
                    break;
                }
        }
        if (target == focus_) return;
        if (!MoveFocusByUser(target)) return;
        if (auto* e = dynamic_cast<Edit*>(target); e && focus_ == e) e->SetSel(0, -1);
        return;
    }
}

void Dialog::DefaultKeyProcessing(const Message& m) {
    const int k = m.key;
    if (k == key::Tab) {
        TabToNext(shift_);
        return;
    }
    if (k == key::Enter) {
        if (auto* e = dynamic_cast<Edit*>(focus_); e && e->HasStyle(cs::MultiLine) && e->HasStyle(cs::WantReturn)) {
            UserTypeChars(e->GetDlgCtrlID(), "\n");
            return;
        }
        if (focus_ && focus_->ControlType() == ControlKind::PushButton) {
            ClickButton(static_cast<Button*>(focus_));
            return;
        }
        if (Button* def = GetDefaultButton()) {
            if (Usable(def)) ClickButton(def);
            return;
        }
        RunCommand(IDOK);
        return;
    }
    if (k == key::Escape) {
        RunCommand(IDCANCEL);
        return;
    }
    Control* c = focus_;
    if (!c) return;
    FireKey(Notify::KeyDown, k);
    if (!IsWindow() || focus_ != c) return;
    if (k == key::Space && (c->ControlType() == ControlKind::PushButton || c->ControlType() == ControlKind::CheckBox ||
                            c->ControlType() == ControlKind::RadioButton)) {
        UserClick(c->GetDlgCtrlID());
        return;
    }
    if (k != key::Up && k != key::Down) return;
    const int d = k == key::Up ? -1 : 1;
    if (auto* lb = dynamic_cast<ListBox*>(c)) {
        const int next = std::clamp(lb->GetCurSel() < 0 ? 0 : lb->GetCurSel() + d, 0, lb->GetCount() - 1);
        if (lb->GetCount() == 0 || next == lb->GetCurSel()) return;
        lb->SetCurSel(next);
        if (lb->HasStyle(cs::Notify)) FireSimple(Notify::SelChange, lb);
    } else if (auto* cb = dynamic_cast<ComboBox*>(c)) {
        const int next = std::clamp(cb->GetCurSel() < 0 ? 0 : cb->GetCurSel() + d, 0, cb->GetCount() - 1);
        if (cb->GetCount() == 0 || next == cb->GetCurSel()) return;
        cb->SetCurSel(next);
        FireSimple(Notify::SelChange, cb);
    } else if (auto* lv = dynamic_cast<ListView*>(c)) {
        if (lv->GetItemCount() == 0) return;
        const int cur = lv->GetNextSelected(-1);
        const int next = std::clamp(cur < 0 ? 0 : cur + d, 0, lv->GetItemCount() - 1);
        if (next != cur || lv->GetSelectedCount() != 1) ListViewClick(lv, next, false);
    }
}

bool Dialog::UserScroll(int id, int code, int pos) {
    auto* bar = Get<ScrollBar>(id);
    if (!Open() || !Usable(bar)) return false;
    Notification n;
    n.code = Notify::VScroll;
    n.id = id;
    n.control = bar;
    n.scrollCode = code;
    n.pos = pos;
    if (!Fire(n)) OnVScroll(code, pos, bar);
    return true;
}

bool Dialog::UserSelect(int id, int index) {
    Control* c = GetDlgItem(id);
    if (!Open() || !Usable(c)) return false;
    if (auto* cb = dynamic_cast<ComboBox*>(c)) {
        if (index < 0 || index >= cb->GetCount()) return false;
        if (!MoveFocusByUser(cb)) return true;
        cb->SetCurSel(index);
        FireSimple(Notify::SelChange, cb);
        if (IsWindow()) FireSimple(Notify::CloseUp, cb);
        return true;
    }
    if (auto* lb = dynamic_cast<ListBox*>(c)) {
        if (index < 0 || index >= lb->GetCount()) return false;
        if (!MoveFocusByUser(lb)) return true;
        lb->SetCurSel(index);
        if (lb->HasStyle(cs::Notify)) FireSimple(Notify::SelChange, lb);
        return true;
    }
    if (dynamic_cast<ListView*>(c)) return UserSelectItem(id, index, false);
    return false;
}

void Dialog::ListViewClick(ListView* lv, int item, bool extend) {
    const bool keepOthers = extend && lv->IsMultiSelect();
    std::vector<std::pair<int, bool>> changes;
    for (int i = 0; i < lv->GetItemCount(); ++i) {
        const bool want = (i == item) || (keepOthers && lv->IsSelected(i));
        if (lv->IsSelected(i) != want) changes.emplace_back(i, want);
    }
    // Items lose their selection before the clicked one gains it.
    std::stable_sort(changes.begin(), changes.end(),
                     [](const auto& a, const auto& b) { return !a.second && b.second; });
    for (const auto& [i, want] : changes) {
        if (i >= lv->GetItemCount()) continue;
        auto& it = lv->items_[i];
        const unsigned oldState = it.selected ? kItemSelected : 0;
        it.selected = want;
        lv->StateChanged();
        Notification n;
        n.code = Notify::ItemChanged;
        n.id = lv->GetDlgCtrlID();
        n.control = lv;
        n.item = i;
        n.oldState = oldState;
        n.newState = want ? kItemSelected : 0;
        Fire(n);
        if (!IsWindow()) return;
    }
}

bool Dialog::UserSelectItem(int id, int item, bool extend) {
    auto* lv = Get<ListView>(id);
    if (!Open() || !Usable(lv) || item < -1 || item >= lv->GetItemCount()) return false;
    if (!MoveFocusByUser(lv)) return true;
    ListViewClick(lv, item, extend && item >= 0);
    if (IsWindow()) FireSimple(Notify::Clicked, lv, item);
    return true;
}

bool Dialog::UserDoubleClick(int id, int item) {
    Control* c = GetDlgItem(id);
    if (!Open() || !Usable(c)) return false;
    if (auto* lv = dynamic_cast<ListView*>(c)) {
        if (item >= 0 && !UserSelectItem(id, item, false)) return false;
        if (IsWindow()) FireSimple(Notify::DoubleClicked, lv, item);
        return true;
    }
    if (auto* lb = dynamic_cast<ListBox*>(c)) {
        if (item >= 0 && !UserSelect(id, item)) return false;
        if (IsWindow() && lb->HasStyle(cs::Notify)) FireSimple(Notify::DoubleClicked, lb, item);
        return true;
    }
    if (c->ControlType() == ControlKind::Static) {
        if (!c->HasStyle(cs::Notify)) return false;
        FireSimple(Notify::Clicked, c);
        if (IsWindow()) FireSimple(Notify::DoubleClicked, c);
        return true;
    }
    return UserClick(id);
}

bool Dialog::UserSpin(int id, bool up) {
    auto* spin = Get<Spin>(id);
    if (!Open() || !Usable(spin)) return false;
    Notification n;
    n.code = Notify::DeltaPos;
    n.id = id;
    n.control = spin;
    n.pos = spin->GetPos();
    n.delta = spin->StepOf(up);
    Fire(n);
    if (n.result != 0 || !IsWindow()) return true;
    spin->SetPos(n.pos + n.delta);
    if (spin->HasStyle(cs::SetBuddyInt) && spin->GetBuddy()) spin->GetBuddy()->SetWindowText(FormatInt(spin->GetPos()));
    return true;
}

bool Dialog::UserPickColor(int id, Color color) {
    auto* b = Get<ColorButton>(id);
    if (!Open() || !Usable(b)) return false;
    if (!MoveFocusByUser(b)) return true;
    b->SetColor(color);
    FireSimple(Notify::Clicked, b);
    return true;
}

bool Dialog::UserClose() {
    if (!Open()) return false;
    RunCommand(IDCANCEL);
    return true;
}

bool Dialog::UserResize(int w, int h) {
    if (!Open() || !(GetStyle() & style::Resizable) || w < 1 || h < 1) return false;
    SetWindowSize(w, h);
    return true;
}

// ---------------------------------------------------------------------------
// Data exchange

Control* DataExchange::Item(int id) { return failed_ ? nullptr : dlg_.GetDlgItem(id); }

void DataExchange::Fail(int id) {
    failed_ = true;
    if (Control* c = dlg_.GetDlgItem(id)) dlg_.GotoDlgCtrl(c);
}

namespace {

bool ParseNumber(const std::string& text, int& out) { return ParseInt(text, out); }
bool ParseNumber(const std::string& text, double& out) { return ParseDouble(text, out); }
bool ParseNumber(const std::string& text, float& out) { return ParseFloat(text, out); }
std::string FormatNumber(int v) { return FormatInt(v); }
std::string FormatNumber(double v) { return FormatDouble(v); }
std::string FormatNumber(float v) { return FormatFloat(v); }

}  // namespace

template <class T>
void DataExchange::Number(int id, T& value, const T* min, const T* max) {
    Control* c = Item(id);
    if (!c) return;
    if (!save_) {
        c->SetWindowText(FormatNumber(value));
        return;
    }
    const std::string what = std::is_integral_v<T> ? "an integer" : "a number";
    T v{};
    if (!ParseNumber(c->GetWindowText(), v)) {
        MessageBox("Please enter " + what + ".", Buttons::Ok, Icon::Exclamation);
        Fail(id);
        return;
    }
    if (min && max && (v < *min || v > *max)) {
        MessageBox("Please enter " + what + " between " + FormatNumber(*min) + " and " + FormatNumber(*max) + ".",
                   Buttons::Ok, Icon::Exclamation);
        Fail(id);
        return;
    }
    value = v;
}

void DataExchange::Text(int id, int& value) { Number<int>(id, value, nullptr, nullptr); }
void DataExchange::Text(int id, double& value) { Number<double>(id, value, nullptr, nullptr); }
void DataExchange::Text(int id, float& value) { Number<float>(id, value, nullptr, nullptr); }
void DataExchange::Text(int id, int& value, int min, int max) { Number<int>(id, value, &min, &max); }
void DataExchange::Text(int id, double& value, double min, double max) { Number<double>(id, value, &min, &max); }

void DataExchange::Text(int id, std::string& value) {
    Control* c = Item(id);
    if (!c) return;
    if (save_)
        value = c->GetWindowText();
    else
        c->SetWindowText(value);
}

void DataExchange::Check(int id, int& value) {
    auto* b = dynamic_cast<Button*>(Item(id));
    if (!b) return;
    if (save_)
        value = b->GetCheck();
    else
        b->SetCheck(value);
}

void DataExchange::Radio(int id, int& value) {
    Control* first = Item(id);
    if (!first) return;
    const auto& order = dlg_.Controls();
    auto it = std::find(order.begin(), order.end(), first);
    int index = 0;
    int found = -1;
    for (auto k = it; k != order.end(); ++k) {
        if (k != it && (*k)->HasStyle(cs::Group)) break;
        if ((*k)->ControlType() != ControlKind::RadioButton) continue;
        auto* b = static_cast<Button*>(*k);
        if (save_) {
            if (b->GetCheck() && found < 0) found = index;
        } else {
            b->SetCheck(index == value ? 1 : 0);
        }
        ++index;
    }
    if (save_) value = found;
}

void DataExchange::ComboIndex(int id, int& value) {
    auto* cb = dynamic_cast<ComboBox*>(Item(id));
    if (!cb) return;
    if (save_)
        value = cb->GetCurSel();
    else
        cb->SetCurSel(value);
}

void DataExchange::ListIndex(int id, int& value) {
    auto* lb = dynamic_cast<ListBox*>(Item(id));
    if (!lb) return;
    if (save_)
        value = lb->GetCurSel();
    else
        lb->SetCurSel(value);
}

// ---------------------------------------------------------------------------
// Number texts

namespace {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the decimal grammar; on success gives the text without a leading
// '+' and the decimal exponent of its leading digit (for range decisions).
bool DecimalGrammar(const std::string& t, std::string& clean, long long& leadExp, bool& allZero) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t intStart = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    const size_t intDigits = i - intStart;
    size_t fracDigits = 0;
    size_t fracStart = i;
    if (i < t.size() && t[i] == '.') {
        ++i;
        fracStart = i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        fracDigits = i - fracStart;
    }
    if (intDigits + fracDigits == 0) return false;
    long long exp = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool neg = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
        const size_t expStart = i;
        while (i < t.size() && IsDigit(t[i])) {
            if (exp < 100000000) exp = exp * 10 + (t[i] - '0');
            ++i;
        }
        if (i == expStart) return false;
        if (neg) exp = -exp;
    }
    if (i != t.size()) return false;
    clean = (!t.empty() && t[0] == '+') ? t.substr(1) : t;
    // Position of the first non-zero digit.
    allZero = true;
    long long lead = 0;
    for (size_t k = intStart; k < intStart + intDigits; ++k)
        if (t[k] != '0') {
            allZero = false;
            lead = static_cast<long long>(intStart + intDigits - k) - 1;
            break;
        }
    if (allZero)
        for (size_t k = fracStart; k < fracStart + fracDigits; ++k)
            if (t[k] != '0') {
                allZero = false;
                lead = -static_cast<long long>(k - fracStart) - 1;
                break;
            }
    leadExp = lead + exp;
    return true;
}

template <class T>
bool ParseReal(const std::string& text, T& out) {
    const std::string t = Trim(text);
    std::string clean;
    long long leadExp = 0;
    bool allZero = true;
    if (!DecimalGrammar(t, clean, leadExp, allZero)) return false;
    T v{};
    const auto r = std::from_chars(clean.data(), clean.data() + clean.size(), v, std::chars_format::general);
    if (r.ptr != clean.data() + clean.size() && r.ec == std::errc()) return false;
    if (r.ec == std::errc::result_out_of_range) {
        if (allZero || leadExp < 0) {  // too small: reads as zero
            out = clean[0] == '-' ? -T(0) : T(0);
            return true;
        }
        return false;
    }
    if (r.ec != std::errc() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

std::string FormatInt(int v) { return std::to_string(v); }

std::string FormatDouble(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string FormatFloat(float v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool ParseInt(const std::string& text, int& out) {
    const std::string t = Trim(text);
    size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    if (i == t.size()) return false;
    for (size_t k = i; k < t.size(); ++k)
        if (!IsDigit(t[k])) return false;
    long long v = 0;
    for (size_t k = i; k < t.size(); ++k) {
        v = v * 10 + (t[k] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (neg) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseDouble(const std::string& text, double& out) { return ParseReal(text, out); }
bool ParseFloat(const std::string& text, float& out) { return ParseReal(text, out); }

}  // namespace ui
