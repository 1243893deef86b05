#include "model/ModelData.h"

#include <algorithm>
#include <vector>

ModelData::ModelData() = default;

ModelData::~ModelData() { Clear(); }

// ---------------------------------------------------------------------------
// Lifecycle

void ModelData::Reset() {
    Clear();
    redrawFlag = 0;
    CreateMissingTables();
}

void ModelData::Clear() {
    edgeFlags.clear();

    ResetResultsState();  // the whole step chain, its count and the results flag

    for (auto& t : gridTables) t.reset();
    nodeTable.reset();
    materialTable.reset();
    elementTable.reset();
    for (auto& t : nodalTables) t.reset();
    solverConstraints.reset();
    concentratedLoads.reset();
    concentratedStiffness.reset();
    totalConcentratedStiffness.reset();
    edgeLoads.reset();
    edgeStiffness.reset();
    perNodeTable.reset();
    perElementTable.reset();
    for (auto& t : setTables) t.reset();
    selectedSetName.clear();
    cutLineTable.reset();
    drawnCutLines.reset();

    cutColumnNames.clear();
    cutRows.clear();
    cutPointsPerLine.clear();
    cutLineCount = 0;
    cutColumnCount = 0;
    cutPointTotal = 0;

    FreePatternArrays();
    ClearLists();
}

namespace {

// Deletes a list node by node from its first; the head ends null.
template <class Node>
void DeleteList(Node*& head) {
    while (head) {
        Node* node = head;
        head = node->next;
        delete node;
    }
}

}  // namespace

void ModelData::ClearLists() {
    DeleteList(nonlinearActions);
    DeleteList(nonlinearSprings);
    DeleteList(nodePaths);
}

void ModelData::CreateMissingTables() {
    auto make = [this](auto& slot, auto... args) {
        using Table = typename std::remove_reference_t<decltype(slot)>::element_type;
        if (!slot) {
            slot = std::make_unique<Table>(args...);
            slot->SetModel(this);
        }
    };

    make(nodeTable);
    make(gridTables[0]);
    make(gridTables[1]);
    make(elementTable, nodesPerElement);
    make(materialTable);
    for (int k = 0; k < 5; ++k) make(nodalTables[static_cast<size_t>(k)], k + 1);
    make(solverConstraints, 1);
    make(concentratedLoads, 1);
    make(concentratedStiffness, 2);
    make(totalConcentratedStiffness, 2);
    make(edgeLoads, 1);
    make(edgeStiffness, 2);
    for (int k = 0; k < 3; ++k) {
        make(setTables[static_cast<size_t>(k)], k + 1);
        setTables[static_cast<size_t>(k)]->AddAllSet();
    }

    nodeTable->CountRows();
    nodeTable->RebuildIndex();
    elementTable->CountRows();
    elementTable->RebuildIndex();
    // The per-node and per-element working tables: one reset row per node
    // (element), kept when the count still fits.
    PrepareExpandedTable(1);
    PrepareExpandedTable(2);

    make(cutLineTable);
}

// ---------------------------------------------------------------------------
// Setters

void ModelData::SetModelTitle(const std::string& newTitle) {
    if (newTitle != title) SetChanged();
    title = newTitle;
}

void ModelData::SetTemplateParameters(int kind, int elementOption, int integrationRule, double dim1, double dim2,
                                      double dim3, double angle, double D1, double D2, double D3, double P, double V,
                                      double M, double elementSize) {
    templateKind = kind;
    templateElementOption = elementOption;
    templateIntegration = integrationRule;
    if (kind == 1) planDims1 = {dim1, dim2, dim3};
    if (kind == 2) planDims2 = {dim1, dim2, dim3};
    templateAngle = angle;
    sectionDims = {D1, D2, D3};
    templateLoads = {P, V, M};
    typicalElementSize = elementSize;
}

void ModelData::SetMeshParameters(int option, double length, double width, int div1, int div2, int nodesPerElem) {
    gridOption = option;
    slabLength = length;
    slabWidth = width;
    divisions1 = div1;
    divisions2 = div2;
    nodesPerElement = nodesPerElem;
}

