// Frontal solution of the assembled plate system (see frontal.h).
#include "solver/frontal/frontal.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cblas.h>

#include "platform/fio/fio.h"
#include "solver/frontal/equation_store.h"
#include "solver/frontal/front.h"
#include "solver/run/state.h"
#include "solver/run/stop.h"

namespace parvane {
namespace {

using namespace frontal_detail;

// Coefficients below this magnitude do not reduce the front matrix (the
// single-precision 1e-30 widened to double).
constexpr double kSkip = 1.0000000031710769e-30;

// A pivot whose magnitude has fallen below this fraction of the largest
// diagonal term assembled into its equation counts as zero.  Elimination in
// double precision (unit round-off 1.1e-16) leaves noise of a few hundred
// round-offs times that diagonal in a pivot of a singular system; a pivot
// twelve decades below its diagonal keeps less than four significant digits
// of its equation, so the system is singular to working precision (a
// mechanism) and a solution would be noise.  Sound models, even stiff
// springs beside thin plates, stay decades above the bound.
constexpr double kPivotRatio = 1e-12;

// Smallest pivot magnitude that counts as nonzero for variable v (0-based).
// The bending freedoms (deflection and the two plate rotations) carry the
// plate's loads: there the relative bound holds.  The membrane freedoms (the
// in-plane displacements and the drilling rotation) are decoupled from them
// in a flat plate, and a slab on soil usually leaves its in-plane rigid
// motion free and unloaded: their round-off pivots stay accepted, as long as
// they are not exactly zero.
double pivot_floor(int v, double diagonal) {
    const int component = v % 6;
    const bool bending = component == 0 || component == 4 || component == 5;
    return bending ? kPivotRatio * diagonal : 0.0;
}
// Working arrays of the refinement (class Refinement), kept from one call to
// the next: a soil iteration calls it with the same sizes again and again,
// and fresh memory is slow to touch.  `entering` follows the stored
// equations and is rebuilt after every new elimination.
struct RefinementWork {
    std::vector<double> f, x, r, z, p, q, held, bvals;
    std::vector<std::pair<int, std::size_t>> entering;  // (slot, variable), variables by first place
    std::vector<std::size_t> entering_start;            // per place in the order; empty: to be built
    void release() { *this = RefinementWork{}; }
};

// 1 GiB of eliminated equations in memory: with the element matrices and the
// front beside it a 100,000-node mat stays under 2 GB resident; the rest is
// read back from unit 2 once, in the back-substitution.
constexpr std::size_t kMemoryBudget = std::size_t(1) << 30;

// The steps of a refinement may cost at most this share of the elimination
// that made the stored equations (see class Refinement).
constexpr double kRefinementShare = 0.8;

}  // namespace

// What a FrontalSolver keeps from one call to the next.
struct FrontalState {
    frontal_detail::EquationStore store;  // the eliminated equations of the last factorization
    RefinementWork work;
    FrontalStats stats;         // of the last call
    FrontalStats factor_stats;  // of the last call that eliminated
    std::size_t budget = kMemoryBudget;
    double refinement_share = kRefinementShare;
};

namespace {

bool unit_open(fio::Units* u, int unit) { return u != nullptr && u->is_open(unit); }

// Two independent 64-bit hashes of n doubles, word by word: a multiply-rotate
// mix and FNV-1a over the 64-bit words.
void fingerprint(const double* v, std::size_t n, std::uint64_t out[2]) {
    std::uint64_t a = 0x9E3779B97F4A7C15ULL ^ n, b = 0xCBF29CE484222325ULL;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t w;
        std::memcpy(&w, v + i, sizeof w);
        a = (a ^ w) * 0xFF51AFD7ED558CCDULL;
        a = (a << 31) | (a >> 33);
        b = (b ^ w) * 0x100000001B3ULL;
    }
    out[0] = a;
    out[1] = b;
}

void write_memory_failure(fio::Units* units) {
    std::fputs(" ********* Error in allocating memory **********\n", stderr);
    if (unit_open(units, kUnitMessages)) {
        fio::Writer(*units, kUnitMessages).list({"********* Error in allocating memory **********"});
        fio::Writer(*units, kUnitMessages).list({"********* Analysis terminated **********"});
    }
}

void write_both(fio::Units* units, const std::string& text) {
    if (unit_open(units, kUnitListing)) fio::Writer(*units, kUnitListing).a(text);
    if (unit_open(units, kUnitMessages)) fio::Writer(*units, kUnitMessages).a(text);
}


struct Failure {
    int status;
};

// The rows of a stored block: in memory, or read back from unit 2.
const char* block_rows(EquationStore& store, const EquationStore::Block& blk) {
    if (blk.data != nullptr) return blk.data;
    const char* p = store.spill.read(blk.offset, blk.stored);
    if (p == nullptr) throw Failure{kStatusPivot};
    return p;
}

// A block that could not go to unit 2: the file and the cause in the
// message file.
[[noreturn]] void spill_failed(fio::Units* units, const std::string& path, int error) {
    if (unit_open(units, kUnitMessages))
        fio::Writer(*units, kUnitMessages).list({"error writing file " + path + ": " + std::strerror(error)});
    throw Failure{kStatusPivot};
}

// Reduces the front loads by the rows of one block (forward pass of a reuse).
void reduce_loads(const char* data, int rows, Front& fr, const double* support_forces, std::vector<double>& bvals,
                  long long& eq) {
    const char* p = data;
    for (int r = 0; r < rows; ++r) {
        RowView row = row_at(p);
        const int s = row.h->slot;
        const double b = fr.loads[s];
        fr.loads[s] = 0;
        bvals[eq++] = b;
        const double c = row.h->code == 1 ? support_forces[row.h->var] : b / row.h->pivot;
        if (c != 0.0) cblas_daxpy(row.h->count, -c, row.val, 1, fr.loads.data() + row.h->first, 1);
        p += row_bytes(row.h->count);
    }
}

// Back-substitutes the rows of one block, last to first.
void back_substitute(const char* data, int rows, Front& fr, double* disp, double* support_forces,
                     const std::vector<double>& bvals, long long& eq, std::vector<const char*>& offsets) {
    offsets.clear();
    const char* p = data;
    for (int r = 0; r < rows; ++r) {
        offsets.push_back(p);
        p += row_bytes(row_at(p).h->count);
    }
    for (int r = rows - 1; r >= 0; --r) {
        RowView row = row_at(offsets[r]);
        const double b = bvals[--eq];
        const double sum = cblas_ddot(row.h->count, row.val, 1, fr.sol.data() + row.h->first, 1);
        const int s = row.h->slot, v = row.h->var;
        if (row.h->code == 1) {
            const double g = support_forces[v];
            fr.sol[s] = g;
            const double res = b - (sum + row.h->pivot * g);
            support_forces[v] = -res;
            disp[v] = g;
        } else {
            const double x = (b - sum) / row.h->pivot;
            fr.sol[s] = x;
            disp[v] = x;
            if (row.h->code == 2) support_forces[v] = support_forces[v] * x;
        }
    }
}

// Fully summed variables wait in the front until this many have gathered;
// then they are eliminated together, so that the rest of the front receives
// one product of many rows (a delayed rank-k update) instead of a thin one
// per element.  The pivots and their order are those of one-by-one
// elimination; only the order of the additions into the front changes.
constexpr int kDelayedPivots = 48;

// One bit for each pair of slot regions that an element couples.
constexpr int pair_bit(int a, int b) { return 1 << (a + b - 1); }  // (0,1) 1, (0,2) 2, (1,2) 4
constexpr int kEveryPair = 7;

// One factorization: the elements are placed and assembled one after the
// other; the variables they leave fully summed wait in the front and are
// eliminated in blocks, each kept in the equation store with the element
// after which it was eliminated.
class Factorization {
public:
    Factorization(FrontalState& s, const FrontalProblem& pb, fio::Units* units, Front& fr,
                  const std::vector<int>& codes, std::vector<double>& bvals, int live_capacity)
        : s_(s), pb_(pb), units_(units), fr_(fr), codes_(codes), bvals_(bvals), live_capacity_(live_capacity),
          nnode_(std::max(pb.nnode, 0)), nevab_(6 * nnode_), can_spill_(unit_open(units, kUnitFort2)),
          order_(s_.store.order) {
        const std::size_t rows = static_cast<std::size_t>(kDelayedPivots + nevab_);
        // The last place of every node: element place in the order, then slot.
        last_place_.assign(static_cast<std::size_t>(std::max(pb.npoin, 0)) + 1, -1);
        for (int i = 0; i < std::max(pb.nelem, 0); ++i) {
            const int* conn = connectivity(i);
            for (int a = 0; a < nnode_; ++a) last_place_[std::abs(conn[a])] = i * nnode_ + a;
        }
        in_block_.assign(fr.C, 0);
        panel_.assign(rows * fr.C, 0.0);
        group_of_.assign(rows, 0);
        place_.assign(rows, 0);
        row_at_.assign(rows, 0);
        pivot_.assign(rows, 0.0);
    }

