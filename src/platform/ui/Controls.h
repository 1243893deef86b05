// Controls of a dialog, held as plain state. Setters are programmatic
// changes: they tell the back end but fire no notification. The User*
// operations of Dialog are the user's actions that do.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

namespace ui {

enum class ControlKind {
    Static,   // text label
    Group,    // group box with a caption
    Picture,  // picture (an image) or a blank frame
    PushButton,
    CheckBox,
    RadioButton,
    Edit,      // single- or multi-line
    ComboBox,  // drop-down list, or drop-down with an edit
    ListBox,
    ListView,     // report-style list with columns
    ScrollBar,    // vertical
    Spin,         // up-down arrows
    ColorButton,  // colour picker
    Custom,       // a control that paints itself (charts)
};

// Control style bits (combine with |).
namespace cs {
constexpr unsigned TabStop = 1u << 0;
constexpr unsigned Group = 1u << 1;       // first control of a group (radio groups)
constexpr unsigned Disabled = 1u << 2;    // created disabled
constexpr unsigned Hidden = 1u << 3;      // created hidden
constexpr unsigned Default = 1u << 4;     // push button: the default button
constexpr unsigned MultiLine = 1u << 5;   // edit
constexpr unsigned ReadOnly = 1u << 6;    // edit
constexpr unsigned Number = 1u << 7;      // edit: digits only
constexpr unsigned WantReturn = 1u << 8;  // multi-line edit: Enter types a new line
constexpr unsigned AutoHScroll = 1u << 9;
constexpr unsigned VScroll = 1u << 10;
constexpr unsigned Sorted = 1u << 11;       // combo and list box
constexpr unsigned DropList = 1u << 12;     // combo: list only (without DropList: with an edit)
constexpr unsigned Notify = 1u << 13;       // list box and static: send notifications
constexpr unsigned MultiSelect = 1u << 14;  // list view: several items may be selected
constexpr unsigned FullRowSelect = 1u << 15;
constexpr unsigned GridLines = 1u << 16;
constexpr unsigned AutoBuddy = 1u << 17;    // spin: buddy is the control created before it
constexpr unsigned SetBuddyInt = 1u << 18;  // spin: writes its position into the buddy
constexpr unsigned AlignLeft = 1u << 19;    // spin placed left of its buddy
constexpr unsigned AlignRight = 1u << 20;
constexpr unsigned CenterText = 1u << 21;
constexpr unsigned RightText = 1u << 22;
constexpr unsigned Border = 1u << 23;
constexpr unsigned AutoRadio = 1u << 24;  // radio checks itself and clears its group
constexpr unsigned AutoCheck = 1u << 25;  // check box toggles itself
}  // namespace cs

class Control : public Window {
public:
    Control(ControlKind kind, Dialog* owner, int id, unsigned styleBits);
    ControlKind ControlType() const { return controlKind_; }
    int GetDlgCtrlID() const { return id_; }
    unsigned ControlStyle() const { return cstyle_; }
    bool HasStyle(unsigned bit) const { return (cstyle_ & bit) != 0; }
    void SetControlStyle(unsigned bits) { cstyle_ = bits; }
    Dialog* Owner() const { return owner_; }
    // Rectangle in dialog units as the template gave it.
    Rect TemplateRect() const { return templateRect_; }
    void SetTemplateRect(const Rect& r) { templateRect_ = r; }

