// Dialogs: controls built from a template, notifications of the user's
// actions, data exchange between members and controls, and the modal and
// modeless life cycle.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Window.h"

namespace ui {

// Notifications of controls. They fire synchronously, inside the user action
// that causes them, and never for programmatic changes.
enum class Notify {
    Clicked,        // push button, check box, radio, colour button (colour chosen), notifying static
    DoubleClicked,  // notifying static, list box, list view (item in Notification::item)
    SetFocus,       // the control received the focus (after KillFocus of the old one)
    KillFocus,      // the control lost the focus
    Change,         // edit text or combo edit text changed by typing
    SelChange,      // list box or combo selection changed
    ItemChanged,    // list view item state changed (item, oldState, newState)
    DeltaPos,       // spin about to change its position (pos, delta; result != 0 refuses)
    VScroll,        // scroll bar moved by the user (scrollCode, pos); also Dialog::OnVScroll
    KeyDown,        // key pressed in the control (after PreTranslateMessage did not take it)
    KeyUp,
    CloseUp,  // combo box: its drop-down list closed after the user chose from it (after SelChange)
};

// List view item state bits.
constexpr unsigned kItemSelected = 2;

struct Notification {
    Notify code = Notify::Clicked;
    int id = 0;
    Control* control = nullptr;
    int item = -1;
    unsigned oldState = 0;
    unsigned newState = 0;
    int pos = 0;
    int delta = 0;
    int scrollCode = 0;
    int key = 0;
    // Set by handlers: for DeltaPos, non-zero refuses the change.
    int result = 0;
};

using NotifyHandler = std::function<void(Notification&)>;

// A key message on its way to the focused control.
struct Message {
    enum Type { KeyDown, KeyUp } type = KeyDown;
    int key = 0;
    int repeat = 1;
    int flags = 0;
    Control* target = nullptr;  // the focused control, or none
};

class DataExchange;

class Dialog : public Window {
public:
    // The template is looked up by id (RegisterDialogTemplate) when the window
    // is created; a dialog may also override BuildTemplate.
    explicit Dialog(int templateId, Window* parent = nullptr);
    ~Dialog() override;

    int TemplateId() const { return templateId_; }
    virtual DialogTemplate BuildTemplate() const;

    // Modal: builds the window, OnInitDialog, runs the back end's modal loop
    // until EndDialog, destroys the window; returns the EndDialog result
    // (-1 when the window could not be made).
    int DoModal();
    // Modeless: builds the window and runs OnInitDialog; shown when the
    // template has style::Visible. templateId 0 keeps the constructor's.
    bool Create(int templateId = 0, Window* parent = nullptr);
    // Ends a modal dialog with the result; hides a modeless one.
    void EndDialog(int result);
    bool IsModal() const { return modal_; }
    bool IsEnded() const { return ended_; }
    int GetResult() const { return result_; }
    bool DestroyWindow() override;

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);
    // save = true: controls to members; false: members to controls.
    // Returns false after a failed exchange (message shown, control focused).
    bool UpdateData(bool save = true);
    // Sees every key message of the dialog's controls first; true consumes it.
    virtual bool PreTranslateMessage(const Message& msg);
    // The user scrolled a scroll bar of the dialog.
    virtual void OnVScroll(int code, int pos, ScrollBar* bar);
    // Commands of buttons without a notification handler.
    virtual bool OnCommand(int id);

    // Controls.
    Control* GetDlgItem(int id) const;
    template <class T>
    T* Get(int id) const {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    const std::vector<Control*>& Controls() const { return order_; }
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int state);
    void CheckRadioButton(int firstId, int lastId, int checkId);
    Control* GetFocus() const { return focus_; }
    // Programmatic focus (no notification); an edit gets its text selected.
    void GotoDlgCtrl(Control* c);
    void SetFocusSilently(Control* c);
    Button* GetDefaultButton() const;
    // Dialog units to pixels with the back end's base units.
    Rect MapDialogRect(const Rect& du) const;

    // Handlers of notifications; the first handler for an id wins over range
    // handlers. One handler may cover a range of ids (first..last).
    void OnNotify(Notify code, int id, NotifyHandler h);
    void OnNotify(Notify code, int id, std::function<void()> h);
    void OnNotifyRange(Notify code, int firstId, int lastId, NotifyHandler h);
    void OnClicked(int id, std::function<void()> h) { OnNotify(Notify::Clicked, id, std::move(h)); }

