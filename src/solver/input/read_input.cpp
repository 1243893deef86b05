#include "solver/input/read_input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "solver/input/checks.h"
#include "solver/input/element_geometry.h"
#include "solver/elements/interpolation.h"
#include "solver/input/locate.h"
#include "solver/elements/rigidity.h"

namespace parvane {

void input_error(RunState& st, int& status, const std::string& block, const std::string& detail) {
    const std::string text = "*** error in numeric input, " + block + ": " + detail;
    fio::Writer(st.units, kUnitListing).list({text});
    fio::Writer(st.units, kUnitMessages).list({text});
    status = kStatusInput;
}

namespace {

// Largest coordinate magnitude the element arithmetic gives finite results
// for (the model files hold the same limit).
constexpr double kMaxCoordinate = 1e7;

// A failed list-directed read: a line naming the block.
bool read_failed(RunState& st, int& status, const std::string& block, const fio::ListReader& r) {
    if (r.ok()) return false;
    if (r.status() == fio::kEnd)
        input_error(st, status, block, "end of file");
    else if (r.status() == fio::kErrBadValue)
        input_error(st, status, block, "bad number \"" + r.bad_token() + "\"");
    else
        input_error(st, status, block, "read error");
    return true;
}

bool out_of_range(RunState& st, int& status, const std::string& block, const char* what, long long v, long long lo,
                  long long hi) {
    if (v >= lo && v <= hi) return false;
    input_error(st, status, block,
                std::string(what) + " " + std::to_string(v) + " out of range " + std::to_string(lo) + ".." +
                    std::to_string(hi));
    return true;
}

// The identifier of node p for the listing (p itself when out of range).
int node_id(const RunState& st, int p) {
    return (p >= 1 && p <= static_cast<int>(st.node_ids.size())) ? st.node_ids(p) : p;
}
int element_id(const RunState& st, int e) {
    return (e >= 1 && e <= static_cast<int>(st.element_ids.size())) ? st.element_ids(e) : e;
}

void control_echo(RunState& st) {
    fio::Writer w(st.units, kUnitListing);
    w.skip(2)
        .lit(" npoin =")
        .i(st.npoin, 8)
        .x(2)
        .lit(" nelem =")
        .i(st.nelem, 4)
        .x(4)
        .lit(" nvfix =")
        .i(st.nvfix, 4)
        .x(4)
        .lit(" ncase =")
        .i(st.ncase, 4)
        .x(4)
        .lit(" ntype =")
        .i(st.ntype, 4)
        .x(4)
        .lit(" nnode =")
        .i(st.nnode, 4)
        .x(4)
        .lit(" ndofn =")
        .i(st.ndofn, 4)
        .end()
        .end();
    w.lit(" nmats =")
        .i(st.nmats, 4)
        .x(6)
        .lit(" nprop =")
        .i(st.nprop, 4)
        .x(4)
        .lit(" ngaus =")
        .i(st.ngaus, 4)
        .x(4)
        .lit(" ngaus2=")
        .i(st.ngaus2, 4)
        .x(4)
        .lit(" ndime =")
        .i(st.ndime, 4)
        .x(4)
        .lit(" nstre =")
        .i(st.nstre, 4)
        .x(4)
        .lit(" nevab =")
        .i(st.nevab, 4)
        .end()
        .end();
    w.lit(" nnlod =")
        .i(st.nnlod, 6)
        .x(4)
        .lit(" nnsti =")
        .i(st.nnsti, 6)
        .x(2)
        .lit(" ndlod =")
        .i(st.ndlod, 4)
        .x(4)
        .lit(" ndsti =")
        .i(st.ndsti, 4)
        .x(4)
        .lit(" nclod =")
        .i(st.nclod, 4)
        .x(4)
        .lit(" ncsti =")
        .i(st.ncsti, 4)
        .x(4)
        .lit(" nctsti =")
        .i(st.nctsti, 4)
        .end()
        .end();
    w.lit("    dt =")
        .f(st.dt, 10, 4)
        .x(4)
        .lit("  tini =")
        .f(st.tini, 10, 4)
        .x(4)
        .lit(" tend  =")
        .f(st.tend, 10, 4)
        .x(4)
        .lit(" dtmin =")
        .f(st.dtmin, 10, 4)
        .x(4)
        .lit(" maxiter =")
        .i(st.maxiter, 5);
}

// Two empty lines and the title of a block, on the listing.
void heading(RunState& st, std::string_view title) { fio::Writer(st.units, kUnitListing).skip(2).lit(title); }

// The title of a block of six values and its column heading after a first
// column title.
void six_heading(RunState& st, std::string_view title, const char* first, const std::array<const char*, 6>& names) {
    heading(st, title);
    fio::Writer w(st.units, kUnitListing);
    w.x(5).lit(first).x(6).lit(names[0]);
    for (int k = 1; k < 6; ++k) w.x(11).lit(names[static_cast<std::size_t>(k)]);
}

constexpr std::array<const char*, 6> kForces = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
constexpr std::array<const char*, 6> kStiffs = {"KX", "KY", "KZ", "RX", "RY", "RZ"};

// One row 1X, I7, 2X, 6E13.5.
void six_row(RunState& st, int id, const double* v) {
    fio::Writer w(st.units, kUnitListing);
    w.x(1).i(id, 7).x(2);
    for (int k = 0; k < 6; ++k) w.e(v[k], 13, 5);
}

// Records "node (or element), six values" of one nodal/element block.
bool read_six_block(RunState& st, int& status, const std::string& block, int count, bool by_node, FArray<int>& refs,
                    FArray<double>& values) {
    const int limit = by_node ? st.npoin : st.nelem;
    for (int i = 1; i <= count; ++i) {
        fio::ListReader r(st.units, kUnitInput);
        int ref = 0;
        double v[6] = {0, 0, 0, 0, 0, 0};
        r >> ref;
        for (double& x : v) r >> x;
        if (read_failed(st, status, block, r)) return false;
        if (out_of_range(st, status, block, by_node ? "node" : "element", ref, 1, limit)) return false;
        refs(i) = ref;
        for (int k = 1; k <= 6; ++k) values(k, i) = v[k - 1];
        six_row(st, by_node ? node_id(st, ref) : element_id(st, ref), v);
    }
    return true;
}

// Title, column heading and records "element, side, freedom, three values"
// of an edge block.
bool read_edge_block(RunState& st, int& status, std::string_view title, const std::string& block, int count,
                     FArray<int>& edges, FArray<double>& values) {
    heading(st, title);
    fio::Writer(st.units, kUnitListing).lit("   Elem    Side    Dof  ").x(6).lit("         Values");
    for (int i = 1; i <= count; ++i) {
        fio::ListReader r(st.units, kUnitInput);
        int e = 0, side = 0, dof = 0;
        double v[3] = {0, 0, 0};
        r >> e >> side >> dof >> v[0] >> v[1] >> v[2];
        if (read_failed(st, status, block, r)) return false;
        if (out_of_range(st, status, block, "element", e, 1, st.nelem)) return false;
        if (out_of_range(st, status, block, "side", side, 1, 4)) return false;
        // Freedom 0 is a record that acts nowhere: the element routines pass it over.
        if (out_of_range(st, status, block, "degree of freedom", dof, 0, 6)) return false;
        edges(1, i) = e;
        edges(2, i) = side;
        edges(3, i) = dof;
        for (int k = 1; k <= 3; ++k) values(k, i) = v[k - 1];
        fio::Writer w(st.units, kUnitListing);
        w.i(element_id(st, e), 8).i(side, 8).i(dof, 8).x(2);
        for (double x : v) w.e(x, 13, 5);
    }
    return true;
}

// A block of concentrated actions: title, column heading, records "three
// coordinates, six values" and the location of the points in the mesh.  The
// block without value names (total stiffnesses) heads its coordinates only
// and echoes no values.
bool read_point_block(RunState& st, int& status, std::string_view title, const std::array<const char*, 6>* names,
                      const std::string& block, int count, FArray<double>& positions, FArray<double>& values,
                      FArray<int>& elements) {
    heading(st, title);
    {
        fio::Writer w(st.units, kUnitListing);
        if (names) {
            w.x(7).lit("X").x(10).lit("Y").x(10).lit("Z").x(8).lit((*names)[0]);
            for (int k = 1; k < 6; ++k) w.x(11).lit((*names)[static_cast<std::size_t>(k)]);
        } else {
            w.lit("       X          Y ");
        }
    }
    for (int i = 1; i <= count; ++i) {
        fio::ListReader r(st.units, kUnitInput);
        double x[3] = {0, 0, 0}, v[6] = {0, 0, 0, 0, 0, 0};
        for (double& c : x) r >> c;
        for (double& c : v) r >> c;
        if (read_failed(st, status, block, r)) return false;
        for (int c = 1; c <= 3; ++c) positions(c, i) = x[c - 1];
        for (int k = 1; k <= 6; ++k) values(k, i) = v[k - 1];
        fio::Writer w(st.units, kUnitListing);
        w.x(1).f(x[0], 10, 4).f(x[1], 10, 4).f(x[2], 10, 4);
        if (names) {
            w.x(2);
            for (double c : v) w.e(c, 13, 5);
        }
    }
    locate_point_loads(st, count, positions, elements);
    return true;
}

// Every row of a table takes at least a number and a separator of the input
// file (a node at least its place in an element record), so no count can
// exceed half the file's size.  A count beyond that is a damaged head: it is
// refused before any table is reserved for it.
void check_counts_against_input(RunState& st, int& status) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(st.units.path(kUnitInput), ec);
    if (ec) return;
    const long long most = static_cast<long long>(std::min<std::uintmax_t>(size / 2, 0x7FFFFFFF));
    const std::pair<const char*, int> counts[] = {
        {"npoin", st.npoin},   {"nelem", st.nelem},   {"nmats", st.nmats},   {"nvfix", st.nvfix},   {"nnlod", st.nnlod},
        {"nnsti", st.nnsti},   {"ndlod", st.ndlod},   {"ndsti", st.ndsti},   {"nclod", st.nclod},   {"ncsti", st.ncsti},
        {"nvedge", st.nvedge}, {"nedlod", st.nedlod}, {"nedsti", st.nedsti}, {"nctsti", st.nctsti}, {"nnlin", st.nnlin},
        {"nprof", st.nprof},   {"mxpts", st.mxpts}};
    for (const auto& c : counts)
        if (c.second > most) {
            input_error(st, status, "counts",
                        std::string(c.first) + " " + std::to_string(c.second) + " is more than the input file of " +
                            std::to_string(size) + " bytes can hold");
            return;
        }
}

}  // namespace

