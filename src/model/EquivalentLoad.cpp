#include "model/EquivalentLoad.h"

#include <cmath>

namespace {

constexpr double kClean = 1e-14;

double Clean(double v) { return std::fabs(v) <= kClean ? 0.0 : v; }

struct RingSums {
    double syy = 0;
    double szz = 0;
};

// Calls visit(k, dy, dz) for the points k = 0 .. points - 1 of one ring,
// dy and dz their offsets from the centre. The angle starts at angleDeg and
// advances by repeated addition, so the sums and the points placed later see
// the very same offsets.
template <class Visit>
void ForEachRingPoint(double radius, int points, double angleDeg, Visit visit) {
    const double pi = 2.0 * std::asin(1.0);
    double t = angleDeg * pi / 180.0;
    const double step = 2.0 * pi / points;
    for (int k = 0; k < points; ++k) {
        visit(k, radius * std::cos(t), radius * std::sin(t));
        t += step;
    }
}

// Accumulates the squared offsets of one ring.
void AddRingSums(double radius, int points, double angleDeg, RingSums& sums) {
    ForEachRingPoint(radius, points, angleDeg, [&](int, double dy, double dz) {
        sums.syy += dy * dy;
        sums.szz += dz * dz;
    });
}

// A sum that is only rounding noise beside the other (points lying on one
// axis) cannot carry a moment about that axis.
bool Negligible(double sum, const RingSums& sums) { return sum <= 1e-12 * (sums.syy + sums.szz); }

}  // namespace

std::vector<EquivalentLoadPoint> ComputeEquivalentLoadPoints(const EquivalentLoadInput& in) {
    std::vector<EquivalentLoadPoint> out;
    if (in.points1 <= 0 || in.radius1 <= 0) return out;

    RingSums sums;
    AddRingSums(in.radius1, in.points1, in.angle1, sums);
    if ((in.my != 0 && Negligible(sums.szz, sums)) || (in.mz != 0 && Negligible(sums.syy, sums))) return out;

    const bool ring2 = in.twoRings == 1 && in.points2 > 0 && in.radius2 > 0;
    if (ring2) AddRingSums(in.radius2, in.points2, in.angle2, sums);

    const double divisor = static_cast<double>(in.points1) + (ring2 ? in.points2 : 0);
    out.reserve(static_cast<std::size_t>(in.points1) + (ring2 ? in.points2 : 0));

    auto placeRing = [&](double radius, int points, double angleDeg, int ring) {
        ForEachRingPoint(radius, points, angleDeg, [&](int k, double dy, double dz) {
            double axial = in.fx / divisor;
            if (in.mz != 0) axial -= in.mz * dy / sums.syy;
            if (in.my != 0) axial += in.my * dz / sums.szz;
            EquivalentLoadPoint p;
            p.x = Clean(in.x);
            p.y = Clean(in.y + dy);
            p.z = Clean(in.z + dz);
            p.axial = Clean(axial);
            p.shearY = Clean(in.fy / divisor);
            p.shearZ = Clean(in.fz / divisor);
            p.ring = ring;
            p.number = k + 1;
            out.push_back(p);
        });
    };
    placeRing(in.radius1, in.points1, in.angle1, 0);
    if (ring2) placeRing(in.radius2, in.points2, in.angle2, 1);
    return out;
}

// ---------------------------------------------------------------------------
// The pattern kept with the model.

#include "model/ModelData.h"

void ModelData::ComputeEquivalentLoadPattern() {
    EquivalentLoadInput in;
    GetEquivalentLoadParameters(in.fx, in.fy, in.fz, in.mx, in.my, in.mz, in.x, in.y, in.z, in.twoRings, in.radius1,
                                in.points1, in.angle1, in.radius2, in.points2, in.angle2);

    const std::vector<EquivalentLoadPoint> points = ComputeEquivalentLoadPoints(in);
    patternCount = static_cast<int>(points.size());
    AllocatePatternArrays();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const EquivalentLoadPoint& p = points[i];
        patternX[i] = p.x;
        patternY[i] = p.y;
        patternZ[i] = p.z;
        patternAxial[i] = p.axial;
        patternShearY[i] = p.shearY;
        patternShearZ[i] = p.shearZ;
        patternRing[i] = p.ring;
        patternNumber[i] = p.number;
    }
}

void ModelData::AllocatePatternArrays() {
    if (patternCount <= 0) return;
    const std::size_t n = static_cast<std::size_t>(patternCount);
    for (std::vector<double>* v : {&patternX, &patternY, &patternZ, &patternAxial, &patternShearY, &patternShearZ})
        v->assign(n, 0.0);
    patternRing.assign(n, 0);
    patternNumber.assign(n, 0);
}

void ModelData::FreePatternArrays() {
    if (patternCount <= 0) return;
    for (std::vector<double>* v : {&patternX, &patternY, &patternZ, &patternAxial, &patternShearY, &patternShearZ})
        std::vector<double>().swap(*v);
    std::vector<int>().swap(patternRing);
    std::vector<int>().swap(patternNumber);
    patternCount = 0;
}

namespace {

template <class T>
T PatternValue(const std::vector<T>& v, int count, int i) {
    if (i < 0 || i >= count || static_cast<std::size_t>(i) >= v.size()) return T{};
    return v[static_cast<std::size_t>(i)];
}

}  // namespace

int ModelData::GetEquivLoadPointCount() const { return patternCount; }
double ModelData::GetEquivLoadPointX(int i) const { return PatternValue(patternX, patternCount, i); }
double ModelData::GetEquivLoadPointY(int i) const { return PatternValue(patternY, patternCount, i); }
double ModelData::GetEquivLoadPointZ(int i) const { return PatternValue(patternZ, patternCount, i); }
double ModelData::GetEquivLoadFx(int i) const { return PatternValue(patternAxial, patternCount, i); }
double ModelData::GetEquivLoadFy(int i) const { return PatternValue(patternShearY, patternCount, i); }
double ModelData::GetEquivLoadFz(int i) const { return PatternValue(patternShearZ, patternCount, i); }
int ModelData::GetEquivLoadRing(int i) const { return PatternValue(patternRing, patternCount, i); }
int ModelData::GetEquivLoadPointNumber(int i) const { return PatternValue(patternNumber, patternCount, i); }