    // User actions: the entry points of the back end and of the test driver.
    // Each returns false when the action was not possible (no such control,
    // disabled or hidden control, dialog not open).
    bool UserFocus(int id);
    bool UserClick(int id);
    // Replaces the text of an edit (or a combo's edit) as the user would by
    // selecting all and typing: one Change.
    bool UserType(int id, const std::string& text);
    // Types characters at the caret (one Change per character).
    bool UserTypeChars(int id, const std::string& chars);
    bool UserKeyDown(int key, int repeat = 1, int flags = 0);
    bool UserKeyUp(int key, int repeat = 1, int flags = 0);
    // A key press and release; with modifiers pressed around it.
    bool UserKey(int key, int modifiers = 0);
    bool UserScroll(int id, int code, int pos = 0);
    // A combo or list box entry (a list view item) chosen with the mouse; a
    // combo's drop-down list closes after the choice.
    bool UserSelect(int id, int index);
    // List view: click on an item (extend: keep the others selected). Item
    // -1 is a click below the items: every item loses its selection and the
    // click is reported with item -1.
    bool UserSelectItem(int id, int item, bool extend = false);
    bool UserDoubleClick(int id, int item = -1);
    bool UserSpin(int id, bool up);
    bool UserPickColor(int id, Color color);
    bool UserClose();  // the close box
    // The user drags the sizing border to a client size of w x h: refused
    // without style::Resizable. The controls keep their places; OnSize runs
    // with the new client size and may move them.
    bool UserResize(int w, int h);
    bool ShiftDown() const { return shift_; }

protected:
    // Registered template id may be replaced before creation.
    void SetTemplateId(int id) { templateId_ = id; }

private:
    void DestroyChildWindows() override;
    bool BuildWindow(Window* parent);
    // The window a new dialog is centred over: its owner's top window, else
    // the program's main frame; null when neither exists.
    Window* PlacementOwner() const;
    // A dialog with a sizing border that is larger than the desktop is
    // made as large as the desktop (its OnSize lays it out).
    void FitResizableOnDesktop();
    bool Open() const;
    bool Usable(const Control* c) const;
    const NotifyHandler* FindHandler(Notify code, int id) const;
    // Runs the handler of the notification; false when there is none.
    bool Fire(Notification& n);
    bool FireSimple(Notify code, Control* c, int item = -1);
    // The user moves the focus: KillFocus of the old control, then SetFocus of
    // the new one. False when a handler destroyed the dialog meanwhile.
    bool MoveFocusByUser(Control* to);
    // A key message for the focused control; keeps the Shift and Control state.
    Message KeyMessage(Message::Type type, int key, int repeat, int flags);
    // KeyDown or KeyUp of the focused control, when there is one.
    void FireKey(Notify code, int key);
    void DefaultKeyProcessing(const Message& msg);
    void TabToNext(bool backward);
    void FocusFirstTabStop();
    void ClickButton(Button* b);
    // A command as a button of that id would give it: its Clicked handler,
    // else OnOK / OnCancel / OnCommand.
    void RunCommand(int id);
    std::vector<Control*> GroupOf(Control* c) const;
    void ListViewClick(ListView* lv, int item, bool extend);

    struct Handler {
        Notify code;
        int first;
        int last;
        NotifyHandler fn;
    };

    int templateId_;
    Window* ctorParent_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<Control*> order_;
    std::vector<Handler> handlers_;
    Control* focus_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = 0;
    bool shift_ = false;
    bool ctrl_ = false;
};

// Data exchange between dialog members and controls. After the first failure
// the remaining exchanges of the same pass are skipped.
class DataExchange {
public:
    DataExchange(Dialog& dlg, bool save) : dlg_(dlg), save_(save) {}
    bool Saving() const { return save_; }
    bool Failed() const { return failed_; }
    Dialog& GetDialog() const { return dlg_; }

    // Edits: integers as "%d"; doubles and floats in the shortest text that
    // reads back to the same value. A text that is not a valid number shows
    // "Please enter an integer." or "Please enter a number." (exclamation
    // icon), keeps the member, focuses the control and fails the exchange.
    void Text(int id, int& value);
    void Text(int id, double& value);
    void Text(int id, float& value);
    void Text(int id, std::string& value);
    // As above, and a value outside min .. max is refused like a text that is
    // not a number: "Please enter an integer between <min> and <max>." or
    // "Please enter a number between <min> and <max>.".
    void Text(int id, int& value, int min, int max);
    void Text(int id, double& value, double min, double max);
    void Check(int id, int& value);
    // Index of the checked radio in the group that starts at id (-1 none).
    void Radio(int id, int& value);
    void ComboIndex(int id, int& value);
    void ListIndex(int id, int& value);
    // Fails the exchange after focusing the control (for own checks).
    void Fail(int id);

private:
    Control* Item(int id);
    // The numeric exchange of one edit; with a range when min and max are given.
    template <class T>
    void Number(int id, T& value, const T* min, const T* max);
    Dialog& dlg_;
    bool save_;
    bool failed_ = false;
};

// Number texts as the data exchange reads and writes them.
std::string FormatInt(int v);
std::string FormatDouble(double v);  // shortest text that reads back exactly
std::string FormatFloat(float v);
// Accept optional blanks around an optional sign, digits, an optional
// fraction and exponent (doubles); refuse everything else, hexadecimal,
// "nan", "inf" and values out of range.
bool ParseInt(const std::string& text, int& out);
bool ParseDouble(const std::string& text, double& out);
bool ParseFloat(const std::string& text, float& out);

}  // namespace ui
