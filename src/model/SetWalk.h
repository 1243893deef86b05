#pragma once
// Walking target texts and set members. A target text is a comma list; an
// item beginning with a digit 1..9 is a number, any other item the name of a
// set. A member row whose text is one number stands for the range first ..
// final by the row's step; a member text of several items gives each number
// alone. Callers keep their own guard against sets that name themselves.

#include <algorithm>
#include <string>
#include <vector>

#include "model/SetTable.h"
#include "model/TextParse.h"

namespace setwalk {

inline bool IsNumberItem(const std::string& item) { return !item.empty() && item[0] >= '1' && item[0] <= '9'; }

// A number item that is more than digits ("3O", "30:34", "30-34", "30.9"):
// it is no number, and read by its leading digits it would name another
// node or element than the one meant.
inline bool IsMalformedNumberItem(const std::string& item) {
    return IsNumberItem(item) && item.find_first_not_of("0123456789") != std::string::npos;
}

// The characters that part the items of a target and the fields of a range:
// a set name holding one would be read as several items.
inline constexpr const char* kSetNameSeparators = ",:;";
inline bool HasSeparator(const std::string& name) {
    return name.find_first_of(kSetNameSeparators) != std::string::npos;
}

// The comma items of a text; a text without a comma is its own single item.
inline std::vector<std::string> ListItems(const std::string& text) {
    std::vector<std::string> pieces;
    if (CountListItems(text) > 1)
        SplitList(text, pieces);
    else
        pieces.push_back(text);
    return pieces;
}

// Calls onNumber(number) for every number item of a target text and
// onName(name) for every other item, in text order.
template <class OnNumber, class OnName>
void ForEachTargetItem(const std::string& text, OnNumber onNumber, OnName onName) {
    for (const std::string& item : ListItems(text)) {
        if (IsNumberItem(item))
            onNumber(ParseInt(item));
        else
            onName(item);
    }
}

// First set of that name in the table, walking the chain; null when none.
inline const SetRow* FindSetRow(const SetTable* table, const std::string& name) {
    if (!table) return nullptr;
    for (const SetRow* r = table->GetHead(); r; r = r->next)
        if (r->name == name) return r;
    return nullptr;
}

// Visits first .. last by step. A step of 0 or less, or a last below the
// first, gives the first number alone. Numbers of a range above `limit` (the
// largest number in use) name nothing and are not visited, so a range typed
// far too long costs nothing.
template <class Visit>
void ForEachInRange(int first, int last, int step, int limit, Visit visit) {
    if (step <= 0 || last < first) {
        visit(first);
        return;
    }
    const long long end = std::min<long long>(last, limit);
    for (long long n = first; n <= end; n += step) visit(static_cast<int>(n));
}

// Calls visit(number, side) for every number the member rows reach (side:
// the member row's element side) and onName(name) for every set they name.
template <class Visit, class OnName>
void WalkSetMembers(const SetMemberList* members, int limit, Visit visit, OnName onName) {
    if (!members) return;
    for (const SetMemberRow* m = members->GetHead(); m; m = m->next) {
        const std::vector<std::string> items = ListItems(m->first);
        const bool single = items.size() == 1;
        for (const std::string& item : items) {
            if (IsNumberItem(item)) {
                const int first = ParseInt(item);
                ForEachInRange(first, single ? m->final : first, single ? m->increment : 1, limit,
                               [&](int n) { visit(n, m->side); });
            } else {
                onName(item);
            }
        }
    }
}

}  // namespace setwalk
