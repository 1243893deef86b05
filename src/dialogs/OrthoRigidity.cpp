#include "dialogs/OrthoRigidity.h"

#include <cmath>

namespace ortho {

namespace {
constexpr double kTwelfth = 1.0 / 12.0;
constexpr double kFiveSixths = 5.0 / 6.0;
}  // namespace

double ShearModulus(double E, double nu) { return E / (2.0 * (1.0 + nu)); }

Rigidities Rebar(double E, double Es, double nu, double t, const RebarLayers& a) {
    const double n = Es / E;
    const double d0 = E / (1.0 - nu * nu);
    const double slab = t * t * t * kTwelfth;
    Rigidities d;
    d.Dyy = d0 * (slab + (n - 1.0) * (a.As3 * a.x3 * a.x3 + a.As4 * a.x4 * a.x4));
    d.Dzz = d0 * (slab + (n - 1.0) * (a.As1 * a.x1 * a.x1 + a.As2 * a.x2 * a.x2));
    const double mean = std::sqrt(d.Dyy * d.Dzz);
    d.Dv = nu * mean;
    d.Dyz = (1.0 - nu) / 2.0 * mean;
    d.Dsy = d.Dsz = kFiveSixths * ShearModulus(E, nu) * t;
    return d;
}

void RibDirection(double E, double nu, double t, double h, double b, double c, double& flexural, double& shear) {
    const double G = ShearModulus(E, nu);
    if (h <= 0.0) {
        flexural = E * t * t * t / (12.0 * (1.0 - nu * nu));
        shear = kFiveSixths * G * t;
        return;
    }
    const double A = h * b / c;
    const double r = (t * t / 2.0 + A * (h / 2.0 + t)) / (t + A);
    flexural = E * (t * t * t * kTwelfth + t * (r - t / 2.0) * (r - t / 2.0) + b * h * h * h / (12.0 * c) +
                    A * (h / 2.0 + t - r) * (h / 2.0 + t - r));
    const double m = c * t / ((h + t / 2.0) * b);
    const double k = c / (h + t / 2.0);
    const double m2 = m * m, m3 = m2 * m, k2 = k * k;
    const double denominator = 12.0 + 96.0 * m + 278.0 * m2 + 192.0 * m3 +
                               nu * (11.0 + 88.0 * m + 248.0 * m2 + 216.0 * m3) + 30.0 * k2 * (m2 + m) +
                               10.0 * nu * k2 * (4.0 * m + 5.0 * m2 + m3);
    shear = G * (A + t) * 10.0 * (1.0 + nu) * (1.0 + 4.0 * m) * (1.0 + 4.0 * m) / denominator;
}

Rigidities Rib(double E, double nu, double t, const RibSection& s) {
    Rigidities d;
    RibDirection(E, nu, t, s.h1, s.b1, s.c1, d.Dyy, d.Dsy);
    RibDirection(E, nu, t, s.h2, s.b2, s.c2, d.Dzz, d.Dsz);
    const double t3 = t * t * t;
    d.Dv = nu * E * t3 / (12.0 * (1.0 - nu * nu));
    d.Dyz = ShearModulus(E, nu) *
            (t3 / 6.0 + s.h1 * s.b1 * s.b1 * s.b1 / 3.0 + t3 / 6.0 + s.h2 * s.b2 * s.b2 * s.b2 / 3.0) / 4.0 *
            s.torsionalReduction;
    return d;
}

Rigidities Box(double E, double nu, double t, const BoxSection& box) {
    const double n = static_cast<double>(box.n);
    const double b = box.b, h = box.h;
    const double W = n * b + t;
    const double G = ShearModulus(E, nu);
    Rigidities d;
    d.Dyy = E * (2.0 * t * t * t * kTwelfth + 2.0 * t * (h / 2.0) * (h / 2.0));
    d.Dzz = E * (W * std::pow(h + t, 3) * kTwelfth - n * (b - t) * std::pow(h - t, 3) * kTwelfth) / W;
    d.Dv = nu * d.Dyy;
    const double J = 4.0 * (n * b * h) * (n * b * h) * t / (2.0 * (n * b + h));
    d.Dyz = G * J / (4.0 * n * b);
    d.Dsy = 2.0 * E * t * (t / b) * (t / b);
    const double m = (n * b - t) / (h + t);
    const double m2 = m * m, m3 = m2 * m;
    const double denominator = 12.0 + 72.0 * m + 150.0 * m2 + 90.0 * m3 +
                               nu * (11.0 + 66.0 * m + 135.0 * m2 + 90.0 * m3) +
                               10.0 * m2 * ((3.0 + nu) * m + 3.0 * m2);
    d.Dsz = (W * (h + t) - n * (b - t) * (h - t)) * G / W * 10.0 * (1.0 + nu) * (1.0 + 3.0 * m) * (1.0 + 3.0 * m) /
            denominator;
    return d;
}

bool AllFinite(const Rigidities& d) {
    return std::isfinite(d.Dyy) && std::isfinite(d.Dzz) && std::isfinite(d.Dv) && std::isfinite(d.Dyz) &&
           std::isfinite(d.Dsy) && std::isfinite(d.Dsz);
}

}  // namespace ortho
