#include "model/MaterialTable.h"

MaterialRow* MaterialTable::MakeRow(const std::string& element, int type, double E, double Es, double nu,
                                    double thickness) const {
    auto* row = new MaterialRow;
    row->element = element;
    row->type = type;
    row->E = E;
    row->Es = Es;
    row->nu = nu;
    row->thickness = thickness;
    return row;
}

void MaterialTable::AddMaterialRow(const std::string& element, int type, double E, double Es, double nu,
                                   double thickness) {
    LinkAtTail(MakeRow(element, type, E, Es, nu, thickness));
}

void MaterialTable::AddRebarMaterialRow(const std::string& element, int type, double E, double Es, double nu,
                                        double thickness, const RebarLayers& rebar, const Rigidities& d) {
    MaterialRow* row = MakeRow(element, type, E, Es, nu, thickness);
    row->rebar = rebar;
    row->rigidities = d;
    LinkAtTail(row);
}

void MaterialTable::AddRibMaterialRow(const std::string& element, int type, double E, double Es, double nu,
                                      double thickness, const RibSection& rib, const Rigidities& d) {
    MaterialRow* row = MakeRow(element, type, E, Es, nu, thickness);
    row->rib = rib;
    row->rigidities = d;
    LinkAtTail(row);
}

void MaterialTable::AddBoxMaterialRow(const std::string& element, int type, double E, double Es, double nu,
                                      double thickness, const BoxSection& box, const Rigidities& d) {
    MaterialRow* row = MakeRow(element, type, E, Es, nu, thickness);
    row->box = box;
    row->rigidities = d;
    LinkAtTail(row);
}

void MaterialTable::AddUserOrthoMaterialRow(const std::string& element, int type, double E, double Es, double nu,
                                            double thickness, const Rigidities& d) {
    MaterialRow* row = MakeRow(element, type, E, Es, nu, thickness);
    row->rigidities = d;
    LinkAtTail(row);
}

void MaterialTable::InsertMaterialRow(int i, const std::string& element, double E, double Es, double nu,
                                      double thickness) {
    InsertRowAt(i, MakeRow(element, kMaterialIsotropic, E, Es, nu, thickness));
}

void MaterialTable::RemoveMaterialRow(int i) { RemoveRowAt(i); }

void MaterialTable::CopyMaterialTable(const MaterialTable& source) {
    if (&source == this) return;
    model_ = source.model_;
    // Each row as the append of its type makes it: the base values, the
    // section data of its own type and, for the orthotropic types, the
    // rigidities; the fields of the other types keep their defaults.
    CopyRowsFrom(source, [this](const MaterialRow& r) {
        MaterialRow* row = MakeRow(r.element, r.type, r.E, r.Es, r.nu, r.thickness);
        if (r.type == kMaterialRebar) row->rebar = r.rebar;
        if (r.type == kMaterialRib) row->rib = r.rib;
        if (r.type == kMaterialBox) row->box = r.box;
        if (r.type >= kMaterialRebar && r.type <= kMaterialUserOrtho) row->rigidities = r.rigidities;
        return row;
    });
}

void MaterialTable::CopyMaterialRowValues(const MaterialTable& source) {
    AssignRowsFrom(source, [](MaterialRow& t, const MaterialRow& s) { t = s; });
}

bool MaterialTable::CompareMaterialTable(const MaterialTable& other) const {
    if (count_ != other.count_) return true;
    return RowsDiffer(other, [](const MaterialRow& a, const MaterialRow& b) {
        if (a.type != b.type) return true;
        if (a.element != b.element || a.E != b.E || a.Es != b.Es || a.nu != b.nu || a.thickness != b.thickness)
            return true;
        switch (a.type) {
            case kMaterialRebar: return !(a.rebar == b.rebar);
            case kMaterialRib: return !(a.rib == b.rib);
            case kMaterialBox: return !(a.box == b.box);
            case kMaterialUserOrtho: return !(a.rigidities == b.rigidities);
            default: return false;
        }
    });
}

// ---- setters on a row -------------------------------------------------------

