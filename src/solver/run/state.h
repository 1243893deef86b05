// Shared state of one analysis run of the solver library.
//
// Everything the solver routines share lives in one `RunState`, created for
// an ITORVE(2) call and destroyed at its end: the control values read from
// the head of the numeric input, the fixed dimensions, soil values, numeric
// constants, cut control, file names and title, the open units, the frontal
// solver with its stored equations, the Mindlin soil's kept influences, the
// work arrays, the shape, Gauss and element-loop blocks of the element being
// formed, and the driver's figures and converged-step call.  Nothing is kept
// between runs; `reset()` gives a state as new (the frontal solver, the
// Mindlin soil and the converged-step call keep their settings).
//
// Arrays are stored column by column (first index fastest) and indexed from
// 1 through FArray::operator(), as the routines address them:
//   st.coord(2, p)        y coordinate of node p
//   st.lnods(k, e)        local node k of element e
//   st.estiff(i, j, e)    entry (i, j) of the matrix of element e (read only)
// Every FArray starts zeroed when allocated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fio/fio.h"
#include "solver/frontal/frontal.h"
#include "solver/run/status.h"

namespace parvane {

// The records of a node list (nodal or nonlinear springs) by node: the
// records of node n are list[start[n - 1] .. start[n] - 1], in record order.
// Built on first use in an element loop, dropped when the loop ends.
struct RecordIndex {
    bool valid = false;
    std::vector<int> start, list;
};

struct MindlinSoil;

// Earlier iterates of a fixed-point iteration and their residuals
// (new - current), oldest first, for its Anderson acceleration.
struct AndersonHistory {
    std::vector<std::vector<double>> iterates, residuals;
    void clear() {
        iterates.clear();
        residuals.clear();
    }
};

// ---------------------------------------------------------------------------
// Unit numbers of the run files.
inline constexpr int kUnitFort2 = 2;      // "fort2": eliminated equations of the frontal solver
inline constexpr int kUnitFort3 = 3;      // "fort3": element records of the element loop
inline constexpr int kUnitFort4 = 4;      // "fort4" (first serves "torve.dat")
inline constexpr int kUnitControl = 4;    // "torve.dat", closed right after reading
inline constexpr int kUnitInput = 5;      // numeric input ".sin"
inline constexpr int kUnitListing = 6;    // listing ".sou"
inline constexpr int kUnitResults = 7;    // step results ".sds"
inline constexpr int kUnitMessages = 8;   // message file ".sms" (appended)
inline constexpr int kUnitCut = 9;        // section-cut results ".cut"
inline constexpr int kUnitCutRead = 20;   // rewriting of the cut results
inline constexpr int kUnitCutWrite = 21;  // rewriting of the cut results
inline constexpr int kUnitCutTmp = 22;    // "section_cut.tmp"


// ---------------------------------------------------------------------------
// Column-major array with 1-based indexing and up to three dimensions.
template <class T>
class FArray {
public:
    FArray() = default;
    // Resize and clear to zero; negative sizes count as zero.
    void allocate(long long n1, long long n2 = 1, long long n3 = 1) {
        n1_ = n1 > 0 ? static_cast<std::size_t>(n1) : 0;
        n2_ = n2 > 0 ? static_cast<std::size_t>(n2) : 0;
        n3_ = n3 > 0 ? static_cast<std::size_t>(n3) : 0;
        v_.assign(n1_ * n2_ * n3_, T{});
    }
    void fill(const T& x) { v_.assign(v_.size(), x); }
    void release() {
        std::vector<T>().swap(v_);
        n1_ = n2_ = n3_ = 0;
    }

    T& operator()(long long i) { return v_[static_cast<std::size_t>(i - 1)]; }
    const T& operator()(long long i) const { return v_[static_cast<std::size_t>(i - 1)]; }
    T& operator()(long long i, long long j) { return v_[idx(i, j, 1)]; }
    const T& operator()(long long i, long long j) const { return v_[idx(i, j, 1)]; }
    T& operator()(long long i, long long j, long long k) { return v_[idx(i, j, k)]; }
    const T& operator()(long long i, long long j, long long k) const { return v_[idx(i, j, k)]; }

    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    // Start of column j (of slab k): the Fortran way of passing a sub-array.
    T* column(long long j, long long k = 1) { return v_.data() + idx(1, j, k); }
    const T* column(long long j, long long k = 1) const { return v_.data() + idx(1, j, k); }

