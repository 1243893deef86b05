// "Slab Type": the first dialog of a new project from a template. A
// conventional slab (type 0) goes on to the template dialog, the two wind
// turbine foundations (types 1 octagonal, 2 circular) to the foundation
// template. "Next" is the OK button; there is no Cancel button, Escape and
// the close box end the dialog without effect.
#pragma once

#include "platform/ui/Dialog.h"

class CDlgSlabType : public ui::Dialog {
public:
    static constexpr int kTemplateId = 320;
    enum {
        IDC_CONVENTIONAL = 1001,  // the radio group, in slab-type order
        IDC_OCTAGON,
        IDC_CIRCULAR,
    };

    explicit CDlgSlabType(ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;

    // 0 conventional slab, 1 octagonal foundation, 2 circular foundation.
    int SlabType() const { return slabType_; }

private:
    void OnSlabType(int type);

    int slabType_ = 0;
};