    // Eliminates every variable; returns the floating-point operations.
    // Everything below counts the elements by their place i in the order.
    double run() {
        for (int i = 0; i < pb_.nelem; ++i) {
            if (stop_requested()) throw Failure{kStatusStopped};
            int* dest = s_.store.dests.data() + static_cast<std::size_t>(i) * nevab_;
            place_element(i, dest);
            assemble(i, dest);
            gather_fully_summed(i, dest);
            if (static_cast<int>(pending_.size()) >= kDelayedPivots || i + 1 == pb_.nelem) eliminate_pending(i);
        }
        return flops_;
    }

private:
    int element_at(int i) const { return order_[static_cast<std::size_t>(i)]; }
    const int* connectivity(int i) const { return pb_.lnods + static_cast<std::size_t>(element_at(i)) * nnode_; }

    // Slots of the element's variables; a variable met first takes a free one.
    void place_element(int e, int* dest) {
        const int* conn = connectivity(e);
        for (int k = 0; k < nevab_; ++k) {
            const int v = (std::abs(conn[k / 6]) - 1) * 6 + k % 6;
            int s = fr_.slot_of[v];
            if (s < 0) {
                if (live_ < live_capacity_) s = fr_.take_slot(v);
                if (s < 0) {
                    // Waiting pivots come first: a zero one stops the run before the overflow.
                    if (!pending_.empty()) eliminate_pending(e - 1);
                    write_both(units_, "front width exceeded for element " + std::to_string(element_at(e) + 1));
                    throw Failure{kStatusPivot};
                }
                ++live_;
                fr_.slot_of[v] = s;
                fr_.slot_var[s] = v + 1;
            }
            dest[k] = s;
        }
        s_.store.max_front = std::max(s_.store.max_front, live_);
    }

    void assemble(int i, const int* dest) {
        const std::size_t e = static_cast<std::size_t>(element_at(i));
        const double* el = pb_.element_loads + e * nevab_;
        const double* kc = pb_.element_stiffness + e * (static_cast<std::size_t>(nevab_) * (nevab_ + 1) / 2);
        for (int k = 0; k < nevab_; ++k, kc += k) {
            fr_.loads[dest[k]] += el[k];
            for (int l = 0; l <= k; ++l) fr_.at(dest[l], dest[k]) += kc[l];
            if (coupling_ != kEveryPair)
                for (int l = 0; l <= k; ++l)
                    if (kRegionOf[l % 6] != kRegionOf[k % 6] && kc[l] != 0.0)
                        coupling_ |= pair_bit(kRegionOf[l % 6], kRegionOf[k % 6]);
            fr_.diag[dest[k]] = std::max(fr_.diag[dest[k]], std::fabs(kc[k]));
        }
    }

    // Variables whose last element this is join the waiting ones.
    void gather_fully_summed(int e, const int* dest) {
        const int* conn = connectivity(e);
        for (int k = 0; k < nevab_; ++k) {
            const std::size_t place = static_cast<std::size_t>(e) * nnode_ + k / 6;
            if (last_place_[std::abs(conn[k / 6])] != static_cast<int>(place)) continue;
            const int s = dest[k];
            if (in_block_[s]) continue;
            in_block_[s] = 1;
            pending_.push_back(s);
            --live_;
        }
    }

    // Eliminates the waiting variables as one block kept with element e.
    // The rows fall into groups that share no column (one per slot region
    // while no element couples two regions, else one over the whole width);
    // each group is reduced in a dense panel of its own columns, then
    // updates its part of the front with one product.
    void eliminate_pending(int e) {
        const int ks = static_cast<int>(pending_.size());
        if (ks == 0) return;
        form_groups();
        for (Group& g : groups_) take_rows(g);
        for (int m = 0; m < ks; ++m) factor_pivot(m);
        for (Group& g : groups_) reduce_group(g);
        open_block();
        for (int m = 0; m < ks; ++m) keep_row(m);
        for (Group& g : groups_) update_front(g);
        for (int s : pending_) {
            in_block_[s] = 0;
            fr_.release(s);
        }
        fr_.shrink();
        pending_.clear();
        keep_block(e, ks);
    }

