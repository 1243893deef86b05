#include "platform/fltk/FltkBackend.h"
#include "platform/fltk/FltkPainter.h"
#include "platform/fltk/FltkPrint.h"
#include "platform/fltk/FltkWidgets.h"

#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Multi_Browser.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <FL/Fl_Color_Chooser.H>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <deque>
#include <thread>

namespace brennix::fltk {

namespace {

FltkBackend* g_instance = nullptr;

int DispatchHook(int event, Fl_Window* window) {
    if (g_instance) return g_instance->DispatchEvent(event, window);
    return Fl::handle_(event, window);
}

}  // namespace

struct TimerData {
    FltkBackend* backend;
    ui::Window* window;
    int id;
    double period;
    // When FLTK's loop would fire it next; PumpMessages fires what is due.
    std::chrono::steady_clock::time_point due;
};

namespace {

std::chrono::steady_clock::time_point DueAfter(double seconds) {
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}

void TimerCallback(void* data) {
    auto* t = static_cast<TimerData*>(data);
    Fl::repeat_timeout(t->period, TimerCallback, data);
    t->due = DueAfter(t->period);
    t->backend->FireTimer(t->window, t->id);
}

void ControlCallback(Fl_Widget* widget, void*) {
    if (g_instance) g_instance->ControlEvent(widget, 0);
}

// An entry picked from the list of an editable combo. FLTK reports a pick
// only when it differs from the entry the menu button held last, and a list
// just filled holds its first entry: so every pick comes here, writes the
// entry into the field and reaches the dialog as a selection.
void ComboListPicked(Fl_Widget* button, void* data) {
    auto* menu = static_cast<Fl_Menu_Button*>(button);
    auto* combo = static_cast<Fl_Input_Choice*>(data);
    const Fl_Menu_Item* item = menu->mvalue();
    if (!item || !item->label()) return;
    combo->value(item->label());
    menu->set_changed();
    if (g_instance) g_instance->ControlEvent(combo, 0);
}

// Menu entries of a choice or combo, to be copied into the widget; their
// texts are kept in the given store, which the widget's menu points into.
std::vector<Fl_Menu_Item> MenuItemsOf(const std::vector<std::string>& texts, std::deque<std::string>& store) {
    store.clear();
    std::vector<Fl_Menu_Item> items(texts.size() + 1);
    for (auto& it : items) std::memset(static_cast<void*>(&it), 0, sizeof(it));
    for (size_t i = 0; i < texts.size(); ++i) {
        store.push_back(ToUtf8(texts[i]));
        items[i].text = store.back().c_str();
        items[i].labeltype_ = PlainLabel();
    }
    return items;
}

int Align(const ui::Control& c) {
    int a = FL_ALIGN_INSIDE | FL_ALIGN_WRAP | FL_ALIGN_TOP;
    if (c.HasStyle(ui::cs::CenterText))
        a |= FL_ALIGN_CENTER;
    else if (c.HasStyle(ui::cs::RightText))
        a |= FL_ALIGN_RIGHT;
    else
        a |= FL_ALIGN_LEFT;
    return a;
}

// The window's own font and text colour, where it has them.
void ApplyLook(Fl_Widget& widget, const ui::Window& w) {
    if (const auto& f = w.GetFont()) {
        widget.labelfont(FlFontOf(*f));
        widget.labelsize(FlSizeOf(*f));
    }
    if (const auto& tc = w.TextColor()) widget.labelcolor(FlColorOf(*tc));
}

// Takes a widget out of its group and deletes it once FLTK is done with it.
void DeleteChild(Fl_Group* group, Fl_Widget* child) {
    group->remove(child);
    Fl::delete_widget(child);
}

ui::Dialog* OwnerDialog(ui::Window* w) {
    if (!w) return nullptr;
    if (auto* c = dynamic_cast<ui::Control*>(w)) return c->Owner();
    return nullptr;
}

}  // namespace

FltkBackend::FltkBackend() : print_(std::make_unique<PrintSupport>(*this)) {}

FltkBackend::~FltkBackend() {
    for (auto& [key, data] : timers_) {
        (void)key;
        Fl::remove_timeout(TimerCallback, data.get());
    }
    if (installed_) {
        ui::SetBackend(previous_);
        brennix::gl::SetPrintService(previousPrint_);
        Fl::event_dispatch(nullptr);
    }
    if (g_instance == this) g_instance = nullptr;
}

void FltkBackend::Install() {
    if (installed_) return;
    previous_ = &ui::GetBackend();
    previousPrint_ = brennix::gl::GetPrintService();
    ui::SetBackend(this);
    brennix::gl::SetPrintService(print_.get());
    g_instance = this;
    Fl::event_dispatch(DispatchHook);
    Fl::visual(FL_DOUBLE | FL_RGB);
    Fl::scheme("gtk+");
    FL_NORMAL_SIZE = 12;
    Fl_Tooltip::enable(1);
    installed_ = true;
}

FltkBackend* FltkBackend::Instance() { return g_instance; }

Peer* FltkBackend::PeerOf(const ui::Window& w) const {
    auto it = peers_.find(&w);
    return it == peers_.end() ? nullptr : it->second.get();
}

Fl_Widget* FltkBackend::WidgetOf(const ui::Window& w) const {
    Peer* p = PeerOf(w);
    return p ? p->widget : nullptr;
}

Fl_Window* FltkBackend::TopWindowOf(const ui::Window& w) const {
    Peer* p = PeerOf(w);
    return p ? p->top : nullptr;
}

ui::Window* FltkBackend::LayerWindowOf(const Fl_Widget* widget) const {
    for (const Fl_Widget* w = widget; w; w = w->parent()) {
        auto it = owners_.find(w);
        if (it != owners_.end()) return it->second;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Window changes

void FltkBackend::WindowChanged(ui::Window& w, ui::Change what) {
    NoCurrentGroup noGroup;
    ++syncing_;
    switch (what) {
        case ui::Change::Created:
            Create(w);
            if (Peer* p = PeerOf(w); p && w.Kind() == ui::WindowKind::Frame && (w.GetStyle() & ui::style::Maximized)) {
                // The layer learns the client left below the menu bar.
                --syncing_;
                TopResized(w, p->top->w(), p->top->h());
                ++syncing_;
            }
            break;
        case ui::Change::Destroyed: Destroy(w); break;
        default: Sync(w, what); break;
    }
    --syncing_;
}

// A frame: its top window with the menu bar.
void FltkBackend::CreateFrame(ui::Window& w, const ui::Rect& r, Peer& peer) {
    const int menuH = 25;
    // A maximised frame fills the screen with its menu bar; others
    // put the menu bar above the client rectangle they were given.
    const bool maximised = (w.GetStyle() & ui::style::Maximized) != 0;
    auto* top = new TopWindow(*this, w, r.x, r.y, std::max(r.w, 1),
                              maximised ? std::max(r.h, menuH + 1) : std::max(r.h, 1) + menuH);
    top->begin();
    peer.menu = new FrameMenuBar(*this, w, 0, 0, top->w(), menuH);
    peer.menu->box(FL_FLAT_BOX);
    top->end();
    top->copy_label(LabelToUtf8(w.GetWindowText()).c_str());
    top->size_range(200, 150);
    top->resizable(top);
    peer.menuHeight = menuH;
    peer.top = top;
    peer.widget = top;
}

// A dialog: a top window whose controls keep their places.
void FltkBackend::CreateDialog(ui::Window& w, const ui::Rect& r, Peer& peer) {
    auto* top = new TopWindow(*this, w, r.x, r.y, std::max(r.w, 1), std::max(r.h, 1));
    top->copy_label(LabelToUtf8(w.GetWindowText()).c_str());
    // Controls keep their places when the window changes size: FLTK
    // never scales them, the dialog's OnSize moves what it moves. A
    // dialog with the sizing border may take any size.
    top->resizable(nullptr);
    if (w.GetStyle() & ui::style::Resizable) top->size_range(1, 1);
    peer.top = top;
    peer.widget = top;
}

// A view inside its frame's window, or a popup in a window of its own.
void FltkBackend::CreatePaintWindow(ui::Window& w, const ui::Rect& r, Peer& peer) {
    ui::Window* parent = w.GetParent();
    Peer* pp = parent ? PeerOf(*parent) : nullptr;
    if (w.Kind() == ui::WindowKind::View && pp && pp->top) {
        pp->top->begin();
        auto* pw = new PaintWidget(*this, w, r.x, r.y + pp->menuHeight, std::max(r.w, 1), std::max(r.h, 1));
        pp->top->end();
        pp->top->resizable(pp->top);
        peer.widget = pw;
    } else {
        auto* top = new TopWindow(*this, w, r.x, r.y, std::max(r.w, 1), std::max(r.h, 1));
        top->begin();
        new PaintWidget(*this, w, 0, 0, top->w(), top->h());
        top->end();
        top->copy_label(LabelToUtf8(w.GetWindowText()).c_str());
        if (!(w.GetStyle() & ui::style::Caption)) top->border(0);
        // Owned and topmost popups stay above the program's windows.
        if ((pp && pp->top) || (w.GetStyle() & ui::style::Topmost)) top->set_non_modal();
        peer.top = top;
        peer.widget = top;
    }
}

// The widget of a control's kind and styles, in its dialog's window; its text
// and state come from SyncControl.  False when the dialog has no window.
bool FltkBackend::CreateControl(ui::Window& w, const ui::Rect& r, Peer& peer) {
    auto& c = static_cast<ui::Control&>(w);
    ui::Dialog* dlg = c.Owner();
    Peer* dp = dlg ? PeerOf(*dlg) : nullptr;
    if (!dp || !dp->top) return false;
    dp->top->begin();
    Fl_Widget* wd = nullptr;
    switch (c.ControlType()) {
        case ui::ControlKind::Static: {
            Fl_Box* box =
                c.HasStyle(ui::cs::Notify) ? new ClickBox(*this, r.x, r.y, r.w, r.h) : new Fl_Box(r.x, r.y, r.w, r.h);
            box->box(c.HasStyle(ui::cs::Border) ? FL_THIN_DOWN_FRAME : FL_NO_BOX);
            box->align(static_cast<Fl_Align>(Align(c)));
            wd = box;
            break;
        }
        case ui::ControlKind::Group: wd = new GroupFrame(r.x, r.y, r.w, r.h); break;
        case ui::ControlKind::Picture: {
            auto* box = new Fl_Box(r.x, r.y, r.w, r.h);
            box->box(c.HasStyle(ui::cs::Border) ? FL_THIN_DOWN_FRAME : FL_NO_BOX);
            wd = box;
            break;
        }
        case ui::ControlKind::PushButton: {
            Fl_Button* b = c.HasStyle(ui::cs::Default) ? new Fl_Return_Button(r.x, r.y, r.w, r.h)
                                                       : new Fl_Button(r.x, r.y, r.w, r.h);
            // Enter is the dialog's: the layer clicks the default button.
            b->shortcut(0);
            wd = b;
            break;
        }
        case ui::ControlKind::CheckBox: wd = new Fl_Check_Button(r.x, r.y, r.w, r.h); break;
        case ui::ControlKind::RadioButton: {
            auto* b = new Fl_Round_Button(r.x, r.y, r.w, r.h);
            b->type(FL_TOGGLE_BUTTON);
            wd = b;
            break;
        }
        case ui::ControlKind::Edit: {
            Fl_Input* in = nullptr;
            if (c.HasStyle(ui::cs::MultiLine))
                in = new Fl_Multiline_Input(r.x, r.y, r.w, r.h);
            else if (c.HasStyle(ui::cs::RightText)) {
                in = new RightAlignedInput(r.x, r.y, r.w, r.h);
                if (c.HasStyle(ui::cs::Number)) in->type(FL_INT_INPUT);
            } else if (c.HasStyle(ui::cs::Number))
                in = new Fl_Int_Input(r.x, r.y, r.w, r.h);
            else
                in = new Fl_Input(r.x, r.y, r.w, r.h);
            in->when(FL_WHEN_CHANGED);
            wd = in;
            break;
        }
        case ui::ControlKind::ComboBox: {
            // The template gives the height with the list dropped down.
            const int h = std::min(r.h, 24);
            if (c.HasStyle(ui::cs::DropList)) {
                auto* ch = new Fl_Choice(r.x, r.y, r.w, h);
                ch->down_box(FL_BORDER_BOX);
                wd = ch;
            } else {
                auto* ic = new Fl_Input_Choice(r.x, r.y, r.w, h);
                ic->when(FL_WHEN_CHANGED);
                ic->menubutton()->when(FL_WHEN_RELEASE | FL_WHEN_NOT_CHANGED);
                ic->menubutton()->callback(ComboListPicked, ic);
                wd = ic;
            }
            break;
        }
        case ui::ControlKind::ListBox: {
            auto* b = new Fl_Hold_Browser(r.x, r.y, r.w, r.h);
            b->format_char(0);
            wd = b;
            break;
        }
        case ui::ControlKind::ListView: {
            auto* g = new Fl_Group(r.x, r.y, r.w, r.h);
            const int headH = 20;
            Fl_Browser* b =
                c.HasStyle(ui::cs::MultiSelect)
                    ? static_cast<Fl_Browser*>(new Fl_Multi_Browser(r.x, r.y + headH, r.w, std::max(r.h - headH, 1)))
                    : static_cast<Fl_Browser*>(new Fl_Hold_Browser(r.x, r.y + headH, r.w, std::max(r.h - headH, 1)));
            b->format_char(0);
            b->column_char('\t');
            b->callback(ControlCallback);
            g->end();
            g->resizable(b);
            peer.browser = b;
            owners_[b] = &w;
            wd = g;
            break;
        }
        case ui::ControlKind::ScrollBar: {
            auto* sb = new Fl_Scrollbar(r.x, r.y, r.w, r.h);
            sb->type(FL_VERTICAL);
            sb->linesize(1);
            wd = sb;
            break;
        }
        case ui::ControlKind::Spin: wd = new SpinWidget(*this, r.x, r.y, r.w, r.h); break;
        case ui::ControlKind::ColorButton: {
            auto* b = new Fl_Button(r.x, r.y, r.w, r.h);
            b->box(FL_DOWN_BOX);
            wd = b;
            break;
        }
        case ui::ControlKind::Custom: wd = new PaintWidget(*this, w, r.x, r.y, r.w, r.h); break;
    }
    dp->top->end();
    if (!wd) return false;
    if (c.ControlType() != ui::ControlKind::ListView) wd->callback(ControlCallback);
    wd->labeltype(PlainLabel());
    ApplyLook(*wd, w);
    peer.widget = wd;
    return true;
}

void FltkBackend::Create(ui::Window& w) {
    if (PeerOf(w)) return;
    auto peer = std::make_unique<Peer>();
    peer->window = &w;
    const ui::Rect r = w.GetWindowRect();
    switch (w.Kind()) {
        case ui::WindowKind::Frame: CreateFrame(w, r, *peer); break;
        case ui::WindowKind::Dialog: CreateDialog(w, r, *peer); break;
        case ui::WindowKind::Popup:
        case ui::WindowKind::View: CreatePaintWindow(w, r, *peer); break;
        case ui::WindowKind::Control:
            if (!CreateControl(w, r, *peer)) return;
            break;
    }
    if (peer->widget) owners_[peer->widget] = &w;
    Peer* raw = peer.get();
    peers_[&w] = std::move(peer);
    if (w.Kind() == ui::WindowKind::Control) {
        SyncControl(w);
        if (!w.IsShown()) raw->widget->hide();
        if (!w.IsWindowEnabled()) raw->widget->deactivate();
    }
    if (w.Kind() == ui::WindowKind::View && !w.IsShown()) raw->widget->hide();
    if (w.Kind() == ui::WindowKind::Frame) {
        BuildMenu(w);
        BuildToolBars(w);
        BuildStatusBar(w);
    }
    if (raw->top && w.IsShown()) SyncVisibility(w);
}

void FltkBackend::Destroy(ui::Window& w) {
    auto it = peers_.find(&w);
    if (it == peers_.end()) return;
    std::unique_ptr<Peer> peer = std::move(it->second);
    peers_.erase(it);
    for (auto t = timers_.begin(); t != timers_.end();) {
        if (t->first.first == &w) {
            Fl::remove_timeout(TimerCallback, t->second.get());
            t = timers_.erase(t);
        } else {
            ++t;
        }
    }
    if (peer->browser) owners_.erase(peer->browser);
    // The menu array points into the peer's labels, which go with it.
    if (peer->menu) peer->menu->clear();
    Fl_Widget* widget = peer->widget;
    if (!widget) return;
    // Widgets of other layer windows inside this one are theirs to delete.
    if (auto* group = widget->as_group()) {
        for (int i = group->children() - 1; i >= 0; --i) {
            Fl_Widget* child = group->child(i);
            auto o = owners_.find(child);
            if (o != owners_.end() && o->second != &w) group->remove(child);
        }
    }
    owners_.erase(widget);
    for (auto o = owners_.begin(); o != owners_.end();) {
        if (o->second == &w)
            o = owners_.erase(o);
        else
            ++o;
    }
    if (peer->top) peer->top->hide();
    if (Fl_Group* parent = widget->parent()) {
        parent->remove(widget);
        parent->redraw();
    }
    Fl::delete_widget(widget);
}

void FltkBackend::SyncVisibility(ui::Window& w) {
    Peer* p = PeerOf(w);
    if (!p || !p->widget) return;
    if (p->top) {
        if (w.IsShown()) {
            if (!p->top->shown()) {
                if (auto* d = dynamic_cast<ui::Dialog*>(&w)) {
                    if (d->IsModal())
                        p->top->set_modal();
                    else
                        p->top->set_non_modal();
                }
                p->top->show();
                if (p->top->non_modal()) KeepAboveMainWindow(*p->top);
            }
            if (p->pendingFocus) {
                if (Peer* fp = PeerOf(*p->pendingFocus); fp && fp->widget) fp->FocusWidget()->take_focus();
                p->pendingFocus = nullptr;
            }
        } else {
            p->top->hide();
        }
        return;
    }
    if (w.IsShown())
        p->widget->show();
    else
        p->widget->hide();
    if (p->widget->parent()) p->widget->parent()->redraw();
}

void FltkBackend::KeepAboveMainWindow(Fl_Window& top) {
    ui::App* app = ui::App::Get();
    Peer* main = app && app->MainFrame() ? PeerOf(*app->MainFrame()) : nullptr;
    if (!main || !main->top || main->top == &top || !main->top->shown() || !top.shown()) return;
    // A window manager keeps it above the main window; without one the
    // frame raises it again when clicked (RaiseOwnedWindows).
    XSetTransientForHint(fl_display, fl_xid(&top), fl_xid(main->top));
}

void FltkBackend::RaiseOwnedWindows(ui::Window& frame) {
    Peer* fp = PeerOf(frame);
    if (!fp || !fp->top) return;
    for (const auto& [layer, peer] : peers_) {
        (void)layer;
        if (!peer->top || peer->top == fp->top || !peer->top->shown() || !peer->top->non_modal()) continue;
        XRaiseWindow(fl_display, fl_xid(peer->top));
    }
}

void FltkBackend::SyncGeometry(ui::Window& w) {
    Peer* p = PeerOf(w);
    if (!p || !p->widget) return;
    const ui::Rect r = w.GetWindowRect();
    if (w.Kind() == ui::WindowKind::Frame) {
        p->top->resize(r.x, r.y, std::max(r.w, 1), std::max(r.h, 1) + p->menuHeight);
        if (p->menu) p->menu->resize(0, 0, p->top->w(), p->menuHeight);
        // FLTK scaled the bars with the window: lay them out again.
        p->toolLayout = {};
        BuildToolBars(w);
        BuildStatusBar(w);
        return;
    }
    if (p->top) {
        p->top->resize(r.x, r.y, std::max(r.w, 1), std::max(r.h, 1));
        if (p->top->children() > 0 && (w.Kind() == ui::WindowKind::Popup || w.Kind() == ui::WindowKind::View))
            p->top->child(0)->resize(0, 0, p->top->w(), p->top->h());
        return;
    }
    int yOffset = 0;
    if (w.Kind() == ui::WindowKind::View) {
        if (Peer* fp = w.GetParent() ? PeerOf(*w.GetParent()) : nullptr) yOffset = fp->menuHeight;
    }
    int h = r.h;
    if (auto* c = dynamic_cast<ui::Control*>(&w); c && c->ControlType() == ui::ControlKind::ComboBox)
        h = std::min(h, 24);
    p->widget->resize(r.x, r.y + yOffset, std::max(r.w, 1), std::max(h, 1));
    if (p->widget->parent()) p->widget->parent()->redraw();
}

void FltkBackend::Sync(ui::Window& w, ui::Change what) {
    Peer* p = PeerOf(w);
    if (!p || !p->widget) return;
    switch (what) {
        case ui::Change::Visibility: SyncVisibility(w); break;
        case ui::Change::Geometry: SyncGeometry(w); break;
        case ui::Change::Text:
            if (p->top)
                p->top->copy_label(LabelToUtf8(w.GetWindowText()).c_str());
            else
                SyncControl(w);
            break;
        case ui::Change::Enabled:
            if (w.IsWindowEnabled())
                p->widget->activate();
            else
                p->widget->deactivate();
            break;
        case ui::Change::State: SyncControl(w); break;
        case ui::Change::Focus: {
            auto* d = dynamic_cast<ui::Dialog*>(&w);
            ui::Control* f = d ? d->GetFocus() : nullptr;
            Peer* fp = f ? PeerOf(*f) : nullptr;
            if (!fp || !fp->widget) break;
            if (p->top && p->top->shown())
                fp->FocusWidget()->take_focus();
            else
                p->pendingFocus = f;
            break;
        }
        case ui::Change::Look:
            ApplyLook(*p->widget, w);
            p->widget->redraw();
            break;
        case ui::Change::Menu: BuildMenu(w); break;
        case ui::Change::ToolBars: BuildToolBars(w); break;
        case ui::Change::StatusBar: BuildStatusBar(w); break;
        default: break;
    }
}

// A list view: its column titles, then its lines, kept where the user
// scrolled them.
void FltkBackend::SyncListView(const ui::ListView& list, Peer& p) {
    const ui::ListView* lv = &list;
    Fl_Browser* b = p.browser;
    auto* g = static_cast<Fl_Group*>(p.widget);
    // Column titles.
    for (Fl_Box* h : p.headers) {
        DeleteChild(g, h);
    }
    p.headers.clear();
    std::vector<int> widths;
    int x = g->x();
    g->begin();
    for (const auto& col : lv->Columns()) {
        const int cw = col.width > 0 ? col.width : 80;
        auto* h = new Fl_Box(x, g->y(), cw, 20);
        h->box(FL_THIN_UP_BOX);
        h->copy_label(ToUtf8(col.text).c_str());
        h->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
        h->labeltype(PlainLabel());
        p.headers.push_back(h);
        widths.push_back(cw);
        x += cw;
    }
    g->end();
    widths.push_back(0);
    p.columnWidths = std::move(widths);
    b->column_widths(p.columnWidths.data());
    // The list stays where the user scrolled it; an item that has
    // just become selected is brought into view.
    const int top = b->position();
    std::vector<bool> wasSelected(static_cast<size_t>(b->size()));
    for (int i = 0; i < b->size(); ++i) wasSelected[static_cast<size_t>(i)] = b->selected(i + 1) != 0;
    b->clear();
    for (const auto& item : lv->Items()) {
        std::string line;
        for (size_t i = 0; i < item.texts.size(); ++i) {
            if (i) line += '\t';
            line += item.texts[i];
        }
        b->add(ToUtf8(line).c_str());
    }
    b->position(top);
    int newlySelected = -1;
    for (int i = 0; i < lv->GetItemCount(); ++i) {
        if (!lv->IsSelected(i)) continue;
        b->select(i + 1, 1);
        const bool was = static_cast<size_t>(i) < wasSelected.size() && wasSelected[static_cast<size_t>(i)];
        if (!was && newlySelected < 0) newlySelected = i;
    }
    if (newlySelected >= 0) b->make_visible(newlySelected + 1);
    g->redraw();
}

void FltkBackend::SyncControl(ui::Window& w) {
    auto* c = dynamic_cast<ui::Control*>(&w);
    Peer* p = PeerOf(w);
    if (!c || !p || !p->widget) return;
    Fl_Widget* wd = p->widget;
    const std::string text = w.GetWindowText();
    switch (c->ControlType()) {
        case ui::ControlKind::Static:
        case ui::ControlKind::Group: wd->copy_label(ToUtf8(StripAccessMarks(text)).c_str()); break;
        case ui::ControlKind::PushButton: wd->copy_label(ToUtf8(text).c_str()); break;
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton: {
            wd->copy_label(ToUtf8(text).c_str());
            static_cast<Fl_Button*>(wd)->value(static_cast<ui::Button*>(c)->GetCheck() ? 1 : 0);
            break;
        }
        case ui::ControlKind::Picture: {
            const ui::Image& img = static_cast<ui::Picture*>(c)->GetImage();
            auto* box = static_cast<Fl_Box*>(wd);
            box->image(nullptr);
            p->image.reset();
            if (const int depth = ImagePixels(img, 0, 0, img.width, img.height, p->pixels)) {
                p->image = std::make_unique<Fl_RGB_Image>(p->pixels.data(), img.width, img.height, depth);
                box->image(p->image.get());
            }
            break;
        }
        case ui::ControlKind::Edit: {
            auto* in = static_cast<Fl_Input*>(wd);
            if (wd == inputSource_) break;
            const std::string shown = ToUtf8(text);
            if (shown != in->value()) in->value(shown.c_str());
            auto* e = static_cast<ui::Edit*>(c);
            in->readonly(e->IsReadOnly() ? 1 : 0);
            // The selection in bytes of the shown text.
            const int len = static_cast<int>(text.size());
            const auto shownAt = [&](int at) {
                return static_cast<int>(ToUtf8(text.substr(0, static_cast<size_t>(at))).size());
            };
            const int s = e->SelStart() < 0 ? len : std::min(e->SelStart(), len);
            const int en = e->SelEnd() < 0 ? len : std::min(e->SelEnd(), len);
            in->position(shownAt(en), shownAt(s));
            break;
        }
        case ui::ControlKind::ComboBox: {
            auto* cb = static_cast<ui::ComboBox*>(c);
            std::vector<Fl_Menu_Item> items = MenuItemsOf(cb->Items(), p->itemTexts);
            if (auto* ch = dynamic_cast<Fl_Choice*>(wd)) {
                ch->copy(items.data());
                ch->value(cb->GetCurSel() >= 0 && cb->GetCurSel() < cb->GetCount() ? cb->GetCurSel() : -1);
                if (cb->GetCurSel() < 0) ch->value(static_cast<const Fl_Menu_Item*>(nullptr));
            } else if (auto* ic = dynamic_cast<Fl_Input_Choice*>(wd)) {
                ic->menubutton()->copy(items.data());
                if (ToUtf8(text) != ic->value() && wd != inputSource_) ic->value(ToUtf8(text).c_str());
            }
            wd->redraw();
            break;
        }
        case ui::ControlKind::ListBox: {
            auto* lb = static_cast<ui::ListBox*>(c);
            auto* b = static_cast<Fl_Browser*>(wd);
            // The list stays where the user scrolled it; selecting brings
            // the selection into view.
            const int top = b->position();
            b->clear();
            for (const std::string& s : lb->Items()) b->add(ToUtf8(s).c_str());
            b->position(top);
            if (lb->GetCurSel() >= 0) b->select(lb->GetCurSel() + 1);
            break;
        }
        case ui::ControlKind::ListView: SyncListView(*static_cast<ui::ListView*>(c), *p); break;
        case ui::ControlKind::ScrollBar: {
            auto* sb = static_cast<ui::ScrollBar*>(c);
            auto* s = static_cast<Fl_Scrollbar*>(wd);
            const int range = std::max(1, sb->GetMax() - sb->GetMin());
            s->slider_size(std::max(0.08, std::min(1.0, 8.0 / (range + 8))));
            s->bounds(sb->GetMin(), sb->GetMax());
            s->value(sb->GetScrollPos());
            break;
        }
        case ui::ControlKind::ColorButton: {
            auto* cb = static_cast<ui::ColorButton*>(c);
            wd->color(FlColorOf(cb->GetColor()));
            wd->redraw();
            break;
        }
        case ui::ControlKind::Spin:
        case ui::ControlKind::Custom: wd->redraw(); break;
    }
}

// ---------------------------------------------------------------------------
// Frames: menu bar, toolbars, status bar

void FltkBackend::BuildMenu(ui::Window& w) {
    auto* frame = dynamic_cast<ui::Frame*>(&w);
    Peer* p = PeerOf(w);
    if (!frame || !p || !p->menu) return;
    // Flat item list with submenus, as FLTK's menu arrays take them.
    std::vector<Fl_Menu_Item> items;
    // FLTK keeps pointers to the label texts: they live in the peer until
    // the next build.
    std::deque<std::string> newLabels;
    auto blank = [] {
        Fl_Menu_Item it;
        std::memset(static_cast<void*>(&it), 0, sizeof(it));
        return it;
    };
    std::function<void(const ui::MenuItem&)> add = [&](const ui::MenuItem& popup) {
        for (size_t i = 0; i < popup.items.size(); ++i) {
            const ui::MenuItem& m = popup.items[i];
            if (m.type == ui::MenuItem::Type::Separator) {
                if (!items.empty()) items.back().flags |= FL_MENU_DIVIDER;
                continue;
            }
            Fl_Menu_Item it = blank();
            std::string label = m.text;
            const std::string accel = ui::AcceleratorOf(m.text);
            const size_t tab = label.find('\t');
            if (tab != std::string::npos) label = label.substr(0, tab);
            newLabels.push_back(LabelToUtf8(label));
            it.text = newLabels.back().c_str();
            it.labeltype_ = PlainLabel();
            if (!m.enabled) it.flags |= FL_MENU_INACTIVE;
            if (m.type == ui::MenuItem::Type::Popup) {
                it.flags |= FL_SUBMENU;
                items.push_back(it);
                add(m);
                items.push_back(blank());
            } else {
                it.shortcut_ = ShortcutOf(accel);
                it.user_data_ = reinterpret_cast<void*>(static_cast<intptr_t>(m.id));
                it.callback_ = [](Fl_Widget* wdg, void* data) {
                    if (!g_instance) return;
                    if (ui::Window* fw = g_instance->LayerWindowOf(wdg))
                        g_instance->MenuChosen(*fw, static_cast<int>(reinterpret_cast<intptr_t>(data)));
                };
                if (m.checked) it.flags |= FL_MENU_TOGGLE | FL_MENU_VALUE;
                items.push_back(it);
            }
        }
    };
    add(frame->GetMenuBar());
    items.push_back(blank());
    p->menu->copy(items.data());
    p->menuLabels = std::move(newLabels);
    p->menu->redraw();
}

void FltkBackend::RefreshMenu(ui::Window& w) {
    auto* frame = dynamic_cast<ui::Frame*>(&w);
    if (!frame) return;
    for (ui::MenuItem& top : frame->GetMenuBar().items)
        if (top.type == ui::MenuItem::Type::Popup) frame->UpdateMenuPopup(top);
    NoCurrentGroup noGroup;
    ++syncing_;
    BuildMenu(w);
    --syncing_;
}

void FltkBackend::MenuChosen(ui::Window& w, int id) {
    if (auto* frame = dynamic_cast<ui::Frame*>(&w)) frame->UserChooseMenuItem(id);
}

void FltkBackend::ToolClicked(ui::Window& w, int id) {
    if (auto* frame = dynamic_cast<ui::Frame*>(&w)) frame->UserClickToolButton(id);
}

void FltkBackend::BuildToolBars(ui::Window& w) {
    auto* frame = dynamic_cast<ui::Frame*>(&w);
    Peer* p = PeerOf(w);
    if (!frame || !p || !p->top) return;
    const ui::ToolBarLayout layout = frame->LayoutToolBars(p->top->w());
    // The same buttons in the same places: only their states change.
    if (layout == p->toolLayout && !p->toolWidgets.empty()) {
        size_t next = 0;
        for (const ui::ToolButtonPlace& place : layout.buttons) {
            while (next < p->toolWidgets.size() && !dynamic_cast<ToolButton*>(p->toolWidgets[next])) ++next;
            if (next >= p->toolWidgets.size()) break;
            auto* tb = static_cast<ToolButton*>(p->toolWidgets[next++]);
            const ui::ToolBar* bar = frame->GetToolBar(place.bar);
            if (bar && static_cast<size_t>(place.button) < bar->state.size())
                tb->SetState(bar->state[place.button].Enabled(), bar->state[place.button].Checked());
            tb->redraw();
        }
        return;
    }
    p->toolLayout = layout;
    for (Fl_Widget* t : p->toolWidgets) {
        owners_.erase(t);
        DeleteChild(p->top, t);
    }
    p->toolWidgets.clear();
    const int top = p->menuHeight;
    p->top->begin();
    for (const ui::Rect& r : layout.separators) {
        auto* sep = new Fl_Box(r.x, top + r.y, r.w, r.h);
        sep->box(FL_THIN_DOWN_BOX);
        p->toolWidgets.push_back(sep);
    }
    for (const ui::ToolButtonPlace& place : layout.buttons) {
        ui::ToolBar* bar = frame->GetToolBar(place.bar);
        auto* tb = new ToolButton(place.rect.x, top + place.rect.y, place.rect.w, place.rect.h, place.id);
        const ui::CommandInfo* info = ui::FindCommand(place.id);
        if (info) tb->copy_tooltip(ToUtf8(ui::TooltipOf(info->prompt)).c_str());
        tb->SetPicture(bar->images.Empty() ? nullptr : &bar->images, place.image, bar->imageCount);
        if (static_cast<size_t>(place.button) < bar->state.size())
            tb->SetState(bar->state[place.button].Enabled(), bar->state[place.button].Checked());
        tb->callback([](Fl_Widget* wdg, void*) {
            if (!g_instance) return;
            auto* t = static_cast<ToolButton*>(wdg);
            if (ui::Window* fw = g_instance->LayerWindowOf(t->parent())) g_instance->ToolClicked(*fw, t->CommandId());
        });
        p->toolWidgets.push_back(tb);
    }
    p->top->end();
    p->top->redraw();
}

void FltkBackend::RefreshFrameBars(ui::Window& w) {
    NoCurrentGroup noGroup;
    ++syncing_;
    BuildToolBars(w);
    BuildStatusBar(w);
    --syncing_;
}

void FltkBackend::BuildStatusBar(ui::Window& w) {
    auto* frame = dynamic_cast<ui::Frame*>(&w);
    Peer* p = PeerOf(w);
    if (!frame || !p || !p->top) return;
    const ui::StatusBar& sb = frame->GetStatusBar();
    if (!sb.created || !sb.visible) {
        if (p->status) {
            DeleteChild(p->top, p->status);
            p->status = nullptr;
            p->statusPanes.clear();
        }
        return;
    }
    const int h = ui::kStatusBarHeight;
    const int y = p->top->h() - h;
    const int width = p->top->w();
    if (!p->status || static_cast<int>(p->statusPanes.size()) != static_cast<int>(sb.indicators.size()) + 1) {
        if (p->status) DeleteChild(p->top, p->status);
        p->statusPanes.clear();
        p->top->begin();
        p->status = new Fl_Group(0, y, width, h);
        p->status->box(FL_FLAT_BOX);
        auto* msg = new Fl_Box(0, y, width, h);
        msg->box(FL_THIN_DOWN_BOX);
        msg->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
        msg->labeltype(PlainLabel());
        p->statusPanes.push_back(msg);
        for (size_t i = 0; i < sb.indicators.size(); ++i) {
            auto* ind = new Fl_Box(0, y, 48, h);
            ind->box(FL_THIN_DOWN_BOX);
            p->statusPanes.push_back(ind);
        }
        p->status->end();
        p->top->end();
    }
    const int indW = 48;
    const int n = static_cast<int>(sb.indicators.size());
    p->status->resize(0, y, width, h);
    p->statusPanes[0]->resize(0, y, std::max(width - n * indW, 1), h);
    p->statusPanes[0]->copy_label(ToUtf8(sb.message).c_str());
    for (int i = 0; i < n; ++i) {
        Fl_Box* ind = p->statusPanes[static_cast<size_t>(i) + 1];
        ind->resize(width - (n - i) * indW, y, indW, h);
        const bool lit = static_cast<size_t>(i) < sb.lit.size() && sb.lit[static_cast<size_t>(i)];
        ind->copy_label(lit ? ToUtf8(sb.indicators[static_cast<size_t>(i)]).c_str() : "");
    }
    p->status->redraw();
}

// ---------------------------------------------------------------------------
// Input

std::vector<std::string> DroppedFilePaths(const std::string& text) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.rfind("file:", 0) == 0) {
            line.erase(0, 5);
            if (line.rfind("//", 0) == 0) {
                const std::size_t slash = line.find('/', 2);
                const std::string host = line.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
                if (slash == std::string::npos || (!host.empty() && host != "localhost")) continue;
                line.erase(0, slash);
            }
            std::string decoded;
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '%' && i + 2 < line.size() && std::isxdigit(static_cast<unsigned char>(line[i + 1])) &&
                    std::isxdigit(static_cast<unsigned char>(line[i + 2]))) {
                    decoded += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                } else {
                    decoded += line[i];
                }
            }
            line = decoded;
        }
        if (!line.empty() && line[0] == '/') paths.push_back(line);
    }
    return paths;
}

