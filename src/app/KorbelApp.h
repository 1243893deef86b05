// The application: start-up (main frame, command line, the user name),
// exit (the user name written back), and the one-document-at-a-time rule
// for New, New from template, Open, recent files and dropped files.
#pragma once

#include <string>

#include "platform/ui/App.h"

class CKorbelDoc;

class CKorbelApp : public ui::App {
public:
    // Where the user name is kept in the settings store.
    static const char* const kUserKey;        // "SOFTWARE\Calvex\Brennix\2025.4.1"
    static const char* const kUserNameValue;  // "UserName"
    static const char* const kDocumentString;

    CKorbelApp();

    bool InitInstance() override;
    int ExitInstance() override;

    void OnFileNew() override;
    void OnFileNewFromTemplate();
    ui::Document* OpenDocumentFile(const std::string& path) override;
    // The save question for the open document; none when it was closed (or
    // none was open), else the document that stays open.
    ui::Document* CloseCurrentDocument();
    CKorbelDoc* FindOpenDocument() const;

    // 0 when the stored name was found, 1 when it is missing.
    int ReadUserName();
    void AskUserName();
    void OnUserInformation();
    void OnAppAbout();

    // Called back by the slab-type dialog.
    void NewFromTemplate();
    void NewOctagonFoundation(int kind);

    const std::string& UserName() const { return userName_; }
    bool UserNameMissing() const { return userNameMissing_ != 0; }

private:
    std::string userName_;
    unsigned char userNameMissing_ = 0;
    bool userNameKnown_ = false;  // read or asked at start-up
};

// The operating system's name of the logged-on user; "" when unknown.
std::string GetLogonUserName();