    // The equations of the block are written where they are kept: in the
    // equation memory while it stays within its budget, else in the buffer
    // that goes to unit 2.  Room for the longest rows is taken first; what
    // they leave is given back.
    void open_block() {
        std::size_t bound = 0;
        for (const Group& g : groups_) bound += g.rows.size() * row_bytes(g.n);
        block_bound_ = bound;
        block_used_ = 0;
        in_memory_ = s_.store.spilled_blocks == 0 && (s_.store.mem_bytes + bound <= s_.budget || !can_spill_);
        if (in_memory_) {
            block_ = s_.store.reserve(bound);
        } else {
            if (!s_.store.spill.is_open() && !s_.store.spill.open(units_->path(kUnitFort2)))
                spill_failed(units_, units_->path(kUnitFort2), errno);
            block_ = s_.store.spill.buffer(bound);
        }
    }

    struct Group {
        int lo = 0, n = 0;                      // front columns lo .. lo + n - 1
        std::size_t at = 0;                     // its rows in the panel, n apart
        std::vector<std::pair<int, int>> rows;  // (slot, pending index), by slot
        std::vector<int> order;                 // pending indices in elimination order
        std::vector<double> B;                  // the rows at the waiting columns, k x k, by order
        std::vector<double> L;                  // their multipliers, k x k by columns, unit diagonal
        int updating = 0;                       // rows that update the front
        int live = 0;                           // occupied columns besides the waiting ones
    };

    // Regions that share a group: each its own while no element couples two;
    // the in-plane and drilling regions together where only they are coupled
    // (their used slots are adjacent); else all of them.
    int group_key(int region) const {
        if (coupling_ == 0) return region;
        if (coupling_ == pair_bit(1, 2)) return region == 0 ? 0 : 1;
        return 0;
    }

    void form_groups() {
        const int ks = static_cast<int>(pending_.size());
        groups_.clear();
        int of_region[3] = {-1, -1, -1};
        for (int m = 0; m < ks; ++m) {
            const int r = group_key(kRegionOf[(fr_.slot_var[pending_[m]] - 1) % 6]);
            if (of_region[r] < 0) {
                of_region[r] = static_cast<int>(groups_.size());
                Group g;
                int hi = 0;
                g.lo = fr_.width;
                for (int q = 0; q < 3; ++q) {
                    const Front::Region& reg = fr_.regions[q];
                    if (group_key(q) != r || reg.top == 0) continue;
                    g.lo = std::min(g.lo, reg.lo());
                    hi = std::max(hi, reg.lo() + reg.top);
                    g.live += reg.occupied();
                }
                g.n = hi - g.lo;
                groups_.push_back(std::move(g));
            }
            group_of_[m] = of_region[r];
            Group& g = groups_[of_region[r]];
            place_[m] = static_cast<int>(g.order.size());
            g.rows.push_back({pending_[m], m});
            g.order.push_back(m);
        }
        std::size_t at = 0;
        for (Group& g : groups_) {
            g.live -= static_cast<int>(g.rows.size());
            std::sort(g.rows.begin(), g.rows.end());
            g.at = at;
            for (int m : g.order) {
                row_at_[m] = at;
                at += static_cast<std::size_t>(g.n);
            }
        }
    }

    double* row_of(int m) { return panel_.data() + row_at_[m]; }

    // Copies the group's rows into the panel and clears them in the front.
    // Above the diagonal a row lies across the columns: it is read column by
    // column, the waiting slots in increasing order.
    void take_rows(const Group& g) {
        const std::size_t C = fr_.C;
        double* F = fr_.F;
        const int lo = g.lo, hi = g.lo + g.n;
        for (const auto& [s, m] : g.rows) {
            const double* colS = F + static_cast<std::size_t>(s) * C;
            std::copy(colS + lo, colS + s + 1, row_of(m));
        }
        for (int j = g.rows.front().first + 1; j < hi; ++j) {
            double* col = F + static_cast<std::size_t>(j) * C;
            for (const auto& [s, m] : g.rows) {
                if (s >= j) break;
                row_of(m)[j - lo] = col[s];
                col[s] = 0.0;
            }
        }
        // Their columns last: a waiting slot's column holds the terms it
        // shares with the waiting slots below it.
        for (const auto& [s, m] : g.rows) {
            double* colS = F + static_cast<std::size_t>(s) * C;
            std::fill(colS + lo, colS + s + 1, 0.0);
        }
    }

    // Checks the pivot of waiting row m and reduces the later rows of its
    // group at the waiting columns by it, keeping the multipliers: the
    // elimination one by one, on the k x k block of the waiting columns only.
    void factor_pivot(int m) {
        Group& g = groups_[group_of_[m]];
        const int k = static_cast<int>(g.order.size());
        const int p = place_[m];
        if (p == 0) {
            g.B.assign(static_cast<std::size_t>(k) * k, 0.0);
            g.L.assign(static_cast<std::size_t>(k) * k, 0.0);
            for (int l = 0; l < k; ++l) {
                const double* row = row_of(g.order[l]);
                for (int j = 0; j < k; ++j) g.B[static_cast<std::size_t>(l) * k + j] = row[pending_[g.order[j]] - g.lo];
            }
        }
        double* B = g.B.data();
        const int s = pending_[m];
        const double piv = B[static_cast<std::size_t>(p) * k + p];
        const int v = fr_.slot_var[s] - 1;
        if (!(std::fabs(piv) > pivot_floor(v, fr_.diag[s]))) {
            s_.stats.zero_pivot_variable = v + 1;
            if (unit_open(units_, kUnitListing))
                fio::Writer(*units_, kUnitListing)
                    .lit(" ")
                    .x(3)
                    .lit("negative or zero pivot encountered for variable no. ")
                    .i(v + 1, 4)
                    .lit(" of value ")
                    .e(piv, 17, 6);
            throw Failure{kStatusPivot};
        }
        pivot_[m] = piv;
        // A prescribed variable reduces nothing: its terms go to the loads.
        if (codes_[v] == 1) return;
        if (!(piv > 0.0)) s_.store.positive_definite = false;
        const double* bp = B + static_cast<std::size_t>(p) * k;
        for (int l = p + 1; l < k; ++l) {
            double* bl = B + static_cast<std::size_t>(l) * k;
            const double f = bl[p];
            if (!(std::fabs(f) >= kSkip)) continue;
            const double c = f / piv;
            g.L[static_cast<std::size_t>(p) * k + l] = c;
            for (int j = p + 1; j < k; ++j) bl[j] -= c * bp[j];
        }
    }

