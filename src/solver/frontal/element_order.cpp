// Order in which the frontal solution assembles the elements (see element_order.h).
#include "solver/frontal/element_order.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <queue>

namespace parvane {
namespace {

// Rounds of the search for a pseudo-peripheral element; each round starts
// from a far element of the previous one and rarely more than three help.
constexpr int kPeripheralRounds = 8;

// Weights (distance, front change) of the Sloan orders tried.
constexpr int kSloanWeights[][2] = {{1, 2}, {2, 1}};
// Weights (level, front change) of the Sloan orders along a sweep; the front
// term weighs more since the levels follow the geometry.
constexpr int kSweptSloanWeights[][2] = {{1, 2}, {1, 4}};

// The mesh as a graph: the elements of every node and the node numbers of
// every element (from 0, -1 where the connectivity names no node).
class ElementGraph {
public:
    ElementGraph(int npoin, int nelem, int nnode, const int* lnods)
        : npoin_(std::max(npoin, 0)), nelem_(std::max(nelem, 0)), nnode_(std::max(nnode, 0)),
          nodes_(static_cast<std::size_t>(nelem_) * nnode_, -1), start_(static_cast<std::size_t>(npoin_) + 1, 0) {
        for (std::size_t k = 0; k < nodes_.size(); ++k) {
            const int p = std::abs(lnods[k]);
            if (p >= 1 && p <= npoin_) nodes_[k] = p - 1;
        }
        for (int p : nodes_)
            if (p >= 0) ++start_[static_cast<std::size_t>(p) + 1];
        for (int p = 0; p < npoin_; ++p) start_[p + 1] += start_[p];
        elements_.resize(static_cast<std::size_t>(start_[npoin_]));
        std::vector<int> fill(start_.begin(), start_.end() - 1);
        for (int e = 0; e < nelem_; ++e)
            for (int a = 0; a < nnode_; ++a) {
                const int p = node(e, a);
                if (p >= 0) elements_[static_cast<std::size_t>(fill[p]++)] = e;
            }
        stamp_.assign(static_cast<std::size_t>(nelem_), -1);
        degree_.resize(static_cast<std::size_t>(nelem_));
        for (int e = 0; e < nelem_; ++e) {
            int d = 0;
            for_neighbours(e, [&](int) { ++d; });
            degree_[e] = d;
        }
    }

    int npoin() const { return npoin_; }
    int nelem() const { return nelem_; }
    int nnode() const { return nnode_; }
    int node(int e, int a) const { return nodes_[static_cast<std::size_t>(e) * nnode_ + a]; }
    int degree(int e) const { return degree_[e]; }
    // Number of elements that contain node p.
    int elements_of(int p) const { return start_[p + 1] - start_[p]; }
    // Calls f(g) for every element g that contains node p.
    template <class F>
    void for_elements_of(int p, F f) const {
        for (int k = start_[p]; k < start_[p + 1]; ++k) f(elements_[static_cast<std::size_t>(k)]);
    }

