// "Title": the project title of the model.
#pragma once

#include <string>

#include "uibase/Hosts.h"
#include "platform/ui/Dialog.h"

class DlgTitle : public ui::Dialog {
public:
    static constexpr int kTemplateId = 2032;
    enum { IDC_TITLE = 3401 };

    explicit DlgTitle(DocHost* doc, ui::Window* parent = nullptr) : ui::Dialog(kTemplateId, parent), m_doc(doc) {}

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override { dx.Text(IDC_TITLE, m_title); }
    // The text becomes the model's title; the views are updated.
    void OnOK() override;

    std::string m_title;

private:
    DocHost* m_doc;
};
