// "Template of Octagon Shape": the plan and section dimensions, loads,
// typical element size, element type and integration rule of a wind-turbine
// foundation, octagonal (kind 1) or circular (kind 2), with the template's
// sketch. OK checks the values and stores them in the model's template
// parameters and element table; the document then meshes the template.
//
// Dimensions, depths, loads and the size keep the text the user typed, so
// the value used is always the one the field shows. The typical size follows
// L1 / divisions (kind 1) or pi R3 / divisions (kind 2) when the focus leaves
// L1, R3 or the divisions, and on Enter, which never closes the dialog.
#pragma once

#include <string>

#include "platform/ui/Dialog.h"

class ModelData;

class DlgTemplateOctagon : public ui::Dialog {
public:
    static constexpr int kTemplateId = 325;
    enum {
        IDC_DIM1_LABEL = 1001,
        IDC_DIM1,
        IDC_DIM2_LABEL,
        IDC_DIM2,
        IDC_DIM3_LABEL,
        IDC_DIM3,
        IDC_ANGLE,
        IDC_D1,
        IDC_D2,
        IDC_D3,
        IDC_P,
        IDC_V,
        IDC_M,
        IDC_SIZE,
        IDC_DIVISIONS_LABEL,
        IDC_DIVISIONS,
        IDC_LINEAR4,  // element radios, in element-option order
        IDC_QUADRATIC8,
        IDC_QUADRATIC9,
        IDC_RULE1,  // integration radios, in integration-option order
        IDC_RULE2,
        IDC_RULE3,
        IDC_SKETCH,
    };

    // Desktops whose larger side exceeds this many pixels get the large sketch.
    static constexpr int kLargeSketchAbove = 2560;

    // The model stays the caller's; kind 1 octagonal, 2 circular.
    DlgTemplateOctagon(ModelData* model, int kind, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool PreTranslateMessage(const ui::Message& msg) override;
    void OnOK() override;

    // Labels, enabled integration rules, checked radios and the sketch.
    void UpdateShapeControls();
    // The checks of OK on the values read: "" when they pass, else the last
    // failing check's message (a failing field check focuses that field).
    std::string CheckInput();

    // File name of the template's sketch in the image folder.
    static std::string SketchFileName(int kind, bool large);

private:
    // A number field: the value and the text the field shows.
    struct Field {
        double value = 0.0;
        std::string text;
    };
    void SetField(Field& field, const std::string& text);
    // After a failed meshing the model holds the template the user typed
    // but no mesh: the fields show those values instead of the defaults.
    void KeepValuesOfFailedMeshing();
    void ExchangeField(ui::DataExchange& dx, int id, Field& field);
    void OnElementOption(int option);
    void OnIntegrationOption(int option);
    // The typical size from the dimension and divisions the fields show.
    void RefreshTypicalSize();
    void FailField(std::string& message, int id, const char* text);

    ModelData* model_;
    int kind_;
    int elementOption_ = 1;
    int integrationOption_ = 1;
    Field dims_[3];
    double angle_ = 0.0;
    Field depths_[3];
    Field loads_[3];
    Field size_;
    std::string divisionsText_;
    int divisions_ = 0;
};