void FltkBackend::FilesDropped(const std::string& text) {
    const std::vector<std::string> paths = DroppedFilePaths(text);
    if (ui::App* app = ui::App::Get(); app && !paths.empty()) app->UserDropFiles(paths);
}

void FltkBackend::TopClosed(ui::Window& w) {
    if (auto* frame = dynamic_cast<ui::Frame*>(&w)) {
        frame->UserClose();
    } else if (auto* d = dynamic_cast<ui::Dialog*>(&w)) {
        d->UserClose();
    } else if (w.Kind() == ui::WindowKind::Popup) {
        w.OnPopupClose();
    }
}

void FltkBackend::TopResized(ui::Window& w, int width, int height) {
    Peer* p = PeerOf(w);
    if (!p) return;
    if (auto* frame = dynamic_cast<ui::Frame*>(&w)) {
        if (p->menu) p->menu->resize(0, 0, width, p->menuHeight);
        frame->UserResize(width, std::max(height - p->menuHeight, 1));
        // FLTK scaled the bars with the window: lay them out again.
        p->toolLayout = {};
        RefreshFrameBars(w);
    } else if (auto* view = dynamic_cast<ui::View*>(&w)) {
        view->UserResize(width, height);
    } else if (auto* dialog = dynamic_cast<ui::Dialog*>(&w)) {
        dialog->UserResize(width, height);
    }
}

