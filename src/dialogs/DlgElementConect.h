// "Element Connectivity": the modal grid of the element table (element
// number and its 4, 8 or 9 node numbers), checked against the model's nodes.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "dialogs/GridPage.h"
#include "model/DataTable.h"

class DlgElementConect : public GridPage {
public:
    static constexpr int kTemplateId = 2011;
    static constexpr int kRows = 15;
    static constexpr int kMaxNodes = 9;
    enum {
        IDC_SORT = 2910,
        IDC_ADD_ELEMENT,
        IDC_INSERT_ELEMENT,
        IDC_DELETE_ELEMENT,
        IDC_NONE,
        IDC_NODE_HEADING,  // node 1; the headings of nodes 2.. follow
    };

    DlgElementConect(DocHost* doc, ViewHost* view);
    ~DlgElementConect() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;

    void OnBnClickedAddElement();
    void OnBnClickedInsertElement();
    void OnBnClickedDeleteElement();
    void OnBnClickedSort();

    const ElementTable* WorkingCopy() const { return m_table.get(); }

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    int HighlightKind() const override { return 2; }
    std::string SlotHighlightText(int slot) const override;
    bool ColumnShown(int column) const override { return column == 1 || column - 1 <= m_nodesPerElement; }
    std::vector<int> CurrentRowButtons() const override { return {IDC_INSERT_ELEMENT, IDC_DELETE_ELEMENT}; }

private:
    // A row whose number is not yet given or that names the model's nodes.
    int CheckNodes(int slot) const;
    std::vector<int> NewRowNodes() const { return std::vector<int>(static_cast<size_t>(m_nodesPerElement), 0); }

    std::unique_ptr<ElementTable> m_table;
    int m_nodesPerElement = 0;
    NumberLookup m_nodes;  // the model's node numbers, taken at opening
    std::vector<int> m_number;
    std::vector<std::array<int, kMaxNodes>> m_node;
};
