// Stage "cuts": takes the step results and the cut lines and gives the ".cut"
// file.
//
// The section-cut stage of a run: the cut lines of the numeric input, their
// evaluation, the blocks of the cut results and the final ".cut" file.
//
// While the lines are evaluated, unit 9 (the ".cut" name) receives one block
// per cut line: a record with the point count, then one (10E14.4) record
// per point (S, Disp_X, Rot_y, Rot_z, My, Mz, Myz, Qy, Qz, Soil_press_q).
// After the last line the file is rewritten in its final form:
//   (3I8)  number of cut lines, total points, 9
//   "Disp_X Rot_y Rot_z My Mz Myz Qy Qz Soil_press_q"
//   per line: (I8) its count, then its rows (10E14.4).
// The final form is written whatever happens during the stage: a line that
// could not be evaluated gets a block of count 0.
#pragma once

#include <string>
#include <vector>

namespace parvane {

struct RunState;

inline constexpr const char* kCutCaptions = "Disp_X Rot_y Rot_z My Mz Myz Qy Qz Soil_press_q";
inline constexpr int kCutColumns = 9;

// One section point: its position, S, the nine quantities (Disp_X, Rot_y,
// Rot_z, My, Mz, Myz, Qy, Qz, Soil_press_q) and the crossed element.
struct CutPoint {
    double y = 0.0, z = 0.0, s = 0.0;
    double v[kCutColumns] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    int element = 0;
};

// One (10E14.4) row: S and the nine quantities.
std::string format_cut_row(const CutPoint& p);

// Appends the block of one cut line to unit 9 (count, then the rows) and the
// rows to the listing, (I6,10E14.4) with the element first.  A write that
// fails: a line on the message file, status kStatusRunFiles.
void write_cut_block(RunState& st, const std::vector<CutPoint>& points, int& status);

// Reads the blocks of the ncut lines back from the file `name` (its
// connection on unit 9 already closed), deletes it and writes it again in
// the final form.  Blocks that are missing or cannot be read give their line
// count 0, a line on the message file and status kStatusRunFiles; the file is
// still written in its final form.
void rewrite_cut_file(RunState& st, const std::string& name, int& status);

// Reads the cut header of the numeric input (ncut, method, grid size).  A
// missing or bad header: a line on the message file and the listing, ncut 0,
// status kStatusInput.
void read_cut_header(RunState& st, int& status);

// Cut line k: reads its record, echoes it with the table heading on the
// listing, finds its crossings and evaluates them by the run's method,
// appending its block to unit 9 (count 0 when it misses the mesh, when the
// method is neither 1 nor 2 or when the grid size is below 2); the scratch
// file of its crossings is deleted in every case.  A failure leaves no block
// for the line and sets the status.
void section_cut_line(RunState& st, int k, int& status);

// Ends the stage: blocks of count 0 for lines done + 1 .. ncut, unit 9
// closed and the file rewritten in its final form (rewrite_cut_file).
void finish_cut_file(RunState& st, int done, int& status);

// The whole stage after the last step: "Section Cut Output" on the listing,
// the header, every cut line, and the final ".cut" file.  A failure in a line
// ends the loop with its status and a line on the message file; the file is
// finished all the same, with count 0 for the failed line and the lines after
// it (a cut-line record that cannot be read makes that line the last one).
void section_cuts(RunState& st, int& status);

}  // namespace parvane
