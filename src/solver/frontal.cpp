// Frontal solution of the assembled plate system (see frontal.h).
#include "solver/frontal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "platform/fio/fio.h"
#include "solver/state.h"

namespace parvane {
namespace {

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

constexpr int kStatusSolve = 3;

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
constexpr int kStatusMemory = 10;

// One eliminated equation inside a block: its slot, variable (0-based),
// restraint code, pivot, and the nonzero coefficients of the other slots.
struct RowHeader {
    std::int32_t slot;
    std::int32_t var;
    std::int32_t nnz;
    std::int32_t code;
    double pivot;
};

// Bytes of a row's slot indices, rounded up so that its values stay aligned.
std::size_t index_bytes(std::size_t nnz) { return (nnz * sizeof(std::int32_t) + 7) & ~std::size_t(7); }

std::size_t row_bytes(std::int32_t nnz) {
    return sizeof(RowHeader) + index_bytes(static_cast<std::size_t>(nnz)) + static_cast<std::size_t>(nnz) * sizeof(double);
}

struct RowView {
    const RowHeader* h;
    const std::int32_t* idx;
    const double* val;
};

RowView row_at(const char* p) {
    RowView r;
    r.h = reinterpret_cast<const RowHeader*>(p);
    r.idx = reinterpret_cast<const std::int32_t*>(p + sizeof(RowHeader));
    r.val = reinterpret_cast<const double*>(p + sizeof(RowHeader) + index_bytes(static_cast<std::size_t>(r.h->nnz)));
    return r;
}

// The eliminated equations of one call, kept for the back-substitution and for
// a later call with the same matrices.
struct EquationStore {
    bool valid = false;
    fio::Units* units = nullptr;
    int npoin = 0, nelem = 0, nnode = 0, capacity = 0;
    // Fingerprint of the element matrices (two independent 64-bit hashes of
    // their bytes) instead of a copy of them: equal fingerprints of the same
    // size mean the same matrices beyond any practical doubt.
    std::size_t stiffness_count = 0;
    std::uint64_t stiffness_hash[2] = {0, 0};
    std::vector<int> lnods_copy;
    std::vector<int> codes;
    std::vector<int> dests;          // slot of each element variable, per element
    struct Block {
        char* data = nullptr;        // in memory, or null when on unit 2
        std::size_t size = 0;
        int rows = 0;
    };
    std::vector<Block> blocks;       // one per element
    // Memory of the eliminated equations: kept from one factorization to the
    // next (its pages are touched already), freed by release().
    struct Chunk {
        std::unique_ptr<char[]> data;
        std::size_t size = 0;
    };
    std::vector<Chunk> chunks;
    std::size_t chunk_at = 0, chunk_used = 0;   // chunk being filled, bytes used in it
    std::size_t mem_bytes = 0, spill_bytes = 0;
    long long equations = 0;
    int spilled_blocks = 0;
    int max_front = 0;
    double flops = 0;

    void clear() {
        valid = false;
        units = nullptr;
        stiffness_count = 0;
        stiffness_hash[0] = stiffness_hash[1] = 0;
        lnods_copy.clear();
        lnods_copy.shrink_to_fit();
        codes.clear();
        codes.shrink_to_fit();
        dests.clear();
        dests.shrink_to_fit();
        blocks.clear();
        blocks.shrink_to_fit();
        chunk_at = chunk_used = 0;
        mem_bytes = spill_bytes = 0;
        equations = 0;
        spilled_blocks = 0;
        max_front = 0;
        flops = 0;
    }

    // Forgets everything and frees the equation memory too.
    void release() {
        clear();
        chunks.clear();
        chunks.shrink_to_fit();
    }

