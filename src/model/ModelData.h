#pragma once
// The in-memory model of the open document: every input table, the three
// named lists, the equivalent concentrated load pattern, template and mesh
// parameters, time stepping and soil values, results read back from the
// solver, and the values the drawing keeps with the model.
//
// A plain record: fields are public so that the model file, solver input,
// check, result and drawing code can work on them directly. The model owns
// every table (each table's back pointer names the model), the lists and the
// result steps.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "model/DataTable.h"
#include "model/ModelLists.h"
#include "model/ResultStep.h"
#include "model/TextParse.h"

class ModelData {
public:
    ModelData();
    ~ModelData();
    ModelData(const ModelData&) = delete;
    ModelData& operator=(const ModelData&) = delete;

    // ---- Lifecycle -------------------------------------------------------
    // Clear, redraw flag 0, then CreateMissingTables (a new model).
    void Reset();
    // Releases every table, list, result step, array and cut result; scalar
    // fields (title, version, parameters, soil values, flags) stay.
    void Clear();
    // Creates every missing table, gives each set table its "ALL" set and
    // resets the per-node and per-element working tables.
    void CreateMissingTables();

    // ---- Modified flag ---------------------------------------------------
    void SetChanged() { modified = 1; }
    void ClearChanged() { modified = 0; }
    bool IsChanged() const { return modified != 0; }

    // ---- Setters (set the modified flag as noted) ------------------------
    // Flag set when the title differs.
    void SetModelTitle(const std::string& newTitle);
    // Stores the sixteen values, releases the pattern and recomputes it. Flag
    // set when any value differs. (ModelEquivParams.cpp; needs the load
    // pattern code.)
    void SetEquivLoadParameters(double Fx, double Fy, double Fz, double Mx, double My, double Mz, double X, double Y,
                                double Z, int twoRingsFlag, double r1Radius, int r1Points, double r1Angle,
                                double r2Radius, int r2Points, double r2Angle);
    // The three plan dimensions go to the slots of kind 1 or 2 (nowhere for
    // other kinds). Flag unchanged.
    void SetTemplateParameters(int kind, int elementOption, int integrationRule, double dim1, double dim2, double dim3,
                               double angle, double D1, double D2, double D3, double P, double V, double M,
                               double elementSize);
    // Flag unchanged.
    void SetMeshParameters(int option, double length, double width, int div1, int div2, int nodesPerElem);
    // A minimum increment larger than the initial one is lowered to it. Flag
    // set when any given value differs.
    void SetTimeSteppingParameters(int iterations, double initialIncrement, double initialTime, double finalTime,
                                   double minIncrement, double tolerance);
    // Replaces the material table by a copy of `table`; flag always set.
    void SetMaterialTable(const MaterialTable& table);
    // Flag set when the value differs.
    void SetSoilModel(int model);
    void SetSoilValue(int k, double value);  // k = 0..5
    void SetVersion(const std::string& tag) { version = tag; }

    // ---- Getters ---------------------------------------------------------
    void GetEquivalentLoadParameters(double& Fx, double& Fy, double& Fz, double& Mx, double& My, double& Mz, double& X,
                                     double& Y, double& Z, int& twoRingsFlag, double& r1Radius, int& r1Points,
                                     double& r1Angle, double& r2Radius, int& r2Points, double& r2Angle) const;
    // The plan dimensions are those of the current kind (1 or 2); untouched
    // for other kinds.
    void GetTemplateParameters(int& kind, int& elementOption, int& integrationRule, double& dim1, double& dim2,
                               double& dim3, double& angle, double& D1, double& D2, double& D3, double& P, double& V,
                               double& M, double& elementSize) const;
    // Element-type code: 0 for 4 nodes per element, 1 for 8, 2 otherwise.
    void GetMeshParameters(int& option, double& length, double& width, int& div1, int& div2, int& elementType) const;
    void GetTimeSteppingParameters(int& iterations, double& initialIncrement, double& initialTime, double& finalTime,
                                   double& minIncrement, double& tolerance) const;
    void GetContourLimits(double& minimum, double& maximum, int& levels, double& increment) const;
    void SetContourLimits(double minimum, double maximum, int levels, double increment);
    void GetDefaultContourLimits(double& minimum, double& maximum, int& levels, double& increment) const;

