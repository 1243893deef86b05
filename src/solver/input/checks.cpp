#include "solver/input/checks.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "solver/frontal/element_order.h"
#include "solver/soils/mindlin.h"
#include "solver/soils/vlasov.h"

namespace parvane {

void list_data_cards(RunState& st) {
    fio::Writer(st.units, kUnitListing).skip(2).lit(" now following a listing of post-disaster data cards").end();
    std::string line;
    while (st.units.read_line(kUnitInput, line) == fio::kOk) fio::Writer(st.units, kUnitListing).x(5).a(line, 80);
}

void check1(RunState& st, int& status) {
    st.check_errors.fill(0);
    int* err = st.check_errors.data();
    if (st.npoin <= 0) err[1] = 1;
    if (static_cast<long long>(st.npoin) > static_cast<long long>(st.nelem) * st.nnode) err[2] = 1;
    if (st.nvfix < 0 || st.nvfix > st.npoin) err[3] = 1;
    if (st.ncase <= 0) err[4] = 1;
    if (st.ntype < 0 || st.ntype > 2) err[5] = 1;
    if (st.nnode < 3 || st.nnode > 9) err[6] = 1;
    if (st.ndofn < 2 || st.ndofn > 6) err[7] = 1;
    if (st.nmats <= 0 || st.nmats > st.nelem) err[8] = 1;
    if (st.nprop < 3 || st.nprop > 5) err[9] = 1;
    if (st.ngaus < 1 || st.ngaus > 3) err[10] = 1;
    if (st.ndime < 1 || st.ndime > 3) err[11] = 1;
    if (st.nstre < 2 || st.nstre > 8) err[12] = 1;
    bool any = false;
    for (int k = 1; k <= 12; ++k) {
        if (!err[k]) continue;
        any = true;
        fio::Writer(st.units, kUnitMessages).skip(2).lit(" *** diagnosis by check1, error").i(k, 3);
        fio::Writer(st.units, kUnitListing).skip(2).lit(" *** diagnosis by check1, error").i(k, 3);
    }
    // Soil values that the soil formulas cannot take.
    if (vlasov_input_errors(st) + mindlin_input_errors(st) > 0) any = true;
    if (!any) return;
    list_data_cards(st);
    status = kStatusInput;
}

namespace {

// First and last element of every node (0 when the node is in none).
void first_last(const RunState& st, std::vector<int>& first, std::vector<int>& last) {
    first.assign(static_cast<std::size_t>(std::max(st.npoin, 0)) + 1, 0);
    last.assign(first.size(), 0);
    const int nnode = static_cast<int>(st.lnods.dim1());
    const int nelem = std::min<int>(st.nelem, static_cast<int>(st.lnods.dim2()));
    for (int e = 1; e <= nelem; ++e)
        for (int a = 1; a <= nnode; ++a) {
            const int p = st.lnods(a, e);
            if (p < 1 || p > st.npoin) continue;
            if (first[static_cast<std::size_t>(p)] == 0) first[static_cast<std::size_t>(p)] = e;
            last[static_cast<std::size_t>(p)] = e;
        }
}

int front_from(const RunState& st, const std::vector<int>& first, const std::vector<int>& last) {
    std::vector<long long> front(static_cast<std::size_t>(std::max(st.nelem, 0)) + 2, 0);
    for (int p = 1; p <= st.npoin; ++p) {
        const int f = first[static_cast<std::size_t>(p)];
        if (f == 0) continue;
        front[static_cast<std::size_t>(f)] += st.ndofn;
        const int l = last[static_cast<std::size_t>(p)];
        if (l + 1 <= st.nelem) front[static_cast<std::size_t>(l + 1)] -= st.ndofn;
    }
    long long sum = 0, best = 0;
    for (int e = 1; e <= st.nelem; ++e) {
        sum += front[static_cast<std::size_t>(e)];
        best = std::max(best, sum);
    }
    return static_cast<int>(std::min<long long>(best, 0x7FFFFFFF));
}

// Number of pairs of distinct nodes whose three coordinates are all equal.
long long coincident_pairs(const RunState& st) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(std::max(st.npoin, 0)));
    const int ndime = std::min<int>(st.ndime, static_cast<int>(st.coord.dim1()));
    auto key = [&](int p, int c) {
        const double v = c <= ndime ? st.coord(c, p) : 0.0;
        return v == 0.0 ? 0.0 : v;  // -0 and +0 are the same place
    };
    for (int p = 1; p <= st.npoin && p <= static_cast<int>(st.coord.dim2()); ++p) {
        bool finite = true;
        for (int c = 1; c <= 3; ++c) finite = finite && std::isfinite(key(p, c));
        if (finite) order.push_back(p);  // a value that is no number equals nothing
    }
    auto less = [&](int a, int b) {
        for (int c = 1; c <= 3; ++c) {
            const double x = key(a, c), y = key(b, c);
            if (x < y) return true;
            if (y < x) return false;
        }
        return false;
    };
    std::sort(order.begin(), order.end(), less);
    long long pairs = 0;
    std::size_t i = 0;
    while (i < order.size()) {
        std::size_t j = i + 1;
        while (j < order.size() && !less(order[i], order[j])) ++j;
        const long long g = static_cast<long long>(j - i);
        pairs += g * (g - 1) / 2;
        i = j;
    }
    return pairs;
}

}  // namespace