void FltkBackend::ControlEvent(Fl_Widget* widget, int what) {
    if (syncing_) return;
    // Under a modal window (a message box a check put up while the button
    // was held) the release of the button reaches it all the same: it does
    // nothing, as the press would not have.
    if (Fl::modal() && widget->top_window() != Fl::modal()) return;
    ui::Window* lw = LayerWindowOf(widget);
    auto* c = dynamic_cast<ui::Control*>(lw);
    ui::Dialog* d = OwnerDialog(lw);
    if (!c || !d) return;
    const int id = c->GetDlgCtrlID();
    switch (c->ControlType()) {
        case ui::ControlKind::Static:
            if (what == 2)
                d->UserDoubleClick(id);
            else
                d->UserClick(id);
            break;
        case ui::ControlKind::PushButton: d->UserClick(id); break;
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton:
            d->UserClick(id);
            if (PeerOf(*c)) SyncControl(*c);
            break;
        case ui::ControlKind::Edit: {
            auto* input = static_cast<Fl_Input*>(widget);
            TypedIn(*d, id, widget, FromUtf8(input->value()));
            // A handler that rewrote the text, or a character that the
            // program's texts cannot hold, shows what the program has.
            if (PeerOf(*c) && ToUtf8(c->GetWindowText()) != input->value()) SyncControl(*c);
            break;
        }
        case ui::ControlKind::ComboBox: {
            if (auto* ch = dynamic_cast<Fl_Choice*>(widget)) {
                d->UserSelect(id, ch->value());
            } else if (auto* ic = dynamic_cast<Fl_Input_Choice*>(widget)) {
                const std::string text = FromUtf8(ic->value());
                auto* cb = static_cast<ui::ComboBox*>(c);
                const int index = ic->menubutton()->changed() ? ic->menubutton()->value() : -1;
                if (index >= 0 && index < cb->GetCount() && cb->GetLBText(index) == text) {
                    ic->menubutton()->clear_changed();
                    d->UserSelect(id, index);
                } else {
                    TypedIn(*d, id, widget, text);
                }
            }
            break;
        }
        case ui::ControlKind::ListBox: {
            auto* b = static_cast<Fl_Browser*>(widget);
            const int line = b->value();
            if (line <= 0) break;
            if (Fl::event_clicks() > 0)
                d->UserDoubleClick(id, line - 1);
            else
                d->UserSelect(id, line - 1);
            break;
        }
        case ui::ControlKind::ListView: {
            auto* lv = static_cast<ui::ListView*>(c);
            Peer* p = PeerOf(*c);
            Fl_Browser* b = p ? p->browser : nullptr;
            if (!b) break;
            int item = -1;
            for (int i = 0; i < lv->GetItemCount() && i < b->size(); ++i)
                if ((b->selected(i + 1) != 0) != lv->IsSelected(i)) {
                    item = i;
                    break;
                }
            if (item < 0) item = b->value() - 1;
            if (item < 0) break;
            const bool extend = (Fl::event_state() & (FL_CTRL | FL_SHIFT)) != 0;
            if (Fl::event_clicks() > 0 && Fl::event() == FL_PUSH)
                d->UserDoubleClick(id, item);
            else
                d->UserSelectItem(id, item, extend);
            if (PeerOf(*c)) SyncControl(*c);
            break;
        }
        case ui::ControlKind::ScrollBar: {
            auto* sb = static_cast<ui::ScrollBar*>(c);
            auto* s = static_cast<Fl_Scrollbar*>(widget);
            const int v = s->value();
            const int delta = v - sb->GetScrollPos();
            if (Fl::event() == FL_DRAG) {
                d->UserScroll(id, ui::sb::ThumbTrack, v);
            } else if (Fl::event() == FL_RELEASE && delta != 0 && std::abs(delta) > 1) {
                d->UserScroll(id, ui::sb::ThumbPosition, v);
                d->UserScroll(id, ui::sb::EndScroll, v);
            } else if (delta == -1) {
                d->UserScroll(id, ui::sb::LineUp, v);
            } else if (delta == 1) {
                d->UserScroll(id, ui::sb::LineDown, v);
            } else if (delta < 0) {
                d->UserScroll(id, ui::sb::PageUp, v);
            } else if (delta > 0) {
                d->UserScroll(id, ui::sb::PageDown, v);
            }
            // The bar shows only what the dialog sets.
            if (PeerOf(*c)) SyncControl(*c);
            break;
        }
        case ui::ControlKind::Spin:
            if (what == 3 || what == 4) d->UserSpin(id, what == 3);
            break;
        case ui::ControlKind::ColorButton: {
            auto* cb = static_cast<ui::ColorButton*>(c);
            uchar r = static_cast<uchar>(ui::RedOf(cb->GetColor()));
            uchar g = static_cast<uchar>(ui::GreenOf(cb->GetColor()));
            uchar b = static_cast<uchar>(ui::BlueOf(cb->GetColor()));
            if (fl_color_chooser("Colour", r, g, b, 1)) d->UserPickColor(id, ui::Rgb(r, g, b));
            break;
        }
        default: break;
    }
}

