// Centroids of a fixed set of triangles of the topology model in a grid of
// buckets, so that the triangle nearest to a point is found among the
// buckets round the point instead of in the whole set.
#pragma once

#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Holds each element of the set while it is a live triangle, at the centroid
// of its present corners. The owner reports every element of the region
// whose corners or kind changed (`update`) and builds the grid again after
// nodes have moved.
class TriangleGrid {
public:
    // The elements of `listed` become the set; the live triangles among them
    // are placed.
    void build(const RegionRecord& region, const std::vector<int>& listed);
    // Element `e` changed: held at its new centroid when it belongs to the
    // set and is a live triangle, else no longer held.
    void update(const RegionRecord& region, int e);
    // Squared distance from (x, y) to the nearest held centroid of an
    // element other than `e` and `f`; infinite when there is none.
    double nearest(double x, double y, int e, int f) const;

private:
    void layout(const RegionRecord& region);
    void place(const RegionRecord& region, int e);
    void take(int e);
    int column(double x) const;
    int row(double y) const;
    const std::vector<int>& cell(int i, int j) const { return cells_[static_cast<std::size_t>(j) * columns_ + i]; }

    std::vector<int> listed_;
    std::vector<char> inSet_;
    std::vector<int> cellOf_, slotOf_;  // per element; -1 when not held
    std::vector<double> cx_, cy_;
    std::vector<std::vector<int>> cells_;
    double left_ = 0.0, bottom_ = 0.0, spanX_ = 1.0, spanY_ = 1.0;  // the nodes' box
    double cellWidth_ = 1.0, cellHeight_ = 1.0;
    int columns_ = 1, rows_ = 1;
    int held_ = 0;
};

}  // namespace tessaro