    // Calls f(g) once for every other element g that shares a node with e.
    template <class F>
    void for_neighbours(int e, F f) {
        for (int a = 0; a < nnode_; ++a) {
            const int p = node(e, a);
            if (p < 0) continue;
            for (int k = start_[p]; k < start_[p + 1]; ++k) {
                const int g = elements_[static_cast<std::size_t>(k)];
                if (g == e || stamp_[g] == e) continue;
                stamp_[g] = e;
                f(g);
            }
        }
        // The next call for the same element needs fresh stamps.
        for (int a = 0; a < nnode_; ++a) {
            const int p = node(e, a);
            if (p < 0) continue;
            for (int k = start_[p]; k < start_[p + 1]; ++k) stamp_[elements_[static_cast<std::size_t>(k)]] = -1;
        }
    }

private:
    int npoin_, nelem_, nnode_;
    std::vector<int> nodes_;
    std::vector<int> start_, elements_;
    std::vector<int> stamp_, degree_;
};

// Breadth-first search from `root` over the elements whose `seen` entry is
// not `round`; the neighbours of each element are taken by increasing degree
// (the Cuthill-McKee order).  Appends the elements reached to `out` and
// returns the number of levels less one (the eccentricity of the root); the
// elements of the last level are out[last_level ..].
int search(ElementGraph& g, int root, int round, std::vector<int>& seen, std::vector<int>& out,
           std::size_t& last_level) {
    const std::size_t begin = out.size();
    seen[root] = round;
    out.push_back(root);
    std::size_t level_begin = begin, level_end = out.size();
    int depth = 0;
    std::vector<int> next;
    while (true) {
        for (std::size_t i = level_begin; i < level_end; ++i) {
            next.clear();
            g.for_neighbours(out[i], [&](int f) {
                if (seen[f] == round) return;
                seen[f] = round;
                next.push_back(f);
            });
            std::stable_sort(next.begin(), next.end(), [&](int a, int b) { return g.degree(a) < g.degree(b); });
            out.insert(out.end(), next.begin(), next.end());
        }
        if (out.size() == level_end) break;
        level_begin = level_end;
        level_end = out.size();
        ++depth;
    }
    last_level = level_begin;
    return depth;
}

// Sloan's order of the elements: the next element is the one of highest
// priority w1 * level + w2 * (nodes it completes less nodes it brings into
// the front) among the elements that share a node with those taken.  The
// level of an element is its distance from the far end (in elements), so it
// keeps the front moving towards that end; the second term keeps the front
// narrow.  The search starts from the first seed not yet taken, and again
// from the next one when a connected part is done.  Ties go to the lower
// element number.
std::vector<int> sloan(ElementGraph& g, const std::vector<double>& level, const std::vector<int>& seeds, double w1,
                       double w2) {
    const std::size_t ne = static_cast<std::size_t>(g.nelem()), np = static_cast<std::size_t>(g.npoin());
    // Per node: the elements not yet taken, whether it is in the front, and
    // a mark so that a node named twice by an element counts once.
    std::vector<int> remaining(np, 0);
    std::vector<char> in_front(np, 0), mark(np, 0);
    for (int p = 0; p < g.npoin(); ++p) remaining[p] = g.elements_of(p);
    auto distinct_nodes = [&](int e, auto f) {
        for (int a = 0; a < g.nnode(); ++a) {
            const int p = g.node(e, a);
            if (p < 0 || mark[p]) continue;
            mark[p] = 1;
            f(p);
        }
        for (int a = 0; a < g.nnode(); ++a)
            if (g.node(e, a) >= 0) mark[g.node(e, a)] = 0;
    };
    auto evaluate = [&](int e) {
        int gain = 0;
        distinct_nodes(e, [&](int p) {
            if (remaining[p] == 1) ++gain;
            if (!in_front[p]) --gain;
        });
        return w1 * level[e] + w2 * gain;
    };
    std::vector<char> taken(ne, 0), queued(ne, 0);
    std::vector<double> priority(ne, 0);
    std::priority_queue<std::pair<double, int>> queue;  // (priority, -element)
    auto offer = [&](int e) {
        const double q = evaluate(e);
        if (queued[e] && q == priority[e]) return;
        queued[e] = 1;
        priority[e] = q;
        queue.push({q, -e});
    };
    std::vector<int> out;
    out.reserve(ne);
    for (int seed : seeds) {
        if (taken[seed]) continue;
        offer(seed);
        while (!queue.empty()) {
            const auto [pri, minus_e] = queue.top();
            queue.pop();
            const int e = -minus_e;
            if (taken[e] || pri != priority[e]) continue;
            taken[e] = 1;
            out.push_back(e);
            distinct_nodes(e, [&](int p) {
                in_front[p] = 1;
                --remaining[p];
            });
            for (int a = 0; a < g.nnode(); ++a) {
                const int p = g.node(e, a);
                if (p >= 0)
                    g.for_elements_of(p, [&](int f) {
                        if (!taken[f]) offer(f);
                    });
            }
        }
    }
    return out;
}

// Breadth-first distance of every element of the connected part of `end`
// from `end`, written into `level`.
void distances(ElementGraph& g, int end, std::vector<double>& level) {
    std::vector<int> wave{end};
    std::vector<char> reached(static_cast<std::size_t>(g.nelem()), 0);
    reached[end] = 1;
    level[end] = 0;
    for (std::size_t i = 0; i < wave.size(); ++i)
        g.for_neighbours(wave[i], [&](int f) {
            if (reached[f]) return;
            reached[f] = 1;
            level[f] = level[wave[i]] + 1;
            wave.push_back(f);
        });
}

// Sloan's order along a sweep: the level of an element is the distance of
// its centre from the far end of the sweep in element sizes (the median
// extent of the elements along the sweep), so the front stays straight
// where the mesh is graded; the search starts from the first element of the
// sweep `order`.  `node_key` is the sweep coordinate of every node.  Empty
// when the elements have no extent along the sweep or the levels overflow.
std::vector<int> swept_sloan(ElementGraph& g, const std::vector<double>& node_key, const std::vector<int>& order,
                             double w1, double w2) {
    const std::size_t ne = static_cast<std::size_t>(g.nelem());
    std::vector<double> key(ne, 0.0), spans;
    spans.reserve(ne);
    for (int e = 0; e < g.nelem(); ++e) {
        double sum = 0, low = 0, high = 0;
        int n = 0;
        for (int a = 0; a < g.nnode(); ++a) {
            const int p = g.node(e, a);
            if (p < 0) continue;
            const double k = node_key[p];
            low = n == 0 ? k : std::min(low, k);
            high = n == 0 ? k : std::max(high, k);
            sum += k;
            ++n;
        }
        if (n > 0) key[e] = sum / n;
        if (high > low) spans.push_back(high - low);
    }
    if (spans.empty()) return {};
    std::nth_element(spans.begin(), spans.begin() + spans.size() / 2, spans.end());
    const double size = spans[spans.size() / 2];
    const double far = *std::max_element(key.begin(), key.end());
    if (!(size > 0) || !std::isfinite(far - size)) return {};
    std::vector<double> level(ne);
    for (std::size_t e = 0; e < ne; ++e) {
        level[e] = (far - key[e]) / size;
        if (!std::isfinite(level[e])) return {};
    }
    return sloan(g, level, order, w1, w2);
}

struct Point {
    double x[3] = {0, 0, 0};
};

// Centre of every element: the mean of its nodes (coordinates that are not
// finite count as 0, so that every key compares).
std::vector<Point> element_centres(const ElementGraph& g, const double* coord, int ndime) {
    std::vector<Point> c(static_cast<std::size_t>(g.nelem()));
    const int dims = std::clamp(ndime, 0, 3);
    for (int e = 0; e < g.nelem(); ++e) {
        int n = 0;
        for (int a = 0; a < g.nnode(); ++a) {
            const int p = g.node(e, a);
            if (p < 0) continue;
            ++n;
            for (int d = 0; d < dims; ++d) {
                const double v = coord[static_cast<std::size_t>(p) * ndime + d];
                c[e].x[d] += std::isfinite(v) ? v : 0.0;
            }
        }
        if (n > 0)
            for (double& v : c[e].x) v /= n;
        for (double& v : c[e].x)
            if (!std::isfinite(v)) v = 0.0;
    }
    return c;
}

// The elements sorted by their centres' key, ties by the centre's coordinates
// in the order `then` and then by number.
template <class Key>
std::vector<int> sweep(const std::vector<Point>& centres, Key key, std::array<int, 3> then) {
    std::vector<int> order(centres.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<double> k(centres.size());
    for (std::size_t e = 0; e < centres.size(); ++e) k[e] = key(centres[e]);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        if (k[a] != k[b]) return k[a] < k[b];
        for (int d : then)
            if (centres[a].x[d] != centres[b].x[d]) return centres[a].x[d] < centres[b].x[d];
        return a < b;
    });
    return order;
}

}  // namespace

