// The application: start-up and exit, the main frame, the one document at a
// time, the settings store with the recent-file list, and the standard file
// commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Commands.h"
#include "platform/ui/DocView.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Settings.h"

namespace ui {

class App : public CommandTarget {
public:
    App();
    ~App() override;
    // The one application object, or none.
    static App* Get();

    // Start-up: false ends the program. Exit: the exit code.
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance();
    // InitInstance, the back end's main loop, ExitInstance.
    int Run(const std::vector<std::string>& args);
    const std::vector<std::string>& Arguments() const { return args_; }

    void SetAppName(const std::string& name) { appName_ = name; }
    const std::string& AppName() const { return appName_; }

    Frame* MainFrame() const { return mainFrame_.get(); }
    void SetMainFrame(std::unique_ptr<Frame> frame);

    // The settings store in ConfigFolder(AppName()) / "settings" unless a
    // path was set; loaded with the recent files of the given size.
    void LoadStdProfileSettings(int recentFiles = 4);
    Settings& GetSettings() { return settings_; }
    bool SaveSettings();
    RecentFileList& RecentFiles() { return recent_; }
    void AddToRecentFileList(const std::string& path);

    void SetDocumentType(DocumentType type) { docType_ = std::move(type); }
    const DocumentType& GetDocumentType() const { return docType_; }
    Document* GetDocument() const { return doc_.get(); }

    // File New: the save-or-discard question, then a new document with a new
    // view in the main frame.
    virtual void OnFileNew();
    // File Open: the open dialog with the type's filter, then OpenDocumentFile.
    virtual void OnFileOpen();
    // Opens the path as the document after the save-or-discard question for
    // the open one; the open document when the user cancels; none when the
    // open failed.
    virtual Document* OpenDocumentFile(const std::string& path);
    // Recent file i (0-based): opened; removed from the list when that fails.
    virtual void OnOpenRecentFile(int index);
    virtual void OnAppExit();
    // The save-or-discard question for the open document.
    bool SaveAllModified();
    // Closes the open document without asking.
    void CloseAllDocuments(bool endSession = false);
    // The command line: no argument a new document, one path opens it.
    bool ProcessShellCommand(const std::vector<std::string>& args);

    void Quit() { quit_ = true; }
    bool QuitRequested() const { return quit_; }
    // Idle work: the frame's toolbar and indicator updates; frees closed documents.
    void OnIdle();

    // User actions.
    void UserDropFiles(const std::vector<std::string>& paths);

    // Called by Document::OnCloseDocument.
    void OnDocumentClosed(Document* doc);

protected:
    // A document and view of the type, attached to the main frame.
    Document* CreateNewDocument();

private:
    std::string appName_;
    std::vector<std::string> args_;
    std::unique_ptr<Frame> mainFrame_;
    Settings settings_;
    RecentFileList recent_{4};
    DocumentType docType_;
    std::unique_ptr<Document> doc_;
    std::vector<std::unique_ptr<Document>> closed_;
    int untitledCount_ = 0;
    bool quit_ = false;
};

}  // namespace ui
