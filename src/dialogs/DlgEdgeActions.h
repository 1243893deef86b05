// The modeless grid of the edge loads (kind 1) and edge stiffnesses (kind 2):
// each row names one side of an element (or an edge set), the degree of
// freedom it acts in and its values at the side's nodes 1, 2 and 3. Element
// sides picked in the view go into the current row.
//
// A side is also known by its pick number, element number x 4 + side:
// element = (pick - 1) / 4, side = (pick - 1) mod 4 + 1.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/ActionGrid.h"
#include "model/DataTable.h"

class DlgEdgeActions : public ActionGrid {
public:
    static constexpr int kTemplateId = 2015;
    static constexpr int kRows = 10;
    enum {
        IDC_VALUE_HEADING = kFirstOwnId,  // node 1; nodes 2 and 3 follow
    };
    enum Column { kTarget = 1, kSide, kDof, kValue1 };

    DlgEdgeActions(DocHost* doc, ViewHost* view, int kind);
    ~DlgEdgeActions() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    // The model's element and edge-set tables are taken afresh for every
    // check.
    int Validate() override;

    void Reopen(int kind);
    void LoadFromModel();
    // A side's pick number or an edge set's name, into the current row.
    void InsertPickedName(const std::string& text);

    void OnBnClickedAddRow() override;
    void OnBnClickedInsertRow() override;
    void OnBnClickedDeleteRow() override;

    int Kind() const { return m_kind; }
    const EdgeActionTable* WorkingCopy() const { return m_table.get(); }

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    void SortWorkingCopy() override;
    int HighlightKind() const override { return 3; }
    std::string SlotHighlightText(int slot) const override;
    void CloseGrid(int result) override;

private:
    struct Slot {
        std::string target = " ";
        int side = 0;
        int dof = 0;
        std::array<double, 3> values{};
    };
    // The check of a row's target and side; 0 when they pass.
    int CheckTarget(int slot, const Slot& s);
    // The side, dof and values of a row for a new row; zeros without it.
    Slot RowTemplate(int row) const;

    int m_kind;
    std::unique_ptr<EdgeActionTable> m_table;
    std::vector<Slot> m_slot;
    NumberLookup m_elements;
};