    // Room for `n` bytes in memory (8-byte aligned): the rest of the current
    // chunk, the next kept chunk that holds it, or a new one.
    char* reserve(std::size_t n) {
        n = (n + 7) & ~std::size_t(7);
        while (chunk_at < chunks.size() && chunk_used + n > chunks[chunk_at].size) {
            ++chunk_at;
            chunk_used = 0;
        }
        if (chunk_at == chunks.size()) {
            const std::size_t size = std::max<std::size_t>(n, std::size_t(32) << 20);
            chunks.push_back(Chunk{std::unique_ptr<char[]>(new char[size]), size});
            chunk_used = 0;
        }
        char* p = chunks[chunk_at].data.get() + chunk_used;
        chunk_used += n;
        mem_bytes += n;
        return p;
    }
};

EquationStore g_store;
FrontalStats g_stats;
FrontalStats g_factor_stats;
std::size_t g_budget = std::size_t(2) << 30;

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
    if (unit_open(units, 8)) {
        fio::Writer(*units, 8).list({"********* Error in allocating memory **********"});
        fio::Writer(*units, 8).list({"********* Analysis terminated **********"});
    }
}

void write_both(fio::Units* units, const std::string& text) {
    if (unit_open(units, 6)) fio::Writer(*units, 6).a(text);
    if (unit_open(units, 8)) fio::Writer(*units, 8).a(text);
}

// Subtracts sum_m U(m, a) W(m, b) from the front entries (P[a], P[b]), a <= b,
// of the upper triangle.  U and W are rows x npad (npad a multiple of 8,
// padding zero); F is the C x C front, column b at F + b * C.
__attribute__((target_clones("arch=x86-64-v3", "default")))
void block_update(const double* U, const double* W, int rows, int n, int npad, const int* P, double* F,
                  std::size_t C) {
    typedef double v4 __attribute__((vector_size(32)));
    for (int b0 = 0; b0 < n; b0 += 4) {
        const int nb = std::min(4, n - b0);
        const int amax = ((b0 + nb + 7) / 8) * 8;
        double* col[4];
        for (int j = 0; j < 4; ++j) col[j] = F + static_cast<std::size_t>(P[std::min(b0 + j, n - 1)]) * C;
        for (int a0 = 0; a0 < amax; a0 += 8) {
            v4 acc[2][4];
            for (int j = 0; j < 4; ++j) acc[0][j] = acc[1][j] = v4{0, 0, 0, 0};
            for (int m = 0; m < rows; ++m) {
                v4 u0, u1;
                std::memcpy(&u0, U + static_cast<std::size_t>(m) * npad + a0, sizeof(v4));
                std::memcpy(&u1, U + static_cast<std::size_t>(m) * npad + a0 + 4, sizeof(v4));
                const double* w = W + static_cast<std::size_t>(m) * npad + b0;
                for (int j = 0; j < 4; ++j) {
                    acc[0][j] += u0 * w[j];
                    acc[1][j] += u1 * w[j];
                }
            }
            for (int j = 0; j < nb; ++j) {
                const int b = b0 + j;
                double* c = col[j];
                const int top = std::min(a0 + 8, std::min(b + 1, n));
                for (int a = a0; a < top; ++a) c[P[a]] -= acc[(a - a0) >> 2][j][(a - a0) & 3];
            }
        }
    }
}

struct Front {
    std::size_t C = 0;
    std::vector<double> F;       // C x C, upper triangle: (i, j), i <= j, at j * C + i
    std::vector<double> loads;
    std::vector<double> sol;
    std::vector<int> slot_var;   // variable + 1, 0 = free
    std::vector<int> slot_of;    // per variable, -1 = not in the front
    std::vector<double> diag;    // largest diagonal term assembled into each slot's equation
    std::set<int> free_below;    // free slots below the width
    int width = 0;