    // ---- Accessors -------------------------------------------------------
    NodeTable* GetNodeTable() const { return nodeTable.get(); }
    ElementTable* GetElementTable() const { return elementTable.get(); }
    MaterialTable* GetMaterialTable() const { return materialTable.get(); }
    // The drawn copy of the cut lines (see CopyCutLines).
    CutLineTable* GetCutLineTable() const { return drawnCutLines.get(); }
    // CUTLINE_DATA itself.
    CutLineTable* GetCutLineDataTable() const { return cutLineTable.get(); }
    // Row count of the node table (0 without one).
    int GetNodeCount() const;
    // Row count of the element table (0 without one).
    int GetElementCount() const;
    // Grid lines of the first direction for k = 1, of the second otherwise.
    NodeTable* GetGridTable(int k) const;
    // 1 NODAL_CONSTRAINT, 2 NODAL_LOAD, 3 NODAL_STIFFNESS, 4 DISTRIBUTED_LOAD,
    // 5 DISTRIBUTED_STIFFNESS, else null.
    NodalActionTable* GetNodalActionTable(int k) const;
    // 1 CONCENTRATED_LOAD, 2 CONCENTRATED_STIFFNESS, else null.
    ConcentratedActionTable* GetConcentratedActionTable(int k) const;
    // 1 EDGE_LOAD, 2 EDGE_STIFFNESS, else null.
    EdgeActionTable* GetEdgeActionTable(int k) const;
    // 1 NODESET, 2 ELEMENTSET, 3 EDGESET, else null.
    SetTable* GetSetTable(int k) const;
    std::string GetTitle() const { return title; }
    std::string GetVersion() const { return version; }
    double GetDeformationFactor() const { return deformationFactor; }
    double GetRing1Radius() const { return ring1Radius; }
    int GetResultColumnCount() const { return resultColumnCount; }
    // First column and column count of result group g (0..4); 0 outside.
    int GetResultGroupStart(int g) const;
    int GetResultGroupSize(int g) const;
    int GetStepCount() const { return stepCount; }
    bool HasResults() const { return resultsFlag != 0; }
    int GetHalvorFlag() const { return halvorFlag; }
    int GetTemplateKind() const { return templateKind; }
    int GetSoilModel() const { return soilModel; }
    double GetSoilValue(int k) const;  // k = 0..5; 0 outside
    // Material index of element row i.
    int GetElementMaterial(int i) const;

    // ---- Tables at model level -------------------------------------------
    // Replaces the drawn cut-line copy by a full copy of CUTLINE_DATA.
    void CopyCutLines();
    // Rebuilds the node-number and element-number maps: entry n - 1 holds the
    // row position of node (element) n, -1 when no row has that number.
    void RebuildNodeIndex();
    // Row position of node (element) `number` through the maps; -1 for an
    // absent number, a number <= 0 or one beyond the map.
    int NodeRowOfNumber(int number) const;
    int ElementRowOfNumber(int number) const;