namespace {

void SetBase(MaterialRow& row, double E, double Es, double nu, double thickness) {
    row.E = E;
    row.Es = Es;
    row.nu = nu;
    row.thickness = thickness;
}

}  // namespace

void MaterialTable::SetRebarRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                      const RebarLayers& rebar) {
    SetBase(row, E, Es, nu, thickness);
    row.rebar = rebar;
}

void MaterialTable::SetRibRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                    const RibSection& rib) {
    SetBase(row, E, Es, nu, thickness);
    row.rib = rib;
}

void MaterialTable::SetBoxRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                    const BoxSection& box) {
    SetBase(row, E, Es, nu, thickness);
    row.box = box;
}

void MaterialTable::SetUserOrthoRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                          const Rigidities& d) {
    SetBase(row, E, Es, nu, thickness);
    row.rigidities = d;
}

void MaterialTable::SetRigidityRowValues(MaterialRow& row, const Rigidities& d) { row.rigidities = d; }

// ---- setters at a position ----------------------------------------------------

void MaterialTable::SetRebarValues(int i, double E, double Es, double nu, double thickness, const RebarLayers& rebar) {
    SetRebarRowValues(*GetRow(i), E, Es, nu, thickness, rebar);
}

void MaterialTable::SetRibValues(int i, double E, double Es, double nu, double thickness, const RibSection& rib) {
    SetRibRowValues(*GetRow(i), E, Es, nu, thickness, rib);
}

void MaterialTable::SetBoxValues(int i, double E, double Es, double nu, double thickness, const BoxSection& box) {
    SetBoxRowValues(*GetRow(i), E, Es, nu, thickness, box);
}

void MaterialTable::SetUserOrthoValues(int i, double E, double Es, double nu, double thickness, const Rigidities& d) {
    SetUserOrthoRowValues(*GetRow(i), E, Es, nu, thickness, d);
}

void MaterialTable::SetMaterialValues(int i, const Rigidities& d) { SetRigidityRowValues(*GetRow(i), d); }
void MaterialTable::SetMaterialType(int i, int type) { GetRow(i)->type = type; }
void MaterialTable::SetMaterialRowTextAt(int i, const std::string& element) { GetRow(i)->element = element; }

void MaterialTable::SetBaseValues(int i, double E, double Es, double nu, double thickness) {
    SetBase(*GetRow(i), E, Es, nu, thickness);
}

// ---- getters at a position ----------------------------------------------------

RebarLayers MaterialTable::GetMaterialValues(int i) const { return GetRow(i)->rebar; }
RibSection MaterialTable::GetRibValues(int i) const { return GetRow(i)->rib; }
BoxSection MaterialTable::GetBoxValues(int i) const { return GetRow(i)->box; }
Rigidities MaterialTable::GetRigidities(int i) const { return GetRow(i)->rigidities; }
double MaterialTable::GetMaterialDyy(int i) const { return GetRow(i)->rigidities.Dyy; }
double MaterialTable::GetMaterialDzz(int i) const { return GetRow(i)->rigidities.Dzz; }
double MaterialTable::GetMaterialDv(int i) const { return GetRow(i)->rigidities.Dv; }
double MaterialTable::GetMaterialDyz(int i) const { return GetRow(i)->rigidities.Dyz; }
double MaterialTable::GetMaterialDsy(int i) const { return GetRow(i)->rigidities.Dsy; }
double MaterialTable::GetMaterialDsz(int i) const { return GetRow(i)->rigidities.Dsz; }
int MaterialTable::GetMaterialType(int i) const { return GetRow(i)->type; }
std::string MaterialTable::GetMaterialRowTextAt(int i) const { return GetRow(i)->element; }
double MaterialTable::GetMaterialE(int i) const { return GetRow(i)->E; }
double MaterialTable::GetMaterialEs(int i) const { return GetRow(i)->Es; }
double MaterialTable::GetMaterialNu(int i) const { return GetRow(i)->nu; }
double MaterialTable::GetMaterialThickness(int i) const { return GetRow(i)->thickness; }