    // Moves the focus to this control (programmatic: no notification).
    void SetFocus();
    bool HasFocus() const;
    // Whether Tab may stop here.
    virtual bool IsTabStop() const;

protected:
    friend class Dialog;
    void StateChanged() { NotifyChange(Change::State); }

private:
    ControlKind controlKind_;
    Dialog* owner_;
    int id_;
    unsigned cstyle_;
    Rect templateRect_;
};

class StaticText : public Control {
public:
    StaticText(Dialog* owner, int id, unsigned s) : Control(ControlKind::Static, owner, id, s) {}
};

class GroupBox : public Control {
public:
    GroupBox(Dialog* owner, int id, unsigned s) : Control(ControlKind::Group, owner, id, s) {}
};

class Picture : public Control {
public:
    Picture(Dialog* owner, int id, unsigned s) : Control(ControlKind::Picture, owner, id, s) {}
    void SetImage(Image image);
    const Image& GetImage() const { return image_; }

private:
    Image image_;
};

// Push button, check box or radio button.
class Button : public Control {
public:
    Button(ControlKind kind, Dialog* owner, int id, unsigned s) : Control(kind, owner, id, s) {}
    // 0 unchecked, 1 checked (check boxes and radio buttons).
    int GetCheck() const { return check_; }
    void SetCheck(int state);
    bool IsDefault() const { return HasStyle(cs::Default); }
    void SetDefault(bool on);

private:
    int check_ = 0;
};

class Edit : public Control {
public:
    Edit(Dialog* owner, int id, unsigned s) : Control(ControlKind::Edit, owner, id, s) {}
    void SetWindowText(const std::string& text) override;
    bool IsReadOnly() const { return HasStyle(cs::ReadOnly); }
    void SetReadOnly(bool on);
    // Selection in characters; (0, -1) selects everything.
    void SetSel(int start, int end);
    int SelStart() const { return selStart_; }
    int SelEnd() const { return selEnd_; }
    std::string SelectedText() const;

private:
    int selStart_ = 0;
    int selEnd_ = 0;
};

class ComboBox : public Control {
public:
    ComboBox(Dialog* owner, int id, unsigned s) : Control(ControlKind::ComboBox, owner, id, s) {}
    bool HasEdit() const { return !HasStyle(cs::DropList); }
    bool IsSorted() const { return HasStyle(cs::Sorted); }
    // Adds at the end, or in order for a sorted box; returns the index.
    int AddString(const std::string& s);
    int InsertString(int index, const std::string& s);  // -1: at the end
    int DeleteString(int index);                        // returns the remaining count or -1
    void ResetContent();
    int GetCount() const { return static_cast<int>(items_.size()); }
    std::string GetLBText(int index) const;
    int FindStringExact(const std::string& s) const;  // case-insensitive, -1 when absent
    int GetCurSel() const { return cursel_; }
    // Selects an entry (-1 none); the edit or the shown text follows.
    int SetCurSel(int index);
    // The edit's text (with an edit) or the selected entry's text.
    void SetWindowText(const std::string& text) override;
    const std::vector<std::string>& Items() const { return items_; }

private:
    friend class Dialog;
    std::vector<std::string> items_;
    int cursel_ = -1;
};

class ListBox : public Control {
public:
    ListBox(Dialog* owner, int id, unsigned s) : Control(ControlKind::ListBox, owner, id, s) {}
    int AddString(const std::string& s);
    int InsertString(int index, const std::string& s);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(items_.size()); }
    std::string GetText(int index) const;
    int FindStringExact(const std::string& s) const;
    int GetCurSel() const { return cursel_; }
    int SetCurSel(int index);
    const std::vector<std::string>& Items() const { return items_; }

private:
    friend class Dialog;
    std::vector<std::string> items_;
    int cursel_ = -1;
};

// Report-style list: columns, items with sub-items, per-item selection.
class ListView : public Control {
public:
    struct Column {
        std::string text;
        int width = 0;
        int format = 0;  // 0 left, 1 right, 2 centred
    };
    struct Item {
        std::vector<std::string> texts;  // [0] the item, [1..] its sub-items
        bool selected = false;
        long long data = 0;
    };
    ListView(Dialog* owner, int id, unsigned s) : Control(ControlKind::ListView, owner, id, s) {}
    int InsertColumn(int index, const std::string& text, int format = 0, int width = -1);
    // Removes a column and the item texts under it; false for no such column.
    bool DeleteColumn(int index);
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    const std::vector<Column>& Columns() const { return columns_; }
    // Inserts an item at index (clamped to the count); returns its index.
    int InsertItem(int index, const std::string& text);
    bool SetItemText(int item, int subItem, const std::string& text);
    std::string GetItemText(int item, int subItem) const;
    bool DeleteItem(int item);
    void DeleteAllItems();
    // Replaces every item by rows of texts (item, then sub-items), none
    // selected, in one change: long lists are filled at the cost of one.
    void SetAllItems(std::vector<std::vector<std::string>> rows);
    int GetItemCount() const { return static_cast<int>(items_.size()); }
    bool SetItemData(int item, long long data);
    long long GetItemData(int item) const;
    bool IsSelected(int item) const;
    // Programmatic selection (no notification).
    bool SetSelected(int item, bool selected);
    int GetSelectedCount() const;
    // Next selected item after 'after' (-1: from the start); -1 when none.
    int GetNextSelected(int after) const;
    bool IsMultiSelect() const { return HasStyle(cs::MultiSelect); }
    const std::vector<Item>& Items() const { return items_; }

private:
    friend class Dialog;
    std::vector<Column> columns_;
    std::vector<Item> items_;
};

