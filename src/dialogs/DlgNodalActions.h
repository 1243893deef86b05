// The modeless grid of the five nodal action tables: specified displacements,
// nodal loads, nodal stiffnesses, distributed loads and distributed
// stiffnesses (kinds 1 to 5). Each row names a node or node set (kinds 1-3)
// or an element or element set (kinds 4-5) and carries, per degree of
// freedom, a check box and a value; a value counts only while its box is
// checked. Nodes or elements picked in the view go into the current row.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/ActionGrid.h"
#include "model/DataTable.h"

class DlgNodalActions : public ActionGrid {
public:
    static constexpr int kTemplateId = 2014;
    static constexpr int kRows = 10;
    static constexpr int kDofs = 6;
    enum {
        IDC_TARGET_HEADING = kFirstOwnId,
        IDC_VALUE_HEADING,  // dof 1; dofs 2-6 follow
    };
    // The check box of degree of freedom `dof` (1-6) in slot `slot`.
    static constexpr int CheckId(int slot, int dof) { return CellId(slot, 10 + dof); }
    static constexpr int ValueHeadingId(int dof) { return IDC_VALUE_HEADING + dof - 1; }

    // The words of a kind.
    struct Words {
        const char* title;
        const char* targetHeading;
        const char* translations;  // heading over dofs 1-3
        const char* rotations;     // heading over dofs 4-6
        const char* item;          // " Node " or " Element "
        const char* table;         // the table in the duplicate message
    };
    static const Words& WordsOf(int kind);

    DlgNodalActions(DocHost* doc, ViewHost* view, int kind);
    ~DlgNodalActions() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void Refresh() override;
    // The model's node, element and set tables are taken afresh for every
    // check: other grids and mesh tools may replace them meanwhile.
    int Validate() override;

    // Every later opening: the kind to show, reloaded from the model.
    void Reopen(int kind);
    // A fresh working copy of the model's table of the kind.
    void LoadFromModel();
    // The number or set name of an item picked in the view, into the
    // current row.
    void InsertPickedName(const std::string& text);

    void OnBnClickedAddRow() override;
    void OnBnClickedInsertRow() override;
    void OnBnClickedDeleteRow() override;
    // The check box of degree of freedom `dof` in slot `slot`.
    void OnBnClickedConstraint(int slot, int dof);

    int Kind() const { return m_kind; }
    const NodalActionTable* WorkingCopy() const { return m_table.get(); }

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    void SortWorkingCopy() override;
    int HighlightKind() const override { return OnNodes() ? 1 : 2; }
    std::string SlotHighlightText(int slot) const override { return m_target[static_cast<size_t>(slot - 1)]; }
    bool CellEnabled(int slot, int column) const override;
    void CloseGrid(int result) override;

private:
    bool OnNodes() const { return m_kind <= 3; }
    // The model's elements have 4 nodes: only then is dof 4 (rotation about
    // the deflection axis) free.
    bool DofFourFree() const;
    int ValueCount() const;
    // Check boxes follow their slots; dof 4's only with 4-node elements.
    void ShowCheckBoxes();
    // The row's flags and values to copy into a new row; the defaults of an
    // empty table when there is no such row.
    void RowTemplate(int row, std::array<double, kDofs>& values, std::array<int, kDofs>& flags) const;

    int m_kind;
    std::unique_ptr<NodalActionTable> m_table;
    std::vector<std::string> m_target;
    std::vector<std::array<double, kDofs>> m_value;
    std::vector<std::array<int, kDofs>> m_flag;
    // Taken by each validation.
    NumberLookup m_numbers;
};