    std::size_t size() const { return v_.size(); }
    bool empty() const { return v_.empty(); }
    std::size_t dim1() const { return n1_; }
    std::size_t dim2() const { return n2_; }
    std::size_t dim3() const { return n3_; }
    std::vector<T>& vec() { return v_; }
    const std::vector<T>& vec() const { return v_; }

private:
    std::size_t idx(long long i, long long j, long long k) const {
        return static_cast<std::size_t>(i - 1) +
               n1_ * (static_cast<std::size_t>(j - 1) + n2_ * static_cast<std::size_t>(k - 1));
    }
    std::vector<T> v_;
    std::size_t n1_ = 0, n2_ = 0, n3_ = 0;
};

// ---------------------------------------------------------------------------
// The symmetric element matrices of a run, each kept as its upper triangle
// column by column: entry (i, j), i <= j, of element e at
// packed_index(i, j) of element(e).  The memory is reserved untouched (in
// huge pages where the system gives them: its first writes cost far less than
// page by page); the element loop writes every entry of an element before
// anything reads it.
class ElementMatrices {
public:
    static constexpr std::size_t packed_size(int n) { return static_cast<std::size_t>(n) * (n + 1) / 2; }
    // Place of entry (i, j), 1 <= i <= j, in a packed matrix.
    static constexpr std::size_t packed_index(int i, int j) {
        return static_cast<std::size_t>(j) * (j - 1) / 2 + static_cast<std::size_t>(i - 1);
    }

    // Throws std::bad_alloc when the memory cannot be reserved.
    void allocate(long long nevab, long long nelem);
    void release() {
        v_.reset();
        n_ = 0;
        nelem_ = size_ = 0;
    }

    // Entry (i, j) of element e, either triangle.
    double operator()(int i, int j, long long e) const {
        if (i > j) std::swap(i, j);
        return element(e)[packed_index(i, j)];
    }
    double* element(long long e) { return v_.get() + packed_size(n_) * static_cast<std::size_t>(e - 1); }
    const double* element(long long e) const { return v_.get() + packed_size(n_) * static_cast<std::size_t>(e - 1); }

    double* data() { return v_.get(); }
    const double* data() const { return v_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    int nevab() const { return n_; }

private:
    struct Free {
        void operator()(double* p) const { std::free(p); }
    };
    std::unique_ptr<double[], Free> v_;
    int n_ = 0;
    std::size_t nelem_ = 0, size_ = 0;
};

// ---------------------------------------------------------------------------
// Elements that contain each node (no limit on their number).  Same meaning
// as a row of "elements, then their count": element(p, k) for k = 1..count(p),
// in increasing element order when filled element by element.
class NodeElementList {
public:
    void clear(int npoin) { rows_.assign(npoin > 0 ? static_cast<std::size_t>(npoin) : 0, {}); }
    void add(int p, int e) { rows_[static_cast<std::size_t>(p - 1)].push_back(e); }
    int count(int p) const { return static_cast<int>(rows_[static_cast<std::size_t>(p - 1)].size()); }
    int element(int p, int k) const { return rows_[static_cast<std::size_t>(p - 1)][static_cast<std::size_t>(k - 1)]; }
    const std::vector<int>& row(int p) const { return rows_[static_cast<std::size_t>(p - 1)]; }
    int npoin() const { return static_cast<int>(rows_.size()); }

private:
    std::vector<std::vector<int>> rows_;
};

// Pairs (element, local node position) of each node, for the section cuts.
class NodeElementPairs {
public:
    struct Pair {
        int element = 0;
        int local = 0;
    };
    void clear(int npoin) { rows_.assign(npoin > 0 ? static_cast<std::size_t>(npoin) : 0, {}); }
    void add(int p, int e, int local) { rows_[static_cast<std::size_t>(p - 1)].push_back({e, local}); }
    int count(int p) const { return static_cast<int>(rows_[static_cast<std::size_t>(p - 1)].size()); }
    const Pair& pair(int p, int k) const {
        return rows_[static_cast<std::size_t>(p - 1)][static_cast<std::size_t>(k - 1)];
    }
    int npoin() const { return static_cast<int>(rows_.size()); }

private:
    std::vector<std::vector<Pair>> rows_;
};

// ---------------------------------------------------------------------------
// Shape values of the current element (`shape_common`).
struct ShapeCommon {
    std::array<double, 9> shape_values{};               // N1..N9 (index 0 = N1)
    std::array<double, 2 * 9> local_derivatives{};      // (a, i) at [(i-1)*2 + a-1]: a=1 d/ds, a=2 d/dt
    std::array<double, 3 * 9> cartesian_derivatives{};  // (a, i) at [(i-1)*3 + a-1]: a=1 d/dy, a=2 d/dz
    std::array<double, 3 * 9> element_coords{};         // (c, i) at [(i-1)*3 + c-1]: global x, y, z
    std::array<double, 3 * 9> element_plane_coords{};   // (c, i): components 1, 2 in the plate plane