void ModelData::SetTimeSteppingParameters(int iterations, double initialIncrementValue, double initialTimeValue,
                                          double finalTimeValue, double minIncrementValue, double tolerance) {
    if (iterations != iterationsPerStep || initialIncrementValue != initialIncrement ||
        initialTimeValue != initialTime || finalTimeValue != finalTime || minIncrementValue != minIncrement ||
        tolerance != errorTolerance)
        SetChanged();
    iterationsPerStep = iterations;
    initialIncrement = initialIncrementValue;
    initialTime = initialTimeValue;
    finalTime = finalTimeValue;
    minIncrement = minIncrementValue;
    errorTolerance = tolerance;
    if (minIncrement > initialIncrement) minIncrement = initialIncrement;
}

void ModelData::SetMaterialTable(const MaterialTable& table) {
    auto fresh = std::make_unique<MaterialTable>();
    fresh->CopyMaterialTable(table);
    fresh->SetModel(this);
    materialTable = std::move(fresh);
    SetChanged();
}

void ModelData::SetSoilModel(int model) {
    if (model != soilModel) SetChanged();
    soilModel = model;
}

void ModelData::SetSoilValue(int k, double value) {
    if (k < 0 || k >= static_cast<int>(soilValues.size())) return;
    if (soilValues[static_cast<size_t>(k)] != value) SetChanged();
    soilValues[static_cast<size_t>(k)] = value;
}

// ---------------------------------------------------------------------------
// Getters

void ModelData::GetEquivalentLoadParameters(double& Fx, double& Fy, double& Fz, double& Mx, double& My, double& Mz,
                                            double& X, double& Y, double& Z, int& twoRingsFlag, double& r1Radius,
                                            int& r1Points, double& r1Angle, double& r2Radius, int& r2Points,
                                            double& r2Angle) const {
    Fx = patternLoads[0];
    Fy = patternLoads[1];
    Fz = patternLoads[2];
    Mx = patternLoads[3];
    My = patternLoads[4];
    Mz = patternLoads[5];
    X = patternCentre[0];
    Y = patternCentre[1];
    Z = patternCentre[2];
    twoRingsFlag = twoRings;
    r1Radius = ring1Radius;
    r1Points = ring1Points;
    r1Angle = ring1Angle;
    r2Radius = ring2Radius;
    r2Points = ring2Points;
    r2Angle = ring2Angle;
}

void ModelData::GetTemplateParameters(int& kind, int& elementOption, int& integrationRule, double& dim1, double& dim2,
                                      double& dim3, double& angle, double& D1, double& D2, double& D3, double& P,
                                      double& V, double& M, double& elementSize) const {
    kind = templateKind;
    elementOption = templateElementOption;
    integrationRule = templateIntegration;
    if (templateKind == 1 || templateKind == 2) {
        const std::array<double, 3>& dims = templateKind == 1 ? planDims1 : planDims2;
        dim1 = dims[0];
        dim2 = dims[1];
        dim3 = dims[2];
    }
    angle = templateAngle;
    D1 = sectionDims[0];
    D2 = sectionDims[1];
    D3 = sectionDims[2];
    P = templateLoads[0];
    V = templateLoads[1];
    M = templateLoads[2];
    elementSize = typicalElementSize;
}

void ModelData::GetMeshParameters(int& option, double& length, double& width, int& div1, int& div2,
                                  int& elementType) const {
    option = gridOption;
    length = slabLength;
    width = slabWidth;
    div1 = divisions1;
    div2 = divisions2;
    elementType = nodesPerElement == 4 ? 0 : nodesPerElement == 8 ? 1 : 2;
}

void ModelData::GetTimeSteppingParameters(int& iterations, double& initialIncrementOut, double& initialTimeOut,
                                          double& finalTimeOut, double& minIncrementOut, double& tolerance) const {
    iterations = iterationsPerStep;
    initialIncrementOut = initialIncrement;
    initialTimeOut = initialTime;
    finalTimeOut = finalTime;
    minIncrementOut = minIncrement;
    tolerance = errorTolerance;
}

void ModelData::GetContourLimits(double& minimum, double& maximum, int& levels, double& increment) const {
    minimum = contourMin;
    maximum = contourMax;
    levels = contourLevels;
    increment = contourIncrement;
}

void ModelData::SetContourLimits(double minimum, double maximum, int levels, double increment) {
    contourMin = minimum;
    contourMax = maximum;
    contourLevels = levels;
    contourIncrement = increment;
}

