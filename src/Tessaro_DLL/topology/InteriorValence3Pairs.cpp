// Two neighbouring interior nodes of three quadrilaterals each, away from
// the boundary: both go and the hexagon of their four quadrilaterals is
// re-cut into two, along the cut with the better worse quality; pairs facing
// each other across a quadrilateral go to the diagonal collapse.
#include <algorithm>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Valence3Pairs.h"

namespace tessaro {

bool reduceValence3PairToTwoQuads(RegionRecord& region, int n, int m, int codeOffset, std::ostream& log)
{
    Valence3Hexagon hex;
    const HexagonLookup found = findValence3Hexagon(region, n, m, hex, log);
    if (found != HexagonLookup::Found) return found == HexagonLookup::NoChange;
    const auto [a1, a2, a3] = hex.a;
    const auto [b1, b2, b3] = hex.b;
    const std::array<int, 4> cut1n{a3, b3, a1, a2}, cut1m{b3, a3, b1, b2};
    const std::array<int, 4> cut2n{a3, b1, a1, a2}, cut2m{b3, a1, b1, b2};
    const bool second = worseQuadQuality(region, cut1n, cut1m) < worseQuadQuality(region, cut2n, cut2m);
    return rewriteValence3Hexagon(region, n, m, hex, second ? cut2n : cut1n, second ? cut2m : cut1m, codeOffset, log);
}

bool fixAdjacentValence3Nodes(RegionRecord& region, int nb, int codeOffset, std::string /*history*/, std::ostream& log)
{
    return scanValence3Pairs(region, nb, false, log,
                             [&](int n, int m) { return reduceValence3PairToTwoQuads(region, n, m, codeOffset, log); });
}

}  // namespace tessaro
