#pragma once
// "Font and Color": the modeless dialog of the view's Font and Color command.
// Face and size go into the view when chosen and take effect at Apply, which
// sets the weight from "Bold" and rebuilds the view's font; the colours of
// node numbers, element numbers and the background are stored when chosen
// (the foreground, the background's complement, with the background). "Use
// Default" returns to Arial 14, not bold, black, white and white. Created
// once per view and initialised once; it does not read the view's settings.

#include "platform/ui/Dialog.h"

class ViewHost;

class DlgFontColor : public ui::Dialog {
public:
    enum {
        IDC_APPLY = 1001,
        IDC_USE_DEFAULT,
        IDC_FONT_GROUP,
        IDC_FACE_LABEL,
        IDC_FACE,
        IDC_SIZE_LABEL,
        IDC_SIZE,
        IDC_BOLD,
        IDC_COLOR_GROUP,
        IDC_NODE_COLOR_LABEL,
        IDC_NODE_COLOR,
        IDC_ELEMENT_COLOR_LABEL,
        IDC_ELEMENT_COLOR,
        IDC_BACKGROUND_LABEL,
        IDC_BACKGROUND,
    };
    static constexpr int kTemplateId = 4315;

    explicit DlgFontColor(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnApply();
    void OnUseDefault();

    // Legend offset for a point size: 20 for 16, 30 for 18, 50 for 20, else 0.
    static int LegendOffsetFor(int size);

private:
    void OnSelChangeFace();
    void OnSelChangeSize();
    void OnNodeNumberColor();
    void OnElementNumberColor();
    void OnBackgroundColor();
    void SetSize(int size);
    void SetBackground(unsigned rgb);
    // Fills the controls with the default face, size and colours.
    void ShowDefaults(int bold);

    ViewHost& view_;
};