void FltkBackend::TypedIn(ui::Dialog& dialog, int id, Fl_Widget* widget, const std::string& text) {
    inputSource_ = widget;
    dialog.UserType(id, text);
    inputSource_ = nullptr;
}

int FltkBackend::HandleDialogKey(ui::Dialog& dialog, int event) {
    const int key = LayerKeyOfEvent();
    if (key == 0) return -1;
    ui::Control* focus = dialog.GetFocus();
    auto* edit = dynamic_cast<ui::Edit*>(focus);
    auto* combo = dynamic_cast<ui::ComboBox*>(focus);
    const bool editFocus = (edit && !edit->IsReadOnly()) || (combo && combo->HasEdit());
    const bool multiline = edit && edit->HasStyle(ui::cs::MultiLine);
    if (event == FL_KEYUP) {
        if (key == ui::key::Shift || key == ui::key::Control || !editFocus) dialog.UserKeyUp(key);
        return -1;
    }
    if (key == ui::key::Shift || key == ui::key::Control || key == ui::key::Alt) {
        dialog.UserKeyDown(key);
        return -1;
    }
    const bool nav = key == ui::key::Tab || key == ui::key::Enter || key == ui::key::Escape || key == ui::key::Up ||
                     key == ui::key::Down || key == ui::key::PageUp || key == ui::key::PageDown ||
                     key == ui::key::Home || key == ui::key::End;
    // Typing, caret keys and shortcuts of an edit stay with the edit.
    if (editFocus && !nav) return -1;
    if (Fl::event_state() & (FL_CTRL | FL_ALT)) {
        if (!nav) return -1;
    }
    if (editFocus && (key == ui::key::Home || key == ui::key::End ||
                      (multiline && (key == ui::key::Up || key == ui::key::Down || key == ui::key::PageUp ||
                                     key == ui::key::PageDown)) ||
                      (multiline && key == ui::key::Enter && edit->HasStyle(ui::cs::WantReturn)))) {
        ui::Message m;
        m.type = ui::Message::KeyDown;
        m.key = key;
        m.target = focus;
        if (dialog.PreTranslateMessage(m)) return 1;
        return -1;
    }
    // Everything else meets the dialog's pre-translation first, then its
    // default processing; FLTK's own focus movement does not run.
    dialog.UserKeyDown(key);
    return 1;
}

