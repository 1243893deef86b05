#include "solver/run/dense.h"

#include <cmath>
#include <vector>

namespace parvane {

void matrix_kernel(double* c, const double* a, const double* b, int n) {
    if (n <= 0) return;
    double am[36];
    for (int q = 0; q < 36; ++q) am[q] = a[q];
    for (int k = 0; k < n; ++k) {
        double col[6];
        for (int j = 0; j < 6; ++j) col[j] = b[j + 6 * k];
        for (int i = 0; i < 6; ++i) {
            double x = 0.0;
            for (int j = 0; j < 6; ++j) x += am[i + 6 * j] * col[j];
            c[i + 6 * k] = x;
        }
    }
}

void split_dof_norms(const double* v, double& norm1, double& norm2, int count) {
    const int groups = count > 0 ? count / 6 : 0;
    double s1 = 0.0, s2 = 0.0;
    for (int g = 0; g < groups; ++g) {
        const double* p = v + 6 * g;
        s1 += p[0] * p[0];
        s1 += p[1] * p[1];
        s1 += p[2] * p[2];
        s2 += p[3] * p[3];
        s2 += p[4] * p[4];
        s2 += p[5] * p[5];
    }
    norm1 = std::sqrt(s1);
    norm2 = std::sqrt(s2);
}

bool invert_matrix(double* a, double* b, int n) {
    if (n <= 0) return true;
    const std::size_t nn = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    std::vector<double> L(nn, 0.0), U(nn, 0.0), e(static_cast<std::size_t>(n), 0.0), y(e), x(e);
    auto A = [&](int i, int j) -> double& { return a[(i - 1) + static_cast<std::size_t>(j - 1) * n]; };
    auto Lm = [&](int i, int j) -> double& { return L[(i - 1) + static_cast<std::size_t>(j - 1) * n]; };
    auto Um = [&](int i, int j) -> double& { return U[(i - 1) + static_cast<std::size_t>(j - 1) * n]; };
    for (int k = 1; k <= n - 1; ++k) {
        const double piv = A(k, k);
        if (piv == 0.0 || !std::isfinite(piv)) return false;
        for (int i = k + 1; i <= n; ++i) {
            const double m = A(i, k) / piv;
            Lm(i, k) = m;
            for (int j = k + 1; j <= n; ++j) A(i, j) -= m * A(k, j);
        }
    }
    for (int i = 1; i <= n; ++i) Lm(i, i) = 1.0;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= j; ++i) Um(i, j) = A(i, j);
    for (int i = 1; i <= n; ++i)
        if (Um(i, i) == 0.0 || !std::isfinite(Um(i, i))) return false;
    for (int k = 1; k <= n; ++k) {
        e[static_cast<std::size_t>(k - 1)] = 1.0;
        y[0] = e[0];
        for (int i = 2; i <= n; ++i) {
            double s = e[static_cast<std::size_t>(i - 1)];
            for (int j = 1; j < i; ++j) s -= Lm(i, j) * y[static_cast<std::size_t>(j - 1)];
            y[static_cast<std::size_t>(i - 1)] = s;
        }
        x[static_cast<std::size_t>(n - 1)] = y[static_cast<std::size_t>(n - 1)] / Um(n, n);
        for (int i = n - 1; i >= 1; --i) {
            double s = y[static_cast<std::size_t>(i - 1)];
            for (int j = i + 1; j <= n; ++j) s -= Um(i, j) * x[static_cast<std::size_t>(j - 1)];
            x[static_cast<std::size_t>(i - 1)] = s / Um(i, i);
        }
        for (int i = 1; i <= n; ++i) {
            const double v = x[static_cast<std::size_t>(i - 1)];
            if (!std::isfinite(v)) return false;
            b[(i - 1) + static_cast<std::size_t>(k - 1) * n] = v;
        }
        e[static_cast<std::size_t>(k - 1)] = 0.0;
    }
    return true;
}

void invert_small_matrix(RunState& st, double* a, double* b, int n, int ielem, int& status) {
    if (invert_matrix(a, b, n)) return;
    fio::Writer(st.units, kUnitListing).skip(1).lit(" zero pivot in the inversion of a matrix of element").i(ielem, 6);
    status = kStatusPivot;
}

}  // namespace parvane
