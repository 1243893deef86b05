#pragma once
// Input tables of the model, one kind per keyword block: nodal and distributed
// actions, concentrated actions, edge actions, elements, nodes (and grid
// lines), cut lines. Sets and member lists are in SetTable.h, materials in
// MaterialTable.h; this header brings them in as well.
//
// Each kind follows the pattern of RowChain: append (count and index stale until
// CountRows and RebuildIndex), insert and remove by position, full copy, value
// copy of a same-sized table, compare (true when the tables differ, exact
// comparison), sort and searches. Positions are 0-based; searches give -1 when
// nothing is found. Position-based getters and setters expect a current index.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "model/InputTable.h"

// ---------------------------------------------------------------------------
// Rows

struct NodalRow {
    std::vector<int> flags;      // per degree of freedom: state of its check box
    std::vector<double> values;  // values in degree-of-freedom order 1..6
    std::string target = "0";    // node number, element number or set name
    NodalRow* next = nullptr;
};

struct ConcentratedRow {
    std::vector<double> coordinates;  // position of the action (3 values)
    std::vector<double> values;       // the six components
    ConcentratedRow* next = nullptr;
};

struct EdgeRow {
    int side = 0;                    // element side 1..4
    int dof = 0;                     // degree of freedom 1..6
    std::array<double, 3> values{};  // values at the three nodes of the side
    std::string target = "0";        // element number or element-set name
    EdgeRow* next = nullptr;
};

struct ElementRow {
    std::vector<int> nodes;  // node numbers in element order
    int id = 0;              // element number
    int material = 0;        // 1-based MATERIAL_DATA position, 0 when none
    ElementRow* next = nullptr;
};

struct NodeRow {
    double x = 0.0, y = 0.0, z = 0.0;  // x is the deflection axis
    int id = 0;                        // node number
    NodeRow* next = nullptr;
};

struct CutLineRow {
    double startY = 0.0, startZ = 0.0, endY = 0.0, endZ = 0.0;
    CutLineRow* next = nullptr;
    int highlight = 0;  // line style flag of the drawing
};

// ---------------------------------------------------------------------------
// Nodal and distributed actions (NODAL_CONSTRAINT, NODAL_LOAD, NODAL_STIFFNESS,
// DISTRIBUTED_LOAD, DISTRIBUTED_STIFFNESS: kind codes 1..5) and the per-node
// and per-element working tables.

class NodalActionTable : public InputTable<NodalRow> {
public:
    explicit NodalActionTable(int kindCode = 0) : kindCode_(kindCode) {}

    void AddNodalActionRow(const std::string& target, std::span<const double> values, std::span<const int> flags);
    void InsertNodalActionRow(int i, const std::string& target, std::span<const double> values,
                              std::span<const int> flags);
    void RemoveRow(int i);
    void CopyFrom(const NodalActionTable& source);
    void CopyNodalActionRowValues(const NodalActionTable& source);
    bool CompareWith(const NodalActionTable& other) const;
    void SortNodalActionRows();

    // Integer value of the target text of row i (0 for a set name).
    int NodalRowKey(int i) const;

    std::string GetTarget(int i) const;
    void SetTarget(int i, const std::string& target);
    double GetValue(int i, int j) const;
    void SetValue(int i, int j, double value);
    int GetFlag(int i, int j) const;
    void SetFlag(int i, int j, int flag);
    // Copies values-per-row doubles into row i.
    void SetRowValues(int i, std::span<const double> values);

    int GetValuesPerRow() const { return valuesPerRow_; }
    void SetValuesPerRow(int n) { valuesPerRow_ = n; }
    int GetKindCode() const { return kindCode_; }
    void SetKindCode(int code) { kindCode_ = code; }

private:
    NodalRow* MakeRow(const std::string& target, std::span<const double> values, std::span<const int> flags) const;

    int valuesPerRow_ = 6;
    int kindCode_ = 0;
};

// ---------------------------------------------------------------------------
// Concentrated actions: CONCENTRATED_LOAD (kind 1), CONCENTRATED_STIFFNESS (2),
// TOTAL_CONCENTRATED_STIFFNESS (2).

