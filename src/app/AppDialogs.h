// The application's own dialogs: User Information and About.
#pragma once

#include <string>

#include "platform/ui/Dialog.h"

// "User Information": the name printed on output report files.
class CUserDlg : public ui::Dialog {
public:
    static constexpr int IDD = 209;
    static constexpr int IDC_USER_NAME = 1109;
    static constexpr int IDC_HINT = 1443;

    explicit CUserDlg(ui::Window* parent = nullptr) : ui::Dialog(IDD, parent) {}
    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    // The edit's text, whichever button closed the dialog.
    void OnCancel() override;

    std::string userName;
    bool showHint = false;
};

// "About Brennix": version, what the program analyses, and the maker's
// support address and web page, opened when clicked.
class CAboutDlg : public ui::Dialog {
public:
    static constexpr int IDD = 100;
    static constexpr int IDC_PRODUCT = 1299;
    static constexpr int IDC_MAIL = 1301;
    static constexpr int IDC_WEB = 1302;
    static const char* const kMailAddress;
    static const char* const kWebPage;

    explicit CAboutDlg(ui::Window* parent = nullptr);
    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
};
