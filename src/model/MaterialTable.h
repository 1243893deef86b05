#pragma once
// MATERIAL_DATA: the material of an element number or an element set, of one
// of five types. Type codes: 0 isotropic, 1 reinforced section, 2 section with
// stiffeners, 3 one-way box section, 4 rigidities typed in.

#include <array>
#include <span>
#include <string>

#include "model/InputTable.h"

enum MaterialType : int {
    kMaterialIsotropic = 0,
    kMaterialRebar = 1,
    kMaterialRib = 2,
    kMaterialBox = 3,
    kMaterialUserOrtho = 4,
};

// The six plate rigidities: Dyy, Dzz, Dv, Dyz flexural; Dsy, Dsz shear.
struct Rigidities {
    double Dyy = 0.0, Dzz = 0.0, Dv = 0.0, Dyz = 0.0, Dsy = 0.0, Dsz = 0.0;
    bool operator==(const Rigidities&) const = default;
};

// Four reinforcement layers: area and location each; layers 1 and 2 are bars
// parallel to z, layers 3 and 4 bars parallel to y.
struct RebarLayers {
    double As1 = 0.0, x1 = 0.0, As2 = 0.0, x2 = 0.0, As3 = 0.0, x3 = 0.0, As4 = 0.0, x4 = 0.0;
    bool operator==(const RebarLayers&) const = default;
};

// Stiffeners parallel to y (1) and to z (2): web height, web width, effective
// width; and the torsional stiffness reduction factor.
struct RibSection {
    double h1 = 0.0, b1 = 0.0, c1 = 0.0, h2 = 0.0, b2 = 0.0, c2 = 0.0;
    double torsionalReduction = 1.0;
    bool operator==(const RibSection&) const = default;
};

// One-way box section: number of sections, width of one section, height.
struct BoxSection {
    int n = 0;
    double b = 0.0, h = 0.0;
    bool operator==(const BoxSection&) const = default;
};

struct MaterialRow {
    double E = 0.0;          // Young's modulus (of the concrete for orthotropic types)
    double Es = 0.0;         // Young's modulus of the reinforcement
    double nu = 0.0;         // Poisson's ratio
    double thickness = 0.0;  // slab thickness
    std::string element;     // element number or element-set name
    int type = kMaterialIsotropic;
    RebarLayers rebar;
    Rigidities rigidities;
    RibSection rib;
    BoxSection box;
    MaterialRow* next = nullptr;
};

class MaterialTable : public InputTable<MaterialRow> {
public:
    MaterialTable() = default;

    // Appends (count and index stale). Each takes the element text, the type
    // code and E, Es, nu, thickness first.
    void AddMaterialRow(const std::string& element, int type, double E, double Es, double nu, double thickness);
    void AddRebarMaterialRow(const std::string& element, int type, double E, double Es, double nu, double thickness,
                             const RebarLayers& rebar, const Rigidities& d);
    void AddRibMaterialRow(const std::string& element, int type, double E, double Es, double nu, double thickness,
                           const RibSection& rib, const Rigidities& d);
    void AddBoxMaterialRow(const std::string& element, int type, double E, double Es, double nu, double thickness,
                           const BoxSection& box, const Rigidities& d);
    void AddUserOrthoMaterialRow(const std::string& element, int type, double E, double Es, double nu, double thickness,
                                 const Rigidities& d);

    // Inserts an isotropic row (type 0) before position i.
    void InsertMaterialRow(int i, const std::string& element, double E, double Es, double nu, double thickness);
    void RemoveMaterialRow(int i);
    // Appends each source row through the append of its type.
    void CopyMaterialTable(const MaterialTable& source);
    // Overwrites each row with the whole source row.
    void CopyMaterialRowValues(const MaterialTable& source);
    // True when they differ: counts, type codes, element text, base values and
    // the section data of the row's type (derived rigidities of types 1..3 are
    // not compared).
    bool CompareMaterialTable(const MaterialTable& other) const;
    int CountMaterialRows() { return CountRows(); }
    void RebuildMaterialIndex() { RebuildIndex(); }

    // Setters on a row.
    static void SetRebarRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                  const RebarLayers& rebar);
    static void SetRibRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                const RibSection& rib);
    static void SetBoxRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                const BoxSection& box);
    static void SetUserOrthoRowValues(MaterialRow& row, double E, double Es, double nu, double thickness,
                                      const Rigidities& d);
    static void SetRigidityRowValues(MaterialRow& row, const Rigidities& d);

    // The same at a position.
    void SetRebarValues(int i, double E, double Es, double nu, double thickness, const RebarLayers& rebar);
    void SetRibValues(int i, double E, double Es, double nu, double thickness, const RibSection& rib);
    void SetBoxValues(int i, double E, double Es, double nu, double thickness, const BoxSection& box);
    void SetUserOrthoValues(int i, double E, double Es, double nu, double thickness, const Rigidities& d);
    void SetMaterialValues(int i, const Rigidities& d);
    void SetMaterialType(int i, int type);
    void SetMaterialRowTextAt(int i, const std::string& element);
    void SetBaseValues(int i, double E, double Es, double nu, double thickness);

    // Getters at a position.
    RebarLayers GetMaterialValues(int i) const;
    RibSection GetRibValues(int i) const;
    BoxSection GetBoxValues(int i) const;
    Rigidities GetRigidities(int i) const;
    double GetMaterialDyy(int i) const;
    double GetMaterialDzz(int i) const;
    double GetMaterialDv(int i) const;
    double GetMaterialDyz(int i) const;
    double GetMaterialDsy(int i) const;
    double GetMaterialDsz(int i) const;
    int GetMaterialType(int i) const;
    std::string GetMaterialRowTextAt(int i) const;
    double GetMaterialE(int i) const;
    double GetMaterialEs(int i) const;
    double GetMaterialNu(int i) const;
    double GetMaterialThickness(int i) const;

private:
    MaterialRow* MakeRow(const std::string& element, int type, double E, double Es, double nu, double thickness) const;
};
