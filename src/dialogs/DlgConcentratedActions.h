// The modal grid of the concentrated loads (kind 1) and concentrated
// stiffnesses (kind 2): actions at points given by their coordinates, each
// point inside an element of the model. The model lies in the y-z plane, so
// x and component 4 (the rotation about x) are shown but never edited.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/ActionGrid.h"
#include "model/DataTable.h"

class DlgConcentratedActions : public ActionGrid {
public:
    static constexpr int kTemplateId = 2016;
    static constexpr int kRows = 10;
    enum {
        IDC_VALUE_HEADING = kFirstOwnId,  // component 1; components 2-6 follow
    };
    // Columns: 1-3 x, y, z; 4-9 components 1-6 (column 10 has no cell).
    static constexpr int kFirstComponent = 4;

    DlgConcentratedActions(DocHost* doc, ViewHost* view, int kind);
    ~DlgConcentratedActions() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    // Entering component 1 from within its row neither checks nor redraws.
    int SetCurrentCell(int line, int column) override;

    void OnBnClickedAddRow() override;
    void OnBnClickedInsertRow() override;
    void OnBnClickedDeleteRow() override;

    const ConcentratedActionTable* WorkingCopy() const { return m_table.get(); }

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    void SortWorkingCopy() override;
    int HighlightKind() const override { return 4; }
    std::string SlotHighlightText(int slot) const override;
    bool ColumnEnabled(int column) const override { return column != 1 && column != kFirstComponent + 3; }

private:
    struct Slot {
        std::array<double, 3> point{};
        std::array<double, 6> values{};
    };
    // The point and components of a row for a new row; zeros without it.
    Slot RowTemplate(int row) const;

    int m_kind;
    std::unique_ptr<ConcentratedActionTable> m_table;
    std::vector<Slot> m_slot;
};
