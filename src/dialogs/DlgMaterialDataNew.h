// "Material Data": the modeless grid of the material table. Each row names an
// element number or an element set and a material type; its "Define" button
// opens the property dialog of the type. Elements picked in the view go into
// the current row.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/GridPage.h"
#include "model/MaterialTable.h"

class DlgMaterialDataNew : public GridPage {
public:
    static constexpr int kTemplateId = 2012;
    static constexpr int kRows = 10;
    enum {
        IDC_ADD_MATERIAL = 2910,
        IDC_INSERT_MATERIAL,
        IDC_DELETE_MATERIAL,
        IDC_NONE,
    };
    // The type combo's entries; the index is the material type.
    static const char* const kTypeNames[5];

    DlgMaterialDataNew(DocHost* doc, ViewHost* view);
    ~DlgMaterialDataNew() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    // The model's element numbers are taken afresh for every check.
    int Validate() override;

    // A fresh working copy of the model's table; unapplied edits are dropped.
    void LoadFromModel();
    // The text of an item picked in the view, into the current row.
    void InsertPickedName(const std::string& text);

    void OnBnClickedDefine(int slot);
    void OnBnClickedAddMaterial();
    void OnBnClickedInsertMaterial();
    void OnBnClickedDeleteMaterial();

    const MaterialTable* WorkingCopy() const { return m_table.get(); }

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    // The flag follows the comparison both ways.
    void CheckModified() override { m_modified = DiffersFromModel() ? 1 : 0; }
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    int HighlightKind() const override { return 2; }
    std::string SlotHighlightText(int slot) const override { return m_text[static_cast<size_t>(slot - 1)]; }
    std::vector<int> CurrentRowButtons() const override { return {IDC_INSERT_MATERIAL, IDC_DELETE_MATERIAL}; }
    void CloseGrid(int result) override;

private:
    int CheckTarget(int slot, const std::string& text);
    // Opens the property dialog of the type on the table row; true on OK.
    bool DefineRow(int type, int row, const std::string& text);
    // A value of a row of the copy taken over by a new row; 0 without the row.
    double ValueOf(int row, double (MaterialTable::*get)(int) const) const;

    std::unique_ptr<MaterialTable> m_table;
    std::vector<std::string> m_text;
    std::vector<int> m_type;
    // The model's element numbers, taken by each validation.
    NumberLookup m_elements;
};