    double& N(int i) { return shape_values[static_cast<std::size_t>(i - 1)]; }
    double& dN(int a, int i) { return local_derivatives[static_cast<std::size_t>((i - 1) * 2 + a - 1)]; }
    double& cart(int a, int i) { return cartesian_derivatives[static_cast<std::size_t>((i - 1) * 3 + a - 1)]; }
    double& ecoord(int c, int i) { return element_coords[static_cast<std::size_t>((i - 1) * 3 + c - 1)]; }
    double& pcoord(int c, int i) { return element_plane_coords[static_cast<std::size_t>((i - 1) * 3 + c - 1)]; }
};

// The two Gauss-Legendre rules and the points of the current element (`gauss_common`).
struct GaussCommon {
    std::array<double, 4> gauss_positions{};  // main rule, first ngaus used (index 0 = point 1)
    std::array<double, 4> gauss_weights{};
    std::array<double, 3 * 9> gauss_point_coords{};  // (c, k) at [(k-1)*3 + c-1]
    std::array<double, 4> gauss_positions2{};        // second rule, first ngaus2 used
    std::array<double, 4> gauss_weights2{};

    double& point(int c, int k) { return gauss_point_coords[static_cast<std::size_t>((k - 1) * 3 + c - 1)]; }
};

// ---------------------------------------------------------------------------
// Everything of a run but its open units (copyable, so that it can be reset).
struct RunData {
    // --- control_data: head of the numeric input -------------------------------
    int isoil = 0;       // soil kind: 1 Mindlin, 2 Vlasov, other springs only
    int npoin = 0;       // nodes
    int nelem = 0;       // elements
    int nmats = 0;       // materials
    int nnode = 0;       // nodes per element (4, 8, 9)
    int ngaus = 0;       // points per direction, first rule
    int ngaus2 = 0;      // points per direction, second rule
    int nvfix = 0;       // restrained nodes
    int nnlod = 0;       // nodal loads
    int nnsti = 0;       // nodal stiffnesses (npoin when isoil is 1 or 2)
    int ndlod = 0;       // distributed loads
    int ndsti = 0;       // distributed stiffnesses
    int nclod = 0;       // concentrated loads
    int ncsti = 0;       // concentrated stiffnesses
    int nvedge = 0;      // element sides carrying Vlasov edge springs
    int nedlod = 0;      // edge loads
    int nedsti = 0;      // edge stiffnesses
    int nctsti = 0;      // total concentrated stiffnesses
    int ictsti = 0;      // flag of the total concentrated stiffnesses
    int nnlin = 0;       // nodes with nonlinear springs
    int nprof = 0;       // nonlinear deformation-force profiles
    int mxpts = 0;       // largest number of points in one profile
    double dt = 0.0;     // time increment
    double tini = 0.0;   // initial time
    double tend = 0.0;   // end time
    double dtmin = 0.0;  // smallest increment allowed
    int maxiter = 0;     // most iterations per increment
    double toler = 0.0;  // convergence tolerance

