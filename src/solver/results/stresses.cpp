#include "solver/results/stresses.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "solver/elements/element_matrices.h"
#include "solver/results/gauss_interp_setup.h"
#include "solver/elements/interpolation.h"

namespace parvane {

const char* const kStepResultCaptions =
    "Disp.X Disp.Y Disp.Z Rot.X Rot.Y Rot.Z Force_X Force_Y Force_Z Moment_X Moment_Y Moment_Z My Mz Myz Qy Qz "
    "sig_yy_top sig_zz_top sig_yz_top sig_yy_bot sig_zz_bot sig_yz_bot soil_press_q Rx_soil_sti Rx_NL";

namespace {

constexpr int kQuantities = 14;

// The column captions of quantities 4..14 with their leading blanks.
fio::Writer& quantity_captions(fio::Writer& w) {
    return w.x(4)
        .lit("   MY    ")
        .x(4)
        .lit("   MZ    ")
        .x(2)
        .lit("    Myx    ")
        .x(4)
        .lit("   Qy    ")
        .x(4)
        .lit("   Qz    ")
        .x(3)
        .lit("sig yy top")
        .x(3)
        .lit("sig zz top")
        .x(3)
        .lit("sig yz top")
        .x(3)
        .lit("sig yy bot")
        .x(3)
        .lit("sig zz bot")
        .x(3)
        .lit("sig yz bot");
}

struct Extremes {
    std::array<double, kQuantities> value{};
    std::array<int, kQuantities> element{};
    std::array<int, kQuantities> point{};
};

void write_extremes(fio::Units& u, const char* title, const Extremes& x) {
    fio::Writer(u, kUnitListing).end().x(10).lit(title).end();
    {
        fio::Writer w(u, kUnitListing);
        w.end().x(35);
        quantity_captions(w);
    }
    {
        fio::Writer w(u, kUnitListing);
        w.x(10).lit("stress").x(19);
        for (int q = 3; q < kQuantities; ++q) w.e(x.value[q], 13, 5);
    }
    {
        fio::Writer w(u, kUnitListing);
        w.x(10).lit("elem. ").x(19).i(x.element[3], 8);
        for (int q = 4; q < kQuantities; ++q) w.i(x.element[q], 13);
    }
    {
        fio::Writer w(u, kUnitListing);
        w.x(10).lit("ip    ").x(19).i(x.point[3], 8);
        for (int q = 4; q < kQuantities; ++q) w.i(x.point[q], 13);
    }
}

// Lagrange basis of the points xs[0..n-1] at x.
void lagrange(const double* xs, int n, double x, double* out) {
    for (int a = 0; a < n; ++a) {
        double v = 1.0;
        for (int c = 0; c < n; ++c)
            if (c != a) v *= (x - xs[c]) / (xs[a] - xs[c]);
        out[a] = v;
    }
}

// The first value of the step that is not finite, as "<what> at node N" or
// "... element N"; "" when every value is finite. The nodal rows are
// already averaged.
std::string first_non_finite(RunState& st) {
    const auto finite = [](const double* v, int n) {
        for (int i = 0; i < n; ++i)
            if (!std::isfinite(v[i])) return false;
        return true;
    };
    for (int p = 1; p <= st.npoin; ++p) {
        if (!finite(st.disp_vectors.data() + static_cast<std::size_t>(p - 1) * 6, 6))
            return "displacement at node " + std::to_string(st.node_ids(p));
        if (!finite(&st.nodal_reactions(1, p), 6)) return "reaction at node " + std::to_string(st.node_ids(p));
    }
    const int ngsq = st.ngaus * st.ngaus;
    for (int e = 1; e <= st.nelem; ++e)
        for (int k = 1; k <= ngsq; ++k)
            if (!finite(&st.gauss_stresses(1, k, e), std::min(st.nstre, 8)))
                return "plate force or stress at an integration point of element " + std::to_string(st.element_ids(e));
    for (int p = 1; p <= st.npoin; ++p) {
        const double nl = st.nonlinear_forces.size() >= static_cast<std::size_t>(p) ? st.nonlinear_forces(p) : 0.0;
        const double soil[3] = {st.nodal_soil_results(p), st.soil_reactions(1, p), nl};
        if (!finite(st.nodal_stresses.column(p), kQuantities) || !finite(soil, 3))
            return "plate force, stress or soil value at node " + std::to_string(st.node_ids(p));
    }
    return {};
}

}  // namespace

int plate_stresses(RunState& st) {
    fio::Units& u = st.units;
    const int nnode = st.nnode, nelem = st.nelem, npoin = st.npoin;
    const int ng = st.ngaus, ng2 = st.ngaus2;
    const int ngsq = ng * ng;

    fio::Writer(u, kUnitListing).skip(2).x(10).lit("Plate Forces and Stresses");
    {
        fio::Writer w(u, kUnitListing);
        w.end().lit(" ").lit("g.p.").x(3).lit("Coord X").x(3).lit("Coord Y").x(3).lit("Coord Z");
        quantity_captions(w);
    }

    st.gauss_stresses.fill(0.0);
    st.nodal_stresses.fill(0.0);
    st.node_weights.fill(0.0);

    // Rules: the stress points of the first rule, the points of the second.
    double pos1[4] = {0, 0, 0, 0}, w1[4] = {0, 0, 0, 0}, pos2[4] = {0, 0, 0, 0}, w2[4] = {0, 0, 0, 0};
    gauss_rule(ng, pos1, w1);
    gauss_rule(ng2, pos2, w2);
    const bool second_rule_ok = ng2 >= 1 && ng2 <= 3;
    // Interpolation of the second-rule values to the first-rule points:
    // identity when the rules agree, a constant for one point.
    double l2[3][3] = {};
    if (second_rule_ok)
        for (int i = 0; i < ng; ++i) lagrange(pos2, ng2, pos1[i], l2[i]);

    // The items of one element record, read for every element in turn.
    std::vector<double> items(kRecordBending + kRecordShear + kRecordMembrane + kRecordPoints + kRecordQuad4);
    double* const item1 = items.data();
    double* const item2 = item1 + kRecordBending;
    double* const item3 = item2 + kRecordShear;
    double* const item4 = item3 + kRecordMembrane;
    double* const item5 = item4 + kRecordPoints;
    const int bcols = nnode == 4 ? 16 : 3 * nnode;
    const int mcols = nnode == 4 ? 12 : 2 * nnode;

    Extremes hi, lo;
    bool first_point = true;
    ShapeCommon sc;

    for (int e = 1; e <= nelem; ++e) {
        const int mat = st.element_material(e);
        const double t = mat >= 1 && static_cast<std::size_t>(mat) <= st.props.dim2() ? st.props(3, mat) : 0.0;

        std::fill(items.begin(), items.end(), 0.0);
        {
            const RecordItems n = record_items(st.ngaus, st.ngaus2);
            std::span<std::byte> parts4[] = {fio::bytes_of(item1, n.bending), fio::bytes_of(item2, n.shear),
                                             fio::bytes_of(item3, n.membrane), fio::bytes_of(item4, n.points)};
            std::span<std::byte> parts5[] = {fio::bytes_of(item1, n.bending), fio::bytes_of(item2, n.shear),
                                             fio::bytes_of(item3, n.membrane), fio::bytes_of(item4, n.points),
                                             fio::bytes_of(item5, kRecordQuad4)};
            const int rs = nnode == 4 ? u.read_record(kUnitFort3, parts5) : u.read_record(kUnitFort3, parts4);
            // Without its element record no plate force of the step can be
            // computed: the step fails instead of giving zeros.
            if (rs != 0) {
                const std::string text = " *** error in reading the element record of element " +
                                         std::to_string(st.element_ids(e)) + " (" + std::to_string(e) + " of " +
                                         std::to_string(nelem) + "): the plate forces and stresses of step " +
                                         std::to_string(st.istep) + " cannot be computed";
                fio::Writer(u, kUnitListing).list({text});
                fio::Writer(u, kUnitMessages).list({text});
                return kStatusRunFiles;
            }
        }

        fio::Writer(u, kUnitListing).end().x(5).lit("Element no.=").i(st.element_ids(e), 5);

        // Local vectors: (y, -z, -x) displacements and (y, -z, -x) rotations.
        double loc[9][6] = {};
        for (int n = 1; n <= nnode; ++n) {
            const int p = st.lnods(n, e);
            const double* g = st.disp_vectors.data() + static_cast<std::size_t>(p - 1) * 6;
            loc[n - 1][0] = g[1];
            loc[n - 1][1] = -g[2];
            loc[n - 1][2] = -g[0];
            loc[n - 1][3] = g[4];
            loc[n - 1][4] = -g[5];
            loc[n - 1][5] = -g[3];
        }
        double bvec[27] = {}, mvec[18] = {};
        if (nnode == 4) {
            for (int n = 0; n < 4; ++n)
                for (int c = 0; c < 3; ++c) bvec[n * 3 + c] = loc[n][2 + c];
            for (int k = 0; k < 4; ++k) {
                double s = 0.0;
                for (int j = 0; j < 12; ++j) s += item5[j * 4 + k] * bvec[j];
                bvec[12 + k] = -s;
            }
            for (int n = 0; n < 4; ++n) {
                mvec[2 * n] = loc[n][0];
                mvec[2 * n + 1] = loc[n][1];
                mvec[8 + n] = loc[n][5];
            }
        } else {
            for (int n = 0; n < nnode; ++n) {
                for (int c = 0; c < 3; ++c) bvec[n * 3 + c] = loc[n][2 + c];
                mvec[2 * n] = loc[n][0];
                mvec[2 * n + 1] = loc[n][1];
            }
        }

        // Second part of the resultants at the points of the second rule.
        double second[9][5] = {};
        if (second_rule_ok)
            for (int k2 = 0; k2 < ng2 * ng2; ++k2)
                for (int r = 0; r < 5; ++r) {
                    double s = 0.0;
                    for (int c = 0; c < bcols; ++c) s += item2[k2 * 135 + c * 5 + r] * bvec[c];
                    second[k2][r] = s;
                }

        double table[9][kQuantities] = {};
        double pts[9][3] = {};
        int k = 0;
        for (int i = 0; i < ng; ++i)
            for (int j = 0; j < ng; ++j) {
                double* q = table[k];
                ++k;
                for (int c = 0; c < 3; ++c) {
                    double s = 0.0;
                    for (int col = 0; col < mcols; ++col) s += item3[(k - 1) * 54 + col * 3 + c] * mvec[col];
                    q[c] = s;
                }
                for (int r = 0; r < 5; ++r) {
                    double s = 0.0;
                    for (int col = 0; col < bcols; ++col) s += item1[(k - 1) * 135 + col * 5 + r] * bvec[col];
                    double s2 = 0.0;
                    if (second_rule_ok) {
                        double lj[3];
                        lagrange(pos2, ng2, pos1[j], lj);
                        for (int i2 = 0; i2 < ng2; ++i2)
                            for (int j2 = 0; j2 < ng2; ++j2) s2 += l2[i][i2] * lj[j2] * second[i2 * ng2 + j2][r];
                    }
                    q[3 + r] = s + s2;
                }
                for (int c = 0; c < 3; ++c) {
                    const double bend = t != 0.0 ? 6.0 * q[3 + c] / t / t : 0.0;
                    q[8 + c] = q[c] - bend;
                    q[11 + c] = q[c] + bend;
                }
                // Where the point lies.
                element_point_coordinates(st, sc, e, pos1[i], pos1[j], pts[k - 1]);
                {
                    fio::Writer w(u, kUnitListing);
                    w.i(k, 5).f(pts[k - 1][0], 10, 4).f(pts[k - 1][1], 10, 4).f(pts[k - 1][2], 10, 4);
                    for (int qn = 3; qn < kQuantities; ++qn) w.e(q[qn], 13, 5);
                }
                if (first_point) {
                    first_point = false;
                    for (int qn = 0; qn < kQuantities; ++qn) {
                        hi.value[qn] = lo.value[qn] = q[qn];
                        hi.element[qn] = lo.element[qn] = st.element_ids(1);
                        hi.point[qn] = lo.point[qn] = 1;
                    }
                } else {
                    for (int qn = 0; qn < kQuantities; ++qn) {
                        if (q[qn] > hi.value[qn]) {
                            hi.value[qn] = q[qn];
                            hi.element[qn] = st.element_ids(e);
                            hi.point[qn] = k;
                        }
                        if (q[qn] < lo.value[qn]) {
                            lo.value[qn] = q[qn];
                            lo.element[qn] = st.element_ids(e);
                            lo.point[qn] = k;
                        }
                    }
                }
                for (int qn = 0; qn < 8; ++qn) st.gauss_stresses(qn + 1, k, e) = q[qn];
            }

        // Extrapolation to the nodes through the quadrilateral of the points.
        static const int order4[4] = {1, 3, 4, 2};
        static const int order9[9] = {1, 7, 9, 3, 4, 8, 6, 2, 5};
        const int npts = ngsq == 4 ? 4 : (ngsq == 9 ? 9 : 1);
        const int* order = npts == 4 ? order4 : order9;
        double quad[27];
        if (npts > 1)
            for (int a = 0; a < npts; ++a)
                for (int c = 0; c < 3; ++c) quad[a * 3 + c] = pts[order[a] - 1][c];
        for (int n = 1; n <= nnode; ++n) {
            const int p = st.lnods(n, e);
            double* row = st.nodal_stresses.column(p);
            if (npts == 1) {
                for (int qn = 0; qn < kQuantities; ++qn) row[qn] += table[0][qn];
            } else {
                double s = 0.0, tt = 0.0;
                const int saved_ndime = st.ndime;
                st.ndime = 3;
                stress_point_shape(st, npts, s, tt, st.coord(1, p), st.coord(2, p), st.coord(3, p), quad);
                st.ndime = saved_ndime;
                for (int qn = 0; qn < kQuantities; ++qn) {
                    double v = 0.0;
                    for (int a = 0; a < npts; ++a) v += st.shape_common.N(a + 1) * table[order[a] - 1][qn];
                    row[qn] += v;
                }
            }
            st.node_weights(p) += 1.0;
        }
    }

    write_extremes(u, "Maximum Plate Forces and Stresses", hi);
    write_extremes(u, "Minimum Plate Forces and Stresses", lo);

    for (int p = 1; p <= npoin; ++p) {
        double* row = st.nodal_stresses.column(p);
        const double wgt = st.node_weights(p);
        for (int qn = 0; qn < kQuantities; ++qn) row[qn] = wgt != 0.0 ? row[qn] / wgt : 0.0;
    }
    if (const std::string bad = first_non_finite(st); !bad.empty()) {
        const std::string text = " *** results not finite in step " + std::to_string(st.istep) + ": " + bad;
        fio::Writer(u, kUnitListing).list({text});
        fio::Writer(u, kUnitMessages).list({text});
        return kStatusNotFinite;
    }

    if (st.istep == 1) {
        fio::Writer(u, kUnitResults).lit("step_data");
        fio::Writer(u, kUnitResults).lit("26");
        fio::Writer(u, kUnitResults).lit(kStepResultCaptions);
    }
    fio::Writer(u, kUnitResults).lit("STEP").i_wide(st.istep, 8);
    std::string line;
    for (int p = 1; p <= npoin; ++p) {
        const double* row = st.nodal_stresses.column(p);
        line = fio::fmt_i_wide(st.node_ids(p), 5);
        const double* d = st.disp_vectors.data() + static_cast<std::size_t>(p - 1) * 6;
        for (int c = 0; c < 6; ++c) line += fio::fmt_e(d[c], 12, 3);
        for (int c = 1; c <= 6; ++c) line += fio::fmt_e(st.nodal_reactions(c, p), 12, 3);
        for (int qn = 3; qn < kQuantities; ++qn) line += fio::fmt_e(row[qn], 12, 3);
        const double nl = st.nonlinear_forces.size() >= static_cast<std::size_t>(p) ? st.nonlinear_forces(p) : 0.0;
        line += fio::fmt_e(st.nodal_soil_results(p), 12, 3);
        line += fio::fmt_e(st.soil_reactions(1, p) + nl, 12, 3);
        line += fio::fmt_e(-nl, 12, 3);
        u.write_line(kUnitResults, line);
    }

    fio::Writer(u, kUnitListing).end().lit(" ").lit("Distributed Soil Pressure").end();
    fio::Writer(u, kUnitListing).lit("   ").lit("Element    area           q");
    for (int e = 1; e <= nelem; ++e)
        fio::Writer(u, kUnitListing)
            .lit(" ")
            .i(e, 7)
            .lit("   ")
            .e(st.element_areas(e), 12, 4)
            .lit("   ")
            .e(st.element_soil_pressure(e), 12, 4);
    return 0;
}

}  // namespace parvane
