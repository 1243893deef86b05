#include "dialogs/DlgMaterialDataNew.h"

#include "dialogs/CDlgOrthoBox.h"
#include "dialogs/CDlgOrthoRebar.h"
#include "dialogs/CDlgOrthoRib.h"
#include "dialogs/CDlgOrthoUser.h"
#include "dialogs/DlgMaterialProps.h"
#include "model/ModelData.h"

const char* const DlgMaterialDataNew::kTypeNames[5] = {"Isotropic", "Orthotropic Reinforcement",
                                                       "Orthotropic Enhanced Stiffener",
                                                       "Orthotropic One Way Box Section", "User Defined Property"};


DlgMaterialDataNew::DlgMaterialDataNew(DocHost* doc, ViewHost* view)
    : GridPage(kTemplateId, doc, view, kRows, 4), m_text(kRows), m_type(kRows, 0) {
    OnClicked(IDC_ADD_MATERIAL, [this] { OnBnClickedAddMaterial(); });
    OnClicked(IDC_INSERT_MATERIAL, [this] { OnBnClickedInsertMaterial(); });
    OnClicked(IDC_DELETE_MATERIAL, [this] { OnBnClickedDeleteMaterial(); });
    OnNotifyRange(ui::Notify::Clicked, CellId(1, 3), CellId(kRows, 3),
                  [this](ui::Notification& n) { OnBnClickedDefine(n.id - CellId(1, 3) + 1); });
}

DlgMaterialDataNew::~DlgMaterialDataNew() = default;