void ModelData::GetDefaultContourLimits(double& minimum, double& maximum, int& levels, double& increment) const {
    minimum = autoContourMin;
    maximum = autoContourMax;
    levels = autoContourLevels;
    increment = autoContourIncrement;
}

// ---------------------------------------------------------------------------
// Accessors

int ModelData::GetNodeCount() const { return nodeTable ? nodeTable->GetCount() : 0; }

int ModelData::GetElementCount() const { return elementTable ? elementTable->GetCount() : 0; }

namespace {

// Table k (counted from 1) of an array of tables; null outside it.
template <class T, std::size_t N>
T* TableAt(const std::array<std::unique_ptr<T>, N>& tables, int k) {
    const int i = k - 1;
    return i >= 0 && i < static_cast<int>(N) ? tables[static_cast<std::size_t>(i)].get() : nullptr;
}

// Value `index` (counted from 0) of an array; zero outside it.
template <class T, std::size_t N>
T ValueAt(const std::array<T, N>& values, int index) {
    return index >= 0 && index < static_cast<int>(N) ? values[static_cast<std::size_t>(index)] : T{};
}

// Row of every number 1..maxId of a table, -1 where no row carries it.
template <class Table, class Id>
std::vector<int> RowsByNumber(const Table& table, int maxId, Id idOfRow) {
    std::vector<int> lookup(static_cast<std::size_t>(std::max(maxId, 0)), -1);
    for (int j = 0; j < table.GetCount(); ++j) {
        const int n = idOfRow(j);
        if (n >= 1 && n <= maxId) lookup[static_cast<std::size_t>(n - 1)] = j;
    }
    return lookup;
}

int RowOfNumber(const std::vector<int>& lookup, int number) {
    if (number <= 0 || number > static_cast<int>(lookup.size())) return -1;
    return lookup[static_cast<std::size_t>(number - 1)];
}

}  // namespace

NodeTable* ModelData::GetGridTable(int k) const { return k == 1 ? gridTables[0].get() : gridTables[1].get(); }

NodalActionTable* ModelData::GetNodalActionTable(int k) const { return TableAt(nodalTables, k); }

ConcentratedActionTable* ModelData::GetConcentratedActionTable(int k) const {
    return k == 1 ? concentratedLoads.get() : k == 2 ? concentratedStiffness.get() : nullptr;
}

EdgeActionTable* ModelData::GetEdgeActionTable(int k) const {
    return k == 1 ? edgeLoads.get() : k == 2 ? edgeStiffness.get() : nullptr;
}

SetTable* ModelData::GetSetTable(int k) const { return TableAt(setTables, k); }

int ModelData::GetResultGroupStart(int g) const { return ValueAt(resultGroupStart, g); }

int ModelData::GetResultGroupSize(int g) const { return ValueAt(resultGroupSize, g); }

double ModelData::GetSoilValue(int k) const { return ValueAt(soilValues, k); }

int ModelData::GetElementMaterial(int i) const {
    const ElementRow* row = elementTable ? elementTable->RowOrNull(i) : nullptr;
    return row ? row->material : 0;
}

// ---------------------------------------------------------------------------
// Tables at model level

void ModelData::CopyCutLines() {
    drawnCutLines = std::make_unique<CutLineTable>();
    if (cutLineTable) drawnCutLines->CopyCutLineTable(*cutLineTable);
    drawnCutLines->SetModel(this);
}

void ModelData::RebuildNodeIndex() {
    nodeLookup.clear();
    elementLookup.clear();
    if (nodeTable) {
        nodeTable->CountRows();
        nodeTable->RebuildIndex();
        nodeLookup = RowsByNumber(*nodeTable, nodeTable->MaxNodeId(), [&](int j) { return nodeTable->GetNodeId(j); });
    }
    if (elementTable) {
        elementTable->CountRows();
        elementTable->RebuildIndex();
        elementLookup =
            RowsByNumber(*elementTable, elementTable->MaxId(), [&](int j) { return elementTable->GetId(j); });
    }
}

int ModelData::NodeRowOfNumber(int number) const { return RowOfNumber(nodeLookup, number); }

int ModelData::ElementRowOfNumber(int number) const { return RowOfNumber(elementLookup, number); }
