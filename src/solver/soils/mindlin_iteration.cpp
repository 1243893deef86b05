// The soil-stiffness iteration on the half-space: nodal soil pressures from
// the deflection, the settlements they cause, new stiffnesses, the contact
// zone (the soil cannot pull), and what the run reports of it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "solver/elements/interpolation.h"
#include "solver/elements/springs.h"
#include "solver/run/load_vectors.h"
#include "solver/run/run_files.h"
#include "solver/run/state.h"
#include "solver/soils/mindlin.h"

namespace parvane {

namespace {

// The share of pulling soil force (8- and 9-node elements, where the soil
// terms span the edge of the contact zone) that a converged run may keep.
constexpr double kPullingShare = 0.01;

// Nodes named in a message about an iteration that does not settle.
constexpr std::size_t kNamedNodes = 8;

// How the nodal values of the iteration meet the plate.  With 4-node
// elements a node's value is its spring and its reaction is shared equally
// among its elements.  With 8- and 9-node elements the iteration runs on the
// soil modulus (pressure per deflection) at the corner nodes: inside each
// element it is interpolated bilinearly from the corners into the element's
// soil terms (mindlin_element_spring_terms), so that the soil has as many
// values as the half-space has element loads; an element's load on the
// half-space is its corner pressures (modulus times deflection) weighted by
// the integrals of the bilinear corner functions over the element.
struct SoilWeights {
    bool modulus = false;
    std::vector<double> element;  // 4 x nelem: the corners' shares of the element's area
    std::vector<double> area;     // nelem
    std::vector<char> corner;     // npoin: a corner of some element
    double total_area = 0;
};

SoilWeights soil_weights(RunState& st) {
    SoilWeights w;
    const int nnode = st.nnode, nelem = st.nelem;
    w.modulus = nnode > 4;
    w.element.assign(static_cast<std::size_t>(std::max(nelem, 0)) * 4, 0.0);
    w.area.assign(static_cast<std::size_t>(std::max(nelem, 0)), 0.0);
    w.corner.assign(static_cast<std::size_t>(std::max(st.npoin, 0)), 0);
    double pos[3], wt[3];
    gauss_rule(3, pos, wt);
    ShapeCommon sc;
    for (int el = 1; el <= nelem; ++el) {
        double area = 0;
        double* we = &w.element[static_cast<std::size_t>(el - 1) * 4];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                shape_functions(sc, pos[i], pos[j], nnode);
                const double dv = wt[i] * wt[j] * area_jacobian(st, sc, el, nnode);
                for (int c = 1; c <= 4; ++c) we[c - 1] += bilinear_corner(c, pos[i], pos[j]) * dv;
                area += dv;
            }
        for (int c = 1; c <= 4; ++c) w.corner[static_cast<std::size_t>(st.lnods(c, el) - 1)] = 1;
        w.area[static_cast<std::size_t>(el - 1)] = area;
        w.total_area += area;
    }
    return w;
}

// The springs of the nodal values into the x-stiffness of the nodal
// stiffness records (none with 8- and 9-node elements, whose element soil
// terms carry the soil).
void store_springs(RunState& st, const SoilWeights& w) {
    if (st.nodal_stiffness_values.dim1() < 6 || st.nodal_stiffness_values.dim2() < static_cast<std::size_t>(st.npoin))
        return;
    if (!w.modulus) {
        store_dof_column(st, st.nodal_stiffness_values.data(), st.soil_stiffness.data());
        return;
    }
    const std::vector<double> none(static_cast<std::size_t>(st.npoin), 0.0);
    store_dof_column(st, st.nodal_stiffness_values.data(), none.data());
}

// The modulus at the mid-side and centre nodes of 8- and 9-node elements,
// from the corners, as the element soil terms interpolate it.
void interpolate_inner_nodes(RunState& st) {
    for (int el = 1; el <= st.nelem; ++el)
        for (int a = 5; a <= st.nnode; ++a) {
            double v = 0;
            if (a == 9) {
                for (int c = 1; c <= 4; ++c) v += 0.25 * st.soil_stiffness(st.lnods(c, el));
            } else {
                v = 0.5 *
                    (st.soil_stiffness(st.lnods(a - 4, el)) + st.soil_stiffness(st.lnods(a == 8 ? 1 : a - 3, el)));
            }
            st.soil_stiffness(st.lnods(a, el)) = v;
        }
}

double deflection(const RunState& st, int p) {
    const int g = (p - 1) * 6 + 1;
    return st.disp_vectors(g, 1) + st.disp_step(g);
}

// The side of the slab the soil bears on: +1 where the slab presses it with
// positive deflections, -1 with negative ones: the sign of the total soil
// reaction of the run's first update, while the whole slab bears.
double bearing(RunState& st) {
    if (st.soil_bearing == 0) {
        double total = 0;
        for (int p = 1; p <= st.npoin; ++p) total += deflection(st, p) * st.soil_stiffness(p);
        st.soil_bearing = total < 0.0 ? -1.0 : 1.0;
    }
    return st.soil_bearing;
}

// The mean value of the nodes in contact that share an element with node p,
// or of all nodes in contact when none does: the value a node takes when it
// presses into the soil again.
double contact_value(const RunState& st, int p, double mean) {
    double sum = 0;
    int n = 0;
    for (int el : st.node_element_list.row(p))
        for (int a = 1; a <= st.nnode; ++a) {
            const double x = st.soil_stiffness(st.lnods(a, el));
            if (x > 0.0) sum += x, ++n;
        }
    return n > 0 ? sum / n : mean;
}

std::string node_name(const RunState& st, int p) {
    return std::to_string(static_cast<std::size_t>(p) <= st.node_ids.size() ? st.node_ids(p) : p);
}

// Calls f(sc, el, k, w, dv) at the 3 x 3 points of every element where the
// soil modulus of 8- and 9-node elements, interpolated bilinearly from the
// corners, is positive: k the modulus, w the deflection, dv the point's
// share of the area; sc holds the shape functions there.
template <class F>
void for_soil_points(RunState& st, F&& f) {
    double pos[3], wt[3];
    gauss_rule(3, pos, wt);
    ShapeCommon sc;
    for (int el = 1; el <= st.nelem; ++el)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                shape_functions(sc, pos[i], pos[j], st.nnode);
                double k = 0, wg = 0;
                for (int c = 1; c <= 4; ++c)
                    k += bilinear_corner(c, pos[i], pos[j]) * st.soil_stiffness(st.lnods(c, el));
                if (!(k > 0.0)) continue;
                for (int a = 1; a <= st.nnode; ++a) wg += sc.N(a) * deflection(st, st.lnods(a, el));
                f(sc, el, k, wg, wt[i] * wt[j] * area_jacobian(st, sc, el, st.nnode));
            }
}

