#include "app/KorbelApp.h"

#include "app/AppDialogs.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/MainFrame.h"
#include "model/ModelFile.h"
#include "platform/gl/Printing.h"
#include "platform/ui/Services.h"

using namespace korbel;

const char* const CKorbelApp::kUserKey = "SOFTWARE\\Calvex\\Brennix\\2025.4.1";
const char* const CKorbelApp::kUserNameValue = "UserName";
const char* const CKorbelApp::kDocumentString =
    "\nBrnx\nBrnx\nBrennix Files (*.slb)\n.slb\nBrennix.Document\nBrennix Document";

std::string GetLogonUserName() {
    std::string name = ui::LogonUserName();
    if (name.size() > 256) name.resize(256);
    return name;
}

CKorbelApp::CKorbelApp() {
    SetAppName("Brennix");
    OnCommand(ui::cmd::AppAbout, [this] { OnAppAbout(); });
    OnCommand(ID_FILE_NEW_FROM_TEMPLATE, [this] { OnFileNewFromTemplate(); });
    OnCommand(ID_HELP_USER_INFORMATION, [this] { OnUserInformation(); });
    OnCommand(ui::cmd::FilePrintSetup, [] {
        if (brennix::gl::PrintService* service = brennix::gl::GetPrintService()) service->Setup();
    });
}

bool CKorbelApp::InitInstance() {
    LoadStdProfileSettings(4);
    RegisterCommands();
    ui::DocumentType type = ui::DocumentType::Parse(kDocumentString);
    type.createDocument = [] { return std::make_unique<CKorbelDoc>(); };
    type.createView = [] { return std::make_unique<CKorbelView>(); };
    SetDocumentType(std::move(type));

    auto frame = std::make_unique<CMainFrame>();
    CMainFrame* main = frame.get();
    SetMainFrame(std::move(frame));
    if (!main->LoadFrame(CMainFrame::kTitle)) return false;
    main->SetMenuBar(BuildMenuBar());

    // A command line naming a folder, pipe or device (or nothing that
    // exists) has been reported: the program goes on with a new model. A
    // model file that cannot be read ends the start.
    if (!ProcessShellCommand(Arguments()) &&
        (Arguments().empty() || WhyNotReadableFile(Arguments().front()).empty() || !ProcessShellCommand({})))
        return false;
    userNameMissing_ = static_cast<unsigned char>(ReadUserName());
    if (userNameMissing_) AskUserName();
    userNameKnown_ = true;
    main->ShowWindow(true);
    main->UpdateWindow();
    return true;
}

int CKorbelApp::ExitInstance() {
    // Written back even when unchanged; a store that cannot be written
    // loses the name and the exit goes on. A start-up that ended before the
    // name was read leaves the stored one alone.
    if (userNameKnown_) GetSettings().SetString(kUserKey, kUserNameValue, userName_);
    return ui::App::ExitInstance();
}

int CKorbelApp::ReadUserName() {
    std::string name;
    if (!GetSettings().Get(kUserKey, kUserNameValue, name)) return 1;
    userName_ = name;
    return 0;
}

void CKorbelApp::AskUserName() {
    CUserDlg dlg(MainFrame());
    dlg.userName = GetLogonUserName();
    dlg.showHint = true;
    dlg.DoModal();
    userName_ = dlg.userName;
}

void CKorbelApp::OnUserInformation() {
    CUserDlg dlg(MainFrame());
    dlg.userName = userName_;
    dlg.showHint = false;
    dlg.DoModal();
    userName_ = dlg.userName;
}

void CKorbelApp::OnAppAbout() {
    CAboutDlg dlg(MainFrame());
    dlg.DoModal();
}

ui::Document* CKorbelApp::CloseCurrentDocument() {
    if (!SaveAllModified()) return GetDocument();
    CloseAllDocuments();
    if (MainFrame()) MainFrame()->UpdateWindow();
    return nullptr;
}

CKorbelDoc* CKorbelApp::FindOpenDocument() const { return dynamic_cast<CKorbelDoc*>(GetDocument()); }

void CKorbelApp::OnFileNew() {
    if (CloseCurrentDocument()) return;
    ui::App::OnFileNew();
}

void CKorbelApp::OnFileNewFromTemplate() {
    // A cancelled save question keeps the old model, whose tables the
    // template must not be added to.
    if (CloseCurrentDocument()) return;
    ui::App::OnFileNew();
    if (CKorbelDoc* doc = FindOpenDocument()) doc->NewFromSlabType();
}

ui::Document* CKorbelApp::OpenDocumentFile(const std::string& path) {
    if (ui::Document* open = CloseCurrentDocument()) return open;
    return ui::App::OpenDocumentFile(path);
}

void CKorbelApp::NewFromTemplate() {
    if (CKorbelDoc* doc = FindOpenDocument()) doc->NewFromTemplate();
}

void CKorbelApp::NewOctagonFoundation(int kind) {
    if (CKorbelDoc* doc = FindOpenDocument()) doc->NewOctagonFoundation(kind);
}
