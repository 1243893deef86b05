#include "platform/ui/DocView.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/App.h"
#include "platform/ui/Services.h"

namespace ui {

DocumentType DocumentType::Parse(const std::string& typeString) {
    std::vector<std::string> f = SplitAt(typeString, '\n');
    f.resize(7);
    DocumentType t;
    t.windowTitle = f[0];
    t.docName = f[1];
    t.newName = f[2];
    t.filterName = f[3];
    t.extension = f[4];
    t.fileTypeId = f[5];
    t.fileTypeName = f[6];
    return t;
}

std::string DocumentType::Filter() const {
    if (filterName.empty() || extension.empty()) return "";
    return filterName + "|*" + extension + "|";
}

// ---------------------------------------------------------------------------

Document::Document() {
    OnCommand(cmd::FileSave, [this] { DoFileSave(); });
    OnCommand(cmd::FileSaveAs, [this] { DoSave(""); });
    OnCommand(cmd::FileClose, [this] {
        if (SaveModified()) OnCloseDocument();
    });
}

Document::~Document() {
    for (View* v : std::vector<View*>(views_)) v->SetDocument(nullptr);
}

bool Document::OnNewDocument() {
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

bool Document::OnOpenDocument(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        MessageBox("Unable to open the file\n" + path, Buttons::Ok, Icon::Exclamation);
        return false;
    }
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

bool Document::OnSaveDocument(const std::string& path) {
    // Opening for appending checks that the file can be written and creates
    // it when missing, without touching what is there.
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) {
        MessageBox("Unable to save the file\n" + path, Buttons::Ok, Icon::Exclamation);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void Document::OnCloseDocument() {
    if (closed_) return;
    closed_ = true;
    if (App* app = App::Get()) {
        app->OnDocumentClosed(this);
    } else {
        for (View* v : std::vector<View*>(views_)) v->SetDocument(nullptr);
    }
}

void Document::SetPathName(const std::string& path, bool addToRecent) {
    std::string full = path;
    if (!full.empty()) {
        std::error_code ec;
        auto abs = std::filesystem::absolute(path, ec);
        if (!ec) full = abs.lexically_normal().string();
    }
    path_ = full;
    title_ = std::filesystem::path(full).filename().string();
    App* app = App::Get();
    if (addToRecent && app && !full.empty()) app->AddToRecentFileList(full);
    if (app && app->MainFrame()) app->MainFrame()->UpdateTitle();
}

void Document::SetTitle(const std::string& title) {
    title_ = title;
    if (App* app = App::Get(); app && app->MainFrame()) app->MainFrame()->UpdateTitle();
}

bool Document::DoSave(const std::string& path, bool replace) {
    std::string target = path;
    if (target.empty()) {
        const DocumentType* type = Type();
        std::string ext = type ? type->extension : "";
        std::string name = path_.empty() ? title_ : path_;
        if (path_.empty() && !ext.empty() && name.find('.') == std::string::npos) name += ext;
        FileDialog dlg(false, ext.empty() ? "" : ext.substr(ext[0] == '.' ? 1 : 0), name,
                       ofn::HideReadOnly | ofn::OverwritePrompt, type ? type->Filter() : "");
        if (dlg.DoModal() != IDOK) return false;
        target = dlg.GetPathName();
    }
    WaitCursor wait;
    if (!OnSaveDocument(target)) return false;
    if (replace) SetPathName(target);
    return true;
}

bool Document::DoFileSave() {
    if (path_.empty()) return DoSave("");
    std::error_code ec;
    const auto perms = std::filesystem::status(path_, ec).permissions();
    if (!ec && std::filesystem::exists(path_, ec) &&
        (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        return DoSave("");
    return DoSave(path_);
}

bool Document::SaveModified() {
    if (!IsModified()) return true;
    const std::string name = path_.empty() ? title_ : path_;
    switch (MessageBox("Save changes to " + name + "?", Buttons::YesNoCancel, Icon::Question)) {
        case IDCANCEL: return false;
        case IDNO: return true;
        default: return DoFileSave();
    }
}

void Document::AddView(View* v) {
    if (std::find(views_.begin(), views_.end(), v) == views_.end()) views_.push_back(v);
}

void Document::RemoveView(View* v) { views_.erase(std::remove(views_.begin(), views_.end(), v), views_.end()); }

void Document::UpdateAllViews(View* sender, long hint) {
    for (View* v : std::vector<View*>(views_))
        if (v != sender) v->OnUpdate(sender, hint);
}

App* Document::GetApp() const { return App::Get(); }

const DocumentType* Document::Type() const {
    App* app = App::Get();
    return app ? &app->GetDocumentType() : nullptr;
}

// ---------------------------------------------------------------------------

View::View() : Window(WindowKind::View) {}

View::~View() {
    if (doc_) doc_->RemoveView(this);
}

void View::SetDocument(Document* doc) {
    if (doc_ == doc) return;
    if (doc_) doc_->RemoveView(this);
    doc_ = doc;
    if (doc_) doc_->AddView(this);
}

void View::OnInitialUpdate() { OnUpdate(nullptr, 0); }

void View::OnUpdate(View*, long) { Invalidate(true); }

int View::ButtonFlags(int modifiers) const {
    int flags = modifiers & (mod::Shift | mod::Control | mod::Alt);
    if (left_) flags |= mod::LeftButton;
    if (right_) flags |= mod::RightButton;
    if (middle_) flags |= mod::MiddleButton;
    return flags;
}

void View::ButtonEvent(MouseButton b, bool down, Point p, int modifiers, void (View::*onLeft)(int, Point),
                       void (View::*onRight)(int, Point)) {
    if (!IsWindow()) return;
    bool& pressed = b == MouseButton::Left ? left_ : b == MouseButton::Right ? right_ : middle_;
    pressed = down;
    if (b == MouseButton::Left) (this->*onLeft)(ButtonFlags(modifiers), p);
    if (b == MouseButton::Right) (this->*onRight)(ButtonFlags(modifiers), p);
}

void View::UserMouseDown(MouseButton b, int x, int y, int modifiers) {
    ButtonEvent(b, true, Point{x, y}, modifiers, &View::OnLButtonDown, &View::OnRButtonDown);
}

void View::UserMouseUp(MouseButton b, int x, int y, int modifiers) {
    ButtonEvent(b, false, Point{x, y}, modifiers, &View::OnLButtonUp, &View::OnRButtonUp);
}

void View::UserDoubleClick(MouseButton b, int x, int y, int modifiers) {
    ButtonEvent(b, true, Point{x, y}, modifiers, &View::OnLButtonDblClk, &View::OnRButtonDblClk);
}

void View::UserMouseMove(int x, int y, int modifiers) {
    if (IsWindow()) OnMouseMove(ButtonFlags(modifiers), Point{x, y});
}

void View::UserWheel(int delta, int x, int y, int modifiers) {
    if (IsWindow()) OnMouseWheel(ButtonFlags(modifiers), delta, Point{x, y});
}

void View::UserKeyDown(int key, int repeat) {
    if (IsWindow()) OnKeyDown(key, repeat, 0);
}

void View::UserKeyUp(int key) {
    if (IsWindow()) OnKeyUp(key, 1, 0);
}

void View::UserResize(int w, int h) { SetWindowSize(w, h); }

}  // namespace ui
