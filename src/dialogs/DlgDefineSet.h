// "Node Set - <name>" (and element and edge sets): the modeless grid of the
// members of one set. A row is a number with a final number and an
// increment, the name of another set of the kind, or a comma list of both;
// edge sets add the element side. Items picked in the view go into the
// current row. Closing resumes the sets dialog that opened it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/GridPage.h"
#include "model/SetTable.h"

class DlgDefineSets;

class DlgDefineSet : public GridPage {
public:
    static constexpr int kTemplateId = 2041;
    static constexpr int kRows = 10;
    enum {
        IDC_SORT = 2910,
        IDC_ADD_ROW,
        IDC_INSERT_ROW,
        IDC_DELETE_ROW,
        IDC_NONE,
        IDC_HEADING,         // above column 1: "Node", "Element", "Elem. NFum/"
        IDC_MEMBER_HEADING,  // "Number/Set" or "Edge Set"
        IDC_SIDE_HEADING,
    };

    // kind: 1 node sets, 2 element sets, 3 edge sets.
    DlgDefineSet(int kind, const std::string& setName, DlgDefineSets* returnDialog, DocHost* doc, ViewHost* view);
    ~DlgDefineSet() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    int Validate() override;

    // Another set (or the same again): the dialog takes it and reloads.
    void Retarget(int kind, const std::string& setName, DlgDefineSets* returnDialog, DocHost* doc, ViewHost* view);
    // A fresh working copy of the set's members; unapplied edits are dropped.
    void LoadFromModel();
    // The text of an item picked in the view, into the current row.
    void InsertPickedName(const std::string& text);

    void OnBnClickedAddRow();
    void OnBnClickedInsertRow();
    void OnBnClickedDeleteRow();
    void OnBnClickedSort();

    int Kind() const { return m_kind; }
    const std::string& SetName() const { return m_setName; }
    const SetMemberList* WorkingCopy() const { return m_members.get(); }

protected:
    int WorkingCount() const override { return m_members ? m_members->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    int HighlightKind() const override { return m_kind; }
    std::string SlotHighlightText(int slot) const override;
    bool ColumnShown(int column) const override { return column != 4 || m_kind == 3; }
    std::vector<int> CurrentRowButtons() const override { return {IDC_INSERT_ROW, IDC_DELETE_ROW}; }
    void CloseGrid(int result) override;

private:
    struct Slot {
        std::string text = " ";
        int final = 0;
        int increment = 0;
        int side = 0;
    };
    // Rows equal for the duplicate check: text, final, increment (and side).
    bool SameMember(const Slot& a, const Slot& b) const;
    Slot RowAt(int row) const;
    // One comma item of a row; 0 when it passes, 1 after its message.
    int CheckItem(int slot, const std::string& item);
    void SetTitleAndHeadings();

    int m_kind;
    std::string m_setName;
    DlgDefineSets* m_return = nullptr;
    std::unique_ptr<SetMemberList> m_members;
    std::vector<Slot> m_slot;
    // The model's numbers and sets, taken by each validation.
    NumberLookup m_numbers;
};