bool FltkBackend::ForwardShortcutToMainFrame(Fl_Window* window) {
    // A modeless dialog beside the frame: its chords that nothing in it took
    // are the menu bar's shortcuts (Ctrl+S while a grid has the focus). FLTK
    // offers them to the window with the focus only.
    ui::App* app = ui::App::Get();
    ui::Frame* frame = app ? app->MainFrame() : nullptr;
    if (!frame || !dynamic_cast<ui::Dialog*>(LayerWindowOf(window))) return false;
    Peer* p = PeerOf(*frame);
    return p && p->menu && p->top && p->top->shown() && p->menu->handle(FL_SHORTCUT) != 0;
}

int FltkBackend::DispatchEvent(int event, Fl_Window* window) {
    if ((event == FL_KEYBOARD || event == FL_KEYUP) && window && !Fl::grab()) {
        // Keys belong to the modal window whichever window the server
        // reported them for; an open menu (a grab) takes them all.
        ui::Window* lw = LayerWindowOf(Fl::modal() ? Fl::modal() : window);
        if (auto* d = dynamic_cast<ui::Dialog*>(lw); d && d->IsWindow()) {
            const int r = HandleDialogKey(*d, event);
            if (r >= 0) return r;
        }
    }
    Fl_Widget* focusBefore = Fl::focus();
    const int handled = Fl::handle_(event, window);
    if (!handled && event == FL_KEYBOARD && window && !Fl::modal() && !Fl::grab() &&
        (Fl::event_state() & (FL_CTRL | FL_ALT)) && ForwardShortcutToMainFrame(window))
        return 1;
    if (event == FL_PUSH) SelectAllOnTripleClick();
    if (event == FL_PUSH && Fl::focus() != focusBefore && Fl::focus()) {
        // A click moved FLTK's focus: the dialog learns it.
        ui::Window* lw = LayerWindowOf(Fl::focus());
        if (auto* c = dynamic_cast<ui::Control*>(lw)) {
            ui::Dialog* d = c->Owner();
            if (d && d->IsWindow() && PeerOf(*d) && d->GetFocus() != c) d->UserFocus(c->GetDlgCtrlID());
        }
    }
    return handled;
}

