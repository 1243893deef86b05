// Stage "soils": takes the element pressures of an iteration and gives the
// nodal soil stiffnesses of the next one (Mindlin half-space, this header)
// or the soil layer's area and edge terms (Vlasov, vlasov.h).  Here the
// settlements of an elastic half-space under the element loads, from the
// Mindlin point-load solution, and the update of the nodal soil stiffnesses
// in the driver's iteration.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace parvane {

struct RunState;
struct AndersonHistory;

// Surface displacement at a corner of an a x b rectangle under the uniform
// pressure p on a half-space of modulus e and Poisson's ratio nu.
double mindlin_influence(double a, double b, double p, double e, double nu);

// The settlement of each node under a unit pressure on each element, for the
// first `rows` nodes (rows x nelem, row by row): it depends on the mesh and
// the soil alone, so an analysis computes it once and then only sums it
// against the element pressures.
struct MindlinCache {
    int npoin = 0, nelem = 0, rows = 0;
    const double* coord = nullptr;
    const int* lnods = nullptr;
    double e = 0, nu = 0;
    std::unique_ptr<double[]> influence;

    bool matches(int np, int ne, const double* c, const int* l, double modulus, double ratio) const {
        return npoin == np && nelem == ne && coord == c && lnods == l && e == modulus && nu == ratio &&
               (rows == 0 || influence);
    }
    void reset() {
        influence.reset();
        npoin = nelem = rows = 0;
        coord = nullptr;
        lnods = nullptr;
    }
};

// Figures of the settlement sums of the Mindlin updates (for the benchmark).
struct MindlinTimes {
    int updates = 0;
    double settlement_seconds = 0;
    int cached_rows = 0;  // nodes whose influences the last update found kept
};

// The cache budget that keeps the process under 2 GB resident when the
// cache is made.
inline constexpr std::size_t kAutomaticCacheBudget = static_cast<std::size_t>(-1);

// The settlement sums of one analysis: how they run (set by the caller
// before the run), the influences they keep and their figures.
struct MindlinSums {
    // Bytes the influence cache may take; a budget too small for one node's
    // row leaves every settlement computed afresh in each update.
    std::size_t cache_budget = kAutomaticCacheBudget;
    int threads = 0;  // threads of the sum; 0 takes every core
    MindlinCache cache;
    MindlinTimes times;
};

// Settlement of every node (npoin values) under the loads of the nelem
// elements, each spread evenly over the element: the axis-parallel rectangle
// its nodes span when they lie on its sides (a node inside the rectangle's
// span takes the sum of the parts on either side of it), else the polygon
// through its corners and mid-side nodes (the exact surface settlement of a
// uniformly loaded polygon, summed side by side).  npoin <= 0 leaves
// `settlement` untouched.  An element without area (no finite pressure) sets
// bad_element to its number and returns (0 when all are sound).
// With `sums` (the analysis' settings, cache and figures): a cache that does
// not hold this mesh and soil yet keeps the influences of as many nodes as
// the cache budget allows as they are computed; a cache that holds them
// gives them without computing.  Without, nothing is kept and every core may
// take part.  The nodes are shared among threads; each node's sum runs over
// the elements in an order fixed by their numbers, so the results depend
// neither on the cache nor on the threads.  Where the elements stand in rows and columns
// of rectangles, a node's terms come from a table over the crossings of
// their corner lines, about one evaluation per element instead of four.
void mindlin_soil(double* settlement, const double* element_load, const double* coord, const int* lnods, double e,
                  double nu, int nnode, int nelem, int ndime, int npoin, int& bad_element, MindlinSums* sums = nullptr);

// The quarters of the elements as 4-node elements of their own: quarter c of
// element el (4 (el - 1) + c) runs from corner c through the following
// mid-side node, the centre and the preceding mid-side node (for 4-node
// elements the mid-points of the sides and the mean of the corners, points
// of the element's own).  The mesh's nodes keep their numbers; the centres of
// 8-node elements follow them.  Made once per mesh, so that the influence
// cache holds it.  Its nodes are numbered corners first (the nodes at a
// corner of an element, in the mesh's order), then the others: the
// settlement is summed at the first `corners` nodes only.
struct MindlinQuarters {
    int nnode = 0, ndime = 0;
    int corners = 0;
    std::vector<double> source_xyz;  // the mesh's coordinates and element
    std::vector<int> source_nodes;   // nodes the quarters were made from
    std::vector<double> coord;       // ndime per node
    std::vector<int> lnods;          // 4 per quarter
    std::vector<double> load;        // per quarter
    std::vector<int> mesh_node;      // the mesh's number of each corner node
    std::vector<double> settlement;  // per corner node

    void reset() { *this = MindlinQuarters{}; }
};

