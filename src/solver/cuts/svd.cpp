#include "solver/cuts/svd.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/fio/fio.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

inline double hypotenuse(double a, double b) { return std::sqrt(a * a + b * b); }
inline double with_sign(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

}  // namespace

void svdc_factor(RunState& st, double* a_, int m, int n, double* w_, double* v_, int& status) {
    if (m < n) {
        fio::Writer(st.units, kUnitListing).list({"fatal error", fio::list_item(m), fio::list_item(n)});
        fio::Writer(st.units, kUnitListing).list({"fewer equations than unknowns, svdc_factor"});
        status = kStatusSvdRefused;
        return;
    }
    if (n <= 0) return;

    const std::size_t lda = static_cast<std::size_t>(m), ldv = static_cast<std::size_t>(n);
    auto A = [&](int i, int j) -> double& {
        return a_[static_cast<std::size_t>(i - 1) + lda * static_cast<std::size_t>(j - 1)];
    };
    auto V = [&](int i, int j) -> double& {
        return v_[static_cast<std::size_t>(i - 1) + ldv * static_cast<std::size_t>(j - 1)];
    };
    auto W = [&](int i) -> double& { return w_[i - 1]; };
    std::vector<double> e(static_cast<std::size_t>(n) + 1, 0.0);  // superdiagonal, e[1..n]

    // Householder reduction to upper bidiagonal form.
    double g = 0.0, scale = 0.0, anorm = 0.0;
    int l = 1;
    for (int i = 1; i <= n; ++i) {
        l = i + 1;
        e[static_cast<std::size_t>(i)] = scale * g;
        g = 0.0;
        double s = 0.0;
        scale = 0.0;
        if (i <= m) {
            for (int k = i; k <= m; ++k) scale += std::fabs(A(k, i));
            if (scale != 0.0) {
                for (int k = i; k <= m; ++k) {
                    A(k, i) /= scale;
                    s += A(k, i) * A(k, i);
                }
                const double f = A(i, i);
                g = -with_sign(std::sqrt(s), f);
                const double h = f * g - s;
                A(i, i) = f - g;
                for (int j = l; j <= n; ++j) {
                    double sum = 0.0;
                    for (int k = i; k <= m; ++k) sum += A(k, i) * A(k, j);
                    const double ff = sum / h;
                    for (int k = i; k <= m; ++k) A(k, j) += ff * A(k, i);
                }
                for (int k = i; k <= m; ++k) A(k, i) *= scale;
            }
        }
        W(i) = scale * g;
        g = 0.0;
        s = 0.0;
        scale = 0.0;
        if (i <= m && i != n) {
            for (int k = l; k <= n; ++k) scale += std::fabs(A(i, k));
            if (scale != 0.0) {
                for (int k = l; k <= n; ++k) {
                    A(i, k) /= scale;
                    s += A(i, k) * A(i, k);
                }
                const double f = A(i, l);
                g = -with_sign(std::sqrt(s), f);
                const double h = f * g - s;
                A(i, l) = f - g;
                for (int k = l; k <= n; ++k) e[static_cast<std::size_t>(k)] = A(i, k) / h;
                for (int j = l; j <= m; ++j) {
                    double sum = 0.0;
                    for (int k = l; k <= n; ++k) sum += A(j, k) * A(i, k);
                    for (int k = l; k <= n; ++k) A(j, k) += sum * e[static_cast<std::size_t>(k)];
                }
                for (int k = l; k <= n; ++k) A(i, k) *= scale;
            }
        }
        anorm = std::max(anorm, std::fabs(W(i)) + std::fabs(e[static_cast<std::size_t>(i)]));
    }

    // Right-hand transformations into V.
    for (int i = n; i >= 1; --i) {
        if (i < n) {
            if (g != 0.0) {
                for (int j = l; j <= n; ++j) V(j, i) = (A(i, j) / A(i, l)) / g;
                for (int j = l; j <= n; ++j) {
                    double s = 0.0;
                    for (int k = l; k <= n; ++k) s += A(i, k) * V(k, j);
                    for (int k = l; k <= n; ++k) V(k, j) += s * V(k, i);
                }
            }
            for (int j = l; j <= n; ++j) {
                V(i, j) = 0.0;
                V(j, i) = 0.0;
            }
        }
        V(i, i) = 1.0;
        g = e[static_cast<std::size_t>(i)];
        l = i;
    }

    // Left-hand transformations into A, which becomes U.
    for (int i = std::min(m, n); i >= 1; --i) {
        l = i + 1;
        g = W(i);
        for (int j = l; j <= n; ++j) A(i, j) = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j <= n; ++j) {
                double s = 0.0;
                for (int k = l; k <= m; ++k) s += A(k, i) * A(k, j);
                const double f = (s / A(i, i)) * g;
                for (int k = i; k <= m; ++k) A(k, j) += f * A(k, i);
            }
            for (int j = i; j <= m; ++j) A(j, i) *= g;
        } else {
            for (int j = i; j <= m; ++j) A(j, i) = 0.0;
        }
        A(i, i) += 1.0;
    }

    // Diagonalisation of the bidiagonal form by implicit-shift QR sweeps.
    for (int k = n; k >= 1; --k) {
        for (int its = 1; its <= 30; ++its) {
            bool cancel = true;
            int nm = 0;
            for (l = k; l >= 1; --l) {
                nm = l - 1;
                if (std::fabs(e[static_cast<std::size_t>(l)]) + anorm == anorm) {
                    cancel = false;
                    break;
                }
                // e[1] is always 0, so nm >= 1 here.
                if (std::fabs(W(nm)) + anorm == anorm) break;
            }
            if (cancel) {
                double c = 0.0, s = 1.0;
                for (int i = l; i <= k; ++i) {
                    const double f = s * e[static_cast<std::size_t>(i)];
                    e[static_cast<std::size_t>(i)] = c * e[static_cast<std::size_t>(i)];
                    if (std::fabs(f) + anorm == anorm) break;
                    g = W(i);
                    double h = hypotenuse(f, g);
                    W(i) = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    for (int j = 1; j <= m; ++j) {
                        const double y = A(j, nm), z = A(j, i);
                        A(j, nm) = y * c + z * s;
                        A(j, i) = z * c - y * s;
                    }
                }
            }
            double z = W(k);
            if (l == k) {
                if (z < 0.0) {
                    W(k) = -z;
                    for (int j = 1; j <= n; ++j) V(j, k) = -V(j, k);
                }
                break;
            }
            if (its == 30)
                fio::Writer(st.units, kUnitListing).list({"no convergence in ", fio::list_item(30), " iterations"});
            // Shift from the trailing 2 x 2 minor.
            double x = W(l);
            nm = k - 1;
            double y = W(nm);
            g = e[static_cast<std::size_t>(nm)];
            double h = e[static_cast<std::size_t>(k)];
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = hypotenuse(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + with_sign(g, f))) - h)) / x;
            // One QR sweep from l to k.
            double c = 1.0, s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = e[static_cast<std::size_t>(i)];
                y = W(i);
                h = s * g;
                g = c * g;
                z = hypotenuse(f, h);
                e[static_cast<std::size_t>(j)] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = 1; jj <= n; ++jj) {
                    const double xv = V(jj, j), zv = V(jj, i);
                    V(jj, j) = xv * c + zv * s;
                    V(jj, i) = zv * c - xv * s;
                }
                z = hypotenuse(f, h);
                W(j) = z;
                if (z != 0.0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                for (int jj = 1; jj <= m; ++jj) {
                    const double ya = A(jj, j), za = A(jj, i);
                    A(jj, j) = ya * c + za * s;
                    A(jj, i) = za * c - ya * s;
                }
            }
            e[static_cast<std::size_t>(l)] = 0.0;
            e[static_cast<std::size_t>(k)] = f;
            W(k) = x;
        }
    }
}

}  // namespace parvane
