// Resolution of the nonlinear nodal actions to node numbers and coordinates.

#include "model/ModelData.h"

void ModelData::ResolveNonlinearActions() {
    for (NonlinearAction* a = nonlinearActions; a; a = a->next) {
        // A node-set name when the selector says so, else a node list.
        const std::vector<int> numbers = SetNodeList(a->nodeText, a->setSelector ? 2 : 1);
        a->nodes.clear();
        a->nodeY.clear();
        a->nodeZ.clear();
        for (int n : numbers) {
            const int row = NodeRowOfNumber(n);
            if (row < 0 || !nodeTable || row >= nodeTable->GetCount()) continue;
            const NodeRow* r = nodeTable->GetRow(row);
            a->nodes.push_back(n);
            a->nodeY.push_back(r->y);
            a->nodeZ.push_back(r->z);
        }
    }
}