int front_width(const RunState& st) {
    std::vector<int> first, last;
    first_last(st, first, last);
    return front_from(st, first, last);
}

void check2(RunState& st, int& status) {
    long long count[25] = {};
    const int nnode = static_cast<int>(st.lnods.dim1());
    const int nelem = std::min<int>(st.nelem, static_cast<int>(st.lnods.dim2()));

    count[13] = coincident_pairs(st);

    for (int e = 1; e <= nelem; ++e) {
        const int m = e <= static_cast<int>(st.element_material.size()) ? st.element_material(e) : 0;
        if (m < 1 || m > st.nmats) ++count[14];
        for (int a = 1; a <= nnode; ++a) {
            const int p = st.lnods(a, e);
            if (p == 0) ++count[15];
            if (p < 0 || p > st.npoin) ++count[16];
            for (int b = 1; b < a; ++b)
                if (st.lnods(b, e) == p) {
                    ++count[17];
                    break;
                }
        }
    }

    // Node pass: first and last element of every node, the nodes in no element.
    std::vector<int> first, last;
    first_last(st, first, last);
    std::vector<int> restrained(static_cast<std::size_t>(std::max(st.npoin, 0)) + 1, 0);
    for (int i = 1; i <= st.nvfix && i <= static_cast<int>(st.fixnod.size()); ++i) {
        const int p = st.fixnod(i);
        if (p >= 1 && p <= st.npoin) ++restrained[static_cast<std::size_t>(p)];
    }
    for (int p = 1; p <= st.npoin; ++p) {
        if (first[static_cast<std::size_t>(p)] != 0) continue;
        const int id = p <= static_cast<int>(st.node_ids.size()) ? st.node_ids(p) : p;
        fio::Writer(st.units, kUnitListing).end().lit(" check why node").i(id, 4).lit(" never appears");
        fio::Writer(st.units, kUnitMessages).end().lit(" check why node").i(id, 4).lit(" never appears");
        ++count[18];
        const double c1 = p <= static_cast<int>(st.coord.dim2()) ? st.coord(1, p) : 0.0;
        const double c2 = p <= static_cast<int>(st.coord.dim2()) ? st.coord(2, p) : 0.0;
        if (static_cast<float>(std::fabs(c1) + std::fabs(c2)) > 1.0e-30f) ++count[19];
        count[20] += restrained[static_cast<std::size_t>(p)];
    }

    // The frontal solution takes the elements in the order with the narrowest
    // front; the width written is that of this order.
    int width = 0;
    st.element_order.clear();
    if (count[15] + count[16] == 0 && static_cast<int>(st.lnods.dim2()) >= st.nelem && st.nelem > 0) {
        st.element_order = front_reducing_order(st.npoin, st.nelem, nnode, st.lnods.data(), st.coord.data(),
                                                static_cast<int>(st.coord.dim1()));
        const long long nodes = measure_front(st.npoin, st.nelem, nnode, st.lnods.data(), st.element_order).nodes;
        width = static_cast<int>(std::min<long long>(nodes * st.ndofn, 0x7FFFFFFF));
    } else {
        width = front_from(st, first, last);
    }
    fio::Writer(st.units, kUnitListing).skip(2).lit(" maximum frontwidth encountered =").i(width, 5).skip(2);
    if (width >= 1) st.front_capacity = width + 1;

    std::unordered_set<int> seen;
    for (int i = 1; i <= st.nvfix && i <= static_cast<int>(st.fixnod.size()); ++i) {
        const int p = st.fixnod(i);
        if (p < 1 || p > st.npoin) ++count[22];
        bool positive = false;
        for (int k = 1; k <= 6 && k <= static_cast<int>(st.fixcod.dim1()); ++k)
            positive = positive || st.fixcod(k, i) > 0;
        if (!positive) ++count[23];
        if (!seen.insert(p).second) ++count[24];
    }

    bool any = false;
    for (int k = 13; k <= 24; ++k) {
        st.check_errors[static_cast<std::size_t>(k)] = static_cast<int>(std::min<long long>(count[k], 0x7FFFFFFF));
        if (count[k] == 0) continue;
        any = true;
        fio::Writer(st.units, kUnitListing)
            .skip(2)
            .lit(" *** diagnosis by check2, error")
            .i(k, 3)
            .x(6)
            .lit(" associated number")
            .i(count[k], 5);
    }
    if (!any) return;
    list_data_cards(st);
    status = kStatusInput;
}

}  // namespace parvane
