// Dialog templates written in C++: the controls of a dialog with their ids,
// texts and rectangles in dialog units. Creation order is tab order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Types.h"

namespace ui {

struct ControlTemplate {
    int id = IDSTATIC;
    ControlKind kind = ControlKind::Static;
    std::string text;
    Rect rect;  // dialog units
    unsigned style = 0;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    Rect rect;                                         // dialog units; x and y place the dialog
    unsigned style = style::Caption | style::SysMenu;  // window style bits
    Font font;
    std::vector<ControlTemplate> controls;

    // Builders; each appends one control and returns the template.
    // Default styles: buttons, check boxes, edits, combos, lists and list
    // views are tab stops; radios are AutoRadio; check boxes AutoCheck.
    DialogTemplate& Add(ControlKind kind, int id, const std::string& text, Rect r, unsigned s);
    DialogTemplate& Label(int id, const std::string& text, Rect r, unsigned s = 0);
    DialogTemplate& Group(int id, const std::string& text, Rect r, unsigned s = 0);
    DialogTemplate& PictureBox(int id, Rect r, unsigned s = 0);
    DialogTemplate& PushButton(int id, const std::string& text, Rect r, unsigned s = 0);
    DialogTemplate& DefPushButton(int id, const std::string& text, Rect r, unsigned s = 0);
    DialogTemplate& CheckBox(int id, const std::string& text, Rect r, unsigned s = 0);
    // A radio button; pass cs::Group on the first of each group.
    DialogTemplate& Radio(int id, const std::string& text, Rect r, unsigned s = 0);
    DialogTemplate& EditBox(int id, Rect r, unsigned s = 0);
    DialogTemplate& Combo(int id, Rect r, unsigned s = cs::DropList);
    DialogTemplate& List(int id, Rect r, unsigned s = cs::Notify);
    DialogTemplate& Report(int id, Rect r, unsigned s = 0);
    DialogTemplate& VScrollBar(int id, Rect r, unsigned s = 0);
    DialogTemplate& SpinBox(int id, Rect r, unsigned s = cs::AutoBuddy | cs::AlignRight);
    DialogTemplate& ColorPicker(int id, Rect r, unsigned s = 0);
    DialogTemplate& CustomBox(int id, Rect r, unsigned s = 0);
};

// Templates by id, registered once by the code that owns each dialog.
void RegisterDialogTemplate(int id, std::function<DialogTemplate()> build);
bool HasDialogTemplate(int id);
// The registered template, or an empty one with the id when none is.
DialogTemplate FindDialogTemplate(int id);

}  // namespace ui