    // Reduces the group's rows over all their columns by the multipliers (one
    // triangular solve), then clears in each row the columns of the waiting
    // variables eliminated before it.
    void reduce_group(Group& g) {
        const int k = static_cast<int>(g.order.size());
        double* P = panel_.data() + g.at;
        cblas_dtrsm(CblasColMajor, CblasRight, CblasLower, CblasTrans, CblasUnit, g.n, k, 1.0, g.L.data(), k, P, g.n);
        flops_ += static_cast<double>(k) * k * g.n;
        for (int r = 1; r < k; ++r) {
            double* row = P + static_cast<std::size_t>(r) * g.n;
            for (int q = 0; q < r; ++q) row[pending_[g.order[q]] - g.lo] = 0.0;
        }
    }

    // Keeps the equation of waiting row m and reduces the loads by it.
    void keep_row(int m) {
        Group& g = groups_[group_of_[m]];
        const int s = pending_[m];
        const int lo = g.lo;
        double* row = row_of(m);
        const double piv = pivot_[m];
        const int v = fr_.slot_var[s] - 1;
        const int code = codes_[v];
        // The equation: the span of its nonzero terms besides the pivot.
        row[s - lo] = 0.0;
        int first = 0, last = g.n - 1;
        while (first <= last && row[first] == 0.0) ++first;
        while (last >= first && row[last] == 0.0) --last;
        const int count = last >= first ? last - first + 1 : 0;
        if (count == 0) first = 0;
        RowHeader h{s, v, first + lo, count, code, 0, piv};
        char* out = block_ + block_used_;
        block_used_ += row_bytes(count);
        std::memcpy(out, &h, sizeof h);
        std::memcpy(out + sizeof h, row + first, static_cast<std::size_t>(count) * sizeof(double));

        double* loads = fr_.loads.data() + lo;
        const double b = fr_.loads[s];
        fr_.loads[s] = 0;
        bvals_.push_back(b);
        const double c = code == 1 ? pb_.support_forces[v] : b / piv;
        if (c != 0.0 && count > 0) cblas_daxpy(count, -c, row + first, 1, loads + first, 1);
        if (code == 1) {
            std::fill(row, row + g.n, 0.0);  // it updates nothing
            pivot_[m] = 0.0;
        } else {
            ++g.updating;
        }
        fr_.slot_of[v] = -1;
        ++s_.store.equations;
    }

    // Update of the group's part of the front by its reduced rows: the
    // waiting columns cleared, each row against itself over its pivot.
    void update_front(const Group& g) {
        if (g.updating == 0) return;
        const int k = static_cast<int>(g.rows.size());
        const std::size_t n = static_cast<std::size_t>(g.n);
        double* U = panel_.data() + g.at;
        for (int r = 0; r < k; ++r) {
            double* u = U + r * n;
            for (const auto& [s, m] : g.rows) u[s - g.lo] = 0.0;
        }
        double* F = fr_.F + static_cast<std::size_t>(g.lo) * fr_.C + g.lo;
        flops_ += 2.0 * g.updating * (static_cast<double>(g.live) * (g.live + 1) / 2);
        bool positive = true;
        for (int r = 0; r < k; ++r) positive = positive && pivot_[g.order[r]] >= 0.0;
        if (positive) {
            // Positive pivots (a stiffness matrix): each row scaled by the root
            // of its pivot, the update is one symmetric rank-k product, which
            // the BLAS does faster than the column strips of a general one.
            for (int r = 0; r < k; ++r) {
                const double piv = pivot_[g.order[r]];
                cblas_dscal(g.n, piv == 0.0 ? 0.0 : 1.0 / std::sqrt(piv), U + r * n, 1);
            }
            cblas_dsyrk(CblasColMajor, CblasUpper, CblasNoTrans, g.n, k, -1.0, U, g.n, 1.0, F, static_cast<int>(fr_.C));
            return;
        }
        W_.resize(static_cast<std::size_t>(k) * n);
        for (int r = 0; r < k; ++r) {
            const int m = g.order[r];
            const double piv = pivot_[m];
            const double* u = U + r * n;
            double* wv = W_.data() + r * n;
            if (piv == 0.0) {
                std::fill(wv, wv + n, 0.0);
            } else {
                const double inverse = 1.0 / piv;
                for (std::size_t j = 0; j < n; ++j) wv[j] = u[j] * inverse;
            }
        }
        subtract_product(U, W_.data(), k, g.n, F, fr_.C);
    }

    // Keeps the block: its rows stay in memory, or go to unit 2.
    void keep_block(int e, int rows) {
        EquationStore::Block& blk = s_.store.blocks[e];
        blk.rows = rows;
        blk.size = block_used_;
        if (in_memory_) {
            s_.store.unreserve(block_bound_ - block_used_);
            blk.data = block_;
            return;
        }
        if (!s_.store.spill.queue(block_used_, blk.offset, blk.stored))
            spill_failed(units_, s_.store.spill.path(), errno);
        blk.data = nullptr;
        ++s_.store.spilled_blocks;
        s_.store.spill_bytes += blk.stored;
    }

