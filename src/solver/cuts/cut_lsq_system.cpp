#include "solver/cuts/cut_lsq_system.h"

#include <algorithm>
#include <cmath>

#include "platform/fio/fio.h"
#include "solver/run/state.h"
#include "solver/cuts/svd.h"

namespace parvane {

namespace {

// Single-precision 1e30 widened to double.
constexpr double kHuge = static_cast<double>(1.0e30f);
constexpr int kQuantities = 5;

void refuse(RunState& st, int& status, const char* why) {
    fio::Writer(st.units, kUnitListing).list({"fatal error"});
    fio::Writer(st.units, kUnitListing).list({why});
    status = kStatusSvdRefused;
}

}  // namespace

void lsq_shape_values(int k, double xi, double eta, double* v) {
    if (k == 8) {
        const double n5 = 0.5 * (1.0 - xi * xi) * (1.0 - eta);
        const double n6 = 0.5 * (1.0 + xi) * (1.0 - eta * eta);
        const double n7 = 0.5 * (1.0 - xi * xi) * (1.0 + eta);
        const double n8 = 0.5 * (1.0 - xi) * (1.0 - eta * eta);
        v[0] = 0.25 * (1.0 - xi) * (1.0 - eta) - 0.5 * (n5 + n8);
        v[1] = 0.25 * (1.0 + xi) * (1.0 - eta) - 0.5 * (n5 + n6);
        v[2] = 0.25 * (1.0 + xi) * (1.0 + eta) - 0.5 * (n6 + n7);
        v[3] = 0.25 * (1.0 - xi) * (1.0 + eta) - 0.5 * (n7 + n8);
        v[4] = n5;
        v[5] = n6;
        v[6] = n7;
        v[7] = n8;
        return;
    }
    v[0] = 0.25 * (1.0 - xi) * (1.0 - eta);
    v[1] = 0.25 * (1.0 + xi) * (1.0 - eta);
    v[2] = 0.25 * (1.0 + xi) * (1.0 + eta);
    v[3] = 0.25 * (1.0 - xi) * (1.0 + eta);
}

void lsq_setup(RunState& st, const std::vector<int>& patch, int m, const double* points, double* fitted, int& status) {
    if (m <= 0) return;
    const int ngsq = st.ngaus * st.ngaus;

    // Nodes of the patch and their bounding rectangle.
    std::vector<int> nodes;
    for (int e : patch) {
        if (e < 1 || e > st.nelem) continue;
        for (int a = 1; a <= st.nnode; ++a) {
            const int p = st.lnods(a, e);
            if (p < 1 || p > st.npoin) continue;
            if (std::find(nodes.begin(), nodes.end(), p) == nodes.end()) nodes.push_back(p);
        }
    }
    double ymin = kHuge, zmin = kHuge, ymax = -kHuge, zmax = -kHuge;
    for (int p : nodes) {
        ymin = std::min(ymin, st.coord(2, p));
        ymax = std::max(ymax, st.coord(2, p));
        zmin = std::min(zmin, st.coord(3, p));
        zmax = std::max(zmax, st.coord(3, p));
    }
    if (!(ymax - ymin > 0.0) || !(zmax - zmin > 0.0)) {
        refuse(st, status, "patch without extent in y or z, lsq_setup");
        return;
    }
    auto xi_of = [&](double y) { return (2.0 * y - ymax - ymin) / (ymax - ymin); };
    auto eta_of = [&](double z) { return (2.0 * z - zmax - zmin) / (zmax - zmin); };

    const int n = static_cast<int>(patch.size());
    const int M = n * ngsq;
    const int K = M > 8 ? 8 : 4;

    // Design matrix and right-hand sides, one equation per stress point.
    std::vector<double> A(static_cast<std::size_t>(std::max(M, 0)) * K, 0.0);
    std::vector<double> B(static_cast<std::size_t>(std::max(M, 0)) * kQuantities, 0.0);
    const std::size_t nstre = static_cast<std::size_t>(st.nstre);
    const std::size_t stress_size = st.gauss_stresses.size();
    const std::size_t position_size = st.gauss_point_positions.size();
    for (int l = 1; l <= n; ++l) {
        const int e = patch[static_cast<std::size_t>(l - 1)];
        for (int g = 1; g <= ngsq; ++g) {
            const int r = (l - 1) * ngsq + g;
            const bool known = e >= 1 && e <= st.nelem && static_cast<std::size_t>(e) <= st.first_gauss_point.size();
            const long long col = known ? static_cast<long long>(st.first_gauss_point(e)) + g - 1 : 0;
            const std::size_t pos = static_cast<std::size_t>(2) * static_cast<std::size_t>((e - 1) * ngsq + g - 1);
            if (!known || col < 1 || nstre < 8 || static_cast<std::size_t>(col) * nstre > stress_size ||
                pos + 2 > position_size) {
                refuse(st, status, "integration point outside the stress tables, lsq_setup");
                return;
            }
            const double y = st.gauss_point_positions.data()[pos];
            const double z = st.gauss_point_positions.data()[pos + 1];
            double nv[8];
            lsq_shape_values(K, xi_of(y), eta_of(z), nv);
            for (int j = 0; j < K; ++j) A[static_cast<std::size_t>(r - 1) + static_cast<std::size_t>(M) * j] = nv[j];
            const double* s = st.gauss_stresses.data() + (static_cast<std::size_t>(col) - 1) * nstre;
            for (int c = 0; c < kQuantities; ++c)
                B[static_cast<std::size_t>(r - 1) + static_cast<std::size_t>(M) * c] = s[3 + c];
        }
    }

    std::vector<double> w(static_cast<std::size_t>(K), 0.0), V(static_cast<std::size_t>(K) * K, 0.0);
    svdc_factor(st, A.data(), M, K, w.data(), V.data(), status);
    if (status > 0) return;

    // Coefficients through the decomposition; negligible singular values drop out.
    double wmax = 0.0;
    for (double x : w) wmax = std::max(wmax, std::fabs(x));
    const double cutoff = kLsqRelativeCutoff * wmax;
    std::vector<double> C(static_cast<std::size_t>(K) * kQuantities, 0.0);
    for (int c = 0; c < kQuantities; ++c) {
        double t[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        for (int j = 0; j < K; ++j) {
            const double wj = w[static_cast<std::size_t>(j)];
            if (!(std::fabs(wj) > cutoff)) continue;
            double sum = 0.0;
            for (int r = 0; r < M; ++r)
                sum += A[static_cast<std::size_t>(r) + static_cast<std::size_t>(M) * j] *
                       B[static_cast<std::size_t>(r) + static_cast<std::size_t>(M) * c];
            t[j] = sum / wj;
        }
        for (int i = 0; i < K; ++i) {
            double sum = 0.0;
            for (int j = 0; j < K; ++j) sum += V[static_cast<std::size_t>(i) + static_cast<std::size_t>(K) * j] * t[j];
            C[static_cast<std::size_t>(i) + static_cast<std::size_t>(K) * c] = sum;
        }
    }

    // The fitted field at the points of the stretch.
    for (int k = 0; k < m; ++k) {
        double nv[8];
        lsq_shape_values(K, xi_of(points[3 * k + 1]), eta_of(points[3 * k + 2]), nv);
        for (int c = 0; c < kQuantities; ++c) {
            double sum = 0.0;
            for (int j = 0; j < K; ++j) sum += nv[j] * C[static_cast<std::size_t>(j) + static_cast<std::size_t>(K) * c];
            fitted[kQuantities * k + c] = sum;
        }
    }
}

}  // namespace parvane
