// The front of the frontal solution: its slots split into regions by the
// component of the variable, and the rank-k update of a region by the rows
// eliminated together (a BLAS product on one thread).  Only the frontal
// solution (frontal.cpp) includes this header.
#pragma once

#include <cstddef>
#include <iterator>
#include <set>
#include <vector>

#include <cblas.h>

namespace parvane::frontal_detail {

// Subtracts sum_m U(m, a) W(m, b) from the upper triangle (a <= b) of the
// n x n block of the front at F (column b at F + b * ldf).  U and W are
// rows x n, row after row.  Column blocks of kProductColumns go to the BLAS
// as products of their rows up to the diagonal (the few products below it
// land in the unused lower triangle).
constexpr int kProductColumns = 64;

// The solver runs on one core: a threaded BLAS is kept to one thread.
inline void use_one_blas_thread() {
    static const bool once = [] {
        openblas_set_num_threads(1);
        return true;
    }();
    (void)once;
}

inline void subtract_product(const double* U, const double* W, int rows, int n, double* F, std::size_t ldf) {
    for (int b0 = 0; b0 < n; b0 += kProductColumns) {
        const int b1 = std::min(n, b0 + kProductColumns);
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasTrans, b1, b1 - b0, rows, -1.0, U, n, W + b0, n, 1.0,
                    F + static_cast<std::size_t>(b0) * ldf, static_cast<int>(ldf));
    }
}

// The slots of the front are split into regions by the component of the
// variable: the bending freedoms (components 1, 5 and 6), the in-plane
// displacements (2 and 3) and the drilling rotation (4).  A flat plate couples
// no two regions, so the rows eliminated together update each region as one
// dense product over a contiguous range of the front.  A node's six variables
// enter and leave the front together, so each region holds its share of the
// occupied slots.
//
// The in-plane region fills downwards from its last slot and the drilling
// region, right after it, upwards from its first: where an element couples
// the two (the 4-node membrane with drilling rotations), their occupied slots
// stay one contiguous range whatever the width of the front at the time.
constexpr int kRegionOf[6] = {0, 1, 1, 2, 0, 0};
constexpr int kRegionShare[3] = {3, 2, 1};  // sixths of the slots
constexpr bool kRegionDownward[3] = {false, true, false};

struct Front {
    std::size_t C = 0;
    double* F = nullptr;  // C x C, upper triangle: (i, j), i <= j, at j * C + i (the rest is scratch)
    std::vector<double> loads;
    std::vector<double> sol;
    std::vector<int> slot_var;  // variable + 1, 0 = free
    std::vector<int> slot_of;   // per variable, -1 = not in the front
    std::vector<double> diag;   // largest diagonal term assembled into each slot's equation
    struct Region {
        int base = 0, size = 0, top = 0;  // slots base .. base + size - 1; `top` of them used, from the start
        bool downward = false;            // the start is the last slot
        std::set<int> free_below;         // free slots among the used ones
        // Slot of the place-th slot from the region's start.
        int slot(int place) const { return downward ? base + size - 1 - place : base + place; }
        // The used slots: lo() .. lo() + top - 1.
        int lo() const { return downward ? base + size - top : base; }
        int occupied() const { return top - static_cast<int>(free_below.size()); }
    };
    Region regions[3];
    int width = 0;  // one past the highest occupied slot

    // Room for `slots` occupied slots: sizes the regions and the arrays.
    void reserve(int slots) {
        int base = 0;
        for (int r = 0; r < 3; ++r) {
            regions[r] = Region{base, (slots * kRegionShare[r] + 5) / 6, 0, kRegionDownward[r], {}};
            base += regions[r].size;
        }
        C = static_cast<std::size_t>(base);
        loads.assign(C, 0.0);
        sol.assign(C, 0.0);
        slot_var.assign(C, 0);
        diag.assign(C, 0.0);
    }
    double& at(int i, int j) {
        if (i > j) std::swap(i, j);
        return F[static_cast<std::size_t>(j) * C + i];
    }
    // The free slot nearest the start of the variable's region, -1 if there
    // is none.
    int take_slot(int v) {
        Region& g = regions[kRegionOf[v % 6]];
        int s;
        if (!g.free_below.empty()) {
            const auto nearest = g.downward ? std::prev(g.free_below.end()) : g.free_below.begin();
            s = *nearest;
            g.free_below.erase(nearest);
        } else {
            if (g.top >= g.size) return -1;
            s = g.slot(g.top++);
            width = std::max(width, s + 1);
        }
        return s;
    }
    void release(int s) {
        Region& g = regions[kRegionOf[(slot_var[s] - 1) % 6]];
        slot_var[s] = 0;
        diag[s] = 0.0;
        g.free_below.insert(s);
    }
    void shrink() {
        width = 0;
        for (Region& g : regions) {
            while (g.top > 0 && slot_var[g.slot(g.top - 1)] == 0) {
                --g.top;
                g.free_below.erase(g.slot(g.top));
            }
            if (g.top > 0) width = g.downward ? g.base + g.size : g.base + g.top;
        }
    }
};

}  // namespace parvane::frontal_detail