// The share of the soil force of 8- and 9-node elements that pulls: the
// modulus times the deflection, integrated where the deflection is on the
// lifted side, over the same integral of its magnitude.
double pulling_share(RunState& st, double side) {
    double pulling = 0, all = 0;
    for_soil_points(st, [&](ShapeCommon&, int, double k, double wg, double dv) {
        const double f = k * wg * dv;
        all += std::fabs(f);
        if (side * f < 0.0) pulling += std::fabs(f);
    });
    return all > 0.0 ? pulling / all : 0.0;
}

// Each element's load on the half-space from the nodal values: corner
// pressures with 8- and 9-node elements, with 4-node elements each node's
// share of its soil reaction.
void element_loads(RunState& st, const SoilWeights& w, const std::vector<double>& force) {
    const int npoin = st.npoin;
    for (int el = 1; el <= st.nelem; ++el) {
        double load = 0.0;
        for (int a = 1; a <= (w.modulus ? 4 : st.nnode); ++a) {
            const int p = st.lnods(a, el);
            if (p < 1 || p > npoin) continue;
            if (w.modulus)
                load +=
                    force[static_cast<std::size_t>(p - 1)] * w.element[static_cast<std::size_t>(el - 1) * 4 + (a - 1)];
            else
                load += force[static_cast<std::size_t>(p - 1)];
        }
        st.element_soil_loads(el) = load;
    }
    if (!w.modulus || st.soil_blocks.dim2() != static_cast<std::size_t>(st.nelem)) return;
    // The corner pressures give the distribution; the soil terms of the
    // elements, the force the slab puts on the soil, which the half-space
    // carries in full.
    const std::size_t nn = static_cast<std::size_t>(st.nnode);
    double carried = 0, given = 0;
    for (int el = 1; el <= st.nelem; ++el) {
        const double* block = &st.soil_blocks(1, el);
        for (std::size_t a = 0; a < nn; ++a)
            for (std::size_t b = 0; b < nn; ++b)
                carried += block[a * nn + b] * deflection(st, st.lnods(static_cast<int>(b) + 1, el));
        given += st.element_soil_loads(el);
    }
    if (!(carried * given > 0.0)) return;
    for (int el = 1; el <= st.nelem; ++el) st.element_soil_loads(el) *= carried / given;
}