// FLTK selects a word at a double click but counts the third press as a
// new click: a third press in the same single-line field soon after a
// double click selects its whole text, so that typing replaces it.
void FltkBackend::SelectAllOnTripleClick() {
    auto* input = dynamic_cast<Fl_Input*>(Fl::focus());
    const auto now = std::chrono::steady_clock::now();
    const bool third = input && input == doubleClicked_ && now - doubleClickedAt_ < std::chrono::milliseconds(600) &&
                       input->input_type() != FL_MULTILINE_INPUT;
    doubleClicked_ = input && Fl::event_clicks() == 1 ? input : nullptr;
    doubleClickedAt_ = now;
    if (!third) return;
    input->position(input->size(), 0);
    if (auto* edit = dynamic_cast<ui::Edit*>(LayerWindowOf(input))) edit->SetSel(0, -1);
}

// ---------------------------------------------------------------------------
// Modal loops, painting, timers

void FltkBackend::RunModal(ui::Dialog& dialog) {
    Peer* p = PeerOf(dialog);
    if (!p || !p->top) return;
    if (!p->top->shown()) {
        p->top->set_modal();
        p->top->show();
    }
    while (dialog.IsWindow() && !dialog.IsEnded()) {
        Fl::wait(0.05);
        if (!PeerOf(dialog)) break;
    }
    if (Peer* q = PeerOf(dialog); q && q->top) q->top->hide();
}

