#include "platform/ui/DialogTemplate.h"

#include <map>

namespace ui {

namespace {
std::map<int, std::function<DialogTemplate()>>& Registry() {
    static std::map<int, std::function<DialogTemplate()>> registry;
    return registry;
}
}  // namespace

DialogTemplate& DialogTemplate::Add(ControlKind kind, int id, const std::string& text, Rect r, unsigned s) {
    controls.push_back(ControlTemplate{id, kind, text, r, s});
    return *this;
}

DialogTemplate& DialogTemplate::Label(int id, const std::string& text, Rect r, unsigned s) {
    return Add(ControlKind::Static, id, text, r, s);
}

DialogTemplate& DialogTemplate::Group(int id, const std::string& text, Rect r, unsigned s) {
    return Add(ControlKind::Group, id, text, r, s);
}

DialogTemplate& DialogTemplate::PictureBox(int id, Rect r, unsigned s) {
    return Add(ControlKind::Picture, id, "", r, s);
}

DialogTemplate& DialogTemplate::PushButton(int id, const std::string& text, Rect r, unsigned s) {
    return Add(ControlKind::PushButton, id, text, r, s | cs::TabStop);
}

DialogTemplate& DialogTemplate::DefPushButton(int id, const std::string& text, Rect r, unsigned s) {
    return Add(ControlKind::PushButton, id, text, r, s | cs::TabStop | cs::Default);
}

DialogTemplate& DialogTemplate::CheckBox(int id, const std::string& text, Rect r, unsigned s) {
    return Add(ControlKind::CheckBox, id, text, r, s | cs::TabStop | cs::AutoCheck);
}

DialogTemplate& DialogTemplate::Radio(int id, const std::string& text, Rect r, unsigned s) {
    if (s & cs::Group) s |= cs::TabStop;
    return Add(ControlKind::RadioButton, id, text, r, s | cs::AutoRadio);
}

DialogTemplate& DialogTemplate::EditBox(int id, Rect r, unsigned s) {
    return Add(ControlKind::Edit, id, "", r, s | cs::TabStop | cs::AutoHScroll);
}

DialogTemplate& DialogTemplate::Combo(int id, Rect r, unsigned s) {
    return Add(ControlKind::ComboBox, id, "", r, s | cs::TabStop);
}

DialogTemplate& DialogTemplate::List(int id, Rect r, unsigned s) {
    return Add(ControlKind::ListBox, id, "", r, s | cs::TabStop);
}

DialogTemplate& DialogTemplate::Report(int id, Rect r, unsigned s) {
    return Add(ControlKind::ListView, id, "", r, s | cs::TabStop);
}

DialogTemplate& DialogTemplate::VScrollBar(int id, Rect r, unsigned s) {
    return Add(ControlKind::ScrollBar, id, "", r, s);
}

DialogTemplate& DialogTemplate::SpinBox(int id, Rect r, unsigned s) { return Add(ControlKind::Spin, id, "", r, s); }

DialogTemplate& DialogTemplate::ColorPicker(int id, Rect r, unsigned s) {
    return Add(ControlKind::ColorButton, id, "", r, s | cs::TabStop);
}

DialogTemplate& DialogTemplate::CustomBox(int id, Rect r, unsigned s) { return Add(ControlKind::Custom, id, "", r, s); }

void RegisterDialogTemplate(int id, std::function<DialogTemplate()> build) { Registry()[id] = std::move(build); }

bool HasDialogTemplate(int id) { return Registry().count(id) != 0; }

DialogTemplate FindDialogTemplate(int id) {
    auto it = Registry().find(id);
    if (it == Registry().end()) {
        DialogTemplate t;
        t.id = id;
        return t;
    }
    DialogTemplate t = it->second();
    t.id = id;
    return t;
}

}  // namespace ui
