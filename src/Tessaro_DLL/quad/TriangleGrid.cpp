#include "Tessaro_DLL/quad/TriangleGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessaro {

namespace {

bool liveTriangle(const RegionRecord& region, int e)
{
    const TopoElement& el = region.topoElements[e - 1];
    return el.name > 0 && el.isTriangle;
}

}  // namespace

void TriangleGrid::build(const RegionRecord& region, const std::vector<int>& listed)
{
    const std::size_t size = region.topoElements.size() + 1;
    listed_ = listed;
    inSet_.assign(size, 0);
    for (int e : listed_)
        if (e >= 1 && static_cast<std::size_t>(e) < size) inSet_[e] = 1;
    cx_.assign(size, 0.0);
    cy_.assign(size, 0.0);
    double right = 0.0, top = 0.0;
    for (std::size_t k = 0; k < region.nodes.size(); ++k) {
        const MeshNode& n = region.nodes[k];
        if (k == 0 || n.x < left_) left_ = n.x;
        if (k == 0 || n.x > right) right = n.x;
        if (k == 0 || n.y < bottom_) bottom_ = n.y;
        if (k == 0 || n.y > top) top = n.y;
    }
    spanX_ = right - left_ > 0.0 ? right - left_ : 1.0;
    spanY_ = top - bottom_ > 0.0 ? top - bottom_ : 1.0;
    layout(region);
}

// About one held triangle per cell.
void TriangleGrid::layout(const RegionRecord& region)
{
    int live = 0;
    for (int e : listed_)
        if (inSet_[e] && liveTriangle(region, e)) ++live;
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(live)))));
    columns_ = rows_ = side;
    cellWidth_ = spanX_ / side;
    cellHeight_ = spanY_ / side;
    cells_.assign(static_cast<std::size_t>(side) * side, {});
    cellOf_.assign(inSet_.size(), -1);
    slotOf_.assign(inSet_.size(), -1);
    held_ = 0;
    for (int e : listed_)
        if (inSet_[e] && cellOf_[e] < 0 && liveTriangle(region, e)) place(region, e);
}

int TriangleGrid::column(double x) const
{
    const double q = (x - left_) / cellWidth_;
    if (!(q > 0.0)) return 0;
    return q >= columns_ ? columns_ - 1 : static_cast<int>(q);
}

int TriangleGrid::row(double y) const
{
    const double q = (y - bottom_) / cellHeight_;
    if (!(q > 0.0)) return 0;
    return q >= rows_ ? rows_ - 1 : static_cast<int>(q);
}

void TriangleGrid::place(const RegionRecord& region, int e)
{
    const TopoElement& el = region.topoElements[e - 1];
    double x = 0.0, y = 0.0;
    for (int k = 0; k < 3; ++k) {
        x += region.nodes[el.c[k] - 1].x / 3.0;
        y += region.nodes[el.c[k] - 1].y / 3.0;
    }
    cx_[e] = x;
    cy_[e] = y;
    const int index = row(y) * columns_ + column(x);
    std::vector<int>& bucket = cells_[static_cast<std::size_t>(index)];
    bucket.push_back(e);
    cellOf_[e] = index;
    slotOf_[e] = static_cast<int>(bucket.size()) - 1;
    ++held_;
}

void TriangleGrid::take(int e)
{
    std::vector<int>& bucket = cells_[static_cast<std::size_t>(cellOf_[e])];
    const int last = bucket.back();
    bucket[static_cast<std::size_t>(slotOf_[e])] = last;
    slotOf_[last] = slotOf_[e];
    bucket.pop_back();
    cellOf_[e] = slotOf_[e] = -1;
    --held_;
}

void TriangleGrid::update(const RegionRecord& region, int e)
{
    if (e < 1 || static_cast<std::size_t>(e) >= inSet_.size() || !inSet_[e]) return;
    if (cellOf_[e] >= 0) take(e);
    if (liveTriangle(region, e)) place(region, e);
    // Kept near one triangle per cell as triangles come and go.
    const int cells = columns_ * rows_;
    if (held_ > 4 * cells || (cells > 1 && 4 * held_ < cells)) layout(region);
}

double TriangleGrid::nearest(double x, double y, int e, int f) const
{
    double best = std::numeric_limits<double>::infinity();
    if (held_ == 0) return best;
    const int ci = column(x), cj = row(y);
    auto scan = [&](int i, int j) {
        if (i < 0 || j < 0 || i >= columns_ || j >= rows_) return;
        for (int t : cell(i, j)) {
            if (t == e || t == f) continue;
            best = std::min(best, (cx_[t] - x) * (cx_[t] - x) + (cy_[t] - y) * (cy_[t] - y));
        }
    };
    // Rings of cells round the point's cell. A cell r + 1 rings out lies
    // more than r cell sizes away; one ring more is kept for rounding.
    const double step = std::min(cellWidth_, cellHeight_);
    for (int r = 0; r <= std::max(columns_, rows_); ++r) {
        for (int i = ci - r; i <= ci + r; ++i) {
            scan(i, cj - r);
            if (r > 0) scan(i, cj + r);
        }
        for (int j = cj - r + 1; j <= cj + r - 1; ++j) {
            scan(ci - r, j);
            scan(ci + r, j);
        }
        const double reach = (r - 1) * step;
        if (r >= 1 && best <= reach * reach) break;
    }
    return best;
}

}  // namespace tessaro
