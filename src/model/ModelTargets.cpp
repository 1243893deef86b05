// The targets of the input tables as names of sets: who uses a set, renaming
// a set through every text that names it, and the check that every target
// names something that exists.

#include <algorithm>
#include <ostream>

#include "model/MaterialTable.h"
#include "model/ModelData.h"
#include "model/ModelFileText.h"
#include "model/SetWalk.h"

namespace {

struct NodalTableName {
    const char* table;
    const char* keyword;
    int setKind;
};

// Nodal tables 1..5: constraints, loads and stiffnesses act on nodes, the
// distributed ones on elements.
const NodalTableName kNodalTables[5] = {
    {"Nodal Constraints", "NODAL_CONSTRAINT_DATA", 1},
    {"Nodal Loads", "NODAL_LOAD_DATA", 1},
    {"Nodal Stiffness", "NODAL_STIFFNESS_DATA", 1},
    {"Distributed Loads", "DISTRIBUTED_LOAD_DATA", 2},
    {"Distributed Stiffness", "DISTRIBUTED_STIFFNESS_DATA", 2},
};

const NodalTableName kEdgeTables[2] = {
    {"Edge Loads", "EDGE_LOAD_DATA", 3},
    {"Edge Stiffness", "EDGE_STIFFNESS_DATA", 3},
};

const char* const kGroupTable = "Nonlinear Nodal Stiffness";

// The comma items of a text exactly as typed (no trimming).
std::vector<std::string> Items(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

bool NamesSet(const std::string& text, const std::string& name) {
    for (const std::string& item : Items(text))
        if (!setwalk::IsNumberItem(item) && item == name) return true;
    return false;
}

// The text with every name item equal to `from` replaced; true when changed.
bool RenameItems(std::string& text, const std::string& from, const std::string& to) {
    std::vector<std::string> items = Items(text);
    bool changed = false;
    for (std::string& item : items)
        if (!setwalk::IsNumberItem(item) && item == from) {
            item = to;
            changed = true;
        }
    if (!changed) return false;
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) joined += (i ? "," : "") + items[i];
    text = joined;
    return true;
}

const char* SetNoun(int kind) { return kind == 1 ? "node set" : kind == 2 ? "element set" : "edge set"; }

const char* ItemNoun(int kind) { return kind == 1 ? "node" : "element"; }

}  // namespace

std::vector<ModelData::TargetRow> ModelData::TargetRows() const {
    std::vector<TargetRow> rows;
    for (int k = 1; k <= 5; ++k) {
        int row = 0;
        if (const NodalActionTable* t = GetNodalActionTable(k))
            for (const NodalRow* r = t->GetHead(); r; r = r->next)
                rows.push_back({kNodalTables[k - 1].table, kNodalTables[k - 1].keyword, ++row,
                                kNodalTables[k - 1].setKind, r->target});
    }
    for (int k = 1; k <= 2; ++k) {
        int row = 0;
        if (const EdgeActionTable* t = GetEdgeActionTable(k))
            for (const EdgeRow* r = t->GetHead(); r; r = r->next)
                rows.push_back({kEdgeTables[k - 1].table, kEdgeTables[k - 1].keyword, ++row, 3, r->target});
    }
    int row = 0;
    if (materialTable)
        for (const MaterialRow* m = materialTable->GetHead(); m; m = m->next)
            rows.push_back({"Material Properties", "MATERIAL_DATA", ++row, 2, m->element});
    row = 0;
    for (const NonlinearAction* a = nonlinearActions; a; a = a->next) {
        ++row;
        // A node list holds numbers only; a set name is the whole text.
        if (a->setSelector) rows.push_back({kGroupTable, "NONLINEAR_NODAL_STIFFNESS_DATA", row, 1, a->nodeText});
    }
    return rows;
}

std::vector<std::string> ModelData::SetUsers(int kind, const std::string& name) const {
    std::vector<std::string> users;
    for (const TargetRow& r : TargetRows())
        if (r.setKind == kind && NamesSet(r.text, name))
            users.push_back(std::string(r.table) + " row " + std::to_string(r.row));
    if (const SetTable* sets = GetSetTable(kind))
        for (const SetRow* s = sets->GetHead(); s; s = s->next) {
            if (s->name == name || !s->members) continue;
            for (const SetMemberRow* m = s->members->GetHead(); m; m = m->next)
                if (NamesSet(m->first, name)) {
                    users.push_back(std::string(SetNoun(kind)) + " " + s->name);
                    break;
                }
        }
    return users;
}

