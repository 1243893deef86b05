#include "solver/elements/rigidity.h"

#include <cstring>
#include <string>

#include "solver/elements/element_loop.h"
#include "solver/run/state.h"

namespace parvane {


namespace {

enum class Kind { isotropic, orthotropic, unknown };

Kind kind_of(const char* type) {
    if (std::memcmp(type, "ISOTP", 5) == 0) return Kind::isotropic;
    if (std::memcmp(type, "ORTH1", 5) == 0 || std::memcmp(type, "ORTH2", 5) == 0) return Kind::orthotropic;
    return Kind::unknown;
}

inline double& at5(double* d, int r, int c) { return d[(c - 1) * 5 + (r - 1)]; }

}  // namespace

void plate_rigidity_of(const double props[3], const char* type, const double ortho[6], double db[25]) {
    for (int i = 0; i < 25; ++i) db[i] = 0.0;
    switch (kind_of(type)) {
        case Kind::isotropic: {
            const double e = props[0], nu = props[1], t = props[2];
            const double d = e * t * t * t / (12.0 * (1.0 - nu * nu));
            at5(db, 1, 1) = d;
            at5(db, 2, 2) = d;
            at5(db, 1, 2) = nu * d;
            at5(db, 2, 1) = nu * d;
            at5(db, 3, 3) = d * (1.0 - nu) / 2.0;
            break;
        }
        case Kind::orthotropic:
            at5(db, 1, 1) = ortho[0];
            at5(db, 2, 2) = ortho[1];
            at5(db, 1, 2) = ortho[2];
            at5(db, 2, 1) = ortho[2];
            at5(db, 3, 3) = ortho[3];
            break;
        case Kind::unknown: break;
    }
}

void shear_rigidity_of(const double props[3], const char* type, const double ortho[6], double ds[25]) {
    for (int i = 0; i < 25; ++i) ds[i] = 0.0;
    switch (kind_of(type)) {
        case Kind::isotropic: {
            // G t times the shear correction 5/6: E t / (2 (1 + nu) 1.2).
            const double g = props[0] * props[2] / (2.4 * (1.0 + props[1]));
            at5(ds, 4, 4) = g;
            at5(ds, 5, 5) = g;
            break;
        }
        case Kind::orthotropic:
            at5(ds, 4, 4) = ortho[4];
            at5(ds, 5, 5) = ortho[5];
            break;
        case Kind::unknown: break;
    }
}

void membrane_rigidity_of(const double props[3], double dm[9]) {
    const double e = props[0], nu = props[1];
    const double c = e / (1.0 - nu * nu);
    for (int i = 0; i < 9; ++i) dm[i] = 0.0;
    dm[0] = c;                     // (1,1)
    dm[4] = c;                     // (2,2)
    dm[3] = nu * c;                // (1,2)
    dm[1] = nu * c;                // (2,1)
    dm[8] = (1.0 - nu) * c / 2.0;  // (3,3)
}

namespace {

const double* props_of(const RunState& st, int m) { return &st.props(1, m); }
const char* type_of(const RunState& st, int m) { return &st.material_type_names(1, m); }
const double* ortho_of(const RunState& st, int m) {
    static const double none[6] = {};
    if (st.orthotropic_rigidities.dim1() < 6 || m < 1 || static_cast<std::size_t>(m) > st.orthotropic_rigidities.dim2())
        return none;
    return &st.orthotropic_rigidities(1, m);
}

}  // namespace

void plate_rigidity(RunState& st, int m) {
    plate_rigidity_of(props_of(st, m), type_of(st, m), ortho_of(st, m), st.element_loop->rigidity.bending);
}

void shear_rigidity(RunState& st, int m) {
    shear_rigidity_of(props_of(st, m), type_of(st, m), ortho_of(st, m), st.element_loop->rigidity.shear);
}

void membrane_rigidity(RunState& st, int m) {
    membrane_rigidity_of(props_of(st, m), st.element_loop->rigidity.membrane);
}

void check_material_values(RunState& st, int& status) {
    bool bad = false;
    for (int m = 1; m <= st.nmats; ++m) {
        const double e = st.props(1, m), nu = st.props(2, m), t = st.props(3, m);
        const char* what = nullptr;
        if (!(t > 0.0))
            what = "thickness must be greater than 0";
        else if (!(e > 0.0))
            what = "Young's modulus must be greater than 0";
        else if (!(nu > -1.0 && nu < 1.0))
            what = "Poisson's ratio must lie between -1 and 1";
        if (what == nullptr) continue;
        bad = true;
        for (int unit : {kUnitMessages, kUnitListing}) {
            fio::Writer(st.units, unit)
                .lit(" *** error in material ")
                .i(m, 5)
                .lit(": ")
                .lit(what)
                .lit(" (E =")
                .e(e, 12, 4)
                .lit(", nu =")
                .e(nu, 12, 4)
                .lit(", t =")
                .e(t, 12, 4)
                .lit(")");
        }
    }
    if (bad) status = kStatusInput;
}

}  // namespace parvane
