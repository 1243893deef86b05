// "Node Path": the modeless editor of the model's node paths, named ordered
// node lists along which results are plotted. A path is given by a start
// and an end node (mode 1: the nodes on the straight segment between them)
// or by a typed node list (mode 2). Paths are added (Save), replaced
// (Update) and deleted; the view highlights the nodes of the path edited.
#pragma once

#include <memory>
#include <string>

#include "dialogs/ListEditor.h"
#include "model/ModelLists.h"

class CDlgNodePath : public ListEditor {
public:
    static constexpr int kTemplateId = 2045;
    enum {
        IDC_PATH_LIST = 3500,
        IDC_NEW,
        IDC_SAVE,
        IDC_UPDATE,
        IDC_DELETE,
        IDC_DEFINE_GROUP,
        IDC_START_END,
        IDC_MANUAL,
        IDC_START_LABEL,
        IDC_START,
        IDC_END_LABEL,
        IDC_END,
        IDC_CREATE,
        IDC_NAME_LABEL,
        IDC_NAME,
        IDC_NODE_LIST_LABEL,
        IDC_NODE_LIST,
        IDC_CLOSE,
    };

    CDlgNodePath(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);
    ~CDlgNodePath() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    // Enter, Escape and the close box: the "Close" steps.
    void OnOK() override { OnBnClickedClose(); }
    void OnCancel() override { OnBnClickedClose(); }

    void OnBnClickedNew();
    // True when the path was stored.
    bool OnBnClickedSave();
    void OnBnClickedUpdate();
    void OnBnClickedDelete();
    void OnBnClickedCreate();
    void OnBnClickedStartEndNodes();
    void OnBnClickedInputManually();
    void OnBnClickedClose();
    void OnLbnSelchangePathList();
    void OnEnChangeNodeList();
    void OnEnChangeGroupName();
    void OnEnChangeStartEndNode();

    const NodePath* WorkingPath() const { return m_path.get(); }
    int Mode() const { return m_mode; }

private:
    // At creation and after a confirmed Delete: the list rebuilt, the editor
    // hidden, a fresh working path.
    void Initialise();
    // The controls into the working path.
    void StoreRecord();
    // A manual node list of node numbers and ranges whose nodes exist; else
    // a message naming the item, false.
    bool NodeListAccepted();
    // Edits of an existing path: stored, compared with the model's path;
    // "Update" enabled when they differ.
    void EditedExisting();
    void ShowEditor(bool show);
    void EnableStartEnd(bool enable);
    void ClearWorkingPath();
    void SetButtons(bool save, bool update, bool remove) {
        SetListButtons(IDC_NEW, IDC_SAVE, IDC_UPDATE, IDC_DELETE, save, update, remove);
    }
    // The working path against the model's path at the list selection.
    bool DiffersFromSelected() const;
    int SelectedPath() const;

    std::unique_ptr<NodePath> m_path;
    int m_mode = 1;
    std::string m_start = "0";
    std::string m_end = "0";
    std::string m_name;
    std::string m_nodeList;
    unsigned char m_newPath = 0;
    unsigned char m_changed = 0;
};