void FltkBackend::RunMainLoop(ui::App& app) {
    while (!app.QuitRequested()) {
        Fl::wait(0.1);
        app.OnIdle();
        if (!Fl::first_window() && !app.MainFrame()) break;
    }
}

void FltkBackend::Invalidate(ui::Window& w, bool) {
    Peer* p = PeerOf(w);
    if (!p || !p->widget) return;
    p->widget->redraw();
    if (p->top && p->top->children() > 0) p->top->child(0)->redraw();
}

void FltkBackend::UpdateNow(ui::Window& w) {
    Invalidate(w, false);
    Fl::flush();
}

void FltkBackend::SetTimer(ui::Window& w, int id, int ms) {
    KillTimer(w, id);
    auto data = std::make_unique<TimerData>(TimerData{this, &w, id, std::max(ms, 1) / 1000.0, {}});
    data->due = DueAfter(data->period);
    Fl::add_timeout(data->period, TimerCallback, data.get());
    timers_[{&w, id}] = std::move(data);
}

void FltkBackend::KillTimer(ui::Window& w, int id) {
    auto it = timers_.find({&w, id});
    if (it == timers_.end()) return;
    Fl::remove_timeout(TimerCallback, it->second.get());
    timers_.erase(it);
}

void FltkBackend::FireTimer(ui::Window* w, int id) {
    if (timers_.count({w, id}) == 0) return;
    w->OnTimer(id);
}

