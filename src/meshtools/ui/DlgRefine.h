#pragma once
// "Refine Mesh": the modeless dialog of the view's Refine Mesh command. On a
// free model it asks for the divisions of every element along its two local
// directions ("Y-direction", "Z-direction"); on a foundation template for a
// new typical element size. OK hands valid input to the view's RefineMesh,
// which asks before it changes the mesh; the dialog stays open so that the
// user can refine again. Cancel hides it.

#include <string>

#include "platform/ui/Dialog.h"

class ViewHost;

class DlgRefine : public ui::Dialog {
public:
    enum {
        IDC_CAPTION = 1001,  // "Number of divisions"
        IDC_FIRST_LABEL,
        IDC_FIRST,  // divisions along y, or the typical FE size
        IDC_SECOND_LABEL,
        IDC_SECOND,  // divisions along z
    };
    static constexpr int kTemplateId = 0x7F30;

    // templateKind: 0 free model, 1 or 2 foundation template.
    DlgRefine(ViewHost& view, ui::Window* parent, int templateKind, double typicalSize);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    // Checks the input and hands it to the view; the dialog stays open.
    void OnOK() override;

    // Reads the fields: true when they hold valid input. Otherwise the
    // failing field has the focus and "Invalid input" has been shown.
    bool CheckInput();

    int DivisionsY() const { return divisionsY_; }
    int DivisionsZ() const { return divisionsZ_; }
    double TypicalSize() const { return typicalSize_; }

private:
    bool CheckDivisions();
    bool CheckTypicalSize();
    // The message, then focus and selection on the field.
    void Refuse(int id);

    ViewHost& view_;
    int templateKind_;
    int divisionsY_ = 2;
    int divisionsZ_ = 2;
    std::string firstText_ = "2";
    std::string secondText_ = "2";
    double typicalSize_ = 1.0;
};
