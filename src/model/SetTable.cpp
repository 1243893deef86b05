#include "model/SetTable.h"

#include "model/TextParse.h"

// ===========================================================================
// Member lists

namespace {

SetMemberRow* MakeMember(const std::string& first, int final, int increment, int side) {
    auto* row = new SetMemberRow;
    row->first = first;
    row->final = final;
    row->increment = increment;
    row->side = side;
    return row;
}

}  // namespace

void SetMemberList::AddSetMemberRow(const std::string& first, int final, int increment, int side) {
    LinkAtTail(MakeMember(first, final, increment, side));
}

void SetMemberList::InsertSetMemberRow(int i, const std::string& first, int final, int increment, int side) {
    InsertRowAt(i, MakeMember(first, final, increment, side));
}

void SetMemberList::RemoveSetMemberRow(int i) { RemoveRowAt(i); }

void SetMemberList::CopySetMemberList(const SetMemberList* source) {
    if (!source) return;
    CopyRowsFrom(*source, [](const SetMemberRow& r) { return MakeMember(r.first, r.final, r.increment, r.side); });
}

void SetMemberList::CopySetMemberRowValues(const SetMemberList& source) {
    AssignRowsFrom(source, [](SetMemberRow& t, const SetMemberRow& s) {
        t.first = s.first;
        t.final = s.final;
        t.increment = s.increment;
        t.side = s.side;
    });
}

bool SetMemberList::CompareSetMemberList(const SetMemberList& other) const {
    if (count_ != other.count_) return true;
    return RowsDiffer(other, [](const SetMemberRow& a, const SetMemberRow& b) {
        return a.first != b.first || a.final != b.final || a.increment != b.increment || a.side != b.side;
    });
}

void SetMemberList::SortSetMemberRows() {
    SortRows([](const SetMemberRow* a, const SetMemberRow* b) { return a->first < b->first; });
}

std::string SetMemberList::GetText(int i) const { return GetRow(i)->first; }
void SetMemberList::SetText(int i, const std::string& text) { GetRow(i)->first = text; }
int SetMemberList::GetFinal(int i) const { return GetRow(i)->final; }
void SetMemberList::SetFinal(int i, int final) { GetRow(i)->final = final; }
int SetMemberList::GetIncrement(int i) const { return GetRow(i)->increment; }
void SetMemberList::SetIncrement(int i, int increment) { GetRow(i)->increment = increment; }
int SetMemberList::GetSide(int i) const { return GetRow(i)->side; }
void SetMemberList::SetSide(int i, int side) { GetRow(i)->side = side; }
int SetMemberList::GetFirstNumber(int i) const { return ParseInt(GetRow(i)->first); }

bool SetMemberList::HasNumericMember() const {
    for (const SetMemberRow* r = head_; r; r = r->next) {
        std::vector<std::string> items;
        SplitList(r->first, items);
        for (const std::string& item : items)
            if (!item.empty() && item[0] >= '1' && item[0] <= '9') return true;
    }
    return false;
}

std::unique_ptr<SetMemberList> SetMemberList::CopyOf(const SetMemberList* source) {
    if (!source) return nullptr;
    auto copy = std::make_unique<SetMemberList>();
    copy->CopySetMemberList(source);
    return copy;
}

// ===========================================================================
// Set tables

namespace {

SetRow* MakeSet(const std::string& name, const SetMemberList* members) {
    auto* row = new SetRow;
    row->name = name;
    row->members = SetMemberList::CopyOf(members);
    return row;
}

}  // namespace

void SetTable::AddSetRow(const std::string& name, const SetMemberList* members) { LinkAtTail(MakeSet(name, members)); }

void SetTable::InsertSetRow(int i, const std::string& name, const SetMemberList* members) {
    InsertRowAt(i, MakeSet(name, members));
}

void SetTable::RemoveSetRow(int i) { RemoveRowAt(i); }

void SetTable::CopySetTable(const SetTable& source) {
    if (&source == this) return;
    setKind_ = source.setKind_;
    model_ = source.model_;
    CopyRowsFrom(source, [](const SetRow& r) { return MakeSet(r.name, r.members.get()); });
}

void SetTable::CopySetRowValues(const SetTable& source) {
    AssignRowsFrom(source, [](SetRow& t, const SetRow& s) {
        t.name = s.name;
        t.members = SetMemberList::CopyOf(s.members.get());
    });
}

bool SetTable::CompareSetTable(const SetTable& other) const {
    if (count_ != other.count_) return true;
    return RowsDiffer(other, [](const SetRow& a, const SetRow& b) {
        if (a.name != b.name) return true;
        if ((a.members != nullptr) != (b.members != nullptr)) return true;
        return a.members && a.members->CompareSetMemberList(*b.members);
    });
}

void SetTable::SortSetRows() {
    SortRows([](const SetRow* a, const SetRow* b) { return a->name < b->name; });
}

int SetTable::FindRowByName(const std::string& name) const {
    for (size_t i = 0; i < index_.size(); ++i)
        if (index_[i]->name == name) return static_cast<int>(i);
    return -1;
}

std::string SetTable::GetRowName(int i) const { return GetRow(i)->name; }
void SetTable::SetSetRowName(int i, const std::string& name) { GetRow(i)->name = name; }
SetMemberList* SetTable::GetRowField0At(int i) const { return GetRow(i)->members.get(); }

void SetTable::ReplaceSetRowMembers(int i, const SetMemberList* members) {
    SetRow* row = GetRow(i);
    // Copy first: the given list may be the set's own.
    std::unique_ptr<SetMemberList> copy = SetMemberList::CopyOf(members);
    row->members = std::move(copy);
}

void SetTable::AddAllSet() {
    for (const SetRow* r = head_; r; r = r->next)
        if (r->name == "ALL") return;
    AddSetRow("ALL", nullptr);
    CountRows();
    RebuildIndex();
}

bool SetTable::HasNumericSetMembers() const {
    int sets = 0;
    for (const SetRow* r = head_; r; r = r->next) ++sets;
    if (sets == 1) return false;
    for (const SetRow* r = head_; r; r = r->next)
        if (r->members && r->members->HasNumericMember()) return true;
    return false;
}