    FrontalState& s_;
    const FrontalProblem& pb_;
    fio::Units* units_;
    Front& fr_;
    const std::vector<int>& codes_;
    std::vector<double>& bvals_;
    const int live_capacity_;  // slots the front may hold besides the waiting ones
    const int nnode_, nevab_;
    const bool can_spill_;
    int live_ = 0;  // slots held by variables not yet fully summed
    double flops_ = 0;
    std::vector<int> last_place_;  // last appearance of every node, in element order then slot order
    std::vector<int> pending_;     // fully summed slots waiting, in elimination order
    std::vector<char> in_block_;
    std::vector<double> panel_;  // their rows, each over its group's columns
    std::vector<Group> groups_;
    std::vector<int> group_of_;        // group of each waiting row
    std::vector<int> place_;           // its place in the group's elimination order
    std::vector<std::size_t> row_at_;  // its place in the panel
    std::vector<double> pivot_;        // its pivot, 0 where it updates nothing
    std::vector<double> W_;
    int coupling_ = 0;       // pairs of slot regions an element couples (pair_bit)
    char* block_ = nullptr;  // where the block's rows are written
    std::size_t block_bound_ = 0, block_used_ = 0;
    bool in_memory_ = false;
    const std::vector<int>& order_;
};

// Prescribed values and codes of every variable from the restraint table.
void set_restraints(const FrontalProblem& pb, std::size_t ntotv, std::vector<int>& codes) {
    const int npoin = std::max(pb.npoin, 0);
    for (std::size_t v = 0; v < ntotv; ++v) pb.support_forces[v] = 0.0;
    for (int r = 0; r < std::max(pb.nvfix, 0); ++r) {
        const int n = pb.restraint_nodes[r];
        if (n < 1 || n > npoin) continue;
        for (int c = 0; c < 6; ++c) {
            const std::size_t v = static_cast<std::size_t>(n - 1) * 6 + c;
            pb.support_forces[v] = pb.restraint_values[static_cast<std::size_t>(r) * 6 + c];
            codes[v] = pb.restraint_codes[static_cast<std::size_t>(r) * 6 + c];
        }
    }
}

// Every element node names a node of the model (taken by magnitude); the
// first that does not is reported.
bool connectivity_valid(const FrontalProblem& pb, fio::Units* units) {
    const int npoin = std::max(pb.npoin, 0), nnode = std::max(pb.nnode, 0);
    for (int e = 0; e < std::max(pb.nelem, 0); ++e)
        for (int i = 0; i < nnode; ++i) {
            const int node = pb.lnods[static_cast<std::size_t>(e) * nnode + i];
            if (std::abs(node) < 1 || std::abs(node) > npoin) {
                write_both(units,
                           "invalid node number " + std::to_string(node) + " in element " + std::to_string(e + 1));
                return false;
            }
        }
    return true;
}

// The order of assembly: the one given, when it names every element once,
// else the model's.  False when a given order is not such a list.
bool element_order(const FrontalProblem& pb, std::vector<int>& order) {
    const int nelem = std::max(pb.nelem, 0);
    order.resize(static_cast<std::size_t>(nelem));
    if (pb.element_order == nullptr) {
        for (int e = 0; e < nelem; ++e) order[e] = e;
        return true;
    }
    std::vector<char> met(static_cast<std::size_t>(nelem), 0);
    for (int i = 0; i < nelem; ++i) {
        const int e = pb.element_order[i];
        if (e < 0 || e >= nelem || met[e]) return false;
        met[e] = 1;
        order[i] = e;
    }
    return true;
}

// What identifies the matrices of a call: the stored equations serve a later
// call with the same.
struct Identity {
    int npoin, nelem, nnode, capacity;
    std::size_t lsize, ksize;
    std::uint64_t hash[2];
};

// The stored equations come from the same mesh, order and restraints, so
// that they can precondition the solution of other element matrices.
bool same_pattern(const FrontalState& s, const FrontalProblem& pb, fio::Units* units, const Identity& id,
                  const std::vector<int>& codes, const std::vector<int>& order) {
    return s.store.valid && s.store.units == units && s.store.npoin == id.npoin && s.store.nelem == id.nelem &&
           s.store.nnode == id.nnode && s.store.capacity == id.capacity && s.store.codes == codes &&
           s.store.lnods_copy.size() == id.lsize &&
           std::equal(s.store.lnods_copy.begin(), s.store.lnods_copy.end(), pb.lnods) && s.store.order == order &&
           s.store.stiffness_count == id.ksize;
}

bool store_matches(const FrontalState& s, const FrontalProblem& pb, fio::Units* units, const Identity& id,
                   const std::vector<int>& codes, const std::vector<int>& order) {
    return same_pattern(s, pb, units, id, codes, order) && s.store.stiffness_hash[0] == id.hash[0] &&
           s.store.stiffness_hash[1] == id.hash[1];
}

// Empties the store for a new factorization of the matrices `id` names.
void renew_store(FrontalState& s, const FrontalProblem& pb, fio::Units* units, const Identity& id,
                 const std::vector<int>& codes, std::vector<int>& order) {
    s.store.clear();
    s.work.entering_start.clear();
    s.store.units = units;
    s.store.npoin = id.npoin;
    s.store.nelem = id.nelem;
    s.store.nnode = id.nnode;
    s.store.capacity = id.capacity;
    s.store.codes = codes;
    s.store.lnods_copy.assign(pb.lnods, pb.lnods + id.lsize);
    s.store.order.swap(order);
    s.store.stiffness_count = id.ksize;
    s.store.stiffness_hash[0] = id.hash[0];
    s.store.stiffness_hash[1] = id.hash[1];
    s.store.dests.assign(static_cast<std::size_t>(6 * id.nnode) * id.nelem, 0);
    s.store.blocks.assign(id.nelem, EquationStore::Block{});
}

// Same matrices as the previous call: the new loads are reduced by the
// stored equations, element after element.
void reduce_stored_loads(FrontalState& s, const FrontalProblem& pb, Front& fr, std::vector<double>& bvals) {
    const int nevab = 6 * s.store.nnode;
    bvals.assign(static_cast<std::size_t>(s.store.equations), 0.0);
    long long eq = 0;
    for (int i = 0; i < s.store.nelem; ++i) {
        const int* dest = s.store.dests.data() + static_cast<std::size_t>(i) * nevab;
        const double* el = pb.element_loads + static_cast<std::size_t>(s.store.order[i]) * nevab;
        for (int k = 0; k < nevab; ++k) fr.loads[dest[k]] += el[k];
        const EquationStore::Block& blk = s.store.blocks[i];
        if (blk.rows > 0) reduce_loads(block_rows(s.store, blk), blk.rows, fr, pb.support_forces, bvals, eq);
    }
}

// Back-substitution through the stored equations, last equation first.
void back_substitution(FrontalState& s, Front& fr, const std::vector<double>& bvals, double* disp,
                       double* support_forces) {
    std::fill(fr.sol.begin(), fr.sol.end(), 0.0);
    long long eq = static_cast<long long>(bvals.size());
    std::vector<const char*> offsets;
    for (int e = s.store.nelem - 1; e >= 0; --e) {
        const EquationStore::Block& blk = s.store.blocks[e];
        if (blk.rows == 0) continue;
        back_substitute(block_rows(s.store, blk), blk.rows, fr, disp, support_forces, bvals, eq, offsets);
    }
}

// The preconditioned residual norm falls to this fraction of its first value:
// the solution then agrees with an elimination to about as many digits as
// the elimination itself carries.
constexpr double kRefinementTolerance = 1e-12;
// The residual recomputed at the end may stand at most this fraction of the
// first one: a guard against a run gone wrong, far above what the tolerance
// leaves (the norms differ, and the recomputation has its own rounding).
constexpr double kResidualCheck = 1e-6;
// The steps may cost at most a share of the elimination that made the
// stored equations (kRefinementShare unless set), counted in operations; a
// run that would cost more stops and eliminates anew.  An operation of a
// step counts kStepWeight times: a step streams the stored equations from
// memory once forward and once back, where the elimination works on the
// front in cache.  Counting operations instead of timing them keeps the
// choice, and so the last bits of the results, independent of the machine
// and its load.
constexpr double kStepWeight = 8.0;

// Solution of new element matrices by conjugate gradients, preconditioned by
// the stored equations of earlier ones (the same mesh, order and
// restraints).  Where only some terms changed a little (a soil stiffness
// between two soil iterations), a few steps, each a pass over the element
// matrices and one through the stored equations, cost less than a new
// elimination.  Prescribed variables keep their values throughout; the
// others start at zero.  The run gives up, leaving the problem's arrays
// untouched, when a step shows the matrices are not positive definite, when
// the steps still needed would cost more than the share of an elimination,
// or when the residual recomputed from the solution has not fallen.
class Refinement {
public:
    Refinement(FrontalState& s, const FrontalProblem& pb, Front& fr, const std::vector<int>& codes)
        : s_(s), pb_(pb), fr_(fr), codes_(codes), nnode_(std::max(pb.nnode, 0)), nevab_(6 * nnode_),
          ntotv_(static_cast<std::size_t>(std::max(pb.npoin, 0)) * 6), w_(s_.work) {}