FrontMeasure measure_front(int npoin, int nelem, int nnode, const int* lnods, const std::vector<int>& order) {
    FrontMeasure m;
    const int n = std::max(npoin, 0), ne = std::max(nelem, 0), nn = std::max(nnode, 0);
    std::vector<int> first(static_cast<std::size_t>(n) + 1, -1), last(first.size(), -1);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int e = order[i];
        if (e < 0 || e >= ne) continue;
        for (int a = 0; a < nn; ++a) {
            const int p = std::abs(lnods[static_cast<std::size_t>(e) * nn + a]);
            if (p < 1 || p > n) continue;
            if (first[p] < 0) first[p] = static_cast<int>(i);
            last[p] = static_cast<int>(i);
        }
    }
    std::vector<long long> change(order.size() + 1, 0);
    for (int p = 1; p <= n; ++p) {
        if (first[p] < 0) continue;
        ++change[static_cast<std::size_t>(first[p])];
        --change[static_cast<std::size_t>(last[p]) + 1];
    }
    long long active = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        active += change[i];
        m.nodes = std::max(m.nodes, active);
        m.work += static_cast<double>(active) * static_cast<double>(active);
    }
    return m;
}

namespace {

// The Cuthill-McKee order, one connected part after the other, each from a
// pseudo-peripheral element found by repeated searches from a far element
// of least degree; with it each element's graph distance from the far end of
// its part (the levels of Sloan's order), the roots, and the two ends of the
// largest part (a direction to sweep along).
struct CuthillMcKee {
    std::vector<int> order;
    std::vector<double> level;
    std::vector<int> roots;
    int far_a = 0, far_b = 0;
};

CuthillMcKee cuthill_mckee(ElementGraph& g, int ne) {
    CuthillMcKee cm;
    std::vector<int> seen(static_cast<std::size_t>(ne), -1), in_part(static_cast<std::size_t>(ne), 0);
    std::vector<int> trial;
    cm.order.reserve(static_cast<std::size_t>(ne));
    cm.level.assign(static_cast<std::size_t>(ne), 0.0);
    int round = 0;
    std::size_t largest = 0;
    for (int s = 0; s < ne; ++s) {
        if (in_part[s]) continue;
        int root = s;
        trial.clear();
        std::size_t last_level = 0;
        int depth = search(g, root, round++, seen, trial, last_level);
        for (int r = 0; r < kPeripheralRounds; ++r) {
            int candidate = trial[last_level];
            for (std::size_t i = last_level; i < trial.size(); ++i)
                if (g.degree(trial[i]) < g.degree(candidate)) candidate = trial[i];
            std::vector<int> again;
            std::size_t again_last = 0;
            const int d = search(g, candidate, round++, seen, again, again_last);
            if (d <= depth) break;
            root = candidate;
            depth = d;
            trial.swap(again);
            last_level = again_last;
        }
        for (int e : trial) in_part[e] = 1;
        int end = trial[last_level];
        for (std::size_t i = last_level; i < trial.size(); ++i)
            if (g.degree(trial[i]) < g.degree(end)) end = trial[i];
        distances(g, end, cm.level);
        cm.roots.push_back(root);
        if (trial.size() > largest) {
            largest = trial.size();
            cm.far_a = trial.front();
            cm.far_b = trial.back();
        }
        cm.order.insert(cm.order.end(), trial.begin(), trial.end());
    }
    return cm;
}

// Node coordinates, those that are not finite taken as 0 (as for the centres).
std::vector<Point> node_points(int npoin, const double* coord, int ndime) {
    const int dims = std::clamp(ndime, 0, 3);
    std::vector<Point> at(static_cast<std::size_t>(std::max(npoin, 0)));
    for (std::size_t p = 0; p < at.size(); ++p)
        for (int d = 0; d < dims; ++d) {
            const double v = coord[p * ndime + d];
            at[p].x[d] = std::isfinite(v) ? v : 0.0;
        }
    return at;
}

// The candidate with the narrowest front (on a tie the least work, then the
// earliest).
std::size_t narrowest(int npoin, int ne, int nnode, const int* lnods, const std::vector<std::vector<int>>& candidates) {
    std::size_t best = 0;
    FrontMeasure best_measure = measure_front(npoin, ne, nnode, lnods, candidates[0]);
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        const FrontMeasure m = measure_front(npoin, ne, nnode, lnods, candidates[i]);
        if (m.nodes < best_measure.nodes || (m.nodes == best_measure.nodes && m.work < best_measure.work)) {
            best = i;
            best_measure = m;
        }
    }
    return best;
}

}  // namespace