    // ---- Model lists (ModelLists.cpp) -------------------------------------
    // Append a new empty node at the end of the list and return it.
    NodePath* AppendNodePath();
    NonlinearSpring* AppendNonlinearSpring();
    NonlinearAction* AppendNonlinearAction();
    // Append a node filled from the record (actions: the six copied fields,
    // not the resolved arrays).
    NodePath* AddNodePath(const NodePath& record);
    NonlinearSpring* AddNonlinearSpring(const NonlinearSpring& record);
    NonlinearAction* AddNonlinearAction(const NonlinearAction& record);
    // Overwrite the node at index i; nothing when there is no such node.
    void CopyNodePath(int i, const NodePath& record);
    void CopyNonlinearSpring(int i, const NonlinearSpring& record);
    void CopyNonlinearAction(int i, const NonlinearAction& record);
    // Unlink and delete the node at index i; nothing when there is none.
    void RemoveNodePath(int i);
    void RemoveNonlinearSpring(int i);
    void RemoveNonlinearAction(int i);
    NodePath* NodePathAt(int i) const;
    NonlinearSpring* NonlinearSpringAt(int i) const;
    NonlinearAction* NonlinearActionAt(int i) const;
    NodePath* FirstNodePath() const { return nodePaths; }
    NonlinearSpring* FirstNonlinearSpring() const { return nonlinearSprings; }
    NonlinearAction* FirstNonlinearAction() const { return nonlinearActions; }
    int NodePathCount() const;
    int NonlinearSpringCount() const;
    int NonlinearActionCount() const;
    // First spring of that name (case-sensitive), or null.
    NonlinearSpring* FindNonlinearSpring(const std::string& name) const;
    // Name of the spring at index i, or an empty text.
    std::string NonlinearSpringName(int i) const;
    std::vector<std::string> NonlinearSpringNames() const;
    bool IsSpringNameUsed(const std::string& name) const;
    bool HasNonlinearActionName(const std::string& name) const;
    // True when an action other than the one at index i has that name.
    bool IsActionNameUsed(int i, const std::string& name) const;
    bool HasNodePathName(const std::string& name) const;
    // True when the record differs from the spring at index i in its name, its
    // point count or a value by more than 1e-10; false for no such spring.
    bool IsSpringCurveChanged(int i, const NonlinearSpring& record) const;
    // True when either is null or mode, start, end, name or node list text
    // differ (the node numbers are not compared).
    static bool IsNodePathChanged(const NodePath* edited, const NodePath* stored);
    // The nodes on the straight segment between the start and end nodes
    // (given as decimal texts), ordered from the start, end node last.
    void ResolveNodePath(std::vector<int>& nodes, const std::string& start, const std::string& end) const;
    // The node numbers of a path from its definition: mode 1 the nodes on
    // the segment from the start to the end node, mode 2 the node list text
    // (ranges stop at the largest node number), any other mode none.
    void ResolveNodePathNumbers(NodePath& path) const;
    // "3,7,12"; empty for no numbers.
    static std::string JoinNumbers(const std::vector<int>& numbers);
    // kind 1: the text is a node list (ParseIdList); kind 2: a node-set name
    // ("ALL": every node), a member of one number giving first to last by its
    // step, a member of several comma items each number alone, other names
    // nested node sets (each set once); other kinds: empty. Range numbers
    // beyond the largest node number are left out.
    std::vector<int> SetNodeList(const std::string& text, int kind) const;
    // Sets the material index of every element of the element set named by
    // `text` ("ALL": every element); nested sets are followed once.
    void AssignMaterialToSet(const std::string& text, int material);