class ConcentratedActionTable : public InputTable<ConcentratedRow> {
public:
    explicit ConcentratedActionTable(int kindCode = 0) : kindCode_(kindCode) {}

    void AddConcentratedActionRow(std::span<const double> values, std::span<const double> coordinates);
    void InsertConcentratedActionRow(int i, std::span<const double> values, std::span<const double> coordinates);
    void RemoveConcentratedActionRow(int i);
    void CopyConcentratedActionTable(const ConcentratedActionTable& source);
    void CopyConcentratedActionRowValues(const ConcentratedActionTable& source);
    bool CompareConcentratedActionTable(const ConcentratedActionTable& other) const;
    int CountConcentratedActionRows() { return CountRows(); }
    void RebuildConcentratedActionIndex() { RebuildIndex(); }
    // Sorts by the first coordinate.
    void SortConcentratedActionRows();

    double GetCoordinate(int i, int j) const;
    void SetCoordinate(int i, int j, double value);
    double GetValue(int i, int j) const;
    void SetValue(int i, int j, double value);

    int GetCoordinatesPerRow() const { return coordinatesPerRow_; }
    void SetCoordinatesPerRow(int n) { coordinatesPerRow_ = n; }
    int GetValuesPerRow() const { return valuesPerRow_; }
    void SetValuesPerRow(int n) { valuesPerRow_ = n; }
    int GetKindCode() const { return kindCode_; }
    void SetKindCode(int code) { kindCode_ = code; }

private:
    ConcentratedRow* MakeRow(std::span<const double> values, std::span<const double> coordinates) const;

    int coordinatesPerRow_ = 3;
    int valuesPerRow_ = 6;
    int kindCode_ = 0;
};

// ---------------------------------------------------------------------------
// Edge actions: EDGE_LOAD (kind 1), EDGE_STIFFNESS (2).

class EdgeActionTable : public InputTable<EdgeRow> {
public:
    explicit EdgeActionTable(int kindCode = 0) : kindCode_(kindCode) {}

    void AddEdgeActionRow(const std::string& target, int side, int dof, std::span<const double> values);
    void InsertEdgeActionRow(int i, const std::string& target, int side, int dof, std::span<const double> values);
    void RemoveEdgeActionRow(int i);
    void CopyEdgeActionTable(const EdgeActionTable& source);
    void CopyEdgeActionRowValues(const EdgeActionTable& source);
    bool CompareEdgeActionTable(const EdgeActionTable& other) const;
    int CountEdgeActionRows() { return CountRows(); }
    void RebuildEdgeActionIndex() { RebuildIndex(); }
    void SortEdgeActionRows();

    // Integer value of the target text of row i (0 for a set name).
    int EdgeRowKey(int i) const;

    std::string GetTarget(int i) const;
    void SetTarget(int i, const std::string& target);
    int GetSide(int i) const;
    void SetSide(int i, int side);
    int GetDof(int i) const;
    void SetDof(int i, int dof);
    double GetValue(int i, int j) const;
    void SetValue(int i, int j, double value);
    // First field of row i: its side.
    int GetRowField0At(int i) const { return GetSide(i); }

    int GetKindCode() const { return kindCode_; }
    void SetKindCode(int code) { kindCode_ = code; }

private:
    int kindCode_ = 0;
};

// ---------------------------------------------------------------------------
// Elements (ELEMENT_DATA).

class ElementTable : public InputTable<ElementRow> {
public:
    explicit ElementTable(int nodesPerElement = 0) : nodesPerElement_(nodesPerElement) {}

    // Stores nodes-per-element node numbers; missing entries become 0.
    void AddElementRow(int id, int material, std::span<const int> nodes);
    void InsertElementRow(int i, int id, int material, std::span<const int> nodes);
    void RemoveElementRow(int i);
    void CopyElementTable(const ElementTable& source);
    void CopyElementRowValues(const ElementTable& source);
    bool CompareElementTable(const ElementTable& other) const;
    void SortById();

    // Binary search by element number (index sorted by number); -1 when absent.
    int FindRowById(int id) const;
    // Largest element number, 0 for an empty table.
    int MaxId() const;