// Settlement of the corner nodes of a mesh (npoin values; the mid-side and
// centre nodes of 8- and 9-node elements, whose values the iteration
// interpolates, get 0) under the element loads, each spread over the
// element's four quarters: with 8- and 9-node elements in proportion to the
// pressure at the quarter's corner (corner_pressure, per node) times the
// quarter's area, with 4-node elements in proportion to corner_pressure alone
// (there the share of the node's reaction that the element carries); evenly
// by area where the corners of an element carry none.  The load of each
// corner node bears on the part of the slab nearest it, so that there are as
// many loaded areas as corner nodes whose settlement the iteration matches.
// bad_element: as mindlin_soil, an element of the mesh.
void mindlin_quarter_soil(double* settlement, const double* element_load, const double* corner_pressure,
                          const double* coord, const int* lnods, double e, double nu, int nnode, int nelem, int ndime,
                          int npoin, int& bad_element, MindlinQuarters& quarters, MindlinSums* sums = nullptr);

// What the last update of the soil iteration saw, for the report of an
// iteration that does not settle.
struct MindlinLastUpdate {
    double change = 0;                          // |new - current| / |new|
    std::vector<std::pair<double, int>> worst;  // (relative change, node), largest first
    std::vector<int> switched;                  // nodes that went in or out of contact
    double pulling = 0;                         // share of the soil force that pulls
};

// The Mindlin soil of one analysis, held by its RunState: the settings its
// caller gives before the run (kept by RunState::reset()), the settlement
// sums and what the last update saw.
struct MindlinSoil {
    // Anderson acceleration of the soil iteration (false: the plain
    // fixed-point step, for comparisons).
    bool accelerate = true;
    MindlinSums sums;
    MindlinQuarters quarters;
    MindlinLastUpdate last;

    // Drops what a run left, keeping the settings.
    void reset() {
        sums.cache.reset();
        quarters.reset();
        sums.times = MindlinTimes{};
        last = MindlinLastUpdate{};
    }
};

// The soil iteration (soil kind 1).  With 4-node elements each node's value
// is its spring; with 8- and 9-node elements it is the soil modulus at the
// node, and the node's spring is the modulus times the integral of its shape
// function over its elements, so that a slab that passes a uniform load
// straight down deflects as the soil settles at every node.
//
// mindlin_start: the initial values (with 8- and 9-node elements the initial
// stiffness of every node spread evenly over the slab's area) and their
// springs.  mindlin_store_springs: the springs of the current values into the
// x-stiffness of the nodal stiffness records.
void mindlin_start(RunState& st);
void mindlin_store_springs(RunState& st);

// One soil update: nodal soil reactions from the total deflection
// (disp_vectors + disp_step) and the current values, element loads,
// settlements, new value = reaction / settlement where the slab presses on
// the soil (a node whose settlement is zero or not finite keeps its value).
// The soil cannot pull: a node that moves up lifts (value 0, no load on the
// half-space); a value that shrinks towards zero is left to the iteration;
// a lifted node that presses into the settled surface again comes back with
// the mean value of its neighbours in contact.  converged tells whether the
// contact zone stood and |new - current| / |new| <= toler.  While the
// contact zone stands the next values are the new ones mixed with the
// earlier iterates of the increment (Anderson acceleration over the nodes in
// contact; the plain new values whenever a mixed value would not be positive
// and finite).  An element without area writes a line naming it on the
// listing and the message file and sets status kStatusSoilGeometry.  At the
// first update of an increment, loads whose resultant lies beyond the slab
// (no restraint holding a deflection) overturn it on a soil that cannot
// pull: lines on the listing and the message file give the resultant's
// distance from the centre of the slab against the slab's extent that way,
// and what to change, and the status is kStatusIncrement.
void mindlin_update(RunState& st, bool& converged, int& status);

// After a converged step: nodes out of contact get soil pressure 0; when any
// lifted, a line on the listing and the message file gives their number and
// the share of the slab's area.
void mindlin_contact_results(RunState& st);

// After an increment whose soil iteration did not settle: lines on the
// listing and the message file with the last change against the tolerance,
// the nodes whose stiffness changed most, those still going in and out of
// contact, and what to change.
void mindlin_report_unsettled(RunState& st);

// One accelerated step of the iteration x <- G(x): `fresh` is G(x); `next`
// receives the Anderson mixture of x, G(x) and the iterates kept in `h`
// (which it extends).  A mixed value that is not positive takes the plain
// value G(x) (a stiffness that the plain update drives to zero); a mixture
// that is not finite gives G(x) throughout and restarts the history.
// `logarithmic` mixes the logarithms of the values (all positive) instead:
// every value then weighs by its relative change, however small it is
// against the others, and every mixed value is positive.
void anderson_step(AndersonHistory& h, const std::vector<double>& x, const std::vector<double>& fresh,
                   std::vector<double>& next, bool logarithmic = false);

// Soil values that give the half-space no finite settlement (Young's modulus
// not above 0, Poisson's ratio of 1 or more, or of -1 or less), for soil kind
// 1: one line each on the message file and the listing.  Returns their number.
int mindlin_input_errors(RunState& st);

}  // namespace parvane