    // ---- Defined with other parts of the model ----------------------------
    // Model keyword file.
    int ReadModelFile(const std::string& path, bool skipVersion);
    // Why the last ReadModelFile failed: the line, the block and what was
    // expected there ("" after a read that succeeded).
    const std::string& GetReadError() const { return readError; }
    // The two writers return non-zero on failure, errno then saying why
    // when the system refused (a full disk, a write-protected file).
    int WriteModelFile(const std::string& path);
    std::string ReadFirstLine(const std::string& path);
    // Numeric solver input and model check.
    // Refuses (1, no file written, the first of ItemFaults in `refusal`) a
    // model whose targets or sets a run cannot take.
    int WriteSolverInput(const std::string& path, std::string* refusal = nullptr);
    void CheckModel(const std::string& path, bool& error);
    // One row of an action, support, spring, material or stiffness-group
    // table that names its target: the table as the user knows it and as the
    // model file names it, the 1-based row, the set kind its names refer to
    // (1 node, 2 element, 3 edge sets) and the target text.
    struct TargetRow {
        const char* table;
        const char* keyword;
        int row;
        int setKind;
        std::string text;
    };
    std::vector<TargetRow> TargetRows() const;
    // "Nodal Loads row 2" for every row whose target names the set (the set
    // members of the kind that name it too); empty when the set is unused.
    std::vector<std::string> SetUsers(int kind, const std::string& name) const;
    // The set renamed in every target and set member that names it; the
    // tables changed, each once.
    std::vector<std::string> RenameSetInTargets(int kind, const std::string& from, const std::string& to);
    // Writes an error for every target item that names no existing set, node
    // or element (of the kind its table takes); true when there was one.
    bool CheckTargets(std::ostream& out) const;
    // What a run cannot take from the items of targets and sets, one line
    // each, naming the table or set and the row: a number item that is more
    // than digits ("3O", "30:34"), a set name with ",", ":" or ";", and a
    // set member (a number or a number of its range) that names no node or
    // element. Empty when there is none.
    std::vector<std::string> ItemFaults() const;
    // Writes an error for every one of ItemFaults; true when there was one.
    bool CheckItems(std::ostream& out) const;
    // Where the node (kind 1) or element (kind 2) number is named by a
    // number: "Distributed Loads row 2", "Element set E5" (a set whose
    // members reach it); empty when nothing names it.
    std::vector<std::string> NumberUsers(int kind, int number) const;
    // The first target, set name or set item the model file cannot hold as
    // one word, as "Nodal Loads row 2: target "3 4" must not contain
    // blanks"; empty when there is none.
    std::string UnwritableText() const;
    // The set `outer` of the kind names `inner`, itself or through the sets
    // it names.
    bool SetHolds(int kind, const std::string& outer, const std::string& inner) const;
    // When a load acts in the plane of the slab (a nodal, distributed,
    // concentrated, edge or equivalent load in y or z, or a moment about x):
    // the rigid motions in the plane that no constraint or spring holds, as
    // "slide in y", "slide in z", "turn in its plane (about x)" joined by
    // "and"; empty when there is no such load or the slab is held.
    std::string FreeInPlaneMotion();
    // A free in-plane motion under in-plane loads is an error on `out`
    // naming the motion and what to constrain.
    void CheckInPlaneSupport(std::ostream& out, bool& error);
    // Elements the solver cannot integrate: a corner angle of 180 degrees or
    // more, or a Jacobian that is not positive at an integration point of
    // the 2x2 or 3x3 rule. One error per element, with its number and the
    // reason, on `out`; `error` is raised.
    void CheckElementGeometry(std::ostream& out, bool& error) const;
    // Largest coordinate magnitude a run takes: beyond it the element
    // arithmetic of the solver no longer gives finite results.
    static constexpr double kMaxCoordinate = 1e7;
    // Nodes with a coordinate beyond kMaxCoordinate are errors on `out`.
    void CheckCoordinateRange(std::ostream& out, bool& error) const;
    // Most time increments a run may take: each writes a step of results.
    static constexpr double kMaxTimeIncrements = 10000;
    // Increments from the initial to the final time at the initial increment
    // (rounded up); infinity when the increment is not positive.
    double TimeIncrementCount() const;
    static double TimeIncrementCount(double initialIncrement, double initialTime, double finalTime);
    // "The time stepping makes no step: ..." naming the three values when
    // the first increment ends beyond the final time (a time within 1e-9 of
    // the increment of it is the final time, as the solver takes it); empty
    // when there is a step or the increment is not positive.
    static std::string NoTimeStepText(double initialIncrement, double initialTime, double finalTime);
    // A time stepping that makes no step or goes beyond kMaxTimeIncrements
    // is an error on `out`.
    void CheckTimeStepping(std::ostream& out, bool& error) const;
    // Geometry support.
    void UpdateBoundingBox();
    void BuildEdgeFlags();
    // Number of side flags 0 or 1: the distinct element sides of the mesh.
    int CountDistinctEdges() const;
    // Fills every nonlinear nodal action's node list (node set or node list)
    // and the y and z of those nodes; numbers naming no node are left out.
    void ResolveNonlinearActions();
    // Equivalent concentrated load pattern.
    void ComputeEquivalentLoadPattern();
    void AllocatePatternArrays();
    void FreePatternArrays();
    int GetEquivLoadPointCount() const;
    double GetEquivLoadPointX(int i) const;
    double GetEquivLoadPointY(int i) const;
    double GetEquivLoadPointZ(int i) const;
    double GetEquivLoadFx(int i) const;
    double GetEquivLoadFy(int i) const;
    double GetEquivLoadFz(int i) const;
    int GetEquivLoadRing(int i) const;
    int GetEquivLoadPointNumber(int i) const;
    // Result steps and cut results.
    int ReadResultsFile(const std::string& path);
    int ReadCutLineResults(const std::string& path);
    double GetResultValue(int column, int row, int step) const;
    double GetDispX(int row, int step) const;
    double GetDispY(int row, int step) const;
    double GetDispZ(int row, int step) const;
    double GetRotX(int row, int step) const;
    double GetRotY(int row, int step) const;
    double GetRotZ(int row, int step) const;
    double GetReaction(int k, int row, int step) const;
    double GetPlateForce(int k, int row, int step) const;
    double GetPlateStress(int k, int row, int step) const;
    double GetSoilReaction(int k, int row, int step) const;
    void GetStepNumbers(int* out) const;
    // Releases the step list and clears the results flag.
    void ResetResultsState();