// Scroll codes of vertical scrolling.
namespace sb {
constexpr int LineUp = 0;
constexpr int LineDown = 1;
constexpr int PageUp = 2;
constexpr int PageDown = 3;
constexpr int ThumbPosition = 4;
constexpr int ThumbTrack = 5;
constexpr int Top = 6;
constexpr int Bottom = 7;
constexpr int EndScroll = 8;
}  // namespace sb

// Vertical scroll bar. The user's scrolling is reported to the dialog
// (Dialog::OnVScroll); the bar never moves its own thumb.
class ScrollBar : public Control {
public:
    ScrollBar(Dialog* owner, int id, unsigned s) : Control(ControlKind::ScrollBar, owner, id, s) {}
    void SetScrollRange(int min, int max);
    int GetMin() const { return min_; }
    int GetMax() const { return max_; }
    // The position is kept within the range.
    void SetScrollPos(int pos);
    int GetScrollPos() const { return pos_; }

private:
    int min_ = 0;
    int max_ = 100;
    int pos_ = 0;
};

// Up-down arrows. Without SetRange the range is 100 .. 0 (reversed), so the
// up arrow lowers the position and reports a negative change.
class Spin : public Control {
public:
    Spin(Dialog* owner, int id, unsigned s) : Control(ControlKind::Spin, owner, id, s) {}
    void SetRange(int lower, int upper);
    int GetLower() const { return lower_; }
    int GetUpper() const { return upper_; }
    void SetPos(int pos);
    int GetPos() const { return pos_; }
    void SetBuddy(Control* buddy) { buddy_ = buddy; }
    Control* GetBuddy() const { return buddy_; }
    // Position change of one press of the up (or down) arrow.
    int StepOf(bool up) const;

private:
    int lower_ = 100;
    int upper_ = 0;
    int pos_ = 0;
    Control* buddy_ = nullptr;
};

class ColorButton : public Control {
public:
    ColorButton(Dialog* owner, int id, unsigned s) : Control(ControlKind::ColorButton, owner, id, s) {}
    void SetColor(Color c);
    Color GetColor() const { return color_; }
    void SetColumnsNumber(int n);
    int ColumnsNumber() const { return columns_; }
    void EnableOtherButton(bool on);
    bool OtherButtonEnabled() const { return other_; }
    void EnableAutomaticButton(bool on);
    bool AutomaticButtonEnabled() const { return automatic_; }

private:
    Color color_ = Rgb(0, 0, 0);
    int columns_ = 0;
    bool other_ = false;
    bool automatic_ = false;
};

// What a custom control paints; the owner keeps it alive while attached.
class Drawable {
public:
    virtual ~Drawable() = default;
    // Fills the background before painting; return true when it did.
    virtual bool EraseBackground(Painter&) { return false; }
    virtual void Draw(Painter& painter) = 0;
};

// Host for a custom-drawn control: painting goes to the attached Drawable.
class CustomControl : public Control {
public:
    CustomControl(Dialog* owner, int id, unsigned s) : Control(ControlKind::Custom, owner, id, s) {}
    void SetDrawable(Drawable* d);
    Drawable* GetDrawable() const { return drawable_; }
    bool OnEraseBackground(Painter& p) override;
    void OnPaint(Painter& p) override;

private:
    Drawable* drawable_ = nullptr;
};

}  // namespace ui