    // True when solved: the displacements and support forces are written.
    bool run(int& steps) {
        steps = 0;
        double rz = 0.0;
        if (!start(rz)) return false;
        // One step: a pass over the element matrices and one forward and
        // back through the stored equations; the set-up costs one more.
        const double step = kStepWeight * (2.0 * std::max(pb_.nelem, 0) * nevab_ * nevab_ +
                                           4.0 * static_cast<double>(s_.store.mem_bytes) / sizeof(double));
        const double budget = s_.refinement_share * s_.store.flops;
        const double rz0 = rz, goal = kRefinementTolerance * kRefinementTolerance * rz0;
        while (rz > goal) {
            if (stop_requested()) throw Failure{kStatusStopped};
            double next = 0.0;
            if (!take_step(rz, next)) return false;
            ++steps;
            if (next <= goal) break;
            // The steps still needed at the mean rate so far.
            const double reached = std::sqrt(next / rz0);
            const double rate = std::pow(reached, 1.0 / steps);
            if (!(rate < 1.0)) return false;
            const double still = std::ceil(std::log(kRefinementTolerance / reached) / std::log(rate));
            if ((steps + 1 + still) * step > budget) return false;
            const double beta = next / rz;
            for (std::size_t v = 0; v < ntotv_; ++v) w_.p[v] = w_.z[v] + beta * w_.p[v];
            rz = next;
        }
        return finish();
    }

private:
    // The loads, the start (prescribed values, zero elsewhere), its residual
    // and the first direction; rz = r.z.  False where the stored equations
    // cannot measure the residual.
    bool start(double& rz) {
        if (w_.entering_start.empty()) collect_entering();
        for (std::vector<double>* v : {&w_.f, &w_.x, &w_.r, &w_.z, &w_.p, &w_.q}) v->assign(ntotv_, 0.0);
        std::vector<double>&f = w_.f, &x = w_.x, &r = w_.r, &q = w_.q;
        for (int e = 0; e < std::max(pb_.nelem, 0); ++e) {
            const double* el = pb_.element_loads + static_cast<std::size_t>(e) * nevab_;
            for (int k = 0; k < nevab_; ++k) f[variable(e, k)] += el[k];
        }
        for (std::size_t v = 0; v < ntotv_; ++v)
            if (codes_[v] == 1) x[v] = pb_.support_forces[v];
        multiply(x.data(), q.data());
        for (std::size_t v = 0; v < ntotv_; ++v) r[v] = codes_[v] == 1 ? 0.0 : f[v] - q[v];
        precondition(r.data(), w_.z.data());
        // The stored equations are positive definite, so r.z is the square
        // of a norm of the residual: zero only for a solved system.
        rz = dot(r, w_.z);
        first_residual_ = dot(r, r);
        w_.p = w_.z;
        return rz >= 0.0 && std::isfinite(rz);
    }

    // One step along p: the solution and the residual updated, the next
    // preconditioned residual z; next = r.z.  False where the matrices are
    // shown not to be positive definite.
    bool take_step(double rz, double& next) {
        std::vector<double>&x = w_.x, &r = w_.r, &p = w_.p, &q = w_.q;
        multiply(p.data(), q.data());
        for (std::size_t v = 0; v < ntotv_; ++v)
            if (codes_[v] == 1) q[v] = 0.0;
        const double pq = dot(p, q);
        if (!(pq > 0.0) || !std::isfinite(pq)) return false;
        const double alpha = rz / pq;
        for (std::size_t v = 0; v < ntotv_; ++v) {
            x[v] += alpha * p[v];
            r[v] -= alpha * q[v];
        }
        precondition(r.data(), w_.z.data());
        next = dot(r, w_.z);
        return next >= 0.0 && std::isfinite(next);
    }

    // The residual recomputed from the solution, against the first one: a
    // solution that does not satisfy the equations is never given.  Then the
    // displacements, and the support forces as an elimination gives them:
    // the unbalance of a prescribed variable's equation, a code-2 value
    // times the displacement.
    bool finish() {
        const std::vector<double>&f = w_.f, &x = w_.x, &q = w_.q;
        multiply(x.data(), w_.q.data());
        double unbalance = 0.0;
        for (std::size_t v = 0; v < ntotv_; ++v)
            if (codes_[v] != 1) unbalance += (f[v] - q[v]) * (f[v] - q[v]);
        if (!(unbalance <= kResidualCheck * kResidualCheck * first_residual_)) return false;
        for (std::size_t v = 0; v < ntotv_; ++v) {
            pb_.displacement_increment[v] = x[v];
            if (codes_[v] == 1)
                pb_.support_forces[v] = q[v] - f[v];
            else if (codes_[v] == 2)
                pb_.support_forces[v] *= x[v];
        }
        return true;
    }

    std::size_t variable(int e, int k) const {
        const int node = std::abs(pb_.lnods[static_cast<std::size_t>(e) * nnode_ + k / 6]);
        return static_cast<std::size_t>(node - 1) * 6 + k % 6;
    }