    // ---- Expansion of actions for the solver (ModelExpansion.cpp) ----------
    // Kind 1: the per-node working table (one row per node), kind 2: the
    // per-element working table. Touched rows carry their node (element)
    // number as text; untouched rows "0", flags and values 0.
    void PrepareExpandedTable(int kind);
    void ResetExpandedTable(int kind);
    // Applies every row of `table` to the working table of the kind; returns
    // the number of touched rows, and with `reset` resets the table afterwards.
    int ExpandNodalTable(int kind, const NodalActionTable* table, bool reset);
    void ApplyActionToRow(int kind, int position, const std::vector<double>& values, const std::vector<int>& flags);
    void ApplyActionToSet(int kind, const std::string& name, const std::vector<double>& values,
                          const std::vector<int>& flags);
    // Number of rows ExpandEdgeTable will append for `table` (kind 3).
    int CountEdgeExpansion(const EdgeActionTable* table, int kind = 3) const;
    int CountEdgeSetExpansion(const std::string& name, int kind = 3) const;
    // Appends one row per element side named by every row of `table`.
    void ExpandEdgeTable(EdgeActionTable& target, const EdgeActionTable* table, int kind = 3) const;
    void ExpandEdgeSet(EdgeActionTable& target, int kind, const std::string& name, const std::array<double, 3>& values,
                       int side, int dof) const;
    // Node numbers carrying a nonlinear spring and the 1-based position of
    // that spring in the spring list (0 when no spring has the action's
    // spring name); the first action naming a node wins.
    void CollectNonlinearNodes(std::vector<int>& nodes, std::vector<int>& springs) const;
    static bool NodeInActionList(int node, const std::vector<int>& list);
    // Material index of every element from MATERIAL_DATA (row i gives i + 1).
    void AssignMaterialsToElements();
    // Row position of the named set in the set table of the kind (1 node,
    // 2 element, 3 edge); -1 when absent.
    int FindSetIndex(int kind, const std::string& name) const;
    // 1 when `id` belongs to the set (edge sets: id = 4 * (element - 1) + side).
    int IsInSet(int id, const std::string& name, int kind) const;
    std::string FindNextSetContaining(int id, int kind, const std::string& current, const std::string& excluded) const;
    // Number of the first element holding the node, 0 when none.
    int ElementOfNode(int node) const;
    ConcentratedActionTable* GetTotalConcentratedTable(int kind) const;
    // CUTLINE_DATA becomes a copy of the drawn cut lines.
    void ResetCutLines();
    // ---- Shape functions and result interpolation (Interpolation.cpp) -------
    // Nodes per element of ELEMENT_DATA (4, 8 or 9) and nodes per side.
    int GetNodesPerElement() const;
    int GetEdgeNodeCount() const;
    // Sum of Ni * values[i] over the element's nodes at (xi, eta); 1.0 for
    // null values.
    double InterpolateAtLocal(int element, double xi, double eta, const double* values) const;
    // Local coordinates of the point s of side code 0..3; nothing for other
    // codes.
    static void SideLocalCoordinates(double& xi, double& eta, int side, double s);
    double InterpolateOnSide(int element, int side, double s, const double* values) const;
    // Row of the first element holding the point, with its local
    // coordinates; -1 when none.
    int LocateElementAtPoint(double x, double y, double z, double& xi, double& eta) const;
    // Coordinates of the element's nodes and, with the deformed flag > 0,
    // their results at the step (x displacement negated, y, z, rotations);
    // zeros otherwise. Arrays of at least nine entries.
    void GetElementNodeCoords(double* x, double* y, double* z, double* dx, double* dy, double* dz, double* rx,
                              double* ry, double* rz, int element, int deformed, int step) const;
    void InterpolateAtPoint(double& x, double& y, double& z, const double* nx, const double* ny, const double* nz,
                            const double* dx, const double* dy, const double* dz, double c, int element, double xi,
                            double eta, int deformed, int thickness) const;
    void ElementPointAtLocal(double& x, double& y, double& z, int deformed, int step, int element, double xi,
                             double eta, int thickness, double c) const;
    void ElementPointOnSide(double& x, double& y, double& z, int deformed, int step, int element, int side, double s,
                            int thickness, double c) const;