ui::DialogTemplate DlgMaterialDataNew::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Material Data";
    t.rect = {0, 0, 384, 190};
    const int top = 32, pitch = 15;
    for (int s = 1; s <= kRows; ++s) {
        const int y = top + (s - 1) * pitch;
        t.Label(CellId(s, 0), "", {4, y + 2, 18, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, 1), {26, y, 70, 12});
        t.Combo(CellId(s, 2), {100, y, 140, 80}, ui::cs::DropList);
        t.PushButton(CellId(s, 3), "Define", {244, y, 40, 12});
    }
    t.DefPushButton(ui::IDOK, "OK", {314, 8, 62, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {314, 26, 62, 14});
    t.PushButton(kApplyId, "Apply", {314, 44, 62, 14});
    t.PushButton(IDC_ADD_MATERIAL, "Add Material", {314, 70, 62, 14});
    t.PushButton(IDC_INSERT_MATERIAL, "Insert Material", {314, 88, 62, 14});
    t.PushButton(IDC_DELETE_MATERIAL, "Delete Material", {314, 106, 62, 14});
    t.DefPushButton(IDC_NONE, "None", {314, 170, 62, 14}, ui::cs::Hidden);
    t.Label(ui::IDSTATIC, "Element", {26, 6, 70, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Number/Set", {26, 15, 70, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Material Type", {100, 15, 140, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Edit", {238, 6, 52, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Properties", {238, 15, 52, 8}, ui::cs::CenterText);
    t.VScrollBar(kScrollBarId, {290, top, 10, kRows * pitch - 3});
    t.Label(ui::IDSTATIC, "Number of", {314, 136, 62, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Materials", {314, 145, 62, 8}, ui::cs::CenterText);
    t.Label(kCountLabelId, "", {320, 156, 50, 12}, ui::cs::CenterText | ui::cs::Border);
    return t;
}

bool DlgMaterialDataNew::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    for (int s = 1; s <= kRows; ++s)
        if (auto* combo = Get<ui::ComboBox>(CellId(s, 2)))
            for (const char* name : kTypeNames) combo->AddString(name);
    LoadFromModel();
    return true;
}

bool DlgMaterialDataNew::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

void DlgMaterialDataNew::LoadFromModel() {
    if (m_view) m_view->SetHighlightState(2, "0");
    m_table = std::make_unique<MaterialTable>();
    if (ModelData* model = Model(); model && model->GetMaterialTable())
        m_table->CopyMaterialTable(*model->GetMaterialTable());
    m_table->CountMaterialRows();
    m_table->RebuildMaterialIndex();
    m_modified = 0;
    StartAtFirstRow();
}

void DlgMaterialDataNew::LoadSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_text[s] = m_table->GetMaterialRowTextAt(row);
    m_type[s] = m_table->GetMaterialType(row);
}

void DlgMaterialDataNew::ExchangeSlot(ui::DataExchange& dx, int slot) {
    const size_t s = static_cast<size_t>(slot - 1);
    dx.Text(CellId(slot, 1), m_text[s]);
    dx.ComboIndex(CellId(slot, 2), m_type[s]);
}

int DlgMaterialDataNew::Validate() {
    const ModelData* model = Model();
    m_elements = NumberLookup(model ? model->GetElementTable() : nullptr,
                              [](const ElementTable& t, int i) { return t.GetId(i); });
    return GridPage::Validate();
}

int DlgMaterialDataNew::CheckSlot(int slot) {
    const std::string& text = m_text[static_cast<size_t>(slot - 1)];
    const int other = FindDuplicate(
        slot, text, [this](int j) { return m_table->GetMaterialRowTextAt(j); },
        [this](int k) { return m_text[static_cast<size_t>(k - 1)]; });
    if (other >= 0) {
        RowMessage(Format(" Element Set %s is already defined \n Check rows %d and %d", text.c_str(), other + 1,
                          TableRow(slot) + 1));
        return 1;
    }
    if (CheckTarget(slot, text) > 0) return 1;
    // An orthotropic type takes its rigidities from its section, which only
    // Define enters (and then stores the type with them): a type chosen
    // without it would go to the model with another type's values or none.
    const int type = m_type[static_cast<size_t>(slot - 1)];
    const int row = TableRow(slot);
    if (Reason() == kReasonWrite && type != kMaterialIsotropic && row < m_table->GetCount() &&
        m_table->GetMaterialType(row) != type) {
        const char* name = type >= 0 && type < 5 ? kTypeNames[type] : "";
        RowMessage(Format(" %s has no section data yet.\n Press Define to enter it.\n Check row %d", name, row + 1));
        return 1;
    }
    return 0;
}

int DlgMaterialDataNew::CheckTarget(int slot, const std::string& text) {
    const int row = TableRow(slot) + 1;
    if (CheckWord(slot, "Element", text) > 0) return 1;
    switch (ClassifyTarget(slot, text)) {
        case TargetKind::Placeholder: return 0;  // a fresh row while it is being typed
        case TargetKind::Number:
            // The placeholder "0" of a new row, checked on a move or a write.
            if (text[0] != '0' || m_elements.Contains(0) || DeletingSlot(slot)) break;
            RowMessage(Format(" Element %s is not defined \n Check row %d", text.c_str(), row));
            return 1;
        case TargetKind::SetName: break;
    }
    if (DeletingSlot(slot) || (text[0] == '0' && slot == m_currentRow)) return 0;
    const ModelData* model = Model();
    const ItemFault fault = FindItemFault(text, m_elements, model ? model->GetSetTable(2) : nullptr);
    switch (fault.kind) {
        case ItemFault::None: return 0;
        case ItemFault::Malformed:
            return MalformedItemMessage(slot, "Element", fault.item, "A range of elements is given as an element set.");
        case ItemFault::NoNumber:
            RowMessage(Format(" Element %s is not defined \n Check row %d", fault.item.c_str(), row));
            return 1;
        case ItemFault::NoSet: break;
    }
    RowMessage(Format(" Element Set %s is not defined \n Check row %d", fault.item.c_str(), row));
    return 1;
}

void DlgMaterialDataNew::StoreSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_table->SetMaterialRowTextAt(row, m_text[s]);
    m_table->SetMaterialType(row, m_type[s]);
}

bool DlgMaterialDataNew::DiffersFromModel() const {
    const ModelData* model = Model();
    if (!model || !model->GetMaterialTable()) return m_table && m_table->GetCount() != 0;
    return m_table && model->GetMaterialTable()->CompareMaterialTable(*m_table);
}

void DlgMaterialDataNew::WriteToModel() {
    ModelData* model = Model();
    if (!model) return;
    model->ReplaceMaterialTable(*m_table);
    model->AssignMaterialsToElements();
}

void DlgMaterialDataNew::CloseGrid(int result) {
    EndDialog(result);
    if (m_doc) m_doc->OnMaterialDataDialogClosed();
}

void DlgMaterialDataNew::InsertPickedName(const std::string& text) {
    if (!BeginPick()) return;
    m_text[static_cast<size_t>(m_currentRow - 1)] = text;
    EndPick(1);
}

bool DlgMaterialDataNew::DefineRow(int type, int row, const std::string& text) {
    if (type == kMaterialIsotropic) {
        DlgMaterialProps props(this);
        props.m_name = text;
        props.m_E = m_table->GetMaterialE(row);
        props.m_nu = m_table->GetMaterialNu(row);
        props.m_t = m_table->GetMaterialThickness(row);
        if (props.DoModal() != ui::IDOK) return false;
        m_table->SetBaseValues(row, props.m_E, m_table->GetMaterialEs(row), props.m_nu, props.m_t);
        return true;
    }
    std::unique_ptr<OrthoDialog> dialog;
    switch (type) {
        case kMaterialRebar: dialog = std::make_unique<CDlgOrthoRebar>(this); break;
        case kMaterialRib: dialog = std::make_unique<CDlgOrthoRib>(this); break;
        case kMaterialBox: dialog = std::make_unique<CDlgOrthoBox>(this); break;
        case kMaterialUserOrtho: dialog = std::make_unique<CDlgOrthoUser>(this); break;
        default: return false;
    }
    dialog->SetRow(m_table.get(), row, text);
    return dialog->DoModal() == ui::IDOK;
}

void DlgMaterialDataNew::OnBnClickedDefine(int slot) {
    if (slot < 1 || slot > VisibleRows()) return;
    UpdateData(true);
    const size_t s = static_cast<size_t>(slot - 1);
    DefineRow(m_type[s], TableRow(slot), m_text[s]);
    // The cells keep what was typed; only the buttons follow the copy.
    CheckModified();
    UpdateButtons();
}

void DlgMaterialDataNew::OnBnClickedAddMaterial() {
    if (!BeginAppend(false)) return;
    const int last = m_table->GetCount() - 1;
    m_table->AddMaterialRow("0", kMaterialIsotropic, ValueOf(last, &MaterialTable::GetMaterialE), 2000.0,
                            ValueOf(last, &MaterialTable::GetMaterialNu),
                            ValueOf(last, &MaterialTable::GetMaterialThickness));
    m_table->CountMaterialRows();
    m_table->RebuildMaterialIndex();
    RowsChanged();
}

void DlgMaterialDataNew::OnBnClickedInsertMaterial() {
    const int k = BeginInsert();
    if (k < 0) return;
    m_table->InsertMaterialRow(k, "0", ValueOf(k - 1, &MaterialTable::GetMaterialE), 2000.0,
                               ValueOf(k - 1, &MaterialTable::GetMaterialNu),
                               ValueOf(k - 1, &MaterialTable::GetMaterialThickness));
    m_currentColumn = 1;
    RowsChanged();
}

void DlgMaterialDataNew::OnBnClickedDeleteMaterial() {
    const int row = BeginDelete();
    if (row < 0) return;
    m_table->RemoveMaterialRow(row);
    RowsChanged();
}

double DlgMaterialDataNew::ValueOf(int row, double (MaterialTable::*get)(int) const) const {
    return row >= 0 && row < m_table->GetCount() ? (m_table.get()->*get)(row) : 0.0;
}