std::vector<int> front_reducing_order(int npoin, int nelem, int nnode, const int* lnods, const double* coord,
                                      int ndime) {
    const int ne = std::max(nelem, 0);
    std::vector<int> own(static_cast<std::size_t>(ne));
    std::iota(own.begin(), own.end(), 0);
    if (ne < 3 || nnode <= 0) return own;

    ElementGraph g(npoin, ne, nnode, lnods);
    const std::vector<Point> centres = element_centres(g, coord, ndime);
    CuthillMcKee cm = cuthill_mckee(g, ne);

    std::vector<std::vector<int>> candidates;
    candidates.push_back(std::move(own));
    double low[3], high[3];
    for (int d = 0; d < 3; ++d) {
        low[d] = high[d] = centres[0].x[d];
        for (const Point& c : centres) {
            low[d] = std::min(low[d], c.x[d]);
            high[d] = std::max(high[d], c.x[d]);
        }
    }
    const std::vector<Point> at = node_points(npoin, coord, ndime);
    // A sweep, then Sloan's orders along it.
    auto add_sweeps = [&](auto key, std::array<int, 3> then) {
        candidates.push_back(sweep(centres, key, then));
        std::vector<double> node_key(at.size());
        for (std::size_t p = 0; p < at.size(); ++p) node_key[p] = key(at[p]);
        for (const auto& w : kSweptSloanWeights) {
            std::vector<int> o = swept_sloan(g, node_key, candidates.back(), w[0], w[1]);
            if (!o.empty()) candidates.push_back(std::move(o));
        }
    };
    for (int d = 0; d < 3; ++d) {
        if (!(high[d] > low[d])) continue;
        add_sweeps([d](const Point& c) { return c.x[d]; }, {(d + 1) % 3, (d + 2) % 3, d});
    }
    double dir[3];
    double length = 0;
    for (int d = 0; d < 3; ++d) {
        dir[d] = centres[cm.far_b].x[d] - centres[cm.far_a].x[d];
        length += dir[d] * dir[d];
    }
    if (length > 0 && std::isfinite(length))
        add_sweeps([&dir](const Point& c) { return c.x[0] * dir[0] + c.x[1] * dir[1] + c.x[2] * dir[2]; }, {0, 1, 2});
    candidates.push_back(std::move(cm.order));
    for (const auto& w : kSloanWeights) candidates.push_back(sloan(g, cm.level, cm.roots, w[0], w[1]));
    return std::move(candidates[narrowest(npoin, ne, nnode, lnods, candidates)]);
}

}  // namespace parvane