    // ---- Geometry and view support (ModelView.cpp) ---------------------------
    double GetMaxY() const { return maxY; }
    double GetMinY() const { return minY; }
    double GetMaxZ() const { return maxZ; }
    double GetMinZ() const { return minZ; }
    // Number of the first node within 1e-10 of (y, z); -1 when none.
    int NodeAtPoint(double y, double z) const;
    // Node coordinates plus, with the deformed flag > 0, the displacements at
    // the step times the deformation factor (x displacement negated).
    void NodePosition(double& x, double& y, double& z, int nodeRow, int deformed, int step) const;
    // Distances in the y-z plane from the first node of a path; empty when a
    // node of the path names no node.
    void NodePathDistances(std::vector<double>& out, const std::vector<int>& nodes) const;
    // Result column values of the path's nodes at step 1; 0 for a number
    // that names no node.
    void NodePathValues(std::vector<double>& out, const std::vector<int>& nodes, int column) const;
    // Member list of the named set of the kind; null when missing.
    SetMemberList* FindSetTable(int kind, const std::string& name) const;
    // Over the grid lines of direction 1 (any other value: direction 2):
    // the sum of the spacing values, the sum of the division counts.
    double SumTableColumn(int direction) const;
    int SumTableCounts(int direction) const;
    // 0 reset, 1 zoom to scale a, 2 deformation factor times a, 3 pan x by
    // a, 4 pan y by a, 5 pan both; then the pixels per unit.
    void SetViewTransform(int type, double a, double b);
    bool IsPointInViewport(double x, double y) const;
    double ClipToViewport(double x1, double y1, double x2, double y2) const;
    // Contour range of the 1-based column at the step (both copies).
    void SetContourRange(int step, int column);
    // Weights of an edge load on the element's nodes (nodes-per-element
    // entries).
    void EdgeLoadShape(double* weights, double value1, double value2, double value3, int element, int side,
                       int style) const;
    // View window, home window, pixels per unit and viewport in pixels.
    double windowXMax = 1.0, windowXMin = -1.0, windowYMax = 1.0, windowYMin = -1.0;
    double homeXMax = 1.0, homeXMin = -1.0, homeYMax = 1.0, homeYMin = -1.0;
    double pixelsPerUnitX = 1.0, pixelsPerUnitY = -1.0;
    int viewportLeft = 0, viewportRight = 0, viewportTop = 0, viewportBottom = 0;

    // ---- Table replacement after dialog edits (TableReplace.cpp) -------------
    void ReplaceNodalTable(const NodalActionTable& copy);
    void ReplaceConcentratedTable(const ConcentratedActionTable& copy);
    void ReplaceEdgeTable(const EdgeActionTable& copy);
    void ReplaceElementTable(const ElementTable& copy);
    void ReplaceGridLineTable(int kind, const NodeTable& copy);
    void ReplaceSetMembers(int kind, const std::string& name, const SetMemberList& members);
    void ReplaceMaterialTable(const MaterialTable& copy);
    void ReplaceNodeTable(const NodeTable& copy);
    void ReplaceSetTable(const SetTable& copy);

    // ---- Mesh import (MeshImport.cpp) ---------------------------------------
    // Reads the mesher's output (mode 1 binary, 2 text) into the model with
    // its template sets, materials, loads, soil values and cut lines; writes
    // and reads back the keyword text "<name less 3 characters>txt". 1 on
    // success, 0 on failure.
    int ImportMeshFile(const std::string& fileName, int mode, std::vector<std::string> regionNames,
                       std::vector<int> regionIds, std::vector<std::string> setNames,
                       std::vector<std::vector<int>> setRegions, const std::vector<double>& setThicknesses);
    // Template loads as nodal loads on the round boundary of the second set.
    // False when they cannot be placed: fewer than two sets, no ring radius,
    // no side of the second set on the ring, or a moment about an axis with
    // no ring side beyond it.
    bool ComputeBoundaryNodalLoads(int nodes, int elements, int nodesPerElem, std::vector<int>& loadNodes,
                                   std::vector<std::array<double, 3>>& loadValues,
                                   const std::vector<std::vector<int>>& setNodes,
                                   const std::vector<std::vector<int>>& setElements, const std::vector<double>& y,
                                   const std::vector<double>& z,
                                   const std::vector<std::vector<int>>& elementNodes) const;

    int perNodeTouched = 0;     // touched rows of the per-node working table
    int perElementTouched = 0;  // touched rows of the per-element working table

