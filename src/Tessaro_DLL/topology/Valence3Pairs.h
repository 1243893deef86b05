// What the two passes over neighbouring interior nodes of three
// quadrilaterals share: finding the pair, the hexagon its four
// quadrilaterals leave, and rewriting that hexagon as two quadrilaterals.
#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

struct Valence3Hexagon {
    int qn = 0, qm = 0;      // the quadrilaterals of n and m without the other node
    int s1 = 0, s2 = 0;      // the two they share
    std::array<int, 3> a{};  // the corners after n in qn
    std::array<int, 3> b{};  // the corners after m in qm
};

enum class HexagonLookup { Found, NoChange, Failed };

// Fills the hexagon of nodes n and m. NoChange when neither has three
// quadrilaterals or they do not share two; Failed (after "Error: Can not
// find edge for node n in element e") when a node is missing from its
// quadrilateral.
HexagonLookup findValence3Hexagon(const RegionRecord& region, int n, int m, Valence3Hexagon& hex, std::ostream& log);

// qn and qm take the given corners; both are relinked, the six hexagon
// nodes refilled, the shared pair forwarded to qn and n, m removed. False
// when a node list overflows.
bool rewriteValence3Hexagon(RegionRecord& region, int n, int m, const Valence3Hexagon& hex,
                            const std::array<int, 4>& qnCorners, const std::array<int, 4>& qmCorners, int codeOffset,
                            std::ostream& log);

// Scans the live interior nodes of three quadrilaterals and no triangle for
// their first such neighbour m (interior and live), and treats the pairs
// whose quadrilaterals touch more than two boundary nodes exactly when
// `nearBoundary`: diagonal pairs through collapseQuadDiagonal, the others
// through `reduce`. False when a worker fails.
bool scanValence3Pairs(RegionRecord& region, int nb, bool nearBoundary, std::ostream& log,
                       const std::function<bool(int n, int m)>& reduce);

}  // namespace tessaro
