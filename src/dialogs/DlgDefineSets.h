// "Node Set", "Element Set", "Edge Set": the modeless grid of the named sets
// of one kind. Names are added, renamed, deleted and sorted here; the
// "Define" button of a row stores the table and hands the set to the member
// dialog (DlgDefineSet), which resumes this one when it closes. The set "ALL"
// stands for every item of the kind: it can be neither renamed nor defined.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/GridPage.h"
#include "model/SetTable.h"

class DlgDefineSets : public GridPage {
public:
    static constexpr int kTemplateId = 2040;
    static constexpr int kRows = 10;
    enum {
        IDC_SORT = 2910,
        IDC_ADD_ROW,
        IDC_INSERT_ROW,
        IDC_DELETE_ROW,
        IDC_NONE,
    };
    static constexpr const char* kAllSet = "ALL";
    // The Define button of grid row `slot` (1-based).
    static constexpr int DefineId(int slot) { return CellId(slot, 2); }

    // kind: 1 node sets, 2 element sets, 3 edge sets.
    DlgDefineSets(int kind, DocHost* doc, ViewHost* view);
    ~DlgDefineSets() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void Refresh() override;

    void OnBnClickedAddRow();
    void OnBnClickedInsertRow();
    void OnBnClickedDeleteRow();
    void OnBnClickedSort();
    void OnBnClickedDefine(int slot);
    // The member dialog closed: shown again, reloaded from the model.
    void ResumeAfterSetDialog();

    int Kind() const { return m_kind; }
    const SetTable* WorkingCopy() const { return m_table.get(); }
    static const char* TitleOf(int kind);

protected:
    int WorkingCount() const override { return m_table ? m_table->GetCount() : 0; }
    void LoadSlot(int slot, int row) override;
    void ExchangeSlot(ui::DataExchange& dx, int slot) override;
    int CheckSlot(int slot) override;
    void StoreSlot(int slot, int row) override;
    bool DiffersFromModel() const override;
    void WriteToModel() override;
    int HighlightKind() const override { return m_kind; }
    std::string SlotHighlightText(int slot) const override { return m_name[static_cast<size_t>(slot - 1)]; }
    void CloseGrid(int result) override;

private:
    // A fresh working copy of the model's set table of the kind.
    void CopyFromModel();
    // The working copy to the model; a renamed set is renamed in every row
    // and set that names it, and the user is told which tables changed.
    // Returns the renames made (the model's name, the new name).
    std::vector<std::pair<std::string, std::string>> WriteSets();
    // The model's sets of the kind as this dialog found them (at opening, or
    // as the last Apply or OK left them): Define writes the table before
    // Apply, and Cancel puts this back.
    void KeepFoundSets();
    void RestoreFoundSets();
    // The model's name of the set a working row now names: its name before
    // it was renamed here; empty for a set the model does not hold yet.
    std::string ModelNameOf(const std::string& name) const;

    int m_kind;
    std::unique_ptr<SetTable> m_table;
    std::vector<std::string> m_name;
    // Sets renamed since the last write: present name -> the model's name.
    std::map<std::string, std::string> m_renamed;
    // See KeepFoundSets; the renames Define made in targets since, in order;
    // whether the model was changed when found.
    std::unique_ptr<SetTable> m_found;
    std::vector<std::pair<std::string, std::string>> m_definedRenames;
    bool m_foundChanged = false;
};