    // --- control_data: fixed by the driver --------------------------------------
    int ndime = 3;  // coordinates per node
    int nprop = 3;  // properties per material
    int ndofn = 6;  // freedoms per node: x, y, z displacement, x, y, z rotation
    int nstre = 8;  // stress values per integration point
    int ntype = 0;
    int ncase = 1;
    int icase = 0;           // copy of ncase made at the start of the step loop
    int nevab = 0;           // 6 * nnode
    int ntotv = 0;           // 6 * npoin
    int istep = 0;           // step counter, 1 for the first step
    int iter = 0;            // iteration within an increment
    double tcur = 0.0;       // time at the end of the increment being solved
    double dtcur = 0.0;      // current increment
    int front_capacity = 0;  // largest front plus one, set by check2
    // Elements (from 0) in the order the frontal solution assembles them, set
    // by check2 (empty: the model's order).
    std::vector<int> element_order;

    // Element dimension values.
    int nstrp = 5;  // rows of the plate rigidity (three bending, two shear)
    int nstrm = 3;  // membrane rows
    int nevm = 0;   // 2 * nnode
    int nevp = 0;   // 3 * nnode
    int nevd = 0;   // 3 * nnode
    int nevq = 0;   // 4 * nnode
    int nvlas3 = 3;
    int nvlev = 0;  // 3 * nnode
    int nevx = 0;   // 3 * nnode
    int nsh2 = 2;
    int nst1 = 1;
    int ngsq = 0;  // ngaus * ngaus

    // Local freedom counts of the element frame: membrane, plate, drilling.
    int ndof_membrane = 2;
    int ndof_plate = 3;
    int ndof_drilling = 1;

    // --- soil values (head record 3) ------------------------------------------
    double esoil = 0.0;                                       // Young's modulus (Mindlin) / at the top (Vlasov)
    double ebot = 0.0;                                        // Young's modulus at the bottom (Vlasov)
    double psoil = 0.0;                                       // Poisson's ratio
    double ksoil0 = 0.0;                                      // initial stiffness (Mindlin)
    double hsoil = 0.0;                                       // soil depth (Vlasov)
    double gamma0 = 0.0;                                      // gamma (Vlasov), updated by the Vlasov routines
    double vlasov_k = 0.0;                                    // area spring k from gamma
    double vlasov_2t = 0.0;                                   // shear layer 2t from gamma
    std::array<std::array<int, 2>, 4> vlasov_corner_table{};  // (node, element), 0 when free

    // --- numeric_constants: 0, 1, 2, 3, 4, 5, 6, 8, 0.5, 0.25 -------------------
    std::array<double, 10> numeric_constants{};

    // --- cut_control ----------------------------------------------------------------
    int ncut = 0;                   // number of cut lines
    int icutm = 0;                  // 1 least squares, 2 interpolation
    int ngrid = 5;                  // points per direction of the local search grid / per stretch
    int nlsq1 = 5;                  // fitted cut quantities
    int nlsq2 = 120;                // node-list capacity of the cut fit
    int nlsq3 = 20;                 // patch capacity (grows as needed)
    std::array<double, 4> cutpt{};  // start y, end y, start z, end z

    // --- file_names and title ---------------------------------------------------
    // Slot 0: message file (".sms"); 1 numeric input; 2 listing; 3 step results;
    // 4 cut results.  Whole lines of "torve.dat", trailing blanks removed.
    std::array<std::string, 5> file_names{};
    std::string title;  // 72 characters of head record 1

    // --- element frame blocks -------------------------------------------------
    ShapeCommon shape_common;
    GaussCommon gauss_common;
    std::array<double, 4> jacobian{};  // (a, b) at [(b-1)*2 + a-1]
    std::array<double, 4> inverse_jacobian{};

    // --- input checks ----------------------------------------------------------
    std::array<int, 25> check_errors{};  // counters 1..24 (index 0 unused)

    // --- work arrays (allocated by allocate_work_arrays) -------------------------
    FArray<double> coord;              // ndime x npoin
    FArray<int> node_ids;              // npoin: the node's own number (listing only)
    FArray<int> lnods;                 // nnode x nelem
    FArray<int> element_ids;           // nelem: the element's own number (listing only)
    FArray<int> element_material;      // nelem
    FArray<double> props;              // nprop x nmats: E, nu, thickness
    FArray<char> material_type_names;  // 5 x nmats: "ISOTP", "ORTH1", "ORTH2" (blank when unset)
    // Six rigidities Dxx, Dyy, Dv, Dxy, Dsx, Dsy of each orthotropic material,
    // column m = material m (each material keeps its own record).
    FArray<double> orthotropic_rigidities;  // 6 x nmats

