#include "platform/ui/Controls.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/Dialog.h"

namespace ui {

namespace {

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Index where a sorted list takes a new entry: after every entry that is not
// greater than it.
int SortedPosition(const std::vector<std::string>& items, const std::string& s) {
    int i = 0;
    while (i < static_cast<int>(items.size()) && CompareNoCase(items[i], s) <= 0) ++i;
    return i;
}

int FindExact(const std::vector<std::string>& items, const std::string& s) {
    for (size_t i = 0; i < items.size(); ++i)
        if (CompareNoCase(items[i], s) == 0) return static_cast<int>(i);
    return -1;
}

// The entry lists of combo and list boxes: the selection follows its entry
// when others are inserted or deleted before it.
int InsertEntry(std::vector<std::string>& items, int& cursel, int index, const std::string& s) {
    if (index < 0 || index > static_cast<int>(items.size())) index = static_cast<int>(items.size());
    items.insert(items.begin() + index, s);
    if (cursel >= index) ++cursel;
    return index;
}

// False when there is no such entry; the selection is lost with its entry.
bool DeleteEntry(std::vector<std::string>& items, int& cursel, int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) return false;
    items.erase(items.begin() + index);
    if (cursel == index)
        cursel = -1;
    else if (cursel > index)
        --cursel;
    return true;
}

std::string EntryAt(const std::vector<std::string>& items, int index) {
    return (index >= 0 && index < static_cast<int>(items.size())) ? items[index] : std::string();
}

}  // namespace

Control::Control(ControlKind kind, Dialog* owner, int id, unsigned styleBits)
    : Window(WindowKind::Control), controlKind_(kind), owner_(owner), id_(id), cstyle_(styleBits) {
    SetParent(owner);
}

void Control::SetFocus() {
    if (owner_) owner_->SetFocusSilently(this);
}

bool Control::HasFocus() const { return owner_ && owner_->GetFocus() == this; }

bool Control::IsTabStop() const { return HasStyle(cs::TabStop); }

void Picture::SetImage(Image image) {
    image_ = std::move(image);
    StateChanged();
    Invalidate(true);
}

void Button::SetCheck(int state) {
    if (state == check_) return;
    check_ = state;
    StateChanged();
}

void Button::SetDefault(bool on) {
    SetControlStyle(on ? (ControlStyle() | cs::Default) : (ControlStyle() & ~cs::Default));
    StateChanged();
}

void Edit::SetWindowText(const std::string& text) {
    selStart_ = selEnd_ = 0;
    Control::SetWindowText(text);
}

void Edit::SetReadOnly(bool on) {
    SetControlStyle(on ? (ControlStyle() | cs::ReadOnly) : (ControlStyle() & ~cs::ReadOnly));
    StateChanged();
}

void Edit::SetSel(int start, int end) {
    const int len = static_cast<int>(GetWindowText().size());
    if (start < 0) {  // no selection, caret at the end
        selStart_ = selEnd_ = len;
    } else {
        if (end < 0 || end > len) end = len;
        if (start > len) start = len;
        if (start > end) std::swap(start, end);
        selStart_ = start;
        selEnd_ = end;
    }
    StateChanged();
}

std::string Edit::SelectedText() const {
    const std::string& t = GetWindowText();
    if (selStart_ >= selEnd_ || selStart_ >= static_cast<int>(t.size())) return "";
    return t.substr(selStart_, selEnd_ - selStart_);
}

int ComboBox::AddString(const std::string& s) { return InsertString(IsSorted() ? SortedPosition(items_, s) : -1, s); }

int ComboBox::InsertString(int index, const std::string& s) {
    index = InsertEntry(items_, cursel_, index, s);
    StateChanged();
    return index;
}

int ComboBox::DeleteString(int index) {
    const bool wasSelected = index == cursel_;
    if (!DeleteEntry(items_, cursel_, index)) return -1;
    if (wasSelected && !HasEdit()) SetTextSilently("");
    StateChanged();
    return GetCount();
}

void ComboBox::ResetContent() {
    items_.clear();
    cursel_ = -1;
    SetTextSilently("");
    StateChanged();
}

std::string ComboBox::GetLBText(int index) const { return EntryAt(items_, index); }

int ComboBox::FindStringExact(const std::string& s) const { return FindExact(items_, s); }

int ComboBox::SetCurSel(int index) {
    if (index < 0 || index >= GetCount()) {
        cursel_ = -1;
        SetTextSilently("");
        StateChanged();
        return -1;
    }
    cursel_ = index;
    SetTextSilently(items_[index]);
    StateChanged();
    return index;
}

void ComboBox::SetWindowText(const std::string& text) {
    const int match = FindStringExact(text);
    if (HasEdit()) {
        cursel_ = match;
        SetTextSilently(text);
        StateChanged();
    } else if (match >= 0) {
        SetCurSel(match);
    }
}

int ListBox::AddString(const std::string& s) {
    return InsertString(HasStyle(cs::Sorted) ? SortedPosition(items_, s) : -1, s);
}

int ListBox::InsertString(int index, const std::string& s) {
    index = InsertEntry(items_, cursel_, index, s);
    StateChanged();
    return index;
}

