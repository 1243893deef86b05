#include "app/AppDialogs.h"

#include "platform/ui/Services.h"

ui::DialogTemplate CUserDlg::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = IDD;
    t.caption = "User Information";
    t.rect = {0, 0, 260, 110};
    t.Label(ui::IDSTATIC, "Please enter information to personalize this software installation", {10, 8, 240, 10});
    t.Label(ui::IDSTATIC, "Name to display on output report files:", {10, 26, 240, 10});
    t.EditBox(IDC_USER_NAME, {10, 38, 240, 14}, ui::cs::TabStop | ui::cs::AutoHScroll);
    t.Label(IDC_HINT, "You can change this name later under Help, User Information.", {10, 58, 240, 10});
    t.DefPushButton(ui::IDOK, "OK", {146, 86, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {200, 86, 50, 14});
    return t;
}

bool CUserDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (ui::Control* hint = GetDlgItem(IDC_HINT)) hint->ShowWindow(showHint);
    return true;
}

void CUserDlg::DoDataExchange(ui::DataExchange& dx) { dx.Text(IDC_USER_NAME, userName); }

void CUserDlg::OnCancel() {
    userName = GetDlgItemText(IDC_USER_NAME);
    ui::Dialog::OnCancel();
}

const char* const CAboutDlg::kMailAddress = "mailto:support@calvex.example";
const char* const CAboutDlg::kWebPage = "https://www.calvex.example/";

CAboutDlg::CAboutDlg(ui::Window* parent) : ui::Dialog(IDD, parent) {
    for (int id : {IDC_MAIL, IDC_WEB}) {
        const std::string address = id == IDC_MAIL ? kMailAddress : kWebPage;
        OnNotify(ui::Notify::Clicked, id, [address] { ui::ShellOpen(address); });
        OnNotify(ui::Notify::DoubleClicked, id, [address] { ui::ShellOpen(address); });
    }
}

ui::DialogTemplate CAboutDlg::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = IDD;
    t.caption = "About Brennix";
    t.rect = {0, 0, 240, 130};
    t.Label(IDC_PRODUCT, "Brennix", {10, 8, 220, 14});
    t.Label(ui::IDSTATIC, "Brennix 2025.4.1", {10, 26, 220, 10});
    t.Label(ui::IDSTATIC, "Finite element analysis of mat foundations", {10, 42, 220, 10});
    t.Label(ui::IDSTATIC, "and slabs supported by soil.", {10, 52, 220, 10});
    t.Label(IDC_MAIL, "support@calvex.example", {10, 72, 220, 10}, ui::cs::Notify);
    t.Label(IDC_WEB, "www.calvex.example", {10, 86, 220, 10}, ui::cs::Notify);
    t.DefPushButton(ui::IDOK, "OK", {180, 108, 50, 14});
    return t;
}

bool CAboutDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (ui::Control* product = GetDlgItem(IDC_PRODUCT)) {
        ui::Font bold;
        bold.face = "Arial";
        bold.height = 20;
        bold.weight = 700;
        product->SetFont(bold);
    }
    if (ui::Control* web = GetDlgItem(IDC_WEB)) web->SetTextColor(ui::Rgb(0, 0, 255));
    return true;
}