    FArray<int> fixnod;     // nvfix: restrained nodes (restraint_nodes)
    FArray<int> fixcod;     // ndofn x nvfix: restraint codes (restraint_codes)
    FArray<double> fixval;  // ndofn x nvfix: prescribed values (restraint_values)

    FArray<int> nodal_load_nodes;                 // nnlod
    FArray<double> nodal_load_values;             // ndofn x nnlod
    FArray<int> nodal_stiffness_nodes;            // nnsti
    FArray<double> nodal_stiffness_values;        // ndofn x nnsti
    FArray<int> distributed_load_elements;        // ndlod
    FArray<double> distributed_load_values;       // ndofn x ndlod
    FArray<int> distributed_stiffness_elements;   // ndsti
    FArray<double> distributed_stiffness_values;  // ndofn x ndsti
    FArray<int> vlasov_edges;                     // 3 x nvedge: element, side, freedom
    FArray<int> edge_load_edges;                  // 3 x nedlod
    FArray<double> edge_load_values;              // 3 x nedlod
    FArray<int> edge_stiffness_edges;             // 3 x nedsti
    FArray<double> edge_stiffness_values;         // 3 x nedsti
    // Points of concentrated actions: components 1, 2 hold the local s, t once
    // located (component 3 keeps the input value); *_elements holds the
    // containing element, 0 when none.
    FArray<double> point_load_positions;       // ndime x nclod
    FArray<double> point_load_values;          // ndofn x nclod
    FArray<int> point_load_elements;           // nclod
    FArray<double> point_stiffness_positions;  // ndime x ncsti
    FArray<double> point_stiffness_values;     // ndofn x ncsti
    FArray<int> point_stiffness_elements;      // ncsti
    FArray<double> total_stiffness_positions;  // ndime x nctsti
    FArray<int> total_stiffness_elements;      // nctsti
    // Six values of each total concentrated stiffness (ndofn x nctsti); the
    // element loop spreads them like concentrated springs when they are kept.
    FArray<double> total_stiffness_values;

    FArray<int> nonlinear_nodes;          // nnlin
    FArray<int> nonlinear_profile_index;  // nnlin x ndofn
    FArray<double> nonlinear_profiles;    // 2 x (mxpts + 1) x nprof; pair mxpts+1 holds the count
    FArray<int> node_element_count;       // npoin

    // Displacements.
    FArray<double> disp_vectors;  // ntotv x 2: column 1 the total displacements
    FArray<double> disp_iter;     // ntotv: correction of one solution (displacement_increment)
    FArray<double> disp_step;     // ntotv: increment of the current step (step_increment)

    // Element matrices and vectors.
    ElementMatrices estiff;  // nevab x nevab per element, upper triangle (element_stiffness)
    // The plate and its soil do not change within a run (without the Vlasov
    // soil, whose parameters the iteration updates); the springs enter the
    // element matrices on the diagonal alone.  Once an element loop has formed
    // every element, the next ones take the off-diagonal terms from estiff and
    // the diagonal without springs from here, and do not form them again.
    FArray<double> plate_diagonal;  // nevab x nelem
    // The half-space soil of 8-node elements couples the deflections of an
    // element's nodes: its last terms (nnode x nnode per element), which the
    // later loops take off the kept matrices before they enter the new ones.
    FArray<double> soil_blocks;
    bool plate_matrices_kept = false;
    FArray<double> element_loads;    // nevab x nelem: set A, the right-hand sides
    FArray<double> element_loads_b;  // nevab x nelem: set B
    FArray<double> element_areas;    // nelem

    // Nodal vectors of the iteration.
    FArray<double> nodal_n1;  // ntotv: N1, also the nodal result of the frontal solver (support_forces)
    FArray<double> nodal_n2;  // ntotv: N2
    FArray<double> nodal_v;   // ntotv: V
    FArray<double> nodal_w;   // ntotv: W

