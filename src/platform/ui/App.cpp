#include "platform/ui/App.h"

#include <algorithm>

#include "platform/ui/Backend.h"
#include "platform/ui/Services.h"

namespace ui {

namespace {
App* g_app = nullptr;
}

App* App::Get() { return g_app; }

App::App() {
    g_app = this;
    OnCommand(cmd::FileNew, [this] { OnFileNew(); });
    OnCommand(cmd::FileOpen, [this] { OnFileOpen(); });
    OnCommand(cmd::AppExit, [this] { OnAppExit(); });
    OnCommandRange(cmd::FileMruFirst, cmd::FileMruLast, [this](int id) { OnOpenRecentFile(id - cmd::FileMruFirst); });
    OnUpdateUIRange(cmd::FileMruFirst, cmd::FileMruLast,
                    [this](CmdUI& ui) { ui.Enable(ui.Id() - cmd::FileMruFirst < recent_.Count()); });
}

App::~App() {
    if (mainFrame_) mainFrame_->TakeView();
    doc_.reset();
    closed_.clear();
    if (mainFrame_ && mainFrame_->IsWindow()) mainFrame_->DestroyWindow();
    mainFrame_.reset();
    if (g_app == this) g_app = nullptr;
}

int App::ExitInstance() {
    SaveSettings();
    return 0;
}

int App::Run(const std::vector<std::string>& args) {
    args_ = args;
    if (!InitInstance()) {
        ExitInstance();
        return 1;
    }
    GetBackend().RunMainLoop(*this);
    return ExitInstance();
}

void App::SetMainFrame(std::unique_ptr<Frame> frame) { mainFrame_ = std::move(frame); }

void App::LoadStdProfileSettings(int recentFiles) {
    if (settings_.Path().empty()) settings_.SetPath(ConfigFolder(appName_.empty() ? "app" : appName_) + "/settings");
    settings_.Load();
    recent_ = RecentFileList(recentFiles);
    recent_.Load(settings_);
}

bool App::SaveSettings() {
    if (settings_.Path().empty()) return false;
    recent_.Save(settings_);
    return settings_.Save();
}

void App::AddToRecentFileList(const std::string& path) { recent_.Add(path); }

Document* App::CreateNewDocument() {
    if (!docType_.createDocument) return nullptr;
    std::unique_ptr<Document> doc = docType_.createDocument();
    if (!doc) return nullptr;
    std::unique_ptr<View> view = docType_.createView ? docType_.createView() : nullptr;
    doc_ = std::move(doc);
    if (view) {
        view->SetDocument(doc_.get());
        if (mainFrame_ && !mainFrame_->SetView(std::move(view))) {
            doc_.reset();
            return nullptr;
        }
    }
    return doc_.get();
}

void App::OnFileNew() {
    if (!SaveAllModified()) return;
    CloseAllDocuments();
    Document* doc = CreateNewDocument();
    if (!doc) return;
    if (!doc->OnNewDocument()) {
        if (mainFrame_) mainFrame_->TakeView();
        doc_.reset();
        return;
    }
    const std::string base = docType_.newName.empty() ? docType_.docName : docType_.newName;
    doc->SetTitle((base.empty() ? std::string("Untitled") : base) + std::to_string(++untitledCount_));
    if (mainFrame_) mainFrame_->UpdateTitle();
    if (mainFrame_ && mainFrame_->GetActiveView()) mainFrame_->GetActiveView()->OnInitialUpdate();
}

void App::OnFileOpen() {
    std::string filter = docType_.Filter() + "All Files (*.*)|*.*||";
    std::string ext = docType_.extension;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    FileDialog dlg(true, ext, "", ofn::HideReadOnly | ofn::FileMustExist, filter);
    if (dlg.DoModal() != IDOK) return;
    OpenDocumentFile(dlg.GetPathName());
}

Document* App::OpenDocumentFile(const std::string& path) {
    if (!SaveAllModified()) return doc_.get();
    CloseAllDocuments();
    Document* doc = CreateNewDocument();
    if (!doc) return nullptr;
    if (!doc->OnOpenDocument(path)) {
        if (mainFrame_) mainFrame_->TakeView();
        doc_.reset();
        if (mainFrame_) mainFrame_->UpdateTitle();
        return nullptr;
    }
    doc->SetPathName(path, true);
    if (mainFrame_ && mainFrame_->GetActiveView()) mainFrame_->GetActiveView()->OnInitialUpdate();
    return doc;
}

void App::OnOpenRecentFile(int index) {
    if (index < 0 || index >= recent_.Count()) return;
    const std::string path = recent_.At(index);
    if (OpenDocumentFile(path)) return;
    const auto& files = recent_.Files();
    auto it = std::find(files.begin(), files.end(), path);
    if (it != files.end()) recent_.Remove(static_cast<int>(it - files.begin()));
}

void App::OnAppExit() {
    if (mainFrame_) {
        mainFrame_->OnClose();
        return;
    }
    if (!SaveAllModified()) return;
    CloseAllDocuments();
    Quit();
}

bool App::SaveAllModified() { return doc_ ? doc_->SaveModified() : true; }

void App::CloseAllDocuments(bool) {
    if (doc_) doc_->OnCloseDocument();
}

bool App::ProcessShellCommand(const std::vector<std::string>& args) {
    if (args.empty()) {
        OnFileNew();
        return doc_ != nullptr;
    }
    return OpenDocumentFile(args.front()) != nullptr;
}

void App::OnIdle() {
    closed_.clear();
    if (mainFrame_ && mainFrame_->IsWindow()) mainFrame_->OnIdle();
}

void App::UserDropFiles(const std::vector<std::string>& paths) {
    if (!paths.empty()) OpenDocumentFile(paths.front());
}

void App::OnDocumentClosed(Document* doc) {
    if (!doc || doc != doc_.get()) return;
    if (mainFrame_ && mainFrame_->GetActiveDocument() == doc) mainFrame_->TakeView();
    for (View* v : std::vector<View*>(doc->Views())) v->SetDocument(nullptr);
    closed_.push_back(std::move(doc_));
    if (mainFrame_) mainFrame_->UpdateTitle();
}

}  // namespace ui