void FltkBackend::PumpMessages(ui::Window& w) {
    // Only this window's messages: its due timers, then the X events
    // addressed to it (mapping, exposure, mouse buttons, the window
    // manager's close request), then its drawing. Input for other windows
    // stays queued for the main loop.
    std::vector<int> due;
    const auto now = std::chrono::steady_clock::now();
    for (const auto& [key, timer] : timers_)
        if (key.first == &w && timer->due <= now) due.push_back(key.second);
    for (int id : due) {
        auto it = timers_.find({&w, id});
        if (it == timers_.end()) continue;
        TimerData* t = it->second.get();
        Fl::remove_timeout(TimerCallback, t);
        Fl::add_timeout(t->period, TimerCallback, t);
        t->due = DueAfter(t->period);
        FireTimer(&w, id);
        // The timer may have destroyed the window (and deleted it).
        if (!PeerOf(w)) return;
    }
    Peer* p = PeerOf(w);
    if (!p || !p->top || !p->top->shown()) return;
    XSync(fl_display, False);
    XEvent ev;
    const ::Window xid = fl_xid(p->top);
    const long mask = ExposureMask | StructureNotifyMask | VisibilityChangeMask | ButtonPressMask | ButtonReleaseMask;
    // A handled event may destroy the window (a close request): stop then.
    while (PeerOf(w) && (XCheckWindowEvent(fl_display, xid, mask, &ev) ||
                         XCheckTypedWindowEvent(fl_display, xid, ClientMessage, &ev)))
        fl_handle(ev);
    Fl::flush();
}

void FltkBackend::Sleep(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void FltkBackend::BeginWaitCursor() {
    if (waitDepth_++ == 0)
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) w->cursor(FL_CURSOR_WAIT);
    Fl::flush();
}

void FltkBackend::EndWaitCursor() {
    if (waitDepth_ > 0 && --waitDepth_ == 0)
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) w->cursor(FL_CURSOR_DEFAULT);
}

ui::BaseUnits FltkBackend::DialogBaseUnits() const {
    // Controls show their texts in the normal sans font: template units
    // follow its letters' average width and its line height, so that a
    // text that fitted its place in the template fits it on the screen.
    static const ui::BaseUnits units = [] {
        fl_open_display();
        fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
        const double letters = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        return ui::BaseUnits{letters / 52, static_cast<double>(fl_height())};
    }();
    return units;
}

ui::Rect FltkBackend::DesktopRect() const {
    int x = 0, y = 0, w = 1024, h = 768;
    if (fl_display || Fl::first_window())
        Fl::screen_xywh(x, y, w, h, 0);
    else {
        fl_open_display();
        Fl::screen_xywh(x, y, w, h, 0);
    }
    return ui::Rect{x, y, w, h};
}

bool FltkBackend::KeyLockState(int lockKey) const {
    const int s = Fl::event_state();
    if (lockKey == ui::key::CapsLock) return (s & FL_CAPS_LOCK) != 0;
    if (lockKey == ui::key::NumLock) return (s & FL_NUM_LOCK) != 0;
    if (lockKey == ui::key::ScrollLock) return (s & FL_SCROLL_LOCK) != 0;
    return false;
}

bool FltkBackend::ShellOpen(const std::string& path) { return ui::StartDetached({"xdg-open", path}); }

bool FltkBackend::OpenInTextEditor(const std::string& path) {
    std::vector<std::string> argv = ui::TextEditorCommand();
    if (argv.empty()) argv.push_back("xdg-open");
    argv.push_back(path);
    return ui::StartDetached(argv);
}

}  // namespace brennix::fltk