void read_head(RunState& st, int& status) {
    std::string line;
    int rs = st.units.read_line(kUnitInput, line);
    if (rs != fio::kOk) {
        input_error(st, status, "title", rs == fio::kEnd ? "end of file" : "read error");
        return;
    }
    st.title = fio::fmt_a(line, 72);
    fio::Writer(st.units, kUnitListing).a(st.title);

    {
        fio::ListReader r(st.units, kUnitInput);
        r >> st.isoil;
        if (read_failed(st, status, "soil kind", r)) return;
    }
    if (st.isoil == 1) {
        fio::ListReader r(st.units, kUnitInput);
        r >> st.esoil >> st.psoil >> st.ksoil0;
        if (read_failed(st, status, "soil values", r)) return;
    } else if (st.isoil == 2) {
        fio::ListReader r(st.units, kUnitInput);
        r >> st.esoil >> st.ebot >> st.psoil >> st.hsoil >> st.gamma0;
        if (read_failed(st, status, "soil values", r)) return;
    }
    {
        fio::ListReader r(st.units, kUnitInput);
        r >> st.npoin >> st.nelem >> st.nmats >> st.nnode >> st.ngaus >> st.ngaus2 >> st.nvfix >> st.nnlod >>
            st.nnsti >> st.ndlod >> st.ndsti >> st.nclod >> st.ncsti >> st.nvedge >> st.nedlod >> st.nedsti >>
            st.nctsti >> st.ictsti;
        if (read_failed(st, status, "counts", r)) return;
    }
    {
        fio::ListReader r(st.units, kUnitInput);
        r >> st.nnlin >> st.nprof >> st.mxpts;
        if (read_failed(st, status, "nonlinear counts", r)) return;
    }
    {
        fio::ListReader r(st.units, kUnitInput);
        r >> st.dt >> st.tini >> st.tend >> st.dtmin >> st.maxiter >> st.toler;
        if (read_failed(st, status, "time stepping", r)) return;
    }
    check_counts_against_input(st, status);
}

