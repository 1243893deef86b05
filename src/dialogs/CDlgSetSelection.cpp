#include "dialogs/CDlgSetSelection.h"

#include "model/ModelData.h"
#include "platform/ui/Services.h"

CDlgSetSelection::CDlgSetSelection(DocHost* doc, ViewHost* view, ui::Window* parent)
    : ui::Dialog(kTemplateId, parent), m_doc(doc), m_view(view) {
    OnNotify(ui::Notify::DoubleClicked, IDC_SET_LIST, [this](ui::Notification& n) { OnNMDblclkSetList(n); });
    OnNotify(ui::Notify::ItemChanged, IDC_SET_LIST, [this](ui::Notification& n) { OnLvnItemchangedSetList(n); });
}

ui::DialogTemplate CDlgSetSelection::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Select Set";
    t.rect = {0, 0, 200, 160};
    t.Label(ui::IDSTATIC, "Set Group", {8, 6, 120, 8});
    t.Report(IDC_SET_LIST, {8, 18, 184, 112}, ui::cs::MultiSelect);
    t.DefPushButton(ui::IDOK, "OK", {40, 138, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {110, 138, 50, 14});
    return t;
}

void CDlgSetSelection::DoDataExchange(ui::DataExchange&) {}

bool CDlgSetSelection::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    const ModelData* model = m_doc ? m_doc->GetModelData() : nullptr;
    const SetTable* sets = model ? model->GetSetTable(1) : nullptr;
    ui::ListView* list = List();
    if (!sets || !list) return true;
    list->SetControlStyle(list->ControlStyle() | ui::cs::FullRowSelect | ui::cs::GridLines);
    list->InsertColumn(0, "Set", 0, 120);
    list->InsertColumn(1, "Type", 0, 80);
    list->InsertColumn(2, "", 0, 30);
    if (sets->GetSetKind() != 1) return true;
    for (int i = 0; i < sets->GetCount(); ++i) {
        const int item = list->InsertItem(list->GetItemCount(), sets->GetRowName(i));
        list->SetItemText(item, 1, "Node");
        list->SetItemText(item, 2, "");
    }
    return true;
}

void CDlgSetSelection::OnOK() {
    ui::ListView* list = List();
    std::string name;
    for (int item = list ? list->GetNextSelected(-1) : -1; item >= 0; item = list->GetNextSelected(item)) {
        m_selectedIndex = item;
        name = list->GetItemText(item, 0).substr(0, 1024);
    }
    if (name.empty()) {
        ui::MessageBox("Error: Internal error in selecting set", ui::Buttons::Ok, ui::Icon::None);
        return;
    }
    m_selectedSetName = name;
    if (ModelData* model = m_doc ? m_doc->GetModelData() : nullptr) model->selectedSetName = name;
    if (m_doc) m_doc->OnSetSelected();
    EndDialog(ui::IDOK);
}

void CDlgSetSelection::OnCancel() {
    EndDialog(ui::IDCANCEL);
    // The dialog hidden for the pick comes back.
    if (m_doc) m_doc->OnSetSelectionCancelled();
}

void CDlgSetSelection::OnNMDblclkSetList(ui::Notification& n) {
    n.result = 0;
    OnOK();
}

void CDlgSetSelection::OnLvnItemchangedSetList(ui::Notification& n) { n.result = 0; }
