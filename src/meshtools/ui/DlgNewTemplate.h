// "New Project from Template": the shape (circular, rectangular with equal
// spacing, rectangular with general spacing), the element type, the size and
// the divisions of a conventional slab, or the spans of the two grid-line
// directions (DlgGrid). OK checks the values and stores them in the model's
// mesh parameters; the document then generates the mesh.
#pragma once

#include "platform/ui/Dialog.h"

class ModelData;

class DlgNewTemplate : public ui::Dialog {
public:
    static constexpr int kTemplateId = 321;
    enum {
        IDC_CIRCULAR = 1001,  // shape radios, in slab-kind order
        IDC_EQUAL_SPACING,
        IDC_GENERAL_SPACING,
        IDC_LINEAR4,  // element-type radios, in element-type order
        IDC_QUADRATIC8,
        IDC_QUADRATIC9,
        IDC_CAPTION,
        IDC_LENGTH_LABEL,
        IDC_LENGTH,
        IDC_WIDTH_LABEL,
        IDC_WIDTH,
        IDC_DIVISIONS_LABEL,
        IDC_DIVISIONS1,
        IDC_Y_DIRECTION,
        IDC_DIVISIONS2_LABEL,
        IDC_DIVISIONS2,
        IDC_Z_DIRECTION,
        IDC_GRID_Y,
        IDC_GRID_Z,
        IDC_SKETCH,
    };

    // The model stays the caller's.
    explicit DlgNewTemplate(ModelData* model, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;

    // Shows the fields, labels and sketch of the chosen shape and element type.
    void UpdateShapeControls();

private:
    void OnShapeOrType();
    void OnGeneralSpacing();
    void OnGrid(int direction);
    // Length and divisions (direction 1) or width and divisions (2) from the
    // sums of the grid-line table.
    void TakeGridTotals(int direction);
    // The shape's checks of OK; false after a message.
    bool CheckValues();
    bool Refuse(const char* message, int focusId);

    ModelData* model_;
    int shape_ = 1;
    int elementType_ = 1;
    double length_ = 1.0;
    double width_ = 1.0;
    int divisions1_ = 5;
    int divisions2_ = 5;
    // Division sums of the grid-line tables, counted without overflow.
    long long gridDivisions_[2] = {};
};
