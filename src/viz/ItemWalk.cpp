#include "viz/ItemWalk.h"

#include "model/ModelData.h"
#include "model/SetWalk.h"
#include "viz/ElementGeometry.h"

namespace viz {

ItemWalk::ItemWalk(const ModelData& model, int kind, Visit visit)
    : model_(model), kind_(kind), visit_(std::move(visit)) {}

void ItemWalk::Text(const std::string& text) {
    if (text.empty()) return;
    for (const std::string& item : setwalk::ListItems(text)) {
        if (setwalk::IsNumberItem(item))
            NumberItem(item);
        else
            Name(item);
    }
}

void ItemWalk::EdgeRowText(const std::string& text, int side) {
    if (text.empty()) return;
    setwalk::ForEachTargetItem(
        text, [&](int element) { Number(element, side); }, [&](const std::string& name) { Name(name); });
}

// The largest number in use of the kind: ranges stop there.
int ItemWalk::Limit() const {
    return static_cast<int>(kind_ == kNodes ? model_.nodeLookup.size() : model_.elementLookup.size());
}

int ItemWalk::RowOf(int number) const {
    return kind_ == kNodes ? model_.NodeRowOfNumber(number) : model_.ElementRowOfNumber(number);
}

void ItemWalk::Number(int number, int side) {
    ++steps_;
    const int row = RowOf(number);
    if (row >= 0) visit_(row, side);
}

// An edge code 4 x element + side.
void ItemWalk::EdgeCode(int code) {
    const int element = (code - 1) / 4;
    Number(element, code - 4 * element);
}

void ItemWalk::NumberItem(const std::string& item) {
    if (item.find(';') == std::string::npos) {
        const int n = ParseInt(item);
        if (kind_ == kSides)
            EdgeCode(n);
        else
            Number(n, 0);
        return;
    }
    int first = 0, last = 0, step = 1, side = 1;
    ParseRangeText(item, first, last, step, side);
    if (step < 1) step = 1;
    if (last < first) last = first;
    setwalk::ForEachInRange(first, last, step, Limit(), [&](int n) { Number(n, kind_ == kSides ? side : 0); });
}

void ItemWalk::Name(const std::string& name) {
    if (name == "ALL") {
        All();
        return;
    }
    // Each set is expanded once: a set naming itself, or one naming an
    // enclosing set, ends there.
    for (const std::string& seen : expanded_)
        if (seen == name) return;
    expanded_.push_back(name);
    const SetMemberList* members = model_.FindSetTable(kind_, name);
    setwalk::WalkSetMembers(
        members, Limit(), [&](int n, int side) { Number(n, kind_ == kSides ? side : 0); },
        [&](const std::string& nested) { Name(nested); });
}

void ItemWalk::All() {
    steps_ += kind_ == kNodes ? model_.GetNodeCount() : model_.GetElementCount();
    if (kind_ == kNodes) {
        for (int i = 0; i < model_.GetNodeCount(); ++i) visit_(i, 0);
        return;
    }
    for (int e = 0; e < model_.GetElementCount(); ++e) {
        if (kind_ == kElements) {
            visit_(e, 0);
            continue;
        }
        for (int s = 0; s < 4; ++s)
            if (EdgeFlag(model_, e, s) < 2) visit_(e, s + 1);
    }
}

}  // namespace viz
