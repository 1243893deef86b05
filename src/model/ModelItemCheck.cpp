// The items of targets and set members taken whole: a number item is digits
// only, a set name holds no separator, and every number a set member reaches
// names a node or element. Used by the model check, the solver input writer
// and the grids that would leave a member naming nothing.

#include <ostream>

#include "model/ModelData.h"
#include "model/SetWalk.h"

namespace {

const char* SetTableName(int kind) { return kind == 1 ? "Node set" : kind == 2 ? "Element set" : "Edge set"; }

const char* SetKeyword(int kind) { return kind == 1 ? "NODESET_DATA" : kind == 2 ? "ELEMENTSET_DATA" : "EDGESET_DATA"; }

// Node sets hold nodes; element and edge sets elements.
const char* NumberNoun(int setKind) { return setKind == 1 ? "node" : "element"; }

// At most this many missing numbers of one member row are named.
constexpr std::size_t kMissingShown = 10;

// The pieces of MissingMembers: the numbers and ranges, the last one
// "... (N in all)" when there were more than kMissingShown.
std::string MissingText(int setKind, const std::vector<std::string>& missing) {
    const bool several = missing.size() > 1 || missing[0].find(' ') != std::string::npos;
    std::string text = std::string("no ") + NumberNoun(setKind) + (several ? "s " : " ");
    for (std::size_t i = 0; i < missing.size(); ++i) text += (i ? ", " : "") + missing[i];
    return text + " in the model";
}

std::string MalformedText(int setKind, const std::string& item) {
    return "\"" + item + "\" is not " + (setKind == 1 ? "a node" : "an element") +
           " number: a number item is digits only";
}

}  // namespace

bool ModelData::NumberExists(int setKind, int number) const {
    return setKind == 1 ? NodeRowOfNumber(number) >= 0 : ElementRowOfNumber(number) >= 0;
}

int ModelData::NumberLimit(int setKind) const {
    return static_cast<int>(setKind == 1 ? nodeLookup.size() : elementLookup.size());
}

std::vector<std::string> ModelData::ItemFaults() const {
    std::vector<std::string> faults;
    for (const TargetRow& r : TargetRows())
        for (const std::string& item : setwalk::ListItems(r.text))
            if (setwalk::IsMalformedNumberItem(item))
                faults.push_back(std::string(r.table) + " (" + r.keyword + ") row " + std::to_string(r.row) + ": " +
                                 MalformedText(r.setKind, item));
    for (int kind = 1; kind <= 3; ++kind) {
        const SetTable* sets = GetSetTable(kind);
        int row = 0;
        for (const SetRow* s = sets ? sets->GetHead() : nullptr; s; s = s->next) {
            ++row;
            const std::string where = std::string(SetTableName(kind)) + " ";
            if (setwalk::HasSeparator(s->name))
                faults.push_back(where + "row " + std::to_string(row) + " (" + SetKeyword(kind) + "): set name \"" +
                                 s->name + "\" must not contain \",\", \":\" or \";\"");
            int member = 0;
            for (const SetMemberRow* m = s->members ? s->members->GetHead() : nullptr; m; m = m->next) {
                ++member;
                const std::string at = where + s->name + " row " + std::to_string(member) + ": ";
                for (const std::string& item : setwalk::ListItems(m->first))
                    if (setwalk::IsMalformedNumberItem(item)) faults.push_back(at + MalformedText(kind, item));
                const std::vector<std::string> missing = MissingMembers(kind, *m);
                if (!missing.empty()) faults.push_back(at + MissingText(kind, missing));
            }
        }
    }
    return faults;
}

std::vector<std::string> ModelData::MissingMembers(int kind, const SetMemberRow& member) const {
    // The first kMissingShown pieces are kept, then only counted.
    std::vector<std::string> missing;
    std::size_t count = 0;
    auto note = [&](std::string piece) {
        if (++count <= kMissingShown) missing.push_back(std::move(piece));
    };
    const std::vector<std::string> items = setwalk::ListItems(member.first);
    const bool single = items.size() == 1;
    const int limit = NumberLimit(kind);
    for (const std::string& item : items) {
        if (!setwalk::IsNumberItem(item) || setwalk::IsMalformedNumberItem(item)) continue;
        const int first = ParseInt(item);
        const int last = single ? member.final : first;
        const int step = single ? member.increment : 1;
        if (step <= 0 || last <= first) {
            if (!NumberExists(kind, first)) note(std::to_string(first));
            continue;
        }
        setwalk::ForEachInRange(first, last, step, limit, [&](int n) {
            if (!NumberExists(kind, n)) note(std::to_string(n));
        });
        // The numbers of the range past the largest in use name nothing.
        if (last > limit) {
            const long long reach = first + static_cast<long long>(last - first) / step * step;
            const long long beyond =
                first <= limit ? first + (static_cast<long long>(limit - first) / step + 1) * step : first;
            if (beyond <= reach)
                note(beyond == reach ? std::to_string(reach) : std::to_string(beyond) + " to " + std::to_string(reach));
        }
    }
    if (count > kMissingShown) missing.push_back("... (" + std::to_string(count) + " in all)");
    return missing;
}

bool ModelData::CheckItems(std::ostream& out) const {
    const std::vector<std::string> faults = ItemFaults();
    for (const std::string& fault : faults) out << "    Error:\n      " << fault << '\n';
    return !faults.empty();
}

std::vector<std::string> ModelData::NumberUsers(int kind, int number) const {
    std::vector<std::string> users;
    auto names = [number](const std::string& text) {
        for (const std::string& item : setwalk::ListItems(text))
            if (setwalk::IsNumberItem(item) && !setwalk::IsMalformedNumberItem(item) && ParseInt(item) == number)
                return true;
        return false;
    };
    // Node targets name nodes; element and edge targets elements.
    const auto ofKind = [kind](int setKind) { return kind == 1 ? setKind == 1 : setKind != 1; };
    for (const TargetRow& r : TargetRows())
        if (ofKind(r.setKind) && names(r.text)) users.push_back(std::string(r.table) + " row " + std::to_string(r.row));
    for (int setKind = 1; setKind <= 3; ++setKind) {
        if (!ofKind(setKind)) continue;
        const SetTable* sets = GetSetTable(setKind);
        for (const SetRow* s = sets ? sets->GetHead() : nullptr; s; s = s->next) {
            bool found = false;
            setwalk::WalkSetMembers(
                s->members.get(), std::max(NumberLimit(setKind), number),
                [&](int n, int) { found = found || n == number; }, [](const std::string&) {});
            if (found) users.push_back(std::string(SetTableName(setKind)) + " " + s->name);
        }
    }
    return users;
}
