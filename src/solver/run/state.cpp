#include "solver/run/state.h"

#include "solver/elements/element_loop.h"
#include "solver/soils/mindlin.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

namespace parvane {

void ElementMatrices::allocate(long long nevab, long long nelem) {
    release();
    const int n = nevab > 0 ? static_cast<int>(nevab) : 0;
    const std::size_t count = nelem > 0 ? packed_size(n) * static_cast<std::size_t>(nelem) : 0;
    if (count > 0) {
        constexpr std::size_t kHuge = std::size_t(2) << 20;
        if (count > (std::numeric_limits<std::size_t>::max() - kHuge) / sizeof(double)) throw std::bad_alloc();
        const std::size_t bytes = (count * sizeof(double) + kHuge - 1) / kHuge * kHuge;
        void* p = std::aligned_alloc(kHuge, bytes);
        if (p == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
        v_.reset(static_cast<double*>(p));
    }
    n_ = n;
    nelem_ = nelem > 0 ? static_cast<std::size_t>(nelem) : 0;
    size_ = count;
}

RunState::RunState() : element_loop(std::make_unique<ElementLoop>()), mindlin(std::make_unique<MindlinSoil>()) {}
RunState::~RunState() = default;

void RunState::reset() {
    units.close_all();
    frontal.release();
    element_loop = std::make_unique<ElementLoop>();
    mindlin->reset();
    static_cast<RunData&>(*this) = RunData{};
    figures = RunFigures{};
}

namespace {

// a * b held in an int; a product beyond its range stays at the bound (such
// counts are refused by the input checks or the allocation).
int product(int a, int b) {
    const long long p = static_cast<long long>(a) * b;
    if (p > 0x7FFFFFFFLL) return 0x7FFFFFFF;
    if (p < -0x7FFFFFFFLL) return -0x7FFFFFFF;
    return static_cast<int>(p);
}

}  // namespace

void set_fixed_values(RunState& st) {
    st.ndime = 3;
    st.nprop = 3;
    st.ndofn = 6;
    st.nstre = 8;
    st.ntype = 0;
    st.ncase = 1;
    st.nevab = product(6, st.nnode);
    st.ntotv = product(6, st.npoin);
    st.nstrp = 5;
    st.nstrm = 3;
    st.nevm = product(2, st.nnode);
    st.nevp = product(3, st.nnode);
    st.nevd = product(3, st.nnode);
    st.nevq = product(4, st.nnode);
    st.nvlas3 = 3;
    st.nvlev = product(3, st.nnode);
    st.nevx = product(3, st.nnode);
    st.nsh2 = 2;
    st.nst1 = 1;
    st.ngsq = product(st.ngaus, st.ngaus);
    st.ndof_membrane = 2;
    st.ndof_plate = 3;
    st.ndof_drilling = 1;
    if (st.isoil == 1 || st.isoil == 2) st.nnsti = st.npoin;
    st.numeric_constants = {0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 0.5, 0.25};
    st.ngrid = 5;
    st.nlsq1 = 5;
    st.nlsq2 = 120;
    st.nlsq3 = 20;
}

void release_work_arrays(RunState& st) {
    // Keep the scalar values; drop every array by swapping in empty ones.
    st.coord.release();
    st.node_ids.release();
    st.lnods.release();
    st.element_ids.release();
    st.element_material.release();
    st.props.release();
    st.material_type_names.release();
    st.orthotropic_rigidities.release();
    st.fixnod.release();
    st.fixcod.release();
    st.fixval.release();
    st.nodal_load_nodes.release();
    st.nodal_load_values.release();
    st.nodal_stiffness_nodes.release();
    st.nodal_stiffness_values.release();
    st.distributed_load_elements.release();
    st.distributed_load_values.release();
    st.distributed_stiffness_elements.release();
    st.distributed_stiffness_values.release();
    st.vlasov_edges.release();
    st.edge_load_edges.release();
    st.edge_load_values.release();
    st.edge_stiffness_edges.release();
    st.edge_stiffness_values.release();
    st.point_load_positions.release();
    st.point_load_values.release();
    st.point_load_elements.release();
    st.point_stiffness_positions.release();
    st.point_stiffness_values.release();
    st.point_stiffness_elements.release();
    st.total_stiffness_positions.release();
    st.total_stiffness_elements.release();
    st.total_stiffness_values.release();
    st.nonlinear_nodes.release();
    st.nonlinear_profile_index.release();
    st.nonlinear_profiles.release();
    st.node_element_count.release();
    st.disp_vectors.release();
    st.disp_iter.release();
    st.disp_step.release();
    st.estiff.release();
    st.plate_diagonal.release();
    st.soil_blocks.release();
    st.plate_matrices_kept = false;
    st.element_loads.release();
    st.element_loads_b.release();
    st.element_areas.release();
    st.nodal_n1.release();
    st.nodal_n2.release();
    st.nodal_v.release();
    st.nodal_w.release();
    st.soil_stiffness.release();
    st.soil_stiffness_new.release();
    st.soil_stiffness_restart.release();
    st.settlements.release();
    st.element_soil_loads.release();
    st.soil_reactions.release();
    st.nodal_stresses.release();
    st.gauss_stresses.release();
    st.nodal_reactions.release();
    st.nonlinear_forces.release();
    st.nodal_soil_results.release();
    st.element_soil_pressure.release();
    st.node_weights.release();
    st.node_element_list.clear(0);
    st.node_element_pairs.clear(0);
    st.gauss_point_positions.release();
    st.first_gauss_point.release();
}

namespace {

void allocation_failed(RunState& st, int& status) {
    release_work_arrays(st);
    std::fputs("error in allocating memory\n", stderr);
    fio::Writer(st.units, kUnitMessages).lit("error in allocating memory");
    status = kStatusAlloc;
}

}  // namespace

void allocate_work_arrays(RunState& st, int& status) {
    const long long npoin = st.npoin, nelem = st.nelem, nmats = st.nmats;
    const long long ndofn = st.ndofn, ndime = st.ndime, nnode = st.nnode;
    const long long nevab = st.nevab, ntotv = st.ntotv;
    const long long ngsq = static_cast<long long>(st.ngaus) * st.ngaus;
    try {
        st.coord.allocate(ndime, npoin);
        st.node_ids.allocate(npoin);
        st.lnods.allocate(nnode, nelem);
        st.element_ids.allocate(nelem);
        st.element_material.allocate(nelem);
        st.props.allocate(st.nprop, nmats);
        st.material_type_names.allocate(5, nmats);
        st.material_type_names.fill(' ');
        st.orthotropic_rigidities.allocate(6, nmats);
        st.fixnod.allocate(st.nvfix);
        st.fixcod.allocate(ndofn, st.nvfix);
        st.fixval.allocate(ndofn, st.nvfix);
        st.nodal_load_nodes.allocate(st.nnlod);
        st.nodal_load_values.allocate(ndofn, st.nnlod);
        st.nodal_stiffness_nodes.allocate(st.nnsti);
        st.nodal_stiffness_values.allocate(ndofn, st.nnsti);
        st.distributed_load_elements.allocate(st.ndlod);
        st.distributed_load_values.allocate(ndofn, st.ndlod);
        st.distributed_stiffness_elements.allocate(st.ndsti);
        st.distributed_stiffness_values.allocate(ndofn, st.ndsti);
        st.vlasov_edges.allocate(3, st.nvedge);
        st.edge_load_edges.allocate(3, st.nedlod);
        st.edge_load_values.allocate(3, st.nedlod);
        st.edge_stiffness_edges.allocate(3, st.nedsti);
        st.edge_stiffness_values.allocate(3, st.nedsti);
        st.point_load_positions.allocate(ndime, st.nclod);
        st.point_load_values.allocate(ndofn, st.nclod);
        st.point_load_elements.allocate(st.nclod);
        st.point_stiffness_positions.allocate(ndime, st.ncsti);
        st.point_stiffness_values.allocate(ndofn, st.ncsti);
        st.point_stiffness_elements.allocate(st.ncsti);
        st.total_stiffness_positions.allocate(ndime, st.nctsti);
        st.total_stiffness_elements.allocate(st.nctsti);
        st.total_stiffness_values.allocate(ndofn, st.nctsti);
        st.nonlinear_nodes.allocate(st.nnlin);
        st.nonlinear_profile_index.allocate(st.nnlin, ndofn);
        st.nonlinear_profiles.allocate(2, (st.mxpts > 0 ? static_cast<long long>(st.mxpts) : 0LL) + 1, st.nprof);
        st.node_element_count.allocate(npoin);
        st.disp_vectors.allocate(ntotv, 2);
        st.disp_iter.allocate(ntotv);
        st.disp_step.allocate(ntotv);
        st.estiff.allocate(nevab, nelem);
        st.plate_diagonal.allocate(nevab, nelem);
        st.plate_matrices_kept = false;
        st.element_loads.allocate(nevab, nelem);
        st.element_loads_b.allocate(nevab, nelem);
        st.element_areas.allocate(nelem);
        st.nodal_n1.allocate(ntotv);
        st.nodal_n2.allocate(ntotv);
        st.nodal_v.allocate(ntotv);
        st.nodal_w.allocate(ntotv);
        st.soil_stiffness.allocate(npoin);
        st.soil_stiffness_new.allocate(npoin);
        st.soil_stiffness_restart.allocate(npoin);
        st.settlements.allocate(npoin);
        st.element_soil_loads.allocate(nelem);
        st.soil_reactions.allocate(6, npoin);
        st.nodal_stresses.allocate(st.nstre + 6, npoin);
        st.gauss_stresses.allocate(st.nstre, ngsq, nelem);
        st.nodal_reactions.allocate(6, npoin);
        st.nonlinear_forces.allocate(npoin);
        st.nodal_soil_results.allocate(npoin);
        st.element_soil_pressure.allocate(nelem);
        st.node_weights.allocate(npoin);
        st.node_element_list.clear(static_cast<int>(npoin > 0 ? npoin : 0));
        st.node_element_pairs.clear(static_cast<int>(npoin > 0 ? npoin : 0));
        st.gauss_point_positions.allocate(2, ngsq, nelem);
        st.first_gauss_point.allocate(nelem);
    } catch (const std::bad_alloc&) {
        allocation_failed(st, status);
    } catch (const std::length_error&) {  // a size beyond what a vector can hold
        allocation_failed(st, status);
    }
}

std::string material_type(const RunState& st, int m) {
    if (m < 1 || m > st.nmats || st.material_type_names.empty()) return "     ";
    return std::string(st.material_type_names.column(m), 5);
}

void write_termination_banner(RunState& st) {
    fio::Writer(st.units, kUnitMessages).list({"********* Analysis terminated **********"});
}

}  // namespace parvane