// The first update of an increment: while the whole slab bears, the soil
// reactions hold all the vertical loads (no support holds the deflection),
// so their resultant is that of the loads.  A resultant beyond the slab (the
// farthest node from the centre of its area in that direction) has no
// answer on a soil that cannot pull: the slab overturns.  Lines on the
// listing and the message file say so and what to change; true then.
bool resultant_beyond_slab(RunState& st, const SoilWeights& w) {
    for (int i = 1; i <= st.nvfix; ++i)
        if (st.fixcod(1, i) != 0) return false;
    auto y = [&](int p) { return st.coord(2, p); };
    auto z = [&](int p) { return st.coord(3, p); };
    double force = 0, fy = 0, fz = 0;
    if (!w.modulus) {
        for (int p = 1; p <= st.npoin; ++p) {
            const double f = st.soil_stiffness(p) * deflection(st, p);
            force += f, fy += f * y(p), fz += f * z(p);
        }
    } else {
        for_soil_points(st, [&](ShapeCommon& sc, int el, double k, double wg, double dv) {
            double yg = 0, zg = 0;
            for (int a = 1; a <= st.nnode; ++a) yg += sc.N(a) * y(st.lnods(a, el)), zg += sc.N(a) * z(st.lnods(a, el));
            const double f = k * wg * dv;
            force += f, fy += f * yg, fz += f * zg;
        });
    }
    if (!(std::fabs(force) > 0.0) || !std::isfinite(fy) || !std::isfinite(fz)) return false;
    // The centre of the slab's area.
    double area = 0, cy = 0, cz = 0;
    for (int el = 1; el <= st.nelem; ++el) {
        double ey = 0, ez = 0;
        for (int c = 1; c <= 4; ++c) ey += 0.25 * y(st.lnods(c, el)), ez += 0.25 * z(st.lnods(c, el));
        const double a = w.area[static_cast<std::size_t>(el - 1)];
        area += a, cy += a * ey, cz += a * ez;
    }
    if (!(area > 0.0)) return false;
    cy /= area, cz /= area;
    const double dy = fy / force - cy, dz = fz / force - cz, distance = std::hypot(dy, dz);
    if (!(distance > 0.0)) return false;
    double reach = 0;
    for (int p = 1; p <= st.npoin; ++p) reach = std::max(reach, ((y(p) - cy) * dy + (z(p) - cz) * dz) / distance);
    if (distance <= reach) return false;
    const double load = std::fabs(force), moment = load * distance;
    char text[320];
    std::snprintf(text, sizeof text,
                  " *** Mindlin soil: the resultant of the vertical loads (%.6g) lies %.2f m from the centre of the "
                  "slab, which reaches %.2f m in that direction: a soil that cannot pull cannot hold it, the slab "
                  "overturns",
                  load, distance, reach);
    report_run_error(st, text);
    std::snprintf(text, sizeof text,
                  " *** make the moment of the loads about the centre of the slab (now %.6g) smaller than the "
                  "vertical load times %.2f m (%.6g), or the vertical load larger than %.6g",
                  moment, reach, load * reach, moment / reach);
    report_run_error(st, text);
    return true;
}

}  // namespace

