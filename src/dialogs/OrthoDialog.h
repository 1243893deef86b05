// Base of the four orthotropic rigidity dialogs: each edits one row of the
// material grid's working copy (E, Es, nu, t and its section), derives the
// six rigidities and writes the row and its rigidities together on OK or
// Apply. Cancel leaves the row as it was after the last Apply.
//
// They sit on TDialog for its navigation keys and refresh but show no grid:
// Up, Down, Page Up/Down, Home and End take the fields over and show them
// again; Tab walks the fields as in any dialog.
#pragma once

#include <memory>
#include <string>

#include "dialogs/OrthoSketch.h"
#include "uibase/TDialog.h"
#include "model/MaterialTable.h"

class OrthoDialog : public TDialog {
public:
    enum { IDC_NAME = 3001, IDC_E, IDC_ES, IDC_NU, IDC_T, IDC_APPLY, IDC_SKETCH };

    explicit OrthoDialog(int templateId, ui::Window* parent = nullptr);

    // What the opener hands over: the grid's working copy, the row index and
    // the row's element or element-set text.
    void SetRow(MaterialTable* table, int row, const std::string& name);

    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;
    void OnBnClickedApply();

protected:
    virtual int MaterialTypeCode() const = 0;
    virtual void LoadSection(const MaterialTable& table, int row) = 0;
    virtual void ExchangeSection(ui::DataExchange& dx) = 0;
    // False after the message of the first failing field.
    virtual bool Check() = 0;
    virtual Rigidities Compute() const = 0;
    // E, Es, nu, t and the section into the row.
    virtual void StoreSection(MaterialTable& table, int row) const = 0;

    // A refused field: the message with the stop icon, the field focused
    // with its text selected. Always false.
    bool Refuse(int id, const std::string& text);

    // The template's common part: caption, the element text, E (with Es when
    // asked), nu and t at the left, OK, Cancel and Apply at the right, and a
    // frame for the section sketch.
    static ui::DialogTemplate Header(int templateId, const std::string& caption, int height, bool withEs,
                                     const char* const labels[4]);
    static void Field(ui::DialogTemplate& t, const std::string& label, int id, int x, int y, int labelWidth = 90,
                      int editWidth = 56);

    MaterialTable* m_table = nullptr;
    int m_row = -1;
    std::string m_name;
    double m_E = 0.0, m_Es = 0.0, m_nu = 0.0, m_t = 0.0;

private:
    // Check, compute and write the row; false when something was refused.
    bool Commit();
    // The section sketch in the frame, for the dialog's material type.
    std::unique_ptr<OrthoSketch> m_sketch;
};
