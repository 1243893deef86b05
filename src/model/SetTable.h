#pragma once
// Named sets of nodes, elements or element edges (NODESET, ELEMENTSET,
// EDGESET) and the member ranges of each set. The set "ALL" has no member
// list and stands for every node, element or side.

#include <memory>
#include <string>

#include "model/InputTable.h"

// One member range of a set: a first number, a comma list of numbers or the
// name of another set; last number, step and (edge sets) element side.
struct SetMemberRow {
    std::string first = "0";
    int final = 0;
    int increment = 1;
    int side = 1;
    SetMemberRow* next = nullptr;
};

// The members of one set (no model pointer, no parameters).
class SetMemberList : public RowChain<SetMemberRow> {
public:
    SetMemberList() = default;

    void AddSetMemberRow(const std::string& first, int final, int increment, int side);
    void InsertSetMemberRow(int i, const std::string& first, int final, int increment, int side);
    void RemoveSetMemberRow(int i);
    // Replaces the rows by copies of the source's; nothing for a null source.
    void CopySetMemberList(const SetMemberList* source);
    void CopySetMemberRowValues(const SetMemberList& source);
    // True when the counts differ or a row differs in any of its four fields.
    bool CompareSetMemberList(const SetMemberList& other) const;
    int CountSetMemberRows() { return CountRows(); }
    void RebuildSetMemberIndex() { RebuildIndex(); }
    // By first text in case-sensitive byte order ("10" before "9").
    void SortSetMemberRows();

    std::string GetText(int i) const;
    void SetText(int i, const std::string& text);
    int GetFinal(int i) const;
    void SetFinal(int i, int final);
    int GetIncrement(int i) const;
    void SetIncrement(int i, int increment);
    int GetSide(int i) const;
    void SetSide(int i, int side);
    SetMemberRow* GetMember(int i) const { return GetRow(i); }
    // The first text of member i read as a decimal integer (0 without digits).
    int GetFirstNumber(int i) const;

    // True as soon as one comma item of a member's first text begins with a
    // digit 1..9.
    bool HasNumericMember() const;

    // A new list holding copies of the rows of `source` (null for null).
    static std::unique_ptr<SetMemberList> CopyOf(const SetMemberList* source);
};

struct SetRow {
    std::unique_ptr<SetMemberList> members;  // null: no member list ("ALL")
    std::string name;
    SetRow* next = nullptr;
};

// Set table; set kind 1 node sets, 2 element sets, 3 edge sets.
class SetTable : public InputTable<SetRow> {
public:
    explicit SetTable(int setKind = 0) : setKind_(setKind) {}

    // The set gets its own copy of `members` (null stays null).
    void AddSetRow(const std::string& name, const SetMemberList* members);
    void InsertSetRow(int i, const std::string& name, const SetMemberList* members);
    void RemoveSetRow(int i);
    void CopySetTable(const SetTable& source);
    void CopySetRowValues(const SetTable& source);
    // True when the tables differ. Two sets without member list (such as the
    // "ALL" of each table) count as equal.
    bool CompareSetTable(const SetTable& other) const;
    int CountConcentratedActionRows() { return CountRows(); }
    void RebuildConcentratedActionIndex() { RebuildIndex(); }
    // By name in case-sensitive byte order.
    void SortSetRows();

    // First set whose name equals `name` exactly; -1 when none.
    int FindRowByName(const std::string& name) const;

    std::string GetRowName(int i) const;
    void SetSetRowName(int i, const std::string& name);
    // Member list of set i (null for a set without list).
    SetMemberList* GetRowField0At(int i) const;
    // Replaces the member list of set i by a copy of `members` (which may be
    // the set's own list); null leaves the set without list.
    void ReplaceSetRowMembers(int i, const SetMemberList* members);

    // Appends a set "ALL" without member list when no set has that name, then
    // recounts and rebuilds the index.
    void AddAllSet();
    // False for a table of exactly one set; else true as soon as one set's
    // member list has a numeric member.
    bool HasNumericSetMembers() const;

    int GetSetKind() const { return setKind_; }
    void SetSetKind(int kind) { setKind_ = kind; }

private:
    int setKind_ = 0;
};