void check_sizing_counts(RunState& st, int& status) {
    if (st.ngaus < 1 || st.ngaus > 3) {
        input_error(st, status, "counts",
                    "ngaus " + std::to_string(st.ngaus) + " is not 1, 2 or 3 (Gauss points per direction)");
        return;
    }
    // Every node entry of an element record takes a number and a separator.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(st.units.path(kUnitInput), ec);
    const long long entries = static_cast<long long>(std::max(st.nelem, 0)) * std::max(st.nnode, 0);
    if (!ec && static_cast<std::uintmax_t>(entries) > size / 2)
        input_error(st, status, "counts",
                    "nnode " + std::to_string(st.nnode) + " with nelem " + std::to_string(st.nelem) + " gives " +
                        std::to_string(entries) + " node entries, more than the input file of " + std::to_string(size) +
                        " bytes can hold");
}

namespace {

// Control values the tables depend on.
bool check_control_values(RunState& st, int& status) {
    if (st.ngaus2 < 1 || st.ngaus2 > 3 || (st.ngaus2 != 1 && st.ngaus2 != st.ngaus)) {
        input_error(st, status, "control values",
                    "ngaus2 " + std::to_string(st.ngaus2) + " is neither 1 nor ngaus " + std::to_string(st.ngaus));
        return false;
    }
    // Shape functions exist for 4-, 8- and 9-node elements only.
    if (st.nnode != 4 && st.nnode != 8 && st.nnode != 9) {
        input_error(st, status, "control values", "nnode " + std::to_string(st.nnode) + " is not 4, 8 or 9");
        return false;
    }
    // Counts that address arrays must not be negative.
    {
        const std::pair<const char*, int> counts[] = {
            {"nnlod", st.nnlod},   {"nnsti", st.nnsti},   {"ndlod", st.ndlod},   {"ndsti", st.ndsti},
            {"nclod", st.nclod},   {"ncsti", st.ncsti},   {"nvedge", st.nvedge}, {"nedlod", st.nedlod},
            {"nedsti", st.nedsti}, {"nctsti", st.nctsti}, {"nnlin", st.nnlin},   {"nprof", st.nprof},
            {"mxpts", st.mxpts}};
        for (const auto& c : counts)
            if (c.second < 0) {
                input_error(st, status, "control values",
                            std::string(c.first) + " " + std::to_string(c.second) + " below 0");
                return false;
            }
    }
    return true;
}

// The element table: numbers, materials and nodes as read.
bool read_elements(RunState& st, int& status) {
    {
        const std::string block = "elements";
        for (int n = 1; n <= st.nelem; ++n) {
            fio::ListReader r(st.units, kUnitInput);
            int e = 0, id = 0, mat = 0;
            r >> e >> id >> mat;
            int nodes[9] = {};
            for (int a = 0; a < st.nnode; ++a) r >> nodes[a];
            if (read_failed(st, status, block, r)) return false;
            if (out_of_range(st, status, block, "element", e, 1, st.nelem)) return false;
            // Node numbers are kept as read: check2 counts those that are 0 or out
            // of range, after the listing of the whole input.
            st.element_ids(e) = id;
            st.element_material(e) = mat;
            for (int a = 1; a <= st.nnode; ++a) st.lnods(a, e) = nodes[a - 1];
        }
    }
    return true;
}

// The node table.
bool read_nodes(RunState& st, int& status) {
    {
        const std::string block = "nodes";
        st.coord.fill(0.0);
        const std::string never = "the node block never names the last node " + std::to_string(st.npoin);
        for (long long records = 0;; ++records) {
            // npoin records without the last node: what follows belongs to the
            // next block and would be taken for nodes.
            if (records == st.npoin) {
                input_error(st, status, block, never);
                return false;
            }
            fio::ListReader r(st.units, kUnitInput);
            int p = 0, id = 0;
            double x[3] = {0, 0, 0};
            r >> p >> id >> x[0] >> x[1] >> x[2];
            if (!r.ok() && r.status() == fio::kEnd) {
                input_error(st, status, block, "end of file: " + never);
                return false;
            }
            if (read_failed(st, status, block, r)) return false;
            if (out_of_range(st, status, block, "node", p, 1, st.npoin)) return false;
            for (double c : x)
                if (!(std::fabs(c) <= kMaxCoordinate)) {
                    char text[48];
                    std::snprintf(text, sizeof text, "%g", c);
                    input_error(
                        st, status, block,
                        "node " + std::to_string(id) + ": coordinate " + text + " beyond the range -1e+07 to 1e+07");
                    return false;
                }
            st.node_ids(p) = id;
            for (int c = 1; c <= 3; ++c) st.coord(c, p) = x[c - 1];
            if (p == st.npoin) break;
        }
    }
    return true;
}

// The element and node tables in the listing.
void echo_mesh(RunState& st) {
    // Element echo.
    {
        fio::Writer(st.units, kUnitListing).skip(2).lit(" Element").x(3).lit("Material").x(16).lit("Node Numbers");
        fio::Writer w(st.units, kUnitListing);
        w.lit("        ").x(3).lit("        ").x(3);
        for (int a = 1; a <= st.nnode; ++a) w.i(a, 2).x(6);
    }
    for (int e = 1; e <= st.nelem; ++e) {
        fio::Writer w(st.units, kUnitListing);
        w.i(st.element_ids(e), 8).i(st.element_material(e), 8);
        for (int a = 1; a <= st.nnode; ++a) w.i(node_id(st, st.lnods(a, e)), 8);
    }

    // Node echo.
    heading(st, "   Nodal Point Coordinates");
    fio::Writer(st.units, kUnitListing).lit("     Node").x(10).lit("X").x(12).lit("Y").x(12).lit("Z");
    for (int p = 1; p <= st.npoin; ++p)
        fio::Writer(st.units, kUnitListing)
            .x(1)
            .i(st.node_ids(p), 8)
            .f(st.coord(1, p), 13, 4)
            .f(st.coord(2, p), 13, 4)
            .f(st.coord(3, p), 13, 4);
}

// The restraint table, echoed.
bool read_restraints(RunState& st, int& status) {
    heading(st, " Restrained Nodes");
    fio::Writer(st.units, kUnitListing).lit("    Node").x(1).lit(" Code ").x(6).lit("Fixed Values");
    {
        const std::string block = "restraints";
        for (int i = 1; i <= st.nvfix; ++i) {
            fio::ListReader r(st.units, kUnitInput);
            int p = 0, code[6] = {};
            double v[6] = {};
            r >> p;
            for (int& c : code) r >> c;
            for (double& x : v) r >> x;
            if (read_failed(st, status, block, r)) return false;
            st.fixnod(i) = p;  // a node out of range is counted by check2
            for (int k = 1; k <= 6; ++k) {
                st.fixcod(k, i) = code[k - 1];
                st.fixval(k, i) = v[k - 1];
            }
            fio::Writer w(st.units, kUnitListing);
            w.x(1).i(node_id(st, p), 7).x(2);
            for (int c : code) w.i(c, 1);
            for (double x : v) w.e(x, 13, 5);
        }
    }
    return true;
}

// The material table, echoed with the last rigidities.
bool read_materials(RunState& st, int& status) {
    heading(st, "  Material Properties");
    fio::Writer(st.units, kUnitListing)
        .lit("  Number")
        .x(7)
        .lit(" Young Modulus   Poisson Ratio ")
        .lit("    Thickness    ");
    {
        const std::string block = "materials";
        int last_type = 0;
        double last_rigidities[6] = {0, 0, 0, 0, 0, 0};
        for (int n = 1; n <= st.nmats; ++n) {
            fio::ListReader r(st.units, kUnitInput);
            int m = 0, type = 0;
            double p[3] = {0, 0, 0};
            r >> m >> type;
            for (int k = 0; k < st.nprop && k < 3; ++k) r >> p[k];
            if (read_failed(st, status, block, r)) return false;
            if (out_of_range(st, status, block, "material", m, 1, st.nmats)) return false;
            for (int k = 1; k <= 3; ++k) st.props(k, m) = p[k - 1];
            last_type = type;
            const char* name = type == 1 ? "ISOTP" : type == 2 ? "ORTH1" : type == 3 ? "ORTH2" : nullptr;
            if (name) std::memcpy(st.material_type_names.column(m), name, 5);
            if (type == 2 || type == 3) {
                fio::ListReader rr(st.units, kUnitInput);
                double d[6] = {0, 0, 0, 0, 0, 0};
                for (double& x : d) rr >> x;
                if (read_failed(st, status, block, rr)) return false;
                for (int k = 1; k <= 6; ++k) st.orthotropic_rigidities(k, m) = d[k - 1];
                std::memcpy(last_rigidities, d, sizeof d);
            }
            fio::Writer w(st.units, kUnitListing);
            w.x(1).i(m, 5).x(7);
            for (int k = 1; k <= st.nprop && k <= 3; ++k) w.e(st.props(k, m), 16, 6);
        }
        fio::Writer(st.units, kUnitListing);
        if (last_type > 1) {
            fio::Writer(st.units, kUnitListing).lit("  Flexural and shear rigidity :");
            fio::Writer w(st.units, kUnitListing);
            const char* const names[6] = {"  Dxx=", "  Dyy=", "  Dv=", "  Dxy=", "  Dsx=", "  Dsy="};
            for (int k = 0; k < 6; ++k) w.lit(names[k]).e(last_rigidities[k], 11, 4);
        }
    }
    return true;
}

// The soil model in the listing.
void echo_soil(RunState& st) {
    if (st.isoil > 0) {
        heading(st, "  Soil Stiffness");
        if (st.isoil == 1) {
            fio::Writer(st.units, kUnitListing).lit("  Using Mindlin Equation");
            fio::Writer(st.units, kUnitListing)
                .lit("  Young Modulus Soil=")
                .e(st.esoil, 11, 4)
                .lit("  Poisson Ratio=")
                .f(st.psoil, 8, 4)
                .lit("  Initial Stiffness=")
                .e(st.ksoil0, 11, 4);
        } else if (st.isoil == 2) {
            heading(st, "  Using Vlasov Approach ");
            fio::Writer(st.units, kUnitListing)
                .lit("  Young Modulus Top=")
                .e(st.esoil, 11, 4)
                .lit("  Young Modulus Bottom=")
                .e(st.ebot, 11, 4);
            fio::Writer(st.units, kUnitListing)
                .lit("  Poisson Ratio")
                .f(st.psoil, 8, 4)
                .lit("  Soil Depth=")
                .e(st.hsoil, 11, 4)
                .lit("  Initial Gamma=")
                .f(st.gamma0, 8, 4);
        }
    }
}

// Nodal and distributed loads and stiffnesses.
bool read_nodal_and_distributed(RunState& st, int& status) {
    // Nodal loads.
    if (st.nnlod > 0) {
        six_heading(st, " Nodal Loads", "Node", kForces);
        if (!read_six_block(st, status, "nodal loads", st.nnlod, true, st.nodal_load_nodes, st.nodal_load_values))
            return false;
    }

    // Nodal stiffnesses.
    if (st.nnsti > 0) {
        six_heading(st, " Nodal Stiffnesses", "Node", kStiffs);
        if (st.isoil == 0) {
            if (!read_six_block(st, status, "nodal stiffnesses", st.nnsti, true, st.nodal_stiffness_nodes,
                                st.nodal_stiffness_values))
                return false;
        } else if (st.isoil == 1) {
            for (int i = 1; i <= st.nnsti; ++i) {
                st.nodal_stiffness_nodes(i) = i;
                double v[6] = {st.ksoil0, 0, 0, 0, 0, 0};
                for (int k = 1; k <= 6; ++k) st.nodal_stiffness_values(k, i) = v[k - 1];
                six_row(st, node_id(st, i), v);
            }
        }
    }

    // Distributed loads and stiffnesses.
    if (st.ndlod > 0) {
        six_heading(st, " Distributed Loads", "Element", kForces);
        if (!read_six_block(st, status, "distributed loads", st.ndlod, false, st.distributed_load_elements,
                            st.distributed_load_values))
            return false;
    }
    if (st.ndsti > 0) {
        six_heading(st, " Distributed Stiffnesses", "Element", kStiffs);
        if (!read_six_block(st, status, "distributed stiffnesses", st.ndsti, false, st.distributed_stiffness_elements,
                            st.distributed_stiffness_values))
            return false;
    }
    return true;
}

// The edges of the Vlasov soil springs.
bool read_vlasov_edges(RunState& st, int& status) {
    if (st.nvedge > 0) {
        heading(st, " Edge Elements for Soil Springs");
        fio::Writer(st.units, kUnitListing).lit("   Elem    Side    Dof  ");
        const std::string block = "edge elements for soil springs";
        for (int i = 1; i <= st.nvedge; ++i) {
            fio::ListReader r(st.units, kUnitInput);
            int e = 0, side = 0, dof = 0;
            r >> e >> side >> dof;
            if (read_failed(st, status, block, r)) return false;
            if (out_of_range(st, status, block, "element", e, 1, st.nelem)) return false;
            if (out_of_range(st, status, block, "side", side, 1, 4)) return false;
            st.vlasov_edges(1, i) = e;
            st.vlasov_edges(2, i) = side;
            st.vlasov_edges(3, i) = dof;
            fio::Writer(st.units, kUnitListing).i(element_id(st, e), 8).i(side, 8).i(dof, 8);
        }
    }
    return true;
}

// Edge and concentrated loads and stiffnesses.
bool read_edge_and_point_blocks(RunState& st, int& status) {
    if (st.nedlod > 0 &&
        !read_edge_block(st, status, " Edge Loads", "edge loads", st.nedlod, st.edge_load_edges, st.edge_load_values))
        return false;
    if (st.nedsti > 0 && !read_edge_block(st, status, " Edge Stiffness", "edge stiffnesses", st.nedsti,
                                          st.edge_stiffness_edges, st.edge_stiffness_values))
        return false;

    // Concentrated actions, each block located in the mesh once read.
    if (st.nclod > 0 && !read_point_block(st, status, " Concentrated Loads", &kForces, "concentrated loads", st.nclod,
                                          st.point_load_positions, st.point_load_values, st.point_load_elements))
        return false;
    if (st.ncsti > 0 &&
        !read_point_block(st, status, " Concentrated Stiffnesses", &kStiffs, "concentrated stiffnesses", st.ncsti,
                          st.point_stiffness_positions, st.point_stiffness_values, st.point_stiffness_elements))
        return false;
    if (st.nctsti > 0 && !read_point_block(st, status, " Concentrated Total Stiffnesses", nullptr,
                                           "concentrated total stiffnesses", st.nctsti, st.total_stiffness_positions,
                                           st.total_stiffness_values, st.total_stiffness_elements))
        return false;
    return true;
}

// The profiles of the nonlinear nodal springs, by node and freedom.
bool read_nonlinear_index(RunState& st, int& status) {
    if (st.nnlin > 0) {
        heading(st, " Index of Nonlinear Nodal Stiffnesses");
        {
            fio::Writer w(st.units, kUnitListing);
            w.x(5).lit("Node").x(6).lit("iKX");
            for (const char* n : {"iKY", "iKZ", "iRX", "iRY", "iRZ"}) w.x(5).lit(n);
        }
        const std::string block = "nonlinear index";
        for (int i = 1; i <= st.nnlin; ++i) {
            fio::ListReader r(st.units, kUnitInput);
            int p = 0, prof[6] = {};
            r >> p;
            for (int& x : prof) r >> x;
            if (read_failed(st, status, block, r)) return false;
            if (out_of_range(st, status, block, "node", p, 1, st.npoin)) return false;
            // A profile of 0 or less leaves the freedom without a spring.
            for (int x : prof)
                if (out_of_range(st, status, block, "profile", x, std::min(x, 0), st.nprof)) return false;
            st.nonlinear_nodes(i) = p;
            for (int k = 1; k <= 6; ++k) st.nonlinear_profile_index(i, k) = prof[k - 1];
            fio::Writer w(st.units, kUnitListing);
            w.x(1).i(p, 8);
            for (int x : prof) w.i(x, 8);
        }
    }
    return true;
}

// The nonlinear profiles.
bool read_profiles(RunState& st, int& status) {
    if (st.nprof > 0) {
        heading(st, " Nonlinear Profile");
        const std::string block = "nonlinear profiles";
        for (int k = 1; k <= st.nprof; ++k) {
            fio::ListReader r(st.units, kUnitInput);
            int n = 0;
            r >> n;
            if (read_failed(st, status, block, r)) return false;
            if (out_of_range(st, status, block, "point count", n, 0, st.mxpts)) return false;
            fio::Writer(st.units, kUnitListing).x(1).lit("Profile ").i(k, 4);
            for (int j = 1; j <= n; ++j) {
                fio::ListReader rp(st.units, kUnitInput);
                double d = 0, f = 0;
                rp >> d >> f;
                if (read_failed(st, status, block, rp)) return false;
                st.nonlinear_profiles(1, j, k) = d;
                st.nonlinear_profiles(2, j, k) = f;
                fio::Writer(st.units, kUnitListing).x(1).e(d, 13, 5).e(f, 13, 5);
            }
            st.nonlinear_profiles(1, static_cast<long long>(st.mxpts) + 1, k) = n;
            st.nonlinear_profiles(2, static_cast<long long>(st.mxpts) + 1, k) = n;
        }
    }
    return true;
}

}  // namespace

void read_input(RunState& st, int& status) {
    control_echo(st);

    status = -1;
    check1(st, status);
    if (status > 0) return;
    if (!check_control_values(st, status)) return;

    shape_functions(st, 0.0, 0.0, st.nnode);
    if (!read_elements(st, status) || !read_nodes(st, status)) return;
    echo_mesh(st);
    if (!read_restraints(st, status) || !read_materials(st, status)) return;
    echo_soil(st);
    if (!read_nodal_and_distributed(st, status) || !read_vlasov_edges(st, status) ||
        !read_edge_and_point_blocks(st, status) || !read_nonlinear_index(st, status) || !read_profiles(st, status))
        return;

    gauss_points(st);

    // Material values that no rigidity can take reject the input; check2 still
    // runs, so that the front width is listed on every run.
    check_material_values(st, status);
    check2(st, status);
    if (status > 0) return;
    check_element_geometry(st, status);
    if (status > 0) return;

    st.node_element_count.fill(0);
    for (int e = 1; e <= st.nelem; ++e)
        for (int a = 1; a <= st.nnode; ++a) ++st.node_element_count(st.lnods(a, e));
}

}  // namespace parvane