    static double dot(const std::vector<double>& a, const std::vector<double>& b) {
        return cblas_ddot(static_cast<int>(a.size()), a.data(), 1, b.data(), 1);
    }

    // The variables each element brings into the front first, with their slots.
    void collect_entering() {
        std::vector<char> seen(ntotv_, 0);
        w_.entering.clear();
        w_.entering_start.assign(1, 0);
        for (int i = 0; i < s_.store.nelem; ++i) {
            const int* dest = s_.store.dests.data() + static_cast<std::size_t>(i) * nevab_;
            for (int k = 0; k < nevab_; ++k) {
                const std::size_t v = variable(s_.store.order[i], k);
                if (seen[v]) continue;
                seen[v] = 1;
                w_.entering.push_back({dest[k], v});
            }
            w_.entering_start.push_back(w_.entering.size());
        }
    }

    // y = K x, element by element from the upper triangles.
    void multiply(const double* x, double* y) const {
        std::fill(y, y + ntotv_, 0.0);
        const std::size_t packed = static_cast<std::size_t>(nevab_) * (nevab_ + 1) / 2;
        double xe[54], ye[54];
        std::size_t var[54];
        for (int e = 0; e < std::max(pb_.nelem, 0); ++e) {
            for (int k = 0; k < nevab_; ++k) {
                var[k] = variable(e, k);
                xe[k] = x[var[k]];
                ye[k] = 0.0;
            }
            const double* kc = pb_.element_stiffness + static_cast<std::size_t>(e) * packed;
            for (int j = 0; j < nevab_; kc += ++j) {
                const double xj = xe[j];
                double across = 0.0;
                for (int l = 0; l < j; ++l) {
                    ye[l] += kc[l] * xj;
                    across += kc[l] * xe[l];
                }
                ye[j] += across + kc[j] * xj;
            }
            for (int k = 0; k < nevab_; ++k) y[var[k]] += ye[k];
        }
    }

    // z = M^-1 r through the stored equations, prescribed variables held at 0.
    void precondition(const double* r, double* z) {
        w_.held.assign(ntotv_, 0.0);
        std::fill(fr_.loads.begin(), fr_.loads.end(), 0.0);
        w_.bvals.assign(static_cast<std::size_t>(s_.store.equations), 0.0);
        long long eq = 0;
        for (int i = 0; i < s_.store.nelem; ++i) {
            for (std::size_t a = w_.entering_start[i]; a < w_.entering_start[i + 1]; ++a)
                fr_.loads[w_.entering[a].first] += r[w_.entering[a].second];
            const EquationStore::Block& blk = s_.store.blocks[i];
            if (blk.rows > 0) reduce_loads(block_rows(s_.store, blk), blk.rows, fr_, w_.held.data(), w_.bvals, eq);
        }
        back_substitution(s_, fr_, w_.bvals, z, w_.held.data());
    }