    int GetId(int i) const;
    void SetId(int i, int id);
    int GetElementMaterial(int i) const;
    void SetElementMaterial(int i, int material);
    int GetNodeNumber(int i, int j) const;
    void SetNodeNumber(int i, int j, int node);
    // First field of row i: its node numbers.
    const std::vector<int>& GetRowField0At(int i) const;

    int GetNodesPerElement() const { return nodesPerElement_; }
    void SetNodesPerElement(int n) { nodesPerElement_ = n; }
    int GetIntegrationOrder1() const { return integrationOrder1_; }
    void SetIntegrationOrder1(int n) { integrationOrder1_ = n; }
    // The Gauss points per direction chosen by the user.
    int GetIntegrationOrder2() const { return integrationOrder2_; }
    void SetIntegrationOrder2(int n) { integrationOrder2_ = n; }

private:
    ElementRow* MakeRow(int id, int material, std::span<const int> nodes) const;

    int nodesPerElement_ = 0;
    int integrationOrder1_ = 2;
    int integrationOrder2_ = 2;
};

// ---------------------------------------------------------------------------
// Nodes (NODE_DATA) and the two grid-line tables.

class NodeTable : public InputTable<NodeRow> {
public:
    explicit NodeTable(int columns = 6) : columns_(columns) {}

    // Coordinates whose absolute value is below 1e-14 are stored as 0.
    void AddNodeRow(int id, double x, double y, double z);
    // Stores the coordinates unchanged.
    void InsertNodeRow(int i, int id, double x, double y, double z);
    void RemoveNodeRow(int i);
    void CopyNodeTable(const NodeTable& source);
    void CopyNodeRowValues(const NodeTable& source);
    bool CompareNodeTable(const NodeTable& other) const;
    int CountNodeRows() { return CountRows(); }
    void RebuildNodeTableIndex() { RebuildIndex(); }
    void SortNodeRows();

    // Binary search by node number (index sorted by number); -1 when absent.
    int FindNodeRowById(int id) const;
    // Position of the row whose node number is nearest to `id`; -1 for an
    // empty table.
    int FindNearestRow(int id) const;
    // Largest node number, 0 for an empty table.
    int MaxNodeId() const;

    int GetNodeId(int i) const;
    void SetNodeId(int i, int id);
    double GetX(int i) const;
    double GetY(int i) const;
    double GetZ(int i) const;
    void SetX(int i, double v);
    void SetY(int i, double v);
    void SetZ(int i, double v);
    // Coordinate by axis code: 1 y, 2 z, any other value x.
    double GetNodeCoordinate(int i, int axis) const;

    int GetColumns() const { return columns_; }
    void SetColumns(int n) { columns_ = n; }

private:
    int columns_ = 6;
};

// ---------------------------------------------------------------------------
// Cut lines (CUTLINE_DATA and the drawing copy).

class CutLineTable : public InputTable<CutLineRow> {
public:
    CutLineTable() = default;

    // The new row's highlight flag is 0.
    void AddCutLineRow(double startY, double startZ, double endY, double endZ);
    void RemoveCutLineRow(int i);
    // Copies rows (highlights reset to 0), count, model and both parameters.
    void CopyCutLineTable(const CutLineTable& source);
    int CountCutLineRows() { return CountRows(); }
    void RebuildCutLineIndex() { RebuildIndex(); }

    double GetStartY(int i) const;
    double GetStartZ(int i) const;
    double GetEndY(int i) const;
    double GetEndZ(int i) const;
    void SetStartY(int i, double v);
    void SetStartZ(int i, double v);
    void SetEndY(int i, double v);
    void SetEndZ(int i, double v);
    int GetHighlight(int i) const;
    void SetHighlight(int i, int flag);

    // Position of the chosen division in 2..6, so the division is code + 2.
    int GetSegmentDivisionCode() const { return segmentDivisionCode_; }
    void SetSegmentDivisionCode(int code) { segmentDivisionCode_ = code; }
    // 1 from the integration points, 2 from the nodes.
    int GetInterpolationOption() const { return interpolationOption_; }
    void SetInterpolationOption(int option) { interpolationOption_ = option; }

private:
    int segmentDivisionCode_ = 2;
    int interpolationOption_ = 1;
};

#include "model/MaterialTable.h"
#include "model/SetTable.h"
