#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

void appendRegion(ModelLists& lists) { lists.regions.emplace_back(); }
void appendStructureElement(ModelLists& lists) { lists.structureElements.emplace_back(); }
void appendGeometryEntity(ModelLists& lists) { lists.entities.emplace_back(); }

RegionRecord* lastRegion(ModelLists& lists) { return lists.regions.empty() ? nullptr : &lists.regions.back(); }

StructureElementRecord* lastStructureElement(ModelLists& lists)
{
    return lists.structureElements.empty() ? nullptr : &lists.structureElements.back();
}

GeometryEntityRecord* lastGeometryEntity(ModelLists& lists)
{
    return lists.entities.empty() ? nullptr : &lists.entities.back();
}

template <typename T>
static void freeVector(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

void releaseRegion(RegionRecord& region)
{
    std::string().swap(region.name);
    freeVector(region.sideCodes);
    for (RegionSide& side : region.sides) freeVector(side.segments);
    freeVector(region.sides);
    releaseRegionMesh(region);
}

void releaseRegionMesh(RegionRecord& region)
{
    freeVector(region.elements);
    freeVector(region.neighbours);
    freeVector(region.triangles);
    freeVector(region.nodes);
    freeVector(region.adjacency);
    freeVector(region.boundarySides);
    freeVector(region.pendingMoves);
    freeVector(region.interfaceFaces1);
    freeVector(region.interfaceFaces2);
    freeVector(region.codedSides);
    freeVector(region.topoElements);
    freeVector(region.topoNodes);
}

void releaseStructureElement(StructureElementRecord& element)
{
    std::string().swap(element.name);
    freeVector(element.segments);
    freeVector(element.lines);
    freeVector(element.nodes);
    freeVector(element.regionValues);
}

void freeModelLists(ModelLists& lists)
{
    for (RegionRecord& r : lists.regions) releaseRegion(r);
    for (StructureElementRecord& s : lists.structureElements) releaseStructureElement(s);
    lists.regions.clear();
    lists.structureElements.clear();
    lists.entities.clear();
}

}  // namespace tessaro