    // Soil.
    FArray<double> soil_stiffness;                       // npoin: current nodal soil stiffness
    FArray<double> soil_stiffness_new;                   // npoin: newly computed
    FArray<double> soil_stiffness_restart;               // npoin: of the last converged step
    FArray<double> settlements;                          // npoin
    RecordIndex nodal_stiffness_index, nonlinear_index;  // records of the spring lists by node
    RecordIndex distributed_stiffness_index;             // distributed spring records by element
    AndersonHistory mindlin_history;                     // earlier iterates of the Mindlin stiffness in the increment
    double soil_bearing = 0;  // +1 / -1: the sign of the deflection that presses the Mindlin soil (0: not yet known)
    FArray<double> element_soil_loads;  // nelem
    FArray<double> soil_reactions;      // 6 x npoin: nodal soil reaction of the step

    // Results.
    FArray<double> nodal_stresses;         // (nstre + 6) x npoin
    FArray<double> gauss_stresses;         // nstre x ngaus^2 x nelem
    FArray<double> nodal_reactions;        // 6 x npoin
    FArray<double> nonlinear_forces;       // npoin: force of the nonlinear spring (spring_force_results)
    FArray<double> nodal_soil_results;     // npoin: soil pressure at each node
    FArray<double> element_soil_pressure;  // nelem
    FArray<double> node_weights;           // npoin

    // Interpolation tables of the stresses and the section cuts.
    NodeElementList node_element_list;     // elements of each node
    NodeElementPairs node_element_pairs;   // (element, local node) of each node
    FArray<double> gauss_point_positions;  // 2 x ngaus^2 x nelem: y, z of every Gauss point
    FArray<int> first_gauss_point;         // nelem

    // Run bookkeeping.
    fio::DateTime start_time{};  // date and time written at the start
};

struct ElementLoop;
struct RunState;

// Figures of one run of the driver (for the benchmark): the iterations of
// all increments, the seconds of the frontal solutions (and of their
// eliminations) and of the soil updates.
struct RunFigures {
    int iterations = 0;
    double solve_seconds = 0;
    double elimination_seconds = 0;  // with the refinement steps of solutions that eliminated nothing
    int refined_solutions = 0;       // solutions by refinement through stored equations
    double soil_seconds = 0;
};

// Called by the driver after the results of every converged step are
// written, with the run state as it stands (for tests and tools that look at
// the values).
using ConvergedStepHook = void (*)(const RunState& st, void* data);

struct RunState : RunData {
    RunState();
    ~RunState();

    fio::Units units;       // the open units of the run
    FrontalSolver frontal;  // the frontal solver with its stored equations
    // The rigidity, strain-matrix and buffer blocks of the element loop
    // (elements/element_loop.h), beside the shape and Gauss blocks.
    std::unique_ptr<ElementLoop> element_loop;
    // The Mindlin soil's settings, kept influences and figures (soils/mindlin.h).
    std::unique_ptr<MindlinSoil> mindlin;
    // The figures of the driver's last run, and the call after each converged
    // step with its data (none unless set); the figures start anew with every
    // run, the call stays set.
    RunFigures figures;
    ConvergedStepHook converged_step_hook = nullptr;
    void* converged_step_data = nullptr;

    // Closes every unit (files kept) and sets every value as new (the
    // settings of the frontal solver and the Mindlin soil kept).
    void reset();
};

// Set the values the driver fixes once the head has been read: the fixed
// dimensions, nevab/ntotv and the element dimension values, nnsti = npoin for
// soil kinds 1 and 2, the numeric constants (5.0 included), ngrid = 5.
void set_fixed_values(RunState& st);

// Allocate (and clear) every work array from the counts; sizes below zero
// count as zero.  On failure: "error in allocating memory" to the standard
// error and the message file, every array released, status kStatusAlloc (the
// end of the run then writes the termination banner).
void allocate_work_arrays(RunState& st, int& status);

// Release every work array.
void release_work_arrays(RunState& st);

// "ISOTP"/"ORTH1"/"ORTH2" of material m, or blanks.
std::string material_type(const RunState& st, int m);

// The termination banner " ********* Analysis terminated **********" on the message file.
void write_termination_banner(RunState& st);

}  // namespace parvane
