// The equivalent concentrated load setter lives apart from the rest of the
// model record: it needs the load pattern computation.

#include "model/ModelData.h"

void ModelData::SetEquivLoadParameters(double Fx, double Fy, double Fz, double Mx, double My, double Mz, double X,
                                       double Y, double Z, int twoRingsFlag, double r1Radius, int r1Points,
                                       double r1Angle, double r2Radius, int r2Points, double r2Angle) {
    const bool same = patternLoads == std::array<double, 6>{Fx, Fy, Fz, Mx, My, Mz} &&
                      patternCentre == std::array<double, 3>{X, Y, Z} && twoRings == twoRingsFlag &&
                      ring1Radius == r1Radius && ring1Points == r1Points && ring1Angle == r1Angle &&
                      ring2Radius == r2Radius && ring2Points == r2Points && ring2Angle == r2Angle;
    if (!same) SetChanged();
    patternLoads = {Fx, Fy, Fz, Mx, My, Mz};
    patternCentre = {X, Y, Z};
    twoRings = twoRingsFlag;
    ring1Radius = r1Radius;
    ring1Points = r1Points;
    ring1Angle = r1Angle;
    ring2Radius = r2Radius;
    ring2Points = r2Points;
    ring2Angle = r2Angle;
    FreePatternArrays();
    ComputeEquivalentLoadPattern();
}