    double& at(int i, int j) {
        if (i > j) std::swap(i, j);
        return F[static_cast<std::size_t>(j) * C + i];
    }
    int take_slot() {
        int s;
        if (!free_below.empty()) {
            s = *free_below.begin();
            free_below.erase(free_below.begin());
        } else {
            s = width;
            if (s >= static_cast<int>(C)) return -1;
            ++width;
        }
        return s;
    }
    void release(int s) {
        slot_var[s] = 0;
        diag[s] = 0.0;
        free_below.insert(s);
    }
    void shrink() {
        while (width > 0 && slot_var[width - 1] == 0) {
            --width;
            free_below.erase(width);
        }
    }
};

// Reads the spilled block that unit 2 stands at and leaves the unit after it.
bool read_block_forward(fio::Units& u, std::vector<char>& buf) {
    std::uint64_t size = 0;
    std::span<std::byte> head[] = {fio::bytes_of(&size, 1)};
    if (u.read_record(2, head) != 0) return false;
    if (u.backspace(2) != 0) return false;
    buf.resize(size);
    std::span<std::byte> parts[] = {fio::bytes_of(&size, 1), fio::bytes_of(buf.data(), buf.size())};
    return u.read_record(2, parts) == 0;
}

// Reads the spilled block before the position of unit 2 (the unit stands
// after it) and leaves the unit before it.
bool read_block_backward(fio::Units& u, std::vector<char>& buf) {
    return u.backspace(2) == 0 && read_block_forward(u, buf) && u.backspace(2) == 0;
}

struct Failure {
    int status;
};

// The rows of a stored block: in memory, or read from unit 2 into `buf`
// (forward in a reuse, backward in the back-substitution).
const char* block_rows(const EquationStore::Block& blk, fio::Units* units, std::vector<char>& buf, bool backward) {
    if (blk.data != nullptr) return blk.data;
    if (!(backward ? read_block_backward(*units, buf) : read_block_forward(*units, buf))) throw Failure{kStatusSolve};
    return buf.data();
}

bool write_block(fio::Units& u, const std::vector<char>& buf) {
    std::uint64_t size = buf.size();
    std::span<const std::byte> parts[] = {fio::bytes_of(&size, 1), fio::bytes_of(buf.data(), buf.size())};
    return u.write_record(2, parts) == 0;
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
        if (row.h->code == 1) {
            const double g = support_forces[row.h->var];
            for (int t = 0; t < row.h->nnz; ++t) fr.loads[row.idx[t]] -= row.val[t] * g;
        } else {
            const double piv = row.h->pivot;
            for (int t = 0; t < row.h->nnz; ++t) fr.loads[row.idx[t]] -= (b * row.val[t]) / piv;
        }
        p += row_bytes(row.h->nnz);
    }
}