std::vector<std::string> ModelData::RenameSetInTargets(int kind, const std::string& from, const std::string& to) {
    std::vector<std::string> changed;
    auto note = [&](bool renamed, const std::string& table) {
        if (renamed && std::find(changed.begin(), changed.end(), table) == changed.end()) changed.push_back(table);
        if (renamed) SetChanged();
    };
    for (int k = 1; k <= 5; ++k)
        if (NodalActionTable* t = GetNodalActionTable(k); t && kNodalTables[k - 1].setKind == kind)
            for (NodalRow* r = t->GetHead(); r; r = r->next)
                note(RenameItems(r->target, from, to), kNodalTables[k - 1].table);
    for (int k = 1; k <= 2; ++k)
        if (EdgeActionTable* t = GetEdgeActionTable(k); t && kind == 3)
            for (EdgeRow* r = t->GetHead(); r; r = r->next)
                note(RenameItems(r->target, from, to), kEdgeTables[k - 1].table);
    if (materialTable && kind == 2)
        for (MaterialRow* m = materialTable->GetHead(); m; m = m->next)
            note(RenameItems(m->element, from, to), "Material Properties");
    if (kind == 1)
        for (NonlinearAction* a = nonlinearActions; a; a = a->next)
            if (a->setSelector && a->nodeText == from) {
                a->nodeText = to;
                note(true, kGroupTable);
            }
    if (SetTable* sets = GetSetTable(kind))
        for (SetRow* s = sets->GetHead(); s; s = s->next)
            if (s->members)
                for (SetMemberRow* m = s->members->GetHead(); m; m = m->next)
                    note(RenameItems(m->first, from, to), std::string(SetNoun(kind)) + " " + s->name);
    return changed;
}

bool ModelData::CheckTargets(std::ostream& out) const {
    bool error = false;
    auto exists = [this](int kind, int number) {
        return kind == 1 ? NodeRowOfNumber(number) >= 0 : ElementRowOfNumber(number) >= 0;
    };
    auto report = [&](const TargetRow& r, const std::string& what) {
        out << "    Error:\n"
            << "      " << r.table << " (" << r.keyword << ") row " << r.row << ": " << what << '\n';
        error = true;
    };
    for (const TargetRow& r : TargetRows()) {
        // A group's unknown set leaves it without nodes, which the model
        // check reports with the group.
        if (r.table == kGroupTable) continue;
        for (const std::string& item : Items(r.text)) {
            if (setwalk::IsMalformedNumberItem(item)) continue;  // one of ItemFaults
            if (setwalk::IsNumberItem(item)) {
                const int number = ParseInt(item);
                if (!exists(r.setKind == 1 ? 1 : 2, number))
                    report(r, "no " + std::string(ItemNoun(r.setKind == 1 ? 1 : 2)) + " " + item + " in the model");
            } else if (item != "ALL" && !setwalk::FindSetRow(GetSetTable(r.setKind), item)) {
                report(r, "no " + std::string(SetNoun(r.setKind)) + " named \"" + item + "\"");
            }
        }
    }
    // Node lists of the stiffness groups: every single node must exist (a
    // group left without any node is reported with the group).
    int row = 0;
    for (const NonlinearAction* a = nonlinearActions; a; a = a->next) {
        ++row;
        if (a->setSelector || a->nodes.empty()) continue;
        const TargetRow r{kGroupTable, "NONLINEAR_NODAL_STIFFNESS_DATA", row, 1, a->nodeText};
        for (const std::string& item : Items(a->nodeText))
            if (item.find(':') == std::string::npos && (!IsNumberText(item) || !exists(1, ParseInt(item))))
                report(r, "no node " + item + " in the model");
    }
    return error;
}

std::string ModelData::UnwritableText() const {
    auto problem = [](const std::string& where, const char* what, const std::string& text, std::size_t limit) {
        const std::string rule = text.empty() ? "must not be empty" : modelfile::WordRule(text, limit);
        return rule.empty() ? rule : where + ": " + what + " \"" + text + "\" " + rule;
    };
    for (const TargetRow& r : TargetRows()) {
        if (r.table == kGroupTable) continue;
        const std::string p = problem(std::string(r.table) + " row " + std::to_string(r.row), "target", r.text,
                                      modelfile::kMaxWordLength);
        if (!p.empty()) return p;
    }
    static const char* const kSetTables[3] = {"Node Set", "Element Set", "Edge Set"};
    for (int kind = 1; kind <= 3; ++kind) {
        const SetTable* sets = GetSetTable(kind);
        int row = 0;
        for (const SetRow* s = sets ? sets->GetHead() : nullptr; s; s = s->next) {
            ++row;
            const std::string table = kSetTables[kind - 1];
            std::string p =
                problem(table + " row " + std::to_string(row), "set name", s->name, modelfile::kMaxSetNameLength);
            if (!p.empty()) return p;
            int item = 0;
            for (const SetMemberRow* m = s->members ? s->members->GetHead() : nullptr; m; m = m->next) {
                p = problem(table + " " + s->name + " row " + std::to_string(++item), "item", m->first,
                            modelfile::kMaxWordLength);
                if (!p.empty()) return p;
            }
        }
    }
    return {};
}

bool ModelData::SetHolds(int kind, const std::string& outer, const std::string& inner) const {
    const SetTable* sets = GetSetTable(kind);
    std::vector<std::string> seen;
    std::vector<std::string> open{outer};
    while (!open.empty()) {
        const std::string name = open.back();
        open.pop_back();
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        const SetRow* set = setwalk::FindSetRow(sets, name);
        for (const SetMemberRow* m = set && set->members ? set->members->GetHead() : nullptr; m; m = m->next)
            for (const std::string& item : Items(m->first)) {
                if (setwalk::IsNumberItem(item)) continue;
                if (item == inner) return true;
                open.push_back(item);
            }
    }
    return false;
}