    // ---- Numeric solver input writers (SolverInput.cpp) ----------------------
    // kind 1 constraints (written with their flags), 2 nodal loads, 3 nodal
    // stiffnesses (per-node table), 4 distributed loads, 5 distributed
    // stiffnesses (per-element table).
    void WriteNumericNodalKind(int kind, const NodalActionTable* table, std::ostream& out);
    void WriteNumericEdgeKind(const EdgeActionTable* table, std::ostream& out) const;
    void WriteNumericPatternPoints(std::ostream& out) const;
    void WriteNumericElementTable(std::ostream& out) const;
    void WriteNumericNodeTable(std::ostream& out) const;
    void WriteNumericMaterialTable(std::ostream& out) const;
    void WriteNumericNodalTable(int kind, const NodalActionTable& expanded, std::ostream& out) const;
    void WriteNumericConcentratedTable(const ConcentratedActionTable* table, std::ostream& out) const;
    void WriteNumericEdgeTable(const EdgeActionTable& table, std::ostream& out) const;
    void WriteNumericCutLines(std::ostream& out) const;

    // ---- Items of targets and sets (ModelItemCheck.cpp) -----------------------
    // A node (set kind 1) or element (kinds 2, 3) of that number exists;
    // the numbers in use are at most NumberLimit.
    bool NumberExists(int setKind, int number) const;
    int NumberLimit(int setKind) const;
    // The numbers (and ranges "64 to 100") a member row reaches that name
    // nothing.
    std::vector<std::string> MissingMembers(int kind, const SetMemberRow& member) const;

    // ---- Fields ------------------------------------------------------------
    std::string readError;           // see GetReadError
    std::vector<int> nodeLookup;     // node number n -> row position at n - 1, -1 absent
    std::vector<int> elementLookup;  // element number n -> row position at n - 1, -1 absent
    std::string version = "V4.1";
    int halvorFlag = 0;       // 1: hand the analysis to the separate program
    int nodeCount = 0;        // node rows stored after nodes are read or imported
    int stepCount = 0;        // steps counted by the last step-results read
    int resultsFlag = 0;      // 1 after a step-results read without error
    int valuesPerNode = 6;    // degrees of freedom per node
    int gridOption = 1;       // structured-mesh option
    double slabLength = 1.0;  // structured mesh extent, first direction
    double slabWidth = 1.0;   // structured mesh extent, second direction
    int divisions1 = 5;
    int divisions2 = 5;
    int nodesPerElement = 8;

    // Equivalent concentrated load: Fx, Fy, Fz, Mx, My, Mz; centre X, Y, Z.
    std::array<double, 6> patternLoads{};
    std::array<double, 3> patternCentre{};
    double ring1Radius = 1.0;
    int ring1Points = 0;
    double ring1Angle = 0.0;  // degrees
    double ring2Radius = 1.0;
    int ring2Points = 0;
    double ring2Angle = 0.0;  // degrees
    int twoRings = 0;
    // Pattern points: x, y, z, axial force, shear y, shear z, ring index (0
    // first ring, 1 second), point number within its ring (from 1).
    std::vector<double> patternX, patternY, patternZ;
    std::vector<double> patternAxial, patternShearY, patternShearZ;
    std::vector<int> patternRing, patternNumber;
    int patternCount = 0;

    // Foundation templates.
    int templateKind = 0;           // 0 none, 1 octagonal, 2 circular
    int templateElementOption = 1;  // 0 4-node, 1 8-node, 2 9-node
    int templateIntegration = 1;
    std::array<double, 3> planDims1{};      // L1, L2, D of kind 1
    std::array<double, 3> sectionDims{};    // D1, D2, D3
    std::array<double, 3> templateLoads{};  // P, V, M
    double typicalElementSize = 0.0;
    std::array<double, 3> planDims2{};  // plan values of kind 2
    double templateAngle = 0.0;         // degrees

    // Time stepping.
    double initialIncrement = 1.0;
    double initialTime = 0.0;
    double finalTime = 1.0;
    double minIncrement = 1.0;
    int iterationsPerStep = 50;
    double errorTolerance = 0.0001;