// Back-substitutes the rows of one block, last to first.
void back_substitute(const char* data, int rows, Front& fr, double* disp, double* support_forces,
                     const std::vector<double>& bvals, long long& eq, std::vector<const char*>& offsets) {
    offsets.clear();
    const char* p = data;
    for (int r = 0; r < rows; ++r) {
        offsets.push_back(p);
        p += row_bytes(row_at(p).h->nnz);
    }
    for (int r = rows - 1; r >= 0; --r) {
        RowView row = row_at(offsets[r]);
        const double b = bvals[--eq];
        double sum = 0;
        for (int t = 0; t < row.h->nnz; ++t) sum += row.val[t] * fr.sol[row.idx[t]];
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

int solve(const FrontalProblem& pb, fio::Units* units) {
    using clock = std::chrono::steady_clock;
    const auto t_start = clock::now();
    g_stats = FrontalStats{};

    const int npoin = std::max(pb.npoin, 0), nelem = std::max(pb.nelem, 0), nnode = std::max(pb.nnode, 0);
    const int nvfix = std::max(pb.nvfix, 0);
    const int nevab = 6 * nnode;
    const std::size_t ntotv = static_cast<std::size_t>(npoin) * 6;
    const int C = std::max(pb.front_capacity, 0);

    Front fr;
    std::vector<int> codes;
    try {
        fr.C = static_cast<std::size_t>(C);
        fr.loads.assign(fr.C, 0.0);
        fr.sol.assign(fr.C, 0.0);
        fr.slot_var.assign(fr.C, 0);
        fr.diag.assign(fr.C, 0.0);
    } catch (const std::bad_alloc&) {
        write_memory_failure(units);
        return kStatusMemory;
    }
    if (unit_open(units, 8)) fio::Writer(*units, 8).list({"  "});
    try {
        codes.assign(ntotv, 0);
        fr.slot_of.assign(ntotv, -1);
    } catch (const std::bad_alloc&) {
        write_memory_failure(units);
        return kStatusMemory;
    }

    // Restraints: prescribed values and codes per variable.
    for (std::size_t v = 0; v < ntotv; ++v) pb.support_forces[v] = 0.0;
    for (int r = 0; r < nvfix; ++r) {
        const int n = pb.restraint_nodes[r];
        if (n < 1 || n > npoin) continue;
        for (int c = 0; c < 6; ++c) {
            const std::size_t v = static_cast<std::size_t>(n - 1) * 6 + c;
            pb.support_forces[v] = pb.restraint_values[static_cast<std::size_t>(r) * 6 + c];
            codes[v] = pb.restraint_codes[static_cast<std::size_t>(r) * 6 + c];
        }
    }

    if (units != nullptr)
        for (int u : {2, 3, 4})
            if (units->is_open(u)) units->rewind(u);

    const std::size_t lsize = static_cast<std::size_t>(nnode) * nelem;
    const std::size_t ksize = static_cast<std::size_t>(nevab) * nevab * nelem;

    // Connectivity check; node numbers are taken by magnitude.
    for (int e = 0; e < nelem; ++e)
        for (int i = 0; i < nnode; ++i) {
            const int q = std::abs(pb.lnods[static_cast<std::size_t>(e) * nnode + i]);
            if (q < 1 || q > npoin) {
                write_both(units, "invalid node number " + std::to_string(pb.lnods[static_cast<std::size_t>(e) * nnode + i]) +
                                      " in element " + std::to_string(e + 1));
                g_store.clear();
                return kStatusSolve;
            }
        }

    std::uint64_t hash[2] = {0, 0};
    fingerprint(pb.element_stiffness, ksize, hash);
    const bool reuse = g_store.valid && g_store.units == units && g_store.npoin == npoin && g_store.nelem == nelem &&
                       g_store.nnode == nnode && g_store.capacity == C && g_store.codes == codes &&
                       g_store.lnods_copy.size() == lsize &&
                       std::equal(g_store.lnods_copy.begin(), g_store.lnods_copy.end(), pb.lnods) &&
                       g_store.stiffness_count == ksize && g_store.stiffness_hash[0] == hash[0] &&
                       g_store.stiffness_hash[1] == hash[1];

    std::vector<double> bvals;
    std::vector<char> buf;
    const bool can_spill = unit_open(units, 2);

    try {
        if (reuse) {
            // Same matrices as the previous call: reduce the loads only.
            const auto t0 = clock::now();
            bvals.assign(static_cast<std::size_t>(g_store.equations), 0.0);
            long long eq = 0;
            if (g_store.spilled_blocks > 0) units->rewind(2);
            for (int e = 0; e < nelem; ++e) {
                const int* dest = g_store.dests.data() + static_cast<std::size_t>(e) * nevab;
                const double* el = pb.element_loads + static_cast<std::size_t>(e) * nevab;
                for (int k = 0; k < nevab; ++k) fr.loads[dest[k]] += el[k];
                const EquationStore::Block& blk = g_store.blocks[e];
                if (blk.rows == 0) continue;
                reduce_loads(block_rows(blk, units, buf, false), blk.rows, fr, pb.support_forces, bvals, eq);
            }
            g_stats.reused = true;
            g_stats.elimination_seconds = std::chrono::duration<double>(clock::now() - t0).count();
        } else {
            g_store.clear();
            g_store.units = units;
            g_store.npoin = npoin;
            g_store.nelem = nelem;
            g_store.nnode = nnode;
            g_store.capacity = C;
            g_store.codes = codes;
            g_store.lnods_copy.assign(pb.lnods, pb.lnods + lsize);
            g_store.stiffness_count = ksize;
            g_store.stiffness_hash[0] = hash[0];
            g_store.stiffness_hash[1] = hash[1];
            g_store.dests.assign(static_cast<std::size_t>(nevab) * nelem, 0);
            g_store.blocks.assign(nelem, EquationStore::Block{});
            fr.F.assign(fr.C * fr.C, 0.0);

            // Last appearance of every node, in element order then slot order.
            std::vector<int> last_place(npoin + 1, -1);
            for (std::size_t k = 0; k < lsize; ++k) last_place[std::abs(pb.lnods[k])] = static_cast<int>(k);

            const auto t0 = clock::now();
            std::vector<int> elim;              // slots eliminated after this element
            std::vector<char> in_block(fr.C, 0);
            std::vector<double> panel(static_cast<std::size_t>(std::max(nevab, 1)) * fr.C);
            std::vector<int> nz;
            nz.reserve(fr.C);
            std::vector<std::vector<int>> rnz(nevab);   // trailing columns of each row
            std::vector<int> owner(fr.C, -1), parent(nevab), mark(fr.C, -1), pos(fr.C, 0), cols;
            std::vector<double> U, W;
            std::vector<char> blockbuf;
            double flops = 0;

            for (int e = 0; e < nelem; ++e) {
                const int* conn = pb.lnods + static_cast<std::size_t>(e) * nnode;
                int* dest = g_store.dests.data() + static_cast<std::size_t>(e) * nevab;
                // Destinations.
                for (int k = 0; k < nevab; ++k) {
                    const int q = std::abs(conn[k / 6]);
                    const int v = (q - 1) * 6 + k % 6;
                    int s = fr.slot_of[v];
                    if (s < 0) {
                        s = fr.take_slot();
                        if (s < 0) {
                            write_both(units, "front width exceeded for element " + std::to_string(e + 1));
                            throw Failure{kStatusSolve};
                        }
                        fr.slot_of[v] = s;
                        fr.slot_var[s] = v + 1;
                    }
                    dest[k] = s;
                }
                g_store.max_front = std::max(g_store.max_front, fr.width);
                // Assembly.
                const double* el = pb.element_loads + static_cast<std::size_t>(e) * nevab;
                const double* ek = pb.element_stiffness + static_cast<std::size_t>(e) * nevab * nevab;
                for (int k = 0; k < nevab; ++k) {
                    fr.loads[dest[k]] += el[k];
                    const double* kc = ek + static_cast<std::size_t>(k) * nevab;
                    for (int l = 0; l <= k; ++l) fr.at(dest[l], dest[k]) += kc[l];
                    fr.diag[dest[k]] = std::max(fr.diag[dest[k]], std::fabs(kc[k]));
                }
                // Variables whose last element this is.
                elim.clear();
                for (int k = 0; k < nevab; ++k) {
                    const std::size_t place = static_cast<std::size_t>(e) * nnode + k / 6;
                    if (last_place[std::abs(conn[k / 6])] != static_cast<int>(place)) continue;
                    const int s = dest[k];
                    if (in_block[s]) continue;
                    in_block[s] = 1;
                    elim.push_back(s);
                }
                const int ks = static_cast<int>(elim.size());
                if (ks == 0) continue;

                // Rows of the eliminated slots over the active width; their
                // rows and columns leave the front.
                const int w = fr.width;
                const std::size_t Cs = fr.C;
                for (int m = 0; m < ks; ++m) {
                    const int s = elim[m];
                    double* row = panel.data() + static_cast<std::size_t>(m) * w;
                    double* colS = fr.F.data() + static_cast<std::size_t>(s) * Cs;
                    for (int j = 0; j <= s; ++j) row[j] = colS[j];
                    for (int j = s + 1; j < w; ++j) row[j] = fr.F[static_cast<std::size_t>(j) * Cs + s];
                }
                for (int m = 0; m < ks; ++m) {
                    const int s = elim[m];
                    double* colS = fr.F.data() + static_cast<std::size_t>(s) * Cs;
                    std::fill(colS, colS + s + 1, 0.0);
                    for (int j = s + 1; j < w; ++j) fr.F[static_cast<std::size_t>(j) * Cs + s] = 0.0;
                }

                blockbuf.clear();
                int normal_rows = 0;
                for (int m = 0; m < ks; ++m) {
                    const int s = elim[m];
                    double* row = panel.data() + static_cast<std::size_t>(m) * w;
                    const double piv = row[s];
                    const int v = fr.slot_var[s] - 1;
                    if (!(std::fabs(piv) > pivot_floor(v, fr.diag[s]))) {
                        g_stats.zero_pivot_variable = v + 1;
                        if (unit_open(units, 6))
                            fio::Writer(*units, 6)
                                .lit(" ")
                                .x(3)
                                .lit("negative or zero pivot encountered for variable no. ")
                                .i(v + 1, 4)
                                .lit(" of value ")
                                .e(piv, 17, 6);
                        throw Failure{kStatusSolve};
                    }
                    const int code = codes[v];
                    nz.clear();
                    for (int j = 0; j < w; ++j)
                        if (j != s && row[j] != 0.0) nz.push_back(j);
                    // The equation.
                    const std::size_t at = blockbuf.size();
                    blockbuf.resize(at + row_bytes(static_cast<std::int32_t>(nz.size())));
                    RowHeader h{s, v, static_cast<std::int32_t>(nz.size()), code, piv};
                    std::memcpy(blockbuf.data() + at, &h, sizeof h);
                    {
                        char* p = blockbuf.data() + at + sizeof(RowHeader);
                        std::memcpy(p, nz.data(), nz.size() * sizeof(std::int32_t));
                        double* val = reinterpret_cast<double*>(p + index_bytes(nz.size()));
                        for (std::size_t t = 0; t < nz.size(); ++t) val[t] = row[nz[t]];
                    }
                    const double b = fr.loads[s];
                    fr.loads[s] = 0;
                    bvals.push_back(b);
                    if (code == 1) {
                        const double g = pb.support_forces[v];
                        for (int j : nz) fr.loads[j] -= row[j] * g;
                        rnz[m].clear();
                    } else {
                        for (int j : nz) fr.loads[j] -= (b * row[j]) / piv;
                        // Later rows of the block.
                        for (int l = m + 1; l < ks; ++l) {
                            const double f = row[elim[l]];
                            if (!(std::fabs(f) >= kSkip)) continue;
                            const double c = f / piv;
                            double* rl = panel.data() + static_cast<std::size_t>(l) * w;
                            for (int j : nz) rl[j] -= c * row[j];
                            flops += 2.0 * nz.size();
                        }
                        // Columns that the block update of the front touches.
                        std::vector<int>& rc = rnz[m];
                        rc.clear();
                        for (int j : nz)
                            if (!in_block[j] && std::fabs(row[j]) >= kSkip) rc.push_back(j);
                        if (!rc.empty()) ++normal_rows;
                    }
                    for (int l = m + 1; l < ks; ++l) panel[static_cast<std::size_t>(l) * w + s] = 0.0;
                    fr.slot_of[v] = -1;
                    ++g_store.equations;
                }

                // Block update of the rest of the front, by groups of rows that
                // share columns.
                if (normal_rows > 0) {
                    for (int m = 0; m < ks; ++m) parent[m] = m;
                    auto find = [&](int x) {
                        while (parent[x] != x) x = parent[x] = parent[parent[x]];
                        return x;
                    };
                    for (int m = 0; m < ks; ++m)
                        for (int j : rnz[m]) {
                            if (owner[j] < 0) {
                                owner[j] = m;
                            } else {
                                int a = find(owner[j]), c = find(m);
                                if (a != c) parent[c] = a;
                            }
                        }
                    for (int root = 0; root < ks; ++root) {
                        if (find(root) != root) continue;
                        cols.clear();
                        int rows = 0;
                        for (int m = 0; m < ks; ++m) {
                            if (rnz[m].empty() || find(m) != root) continue;
                            ++rows;
                            for (int j : rnz[m])
                                if (mark[j] != root) {
                                    mark[j] = root;
                                    cols.push_back(j);
                                }
                        }
                        if (rows == 0) continue;
                        std::sort(cols.begin(), cols.end());
                        const int n = static_cast<int>(cols.size());
                        const int npad = ((n + 7) / 8) * 8;
                        for (int a = 0; a < n; ++a) pos[cols[a]] = a;
                        U.assign(static_cast<std::size_t>(rows) * npad, 0.0);
                        W.assign(static_cast<std::size_t>(rows) * npad, 0.0);
                        int r = 0;
                        for (int m = 0; m < ks; ++m) {
                            if (rnz[m].empty() || find(m) != root) continue;
                            const double* row = panel.data() + static_cast<std::size_t>(m) * w;
                            const double piv = row[elim[m]];
                            double* u = U.data() + static_cast<std::size_t>(r) * npad;
                            double* wv = W.data() + static_cast<std::size_t>(r) * npad;
                            for (int j : rnz[m]) {
                                u[pos[j]] = row[j];
                                wv[pos[j]] = row[j] / piv;
                            }
                            ++r;
                        }
                        block_update(U.data(), W.data(), rows, n, npad, cols.data(), fr.F.data(), Cs);
                        flops += 2.0 * rows * (static_cast<double>(n) * (n + 1) / 2);
                        for (int j : cols) mark[j] = -1;
                    }
                    for (int m = 0; m < ks; ++m)
                        for (int j : rnz[m]) owner[j] = -1;
                }

                for (int s : elim) {
                    in_block[s] = 0;
                    fr.release(s);
                }
                fr.shrink();

                // Keep the block.
                EquationStore::Block& blk = g_store.blocks[e];
                blk.rows = ks;
                blk.size = blockbuf.size();
                if (g_store.spilled_blocks == 0 && (g_store.mem_bytes + blockbuf.size() <= g_budget || !can_spill)) {
                    blk.data = g_store.reserve(blockbuf.size());
                    std::memcpy(blk.data, blockbuf.data(), blockbuf.size());
                } else {
                    if (!write_block(*units, blockbuf)) {
                        const int error = errno;
                        if (unit_open(units, 8))
                            fio::Writer(*units, 8).list({"error writing file " + units->path(2) + ": " +
                                                         std::strerror(error)});
                        throw Failure{kStatusSolve};
                    }
                    blk.data = nullptr;
                    ++g_store.spilled_blocks;
                    g_store.spill_bytes += blockbuf.size() + 8;
                }
            }
            g_store.flops = flops;
            g_stats.elimination_seconds = std::chrono::duration<double>(clock::now() - t0).count();
        }

        // Back-substitution, last equation first.
        std::fill(fr.sol.begin(), fr.sol.end(), 0.0);
        long long eq = static_cast<long long>(bvals.size());
        std::vector<const char*> offsets;
        for (int e = nelem - 1; e >= 0; --e) {
            const EquationStore::Block& blk = g_store.blocks[e];
            if (blk.rows == 0) continue;
            back_substitute(block_rows(blk, units, buf, true), blk.rows, fr, pb.displacement_increment, pb.support_forces, bvals, eq, offsets);
        }
        g_store.valid = true;
    } catch (const Failure& f) {
        g_store.clear();
        return f.status;
    } catch (const std::bad_alloc&) {
        g_store.clear();
        write_memory_failure(units);
        return kStatusMemory;
    }

    g_stats.equations = g_store.equations;
    g_stats.max_front = g_store.max_front;
    g_stats.elimination_flops = reuse ? 0.0 : g_store.flops;
    g_stats.stored_bytes = g_store.mem_bytes;
    g_stats.spilled_bytes = g_store.spill_bytes;
    g_stats.total_seconds = std::chrono::duration<double>(clock::now() - t_start).count();
    if (!reuse) g_factor_stats = g_stats;
    return 0;
}

// Names the node and freedom of a zero pivot, in the listing and the message
// file: the elements and supports leave that freedom without stiffness.
void report_mechanism(RunState& st, long long variable) {
    static const char* const kFreedom[6] = {"x displacement", "y displacement", "z displacement",
                                            "x rotation",     "y rotation",     "z rotation"};
    const long long node = (variable - 1) / 6 + 1;
    const int component = static_cast<int>((variable - 1) % 6);
    const long long id = node >= 1 && static_cast<std::size_t>(node) <= st.node_ids.size() ? st.node_ids(node)
                                                                                 : node;
    write_both(&st.units, " zero pivot at node " + std::to_string(id) + ", freedom " + std::to_string(component + 1) +
                              " (" + kFreedom[component] +
                              "): the model has a mechanism (a zero-energy mode of the chosen elements and supports)");
}

}  // namespace

int frontal_solve_problem(const FrontalProblem& problem, fio::Units* units) { return solve(problem, units); }

void frontal_solve(RunState& st, const double* restraint_values, double* displacement_increment,
                   const double* element_loads, const int* restraint_nodes, double* support_forces,
                   const double* element_stiffness, const int* restraint_codes, const int* lnods, int& status) {
    FrontalProblem p;
    p.npoin = st.npoin;
    p.nelem = st.nelem;
    p.nnode = st.nnode;
    p.nvfix = st.nvfix;
    p.front_capacity = st.front_capacity;
    p.restraint_values = restraint_values;
    p.displacement_increment = displacement_increment;
    p.element_loads = element_loads;
    p.restraint_nodes = restraint_nodes;
    p.support_forces = support_forces;
    p.element_stiffness = element_stiffness;
    p.restraint_codes = restraint_codes;
    p.lnods = lnods;
    const int result = solve(p, &st.units);
    if (result > 0) status = result;
    if (result == kStatusSolve && g_stats.zero_pivot_variable > 0) report_mechanism(st, g_stats.zero_pivot_variable);
}

const FrontalStats& frontal_last_stats() { return g_stats; }
const FrontalStats& frontal_factorization_stats() { return g_factor_stats; }

void frontal_set_memory_budget(std::size_t bytes) { g_budget = bytes; }
std::size_t frontal_memory_budget() { return g_budget; }

void frontal_release() { g_store.release(); }

}  // namespace parvane