    FrontalState& s_;
    const FrontalProblem& pb_;
    Front& fr_;
    const std::vector<int>& codes_;
    const int nnode_, nevab_;
    const std::size_t ntotv_;
    RefinementWork& w_;
    double first_residual_ = 0.0;  // r.r at the start
};

// Solves the problem by refinement through the stored equations where they
// may serve (see FrontalProblem::refine); false leaves it to an elimination.
bool solved_by_refinement(FrontalState& s, const FrontalProblem& pb, fio::Units* units, const Identity& id,
                          const std::vector<int>& codes, const std::vector<int>& order, Front& fr) {
    if (!pb.refine || !s.store.valid || !s.store.positive_definite || s.store.spilled_blocks > 0 ||
        !same_pattern(s, pb, units, id, codes, order))
        return false;
    const auto t0 = std::chrono::steady_clock::now();
    int steps = 0;
    if (!Refinement(s, pb, fr, codes).run(steps)) return false;
    s.stats.refinement_steps = steps;
    s.stats.elimination_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return true;
}

// The figures of the stored equations in the stats of this call.
void record_store_figures(FrontalState& s, bool eliminated) {
    s.stats.equations = s.store.equations;
    s.stats.max_front = s.store.max_front;
    s.stats.elimination_flops = eliminated ? s.store.flops : 0.0;
    s.stats.stored_bytes = s.store.mem_bytes;
    s.stats.spilled_bytes = s.store.spill_bytes;
}

// How a call uses the stored equations.
enum class Use {
    Decide,     // reused when they were made of the same matrices, else a refinement or an elimination
    Eliminate,  // always a new elimination
    Stored,     // the caller's word that the matrices are those of the stored equations
};

// The front and the restraint codes of the problem, sized; the scratch
// units rewound and the connectivity checked. A status, 0 when the
// elimination can start.
int prepare_front(FrontalState& s, const FrontalProblem& pb, fio::Units* units, Front& fr, std::vector<int>& codes) {
    const std::size_t ntotv = static_cast<std::size_t>(std::max(pb.npoin, 0)) * 6;
    const int C = std::max(pb.front_capacity, 0);
    try {
        // Room for the variables that wait for elimination besides the front.
        fr.reserve(C > 0 ? C + kDelayedPivots : 0);
    } catch (const std::bad_alloc&) {
        write_memory_failure(units);
        return kStatusAlloc;
    }
    if (unit_open(units, kUnitMessages)) fio::Writer(*units, kUnitMessages).list({"  "});
    try {
        codes.assign(ntotv, 0);
        fr.slot_of.assign(ntotv, -1);
    } catch (const std::bad_alloc&) {
        write_memory_failure(units);
        return kStatusAlloc;
    }
    set_restraints(pb, ntotv, codes);

    if (units != nullptr)
        for (int u : {kUnitFort2, kUnitFort3, kUnitFort4})
            if (units->is_open(u)) units->rewind(u);

    if (!connectivity_valid(pb, units)) {
        s.store.clear();
        return kStatusPivot;
    }
    return 0;
}

// Whether the stored equations serve: the caller says so, or the
// fingerprint of the element matrices tells. A status, 0 when `reuse` is
// decided.
int stored_equations_serve(FrontalState& s, const FrontalProblem& pb, fio::Units* units, Use use, Identity& id,
                           const std::vector<int>& codes, const std::vector<int>& order, bool& reuse) {
    reuse = false;
    if (use == Use::Stored) {
        if (!same_pattern(s, pb, units, id, codes, order)) {
            write_both(units, "no stored equations of this mesh, element order and restraints");
            return kStatusPivot;
        }
#ifndef NDEBUG
        // The caller's word, checked in the builds that check.
        fingerprint(pb.element_stiffness, id.ksize, id.hash);
        assert(id.hash[0] == s.store.stiffness_hash[0] && id.hash[1] == s.store.stiffness_hash[1]);
#endif
        reuse = true;
    } else {
        fingerprint(pb.element_stiffness, id.ksize, id.hash);
        reuse = use == Use::Decide && store_matches(s, pb, units, id, codes, order);
    }
    return 0;
}

int solve(FrontalState& s, const FrontalProblem& pb, fio::Units* units, Use use) {
    using clock = std::chrono::steady_clock;
    const auto t_start = clock::now();
    use_one_blas_thread();
    s.stats = FrontalStats{};

    const int npoin = std::max(pb.npoin, 0), nelem = std::max(pb.nelem, 0), nnode = std::max(pb.nnode, 0);
    const int C = std::max(pb.front_capacity, 0);

    Front fr;
    std::vector<int> codes;
    if (const int status = prepare_front(s, pb, units, fr, codes)) return status;

    Identity id{npoin,
                nelem,
                nnode,
                C,
                static_cast<std::size_t>(nnode) * nelem,
                static_cast<std::size_t>(6 * nnode) * (6 * nnode + 1) / 2 * nelem,
                {0, 0}};
    std::vector<int> order;
    if (!element_order(pb, order)) {
        write_both(units, "invalid element order");
        s.store.clear();
        return kStatusPivot;
    }
    bool reuse = false;
    if (const int status = stored_equations_serve(s, pb, units, use, id, codes, order, reuse)) return status;

    std::vector<double> bvals;
    try {
        if (use == Use::Decide && !reuse && solved_by_refinement(s, pb, units, id, codes, order, fr)) {
            record_store_figures(s, false);
            s.stats.total_seconds = std::chrono::duration<double>(clock::now() - t_start).count();
            return 0;
        }
        if (!reuse) {
            renew_store(s, pb, units, id, codes, order);
            fr.F = s.store.front_matrix(fr.C);
        }
        const auto t0 = clock::now();
        if (reuse) {
            reduce_stored_loads(s, pb, fr, bvals);
            s.stats.reused = true;
        } else {
            s.store.positive_definite = true;
            s.store.flops = Factorization(s, pb, units, fr, codes, bvals, C).run();
            s.store.front_clear = true;
            if (s.store.spilled_blocks > 0 && !s.store.spill.flush()) spill_failed(units, s.store.spill.path(), errno);
        }
        s.stats.elimination_seconds = std::chrono::duration<double>(clock::now() - t0).count();
        back_substitution(s, fr, bvals, pb.displacement_increment, pb.support_forces);
        s.store.valid = true;
    } catch (const Failure& f) {
        s.store.clear();
        return f.status;
    } catch (const std::bad_alloc&) {
        s.store.clear();
        write_memory_failure(units);
        return kStatusAlloc;
    }

    record_store_figures(s, !reuse);
    s.stats.total_seconds = std::chrono::duration<double>(clock::now() - t_start).count();
    if (!reuse) s.factor_stats = s.stats;
    return 0;
}

// Names the node and freedom of a zero pivot, in the listing and the message
// file: the elements and supports leave that freedom without stiffness.
void report_mechanism(RunState& st, long long variable) {
    static const char* const kFreedom[6] = {"x displacement", "y displacement", "z displacement",
                                            "x rotation",     "y rotation",     "z rotation"};
    const long long node = (variable - 1) / 6 + 1;
    const int component = static_cast<int>((variable - 1) % 6);
    const long long id = node >= 1 && static_cast<std::size_t>(node) <= st.node_ids.size() ? st.node_ids(node) : node;
    write_both(&st.units, " zero pivot at node " + std::to_string(id) + ", freedom " + std::to_string(component + 1) +
                              " (" + kFreedom[component] +
                              "): the model has a mechanism (a zero-energy mode of the chosen elements and supports)");
}

}  // namespace

FrontalSolver::FrontalSolver() : state_(std::make_unique<FrontalState>()) {}
FrontalSolver::~FrontalSolver() = default;

int FrontalSolver::solve(const FrontalProblem& problem, fio::Units* units) {
    return parvane::solve(*state_, problem, units, Use::Decide);
}
int FrontalSolver::factorize(const FrontalProblem& problem, fio::Units* units) {
    return parvane::solve(*state_, problem, units, Use::Eliminate);
}
int FrontalSolver::solve_with_factor(const FrontalProblem& problem, fio::Units* units) {
    return parvane::solve(*state_, problem, units, Use::Stored);
}

const FrontalStats& FrontalSolver::last_stats() const { return state_->stats; }
const FrontalStats& FrontalSolver::factorization_stats() const { return state_->factor_stats; }

void FrontalSolver::set_memory_budget(std::size_t bytes) { state_->budget = bytes; }
std::size_t FrontalSolver::memory_budget() const { return state_->budget; }
void FrontalSolver::set_refinement_share(double share) {
    state_->refinement_share = share < 0.0 ? kRefinementShare : share;
}

void FrontalSolver::release() {
    state_->store.release();
    state_->work.release();
}

void frontal_solve(RunState& st, FrontalCall call, const double* element_loads, double* displacement_increment,
                   double* support_forces, int& status) {
    FrontalProblem p;
    p.npoin = st.npoin;
    p.nelem = st.nelem;
    p.nnode = st.nnode;
    p.nvfix = st.nvfix;
    p.front_capacity = st.front_capacity;
    p.restraint_values = st.fixval.data();
    p.displacement_increment = displacement_increment;
    p.element_loads = element_loads;
    p.restraint_nodes = st.fixnod.data();
    p.support_forces = support_forces;
    p.element_stiffness = st.estiff.data();
    p.restraint_codes = st.fixcod.data();
    p.lnods = st.lnods.data();
    if (st.element_order.size() == static_cast<std::size_t>(std::max(st.nelem, 0)))
        p.element_order = st.element_order.data();
    // Between soil iterations only the soil springs change.
    p.refine = st.isoil == 1;
    int result = 0;
    switch (call) {
        case FrontalCall::Factorize: result = st.frontal.factorize(p, &st.units); break;
        case FrontalCall::WithFactor: result = st.frontal.solve_with_factor(p, &st.units); break;
        case FrontalCall::Decide: result = st.frontal.solve(p, &st.units); break;
    }
    if (result > 0) status = result;
    const FrontalStats& stats = st.frontal.last_stats();
    if (result == kStatusPivot && stats.zero_pivot_variable > 0) report_mechanism(st, stats.zero_pivot_variable);
}

}  // namespace parvane
