// "Node Coordinates": the modal grid of the node table (node number and x,
// y, z). The model lies in the y-z plane, so X is shown but never edited.
#pragma once

#include <memory>
#include <vector>

#include "dialogs/GridPage.h"
#include "model/DataTable.h"

class DlgNodeData : public GridPage {
public:
    static constexpr int kTemplateId = 2010;
    static constexpr int kRows = 15;
    enum {
        IDC_SORT = 2910,
        IDC_ADD_NODE,
        IDC_INSERT_NODE,
        IDC_DELETE_NODE,
        IDC_NONE,
        IDC_SORT_DESCEND,
        IDC_UNIT_X,
        IDC_UNIT_Y,
        IDC_UNIT_Z,
    };

    DlgNodeData(DocHost* doc, ViewHost* view);
    ~DlgNodeData() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void DoDataExchange(ui::DataExchange& dx) override;

    void OnBnClickedAddNode();
    void OnBnClickedInsertNode();
    void OnBnClickedDeleteNode();
    void OnBnClickedSort();

    const NodeTable* WorkingCopy() const { return m_table.get(); }

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    int HighlightKind() const override { return 1; }
    std::string SlotHighlightText(int slot) const override;
    bool ColumnEnabled(int column) const override { return column != 2; }
    std::vector<int> CurrentRowButtons() const override { return {IDC_INSERT_NODE, IDC_DELETE_NODE}; }

private:
    std::unique_ptr<NodeTable> m_table;
    std::vector<int> m_number;
    std::vector<double> m_x, m_y, m_z;
    std::string m_unit[3];  // captions under the coordinate headings
};