int ListBox::DeleteString(int index) {
    if (!DeleteEntry(items_, cursel_, index)) return -1;
    StateChanged();
    return GetCount();
}

void ListBox::ResetContent() {
    items_.clear();
    cursel_ = -1;
    StateChanged();
}

std::string ListBox::GetText(int index) const { return EntryAt(items_, index); }

int ListBox::FindStringExact(const std::string& s) const { return FindExact(items_, s); }

int ListBox::SetCurSel(int index) {
    cursel_ = (index >= 0 && index < GetCount()) ? index : -1;
    StateChanged();
    return cursel_;
}

int ListView::InsertColumn(int index, const std::string& text, int format, int width) {
    if (index < 0 || index > GetColumnCount()) index = GetColumnCount();
    columns_.insert(columns_.begin() + index, Column{text, width < 0 ? 60 : width, format});
    StateChanged();
    return index;
}

bool ListView::DeleteColumn(int index) {
    if (index < 0 || index >= GetColumnCount()) return false;
    columns_.erase(columns_.begin() + index);
    for (Item& item : items_)
        if (index < static_cast<int>(item.texts.size())) item.texts.erase(item.texts.begin() + index);
    StateChanged();
    return true;
}

int ListView::InsertItem(int index, const std::string& text) {
    if (index < 0 || index > GetItemCount()) index = GetItemCount();
    Item item;
    item.texts.push_back(text);
    items_.insert(items_.begin() + index, std::move(item));
    StateChanged();
    return index;
}

bool ListView::SetItemText(int item, int subItem, const std::string& text) {
    if (item < 0 || item >= GetItemCount() || subItem < 0) return false;
    auto& texts = items_[item].texts;
    if (static_cast<int>(texts.size()) <= subItem) texts.resize(subItem + 1);
    texts[subItem] = text;
    StateChanged();
    return true;
}

std::string ListView::GetItemText(int item, int subItem) const {
    if (item < 0 || item >= GetItemCount() || subItem < 0) return "";
    const auto& texts = items_[item].texts;
    return subItem < static_cast<int>(texts.size()) ? texts[subItem] : "";
}

bool ListView::DeleteItem(int item) {
    if (item < 0 || item >= GetItemCount()) return false;
    items_.erase(items_.begin() + item);
    StateChanged();
    return true;
}

void ListView::DeleteAllItems() {
    items_.clear();
    StateChanged();
}

void ListView::SetAllItems(std::vector<std::vector<std::string>> rows) {
    items_.clear();
    items_.reserve(rows.size());
    for (auto& texts : rows) {
        Item item;
        item.texts = std::move(texts);
        items_.push_back(std::move(item));
    }
    StateChanged();
}

bool ListView::SetItemData(int item, long long data) {
    if (item < 0 || item >= GetItemCount()) return false;
    items_[item].data = data;
    return true;
}

long long ListView::GetItemData(int item) const { return (item >= 0 && item < GetItemCount()) ? items_[item].data : 0; }

bool ListView::IsSelected(int item) const { return item >= 0 && item < GetItemCount() && items_[item].selected; }

bool ListView::SetSelected(int item, bool selected) {
    if (item < 0 || item >= GetItemCount()) return false;
    if (selected && !IsMultiSelect())
        for (auto& it : items_) it.selected = false;
    items_[item].selected = selected;
    StateChanged();
    return true;
}

int ListView::GetSelectedCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.selected; }));
}

int ListView::GetNextSelected(int after) const {
    for (int i = std::max(after + 1, 0); i < GetItemCount(); ++i)
        if (items_[i].selected) return i;
    return -1;
}

void ScrollBar::SetScrollRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    pos_ = std::clamp(pos_, min_, max_);
    StateChanged();
}

void ScrollBar::SetScrollPos(int pos) {
    pos_ = std::clamp(pos, min_, max_);
    StateChanged();
}

void Spin::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    pos_ = std::clamp(pos_, std::min(lower_, upper_), std::max(lower_, upper_));
    StateChanged();
}

void Spin::SetPos(int pos) {
    pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
    StateChanged();
}

int Spin::StepOf(bool up) const {
    const int toUpper = upper_ >= lower_ ? 1 : -1;
    return up ? toUpper : -toUpper;
}

void ColorButton::SetColor(Color c) {
    color_ = c;
    StateChanged();
    Invalidate(false);
}

void ColorButton::SetColumnsNumber(int n) {
    columns_ = n;
    StateChanged();
}

void ColorButton::EnableOtherButton(bool on) {
    other_ = on;
    StateChanged();
}

void ColorButton::EnableAutomaticButton(bool on) {
    automatic_ = on;
    StateChanged();
}

void CustomControl::SetDrawable(Drawable* d) {
    drawable_ = d;
    Invalidate(true);
}

bool CustomControl::OnEraseBackground(Painter& p) { return drawable_ ? drawable_->EraseBackground(p) : false; }

void CustomControl::OnPaint(Painter& p) {
    if (drawable_) drawable_->Draw(p);
}

}  // namespace ui
