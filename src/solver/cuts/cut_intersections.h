// Crossings of a section-cut line with the elements of the mesh, and the
// scratch file "section_cut.tmp" that carries them to the cut evaluations.
#pragma once

#include <string>
#include <vector>

namespace parvane {

struct RunState;

inline constexpr const char* kCutScratchName = "section_cut.tmp";

// The part of a cut line inside one crossed element: the element, the
// corners (a, b) of the sides on which its two points were found, and the
// two points in the order they were found.
struct CutStretch {
    int element = 0;
    int a1 = 0, b1 = 0, a2 = 0, b2 = 0;
    double y1 = 0.0, z1 = 0.0, y2 = 0.0, z2 = 0.0;
};

// The two ends of a stretch, the one nearer (ys, zs) first as (ya, za);
// equal distances keep the order of the record.
void order_stretch_ends(const CutStretch& s, double ys, double zs, double& ya, double& za, double& yb, double& zb);

// Crossings of the infinite line through (line[0], line[2]) and
// (line[1], line[3]) (start y, end y, start z, end z) with the straight
// sides of every element (its first four nodes), in the order of the
// horizontal, vertical and oblique passes over the elements.
std::vector<CutStretch> find_cut_stretches(const RunState& st, const double line[4]);

// One record of the scratch file, (5I6,4F12.4): a field that does not fit
// its width is widened with a leading blank, so that every field stays a
// token of its own.
std::string format_stretch_record(const CutStretch& s);

// Writes the crossings of the cut line to "section_cut.tmp" in the current
// directory (unit 22, written from its start, closed and kept) and returns
// their number in `count` (0 when the line misses the mesh).  A file that
// cannot be written: a line on the message file and the listing, status
// kStatusRunFiles.
void cut_intersections(RunState& st, const double line[4], int& count, int& status);

// Reads the `count` records of "section_cut.tmp" (opened on unit 22, left
// open for the caller to close with deletion).  A missing file, a short file
// or a record that is not numbers: a line naming the record on the message
// file, status kStatusRunFiles.
void read_cut_stretches(RunState& st, int count, std::vector<CutStretch>& out, int& status);

// Closes unit 22 and deletes "section_cut.tmp".
void delete_cut_scratch(RunState& st);

}  // namespace parvane