    // Tables.
    std::unique_ptr<NodeTable> nodeTable;
    std::array<std::unique_ptr<NodeTable>, 2> gridTables;  // first and second direction
    std::unique_ptr<MaterialTable> materialTable;
    std::unique_ptr<ElementTable> elementTable;
    std::unique_ptr<CutLineTable> cutLineTable;         // CUTLINE_DATA
    std::unique_ptr<CutLineTable> drawnCutLines;        // drawing copy
    std::unique_ptr<NodalActionTable> perNodeTable;     // one row per node
    std::unique_ptr<NodalActionTable> perElementTable;  // one row per element
    // NODAL_CONSTRAINT, NODAL_LOAD, NODAL_STIFFNESS, DISTRIBUTED_LOAD,
    // DISTRIBUTED_STIFFNESS.
    std::array<std::unique_ptr<NodalActionTable>, 5> nodalTables;
    std::unique_ptr<NodalActionTable> solverConstraints;
    std::unique_ptr<ConcentratedActionTable> concentratedLoads;
    std::unique_ptr<ConcentratedActionTable> concentratedStiffness;
    std::unique_ptr<ConcentratedActionTable> totalConcentratedStiffness;
    std::unique_ptr<EdgeActionTable> edgeLoads;
    std::unique_ptr<EdgeActionTable> edgeStiffness;
    std::array<std::unique_ptr<SetTable>, 3> setTables;  // NODESET, ELEMENTSET, EDGESET

    std::string title = "Slab";

    // Lists (first nodes, owned).
    NonlinearAction* nonlinearActions = nullptr;
    NonlinearSpring* nonlinearSprings = nullptr;
    NodePath* nodePaths = nullptr;
    // Name of the node set last chosen in the set picker; the nonlinear nodal
    // stiffness dialog reads it. Empty until a set is chosen.
    std::string selectedSetName;

    // Bounding box and view.
    double maxX = 0.0, minX = 0.0, maxY = 0.0, minY = 0.0, maxZ = 0.0, minZ = 0.0;
    double maxExtent = 0.0, extentY = 0.0, extentZ = 0.0, centreY = 0.0, centreZ = 0.0;
    double viewZoom = 1.0, viewPanX = 0.0, viewPanY = 0.0, pixelsPerUnit = 1.0;
    double viewScale = 1.0;
    double deformationFactor = 1.0;
    // Stored and automatic contour limits.
    double contourIncrement = 0.0, contourMax = 0.0, contourMin = 0.0;
    int contourLevels = 0;
    double autoContourIncrement = 0.0, autoContourMax = 0.0, autoContourMin = 0.0;
    int autoContourLevels = 0;
    int redrawFlag = 0;
    int viewportWidth = 0, viewportHeight = 0;

    std::vector<int> edgeFlags;  // four side flags per element

    int resultColumnCount = 0;
    int resultGroupCount = 0;
    std::array<int, 5> resultGroupStart{};
    std::array<int, 5> resultGroupSize{};
    int vlasovEdgeCount = 0;

    unsigned char modified = 0;
    int soilModel = 0;  // 0 none, 1 Mindlin, 2 Vlasov
    std::array<double, 6> soilValues{1000.0, 1000.0, 0.3, 500.0, 10.0, 1.0};
    int unitCode = 0;

    ResultStep* resultSteps = nullptr;  // first step, owned
    std::vector<std::string> resultCaptions;

    int drawState = 0;
    void* drawContext = nullptr;  // device context of the 2-D line drawing
    int drawState2 = 0;

    // What the picture drawing keeps with the model. The scene routines store
    // the symbol scale (view magnification: user zoom times fit scale) and the
    // pick kind (0 none, 1 nodes, 2 elements, 3 element sides, 4 a point)
    // before they draw; every drawing routine reads them. Colour words hold
    // red in the low byte, then green, then blue; the foreground colour is
    // the complement of the view's background and colours the legend text.
    double symbolScale = 1.0;
    int drawPickKind = 0;
    std::uint32_t nodeNumberColor = 0x000000;     // black
    std::uint32_t elementNumberColor = 0xFFFFFF;  // white
    std::uint32_t foregroundColor = 0x000000;     // black

    // Cut results: one row of (cutColumnCount + 1) values per point.
    int cutLineCount = 0;
    int cutColumnCount = 0;
    int cutPointTotal = 0;
    std::vector<int> cutPointsPerLine;
    std::vector<std::string> cutColumnNames;
    std::vector<std::vector<double>> cutRows;

private:
    void ClearLists();
    void AssignMaterialToSetImpl(const std::string& text, int material, std::vector<std::string>& expanding);
};