void mindlin_start(RunState& st) {
    st.mindlin->last = MindlinLastUpdate{};
    st.soil_bearing = 0;
    st.mindlin_history.clear();
    if (st.isoil != 1 || st.nnode <= 4) return;
    // The initial stiffness of every node spread evenly over the slab.
    const SoilWeights w = soil_weights(st);
    if (!(w.total_area > 0.0)) return;
    const double k0 = st.ksoil0 * st.npoin / w.total_area;
    st.soil_stiffness.fill(k0);
    st.soil_stiffness_new.fill(k0);
    st.soil_stiffness_restart.fill(k0);
    store_springs(st, w);
}

void mindlin_store_springs(RunState& st) { store_springs(st, soil_weights(st)); }

void mindlin_update(RunState& st, bool& converged, int& status) {
    const int npoin = st.npoin;
    const std::size_t n = static_cast<std::size_t>(std::max(npoin, 0));
    const SoilWeights w = soil_weights(st);
    // Nodal soil reactions at the total deflection (pressures with 8- and
    // 9-node elements); a node out of contact has none.
    std::vector<double> force(n, 0.0);
    double contact_sum = 0;
    int contact = 0;
    const double side = bearing(st);
    // The values of the iteration: every node, or the corners of 8- and
    // 9-node elements.
    auto counts = [&](int p) { return !w.modulus || w.corner[static_cast<std::size_t>(p - 1)] != 0; };
    for (int p = 1; p <= npoin; ++p) {
        if (!counts(p)) continue;
        const double wp = deflection(st, p);
        if (side * wp > 0.0) force[static_cast<std::size_t>(p - 1)] = wp * st.soil_stiffness(p);
        if (st.soil_stiffness(p) > 0.0) contact_sum += st.soil_stiffness(p), ++contact;
    }
    const double mean = contact > 0 ? contact_sum / contact : st.ksoil0;
    if (st.iter == 1 && resultant_beyond_slab(st, w)) {
        status = kStatusIncrement;
        converged = false;
        return;
    }
    // With 4-node elements each node's reaction is shared evenly among its
    // elements.
    std::vector<double> shares;
    if (!w.modulus) {
        shares.assign(n, 0.0);
        for (int p = 1; p <= npoin; ++p) {
            const int count = p <= st.node_element_list.npoin() ? st.node_element_list.count(p) : 0;
            if (count > 0) shares[static_cast<std::size_t>(p - 1)] = force[static_cast<std::size_t>(p - 1)] / count;
        }
    }
    const std::vector<double>& nodal_loads = w.modulus ? force : shares;
    element_loads(st, w, nodal_loads);
    int bad = 0;
    // The half-space is loaded over the quarters of the elements round their
    // corner nodes: with 4-node elements each node's share bears on its own
    // quarter of each of its elements, so that there are as many loaded areas
    // as nodes whose settlement the iteration matches.
    mindlin_quarter_soil(st.settlements.data(), st.element_soil_loads.data(), nodal_loads.data(), st.coord.data(),
                         st.lnods.data(), st.esoil, st.psoil, st.nnode, st.nelem, st.ndime, npoin, bad,
                         st.mindlin->quarters, &st.mindlin->sums);
    if (bad > 0) {
        const int id = static_cast<std::size_t>(bad) <= st.element_ids.size() ? st.element_ids(bad) : bad;
        report_run_error(st, "Mindlin soil: element " + std::to_string(id) + " has no area; no soil pressure");
        status = kStatusSoilGeometry;
        converged = false;
        return;
    }

    // New values: reaction over settlement where the slab presses on the
    // soil; none where it lifts (it moves up); a lifted node that presses
    // into the settled surface again comes back with the value of its
    // neighbours in contact.
    MindlinLastUpdate& last = st.mindlin->last;
    last = MindlinLastUpdate{};
    double change = 0.0, size = 0.0;
    for (int p = 1; p <= npoin; ++p) {
        if (!counts(p)) continue;
        const std::size_t i = static_cast<std::size_t>(p - 1);
        const double s = st.settlements(p), wp = deflection(st, p);
        const double current = st.soil_stiffness(p);
        double fresh = current;
        if (current > 0.0) {
            if (side * wp < 0.0) {
                fresh = 0.0;
            } else if (s != 0.0 && std::isfinite(s)) {
                const double k = force[i] / s;
                if (std::isfinite(k)) fresh = k;
            }
        } else if (side * (wp - s) > 0.0) {
            fresh = contact_value(st, p, mean);
        }
        if ((fresh > 0.0) != (current > 0.0)) last.switched.push_back(p);
        st.soil_stiffness_new(p) = fresh;
        change += (fresh - current) * (fresh - current);
        size += fresh * fresh;
        if (fresh != current)
            last.worst.push_back({std::fabs(fresh - current) / std::max(std::fabs(fresh), std::fabs(current)), p});
    }
    change = std::sqrt(change);
    size = std::sqrt(size);
    last.change = size > 0.0 ? change / size : change;
    const std::size_t named = std::min(kNamedNodes, last.worst.size());
    std::partial_sort(last.worst.begin(), last.worst.begin() + static_cast<std::ptrdiff_t>(named), last.worst.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    last.worst.resize(named);
    converged = last.switched.empty() && (change == 0.0 || change / size <= st.toler);
    // A soil that pulls is no answer, however settled.
    last.pulling = w.modulus ? pulling_share(st, side) : 0.0;
    if (last.pulling > kPullingShare) converged = false;

    // The next values: accelerated over the nodes in contact while the
    // contact zone stands.
    std::vector<int> in;
    int counted = 0;
    for (int p = 1; p <= npoin; ++p) {
        if (counts(p) && st.soil_stiffness_new(p) > 0.0) in.push_back(p);
        counted += counts(p) ? 1 : 0;
    }
    std::vector<double> x(in.size()), fresh(in.size()), next;
    bool positive = last.switched.empty() && !in.empty();
    for (std::size_t k = 0; k < in.size(); ++k) {
        x[k] = st.soil_stiffness(in[k]);
        fresh[k] = st.soil_stiffness_new(in[k]);
        positive = positive && x[k] > 0.0 && fresh[k] > 0.0 && std::isfinite(x[k]) && std::isfinite(fresh[k]);
    }
    if (!positive || !st.mindlin->accelerate) {
        st.mindlin_history.clear();
        for (int p = 1; p <= npoin; ++p)
            if (counts(p)) st.soil_stiffness(p) = st.soil_stiffness_new(p);
    } else {
        // The soil modulus of 8- and 9-node elements is mixed in its
        // logarithm while the whole slab bears (every value settles on a
        // positive one there); at the edge of a contact zone it goes to zero.
        anderson_step(st.mindlin_history, x, fresh, next, w.modulus && in.size() == static_cast<std::size_t>(counted));
        for (int p = 1; p <= npoin; ++p)
            if (counts(p)) st.soil_stiffness(p) = 0.0;
        for (std::size_t k = 0; k < in.size(); ++k) st.soil_stiffness(in[k]) = next[k];
    }
    if (w.modulus) interpolate_inner_nodes(st);
    store_springs(st, w);
}

void mindlin_contact_results(RunState& st) {
    const SoilWeights w = soil_weights(st);
    const double side = st.soil_bearing < 0.0 ? -1.0 : 1.0;
    if (w.modulus) {
        // The pressures of the soil itself (compression negative, as the
        // nodal reactions give them): at each node its modulus times its
        // deflection, on each element its load on the half-space.
        for (int p = 1; p <= st.npoin; ++p) {
            const double wp = st.disp_vectors((p - 1) * 6 + 1, 1);
            st.nodal_soil_results(p) = side * wp > 0.0 ? -st.soil_stiffness(p) * wp : 0.0;
        }
        for (int el = 1; el <= st.nelem; ++el) {
            const double area = w.area[static_cast<std::size_t>(el - 1)];
            st.element_soil_pressure(el) = area > 0.0 ? -st.element_soil_loads(el) / area : 0.0;
        }
    }
    int lifted = 0;
    double area = 0;
    for (int p = 1; p <= st.npoin; ++p) {
        if (st.soil_stiffness(p) > 0.0) continue;
        ++lifted;
        st.nodal_soil_results(p) = 0.0;
    }
    if (lifted == 0) return;
    for (int el = 1; el <= st.nelem; ++el) {
        int off = 0;
        for (int a = 1; a <= st.nnode; ++a) off += st.soil_stiffness(st.lnods(a, el)) > 0.0 ? 0 : 1;
        area += w.area[static_cast<std::size_t>(el - 1)] * off / st.nnode;
    }
    char share[32];
    std::snprintf(share, sizeof share, "%.1f", w.total_area > 0.0 ? 100.0 * area / w.total_area : 0.0);
    report_run_error(st, " Mindlin soil: " + std::to_string(lifted) + " of " + std::to_string(st.npoin) +
                             " nodes lifted off the soil (" + share +
                             " % of the slab's area); the soil carries no pressure there");
}

void mindlin_report_unsettled(RunState& st) {
    const MindlinLastUpdate& last = st.mindlin->last;
    char figures[96];
    std::snprintf(figures, sizeof figures, "%.3E against the tolerance %.3E", last.change, st.toler);
    report_run_error(st, " *** Mindlin soil: the soil stiffness did not settle in " + std::to_string(st.iter) +
                             " iterations: change " + figures);
    if (!last.worst.empty()) {
        std::string list;
        for (const auto& [ratio, p] : last.worst) list += " " + node_name(st, p);
        report_run_error(st, " *** nodes whose stiffness changed most:" + list);
    }
    if (!last.switched.empty()) {
        std::string list;
        for (std::size_t k = 0; k < std::min(kNamedNodes, last.switched.size()); ++k)
            list += " " + node_name(st, last.switched[k]);
        report_run_error(
            st, " *** " + std::to_string(last.switched.size()) + " nodes still going in and out of contact:" + list);
    }
    if (last.pulling > kPullingShare) {
        char share[32];
        std::snprintf(share, sizeof share, "%.1f", 100.0 * last.pulling);
        report_run_error(st,
                         std::string(" *** ") + share + " % of the soil force pulls at the edge of the contact zone");
    }
    int lifted = 0;
    for (int p = 1; p <= st.npoin; ++p) lifted += st.soil_stiffness(p) > 0.0 ? 0 : 1;
    if (2 * lifted > st.npoin)
        report_run_error(st, " *** " + std::to_string(lifted) + " of " + std::to_string(st.npoin) +
                                 " nodes lift off the soil: a soil that cannot pull holds the slab only while the "
                                 "resultant of the loads lies well inside it; check the vertical loads against "
                                 "the moments");
    report_run_error(st, " *** raise the iteration limit of the time stepping (now " + std::to_string(st.maxiter) +
                             ") or its tolerance, or refine the mesh around these nodes");
}

}  // namespace parvane
