// Handing a dialog's working copy of a table back to the model. The model's
// table object is kept and its rows overwritten when the row counts agree;
// otherwise the model gets a new table holding a full copy. The modified
// flag rises only when something changed (never for grid lines).

#include "model/ModelData.h"

namespace {

// Keeps `slot` and copies values when the counts agree (and `sameShape`),
// else replaces it by a full copy of `copy`. Returns true when the model's
// table changed.
template <class Table, class Compare, class CopyValues, class CopyAll>
bool ReplaceTable(std::unique_ptr<Table>& slot, const Table& copy, ModelData* model, bool sameShape, Compare differ,
                  CopyValues copyValues, CopyAll copyAll) {
    if (slot && sameShape && slot->GetCount() == copy.GetCount()) {
        if (!(slot.get()->*differ)(copy)) return false;
        (slot.get()->*copyValues)(copy);
        slot->SetModel(model);
        return true;
    }
    auto fresh = std::make_unique<Table>();
    (fresh.get()->*copyAll)(copy);
    fresh->SetModel(model);
    slot = std::move(fresh);
    return true;
}

}  // namespace

void ModelData::ReplaceNodalTable(const NodalActionTable& copy) {
    const int k = copy.GetKindCode();
    if (k < 1 || k > 5) return;
    auto& slot = nodalTables[static_cast<std::size_t>(k - 1)];
    if (ReplaceTable(slot, copy, this, true, &NodalActionTable::CompareWith,
                     &NodalActionTable::CopyNodalActionRowValues, &NodalActionTable::CopyFrom))
        SetChanged();
}

void ModelData::ReplaceConcentratedTable(const ConcentratedActionTable& copy) {
    const int k = copy.GetKindCode();
    if (k != 1 && k != 2) return;
    auto& slot = k == 1 ? concentratedLoads : concentratedStiffness;
    if (ReplaceTable(slot, copy, this, true, &ConcentratedActionTable::CompareConcentratedActionTable,
                     &ConcentratedActionTable::CopyConcentratedActionRowValues,
                     &ConcentratedActionTable::CopyConcentratedActionTable))
        SetChanged();
}

void ModelData::ReplaceEdgeTable(const EdgeActionTable& copy) {
    const int k = copy.GetKindCode();
    if (k != 1 && k != 2) return;
    auto& slot = k == 1 ? edgeLoads : edgeStiffness;
    if (ReplaceTable(slot, copy, this, true, &EdgeActionTable::CompareEdgeActionTable,
                     &EdgeActionTable::CopyEdgeActionRowValues, &EdgeActionTable::CopyEdgeActionTable))
        SetChanged();
}

void ModelData::ReplaceElementTable(const ElementTable& copy) {
    const bool sameShape = elementTable && elementTable->GetNodesPerElement() == copy.GetNodesPerElement();
    const ElementTable* before = elementTable.get();
    if (ReplaceTable(elementTable, copy, this, sameShape, &ElementTable::CompareElementTable,
                     &ElementTable::CopyElementRowValues, &ElementTable::CopyElementTable))
        SetChanged();
    if (elementTable.get() != before) edgeFlags.assign(static_cast<std::size_t>(elementTable->GetCount()) * 4, 0);
    // Element numbers may have changed: the number maps follow the table.
    RebuildNodeIndex();
    if (edgeFlags.size() != static_cast<std::size_t>(elementTable->GetCount()) * 4)
        edgeFlags.assign(static_cast<std::size_t>(elementTable->GetCount()) * 4, 0);
    BuildEdgeFlags();
}

void ModelData::ReplaceGridLineTable(int kind, const NodeTable& copy) {
    if (kind != 1 && kind != 2) return;
    ReplaceTable(gridTables[static_cast<std::size_t>(kind - 1)], copy, this, true, &NodeTable::CompareNodeTable,
                 &NodeTable::CopyNodeRowValues, &NodeTable::CopyNodeTable);
}

void ModelData::ReplaceSetMembers(int kind, const std::string& name, const SetMemberList& members) {
    SetTable* table = GetSetTable(kind);
    if (!table) return;
    const int index = table->FindRowByName(name);
    if (index < 0) return;
    SetRow* set = table->GetRow(index);
    if (set->members && set->members->GetCount() == members.GetCount()) {
        if (!set->members->CompareSetMemberList(members)) return;
        set->members->CopySetMemberRowValues(members);
        SetChanged();
        return;
    }
    table->ReplaceSetRowMembers(index, &members);
    SetChanged();
}

void ModelData::ReplaceMaterialTable(const MaterialTable& copy) {
    if (ReplaceTable(materialTable, copy, this, true, &MaterialTable::CompareMaterialTable,
                     &MaterialTable::CopyMaterialRowValues, &MaterialTable::CopyMaterialTable))
        SetChanged();
}

void ModelData::ReplaceNodeTable(const NodeTable& copy) {
    // Decided on the node count field; the table itself must agree as well
    // before its rows are overwritten in place.
    const bool sameShape = nodeCount == copy.GetCount() && nodeTable && nodeTable->GetCount() == copy.GetCount();
    const NodeTable* before = nodeTable.get();
    if (ReplaceTable(nodeTable, copy, this, sameShape, &NodeTable::CompareNodeTable, &NodeTable::CopyNodeRowValues,
                     &NodeTable::CopyNodeTable))
        SetChanged();
    if (nodeTable.get() != before) nodeCount = nodeTable->GetCount();
    RebuildNodeIndex();
    UpdateBoundingBox();
}

void ModelData::ReplaceSetTable(const SetTable& copy) {
    const int k = copy.GetSetKind();
    if (k < 1 || k > 3) return;
    auto& slot = setTables[static_cast<std::size_t>(k - 1)];
    if (ReplaceTable(slot, copy, this, true, &SetTable::CompareSetTable, &SetTable::CopySetRowValues,
                     &SetTable::CopySetTable))
        SetChanged();
}
