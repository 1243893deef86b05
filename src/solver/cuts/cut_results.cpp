#include "solver/cuts/cut_results.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/fio/fio.h"
#include "solver/cuts/cut_interp.h"
#include "solver/cuts/cut_intersections.h"
#include "solver/cuts/cut_lsq.h"
#include "solver/run/run_files.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

constexpr const char* kCutHeading =
    "Element      S           Disp. X        Rot. Y       Rot. Z          My             Mz           Myz          Qy   "
    "        Qz";

// Integer field of width w whose first column stays blank (a value that
// would fill it is written in full after one blank).
std::string count_field(long long v, int w) {
    std::string s = fio::fmt_i_wide(v, w);
    if (s.empty() || s[0] != ' ') s.insert(s.begin(), ' ');
    return s;
}

std::vector<std::string> tokens_of(const std::string& text) {
    std::vector<std::string> tok;
    std::size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == ',')) ++p;
        std::size_t q = p;
        while (q < text.size() && text[q] != ' ' && text[q] != '\t' && text[q] != ',') ++q;
        if (q > p) tok.emplace_back(text.substr(p, q - p));
        p = q;
    }
    return tok;
}

int write_count_record(RunState& st, int unit, long long n) {
    std::string line = " ";
    line += fio::fmt_i_wide(n, 12);
    return st.units.write_line(unit, line);
}

}  // namespace

std::string format_cut_row(const CutPoint& p) {
    std::string r = fio::fmt_e(p.s, 14, 4);
    for (double v : p.v) r += fio::fmt_e(v, 14, 4);
    return r;
}

void write_cut_block(RunState& st, const std::vector<CutPoint>& points, int& status) {
    int ws = write_count_record(st, kUnitCut, static_cast<long long>(points.size()));
    for (const CutPoint& p : points) {
        if (ws == fio::kOk) ws = st.units.write_line(kUnitCut, format_cut_row(p));
        fio::Writer(st.units, kUnitListing).i(p.element, 6).a(format_cut_row(p));
    }
    if (ws != fio::kOk) {
        report_run_error(st, "error in writing the section cut results " + st.file_names[4]);
        status = kStatusRunFiles;
    }
}

void rewrite_cut_file(RunState& st, const std::string& name, int& status) {
    const int ncut = st.ncut > 0 ? st.ncut : 0;
    std::vector<long long> counts(static_cast<std::size_t>(ncut), 0);
    std::vector<std::vector<double>> rows;  // ten values per row, all lines one after the other
    bool failed = false;
    int failed_line = 0;

    // Read the blocks back, each checked: a block that cannot be read in full
    // ends the reading, and it and the lines after it count 0.
    if (st.units.open(kUnitCutRead, name, fio::OpenStatus::Old) != fio::kOk) {
        failed = ncut > 0;
        failed_line = 1;
    } else {
        for (int k = 1; k <= ncut && !failed; ++k) {
            std::string text;
            long long n = 0;
            std::vector<std::string> tok;
            if (st.units.read_line(kUnitCutRead, text) != fio::kOk || (tok = tokens_of(text)).size() != 1 ||
                !fio::parse_int(tok[0], n) || n < 0) {
                failed = true;
                failed_line = k;
                break;
            }
            std::vector<std::vector<double>> block;
            for (long long j = 0; j < n; ++j) {
                std::vector<double> row(10, 0.0);
                bool ok = st.units.read_line(kUnitCutRead, text) == fio::kOk;
                if (ok) {
                    tok = tokens_of(text);
                    ok = tok.size() >= 10;
                    for (std::size_t c = 0; ok && c < 10; ++c) ok = fio::parse_real(tok[c], row[c]);
                }
                if (!ok) {
                    failed = true;
                    failed_line = k;
                    break;
                }
                block.push_back(std::move(row));
            }
            if (failed) break;
            counts[static_cast<std::size_t>(k - 1)] = n;
            for (auto& r : block) rows.push_back(std::move(r));
        }
        st.units.close(kUnitCutRead, fio::CloseStatus::Delete);
    }
    if (failed) {
        report_run_error(st, "error in reading the section cut results of cut line " + std::to_string(failed_line) +
                                 " from " + name);
        status = kStatusRunFiles;
    }

    // The final form, written anew under the same name.
    std::error_code ec;
    std::filesystem::remove(name, ec);
    if (st.units.open(kUnitCutWrite, name, fio::OpenStatus::Unknown) != fio::kOk) {
        report_run_error(st, "error in opening file " + name);
        status = kStatusRunFiles;
        return;
    }
    int ws =
        st.units.write_line(kUnitCutWrite, count_field(ncut, 8) + count_field(static_cast<long long>(rows.size()), 8) +
                                               count_field(kCutColumns, 8));
    if (ws == fio::kOk) ws = st.units.write_line(kUnitCutWrite, kCutCaptions);
    std::size_t next = 0;
    for (int k = 0; k < ncut && ws == fio::kOk; ++k) {
        const long long n = counts[static_cast<std::size_t>(k)];
        ws = st.units.write_line(kUnitCutWrite, count_field(n, 8));
        for (long long j = 0; j < n && ws == fio::kOk; ++j, ++next) {
            std::string r;
            for (double v : rows[next]) r += fio::fmt_e(v, 14, 4);
            ws = st.units.write_line(kUnitCutWrite, r);
        }
    }
    st.units.close(kUnitCutWrite);
    if (ws != fio::kOk) {
        report_run_error(st, "error in writing file " + name);
        status = kStatusRunFiles;
    }
}

void read_cut_header(RunState& st, int& status) {
    fio::ListReader r(st.units, kUnitInput);
    int ncut = 0, icutm = 0, ngrid = 0;
    r >> ncut >> icutm >> ngrid;
    if (!r.ok()) {
        st.ncut = 0;
        report_run_error(st, "error in numeric input: the section cut header cannot be read");
        status = kStatusInput;
        return;
    }
    st.ncut = ncut;
    st.icutm = icutm;
    st.ngrid = ngrid;
}

void section_cut_line(RunState& st, int k, int& status) {
    {
        fio::ListReader r(st.units, kUnitInput);
        int unused = 0;
        double sy = 0.0, sz = 0.0, ey = 0.0, ez = 0.0;
        r >> unused >> sy >> sz >> ey >> ez;
        if (!r.ok() || !std::isfinite(sy) || !std::isfinite(sz) || !std::isfinite(ey) || !std::isfinite(ez)) {
            report_run_error(st, "error in numeric input: cut line " + std::to_string(k) + " cannot be read");
            status = kStatusInput;
            return;
        }
        st.cutpt = {sy, ey, sz, ez};
    }
    fio::Writer(st.units, kUnitListing).skip(1);  // two empty records
    fio::Writer(st.units, kUnitListing)
        .lit("Cut line=")
        .i(k, 3)
        .lit("  Start at point: y=")
        .f(st.cutpt[0], 12, 4)
        .lit("  z=")
        .f(st.cutpt[2], 12, 4)
        .lit("   End at point: y=")
        .f(st.cutpt[1], 12, 4)
        .lit("  z=")
        .f(st.cutpt[3], 12, 4);
    fio::Writer(st.units, kUnitListing).lit(kCutHeading);

    if (st.ngrid < 2) {
        // Points of a stretch need a spacing: nothing to evaluate on this line.
        fio::Writer(st.units, kUnitListing).lit("Cut grid size below 2, no section cut output for cut line").i(k, 9);
        write_cut_block(st, {}, status);
        return;
    }

    int count = 0;
    const double line[4] = {st.cutpt[0], st.cutpt[1], st.cutpt[2], st.cutpt[3]};
    cut_intersections(st, line, count, status);
    if (status > 0) return;
    if (count == 0) {
        delete_cut_scratch(st);  // nothing in it to evaluate
        const std::string text =
            "No intersection found among mesh, no section cut output for cut line" + fio::fmt_i(k, 9);
        std::fputs((text + "\n").c_str(), stdout);
        std::fflush(stdout);
        fio::Writer(st.units, kUnitListing).a(text);
        write_cut_block(st, {}, status);
        return;
    }
    if (st.icutm == 1) {
        cut_least_squares(st, count, status);
    } else if (st.icutm == 2) {
        cut_interpolate(st, count, status);
    } else {
        delete_cut_scratch(st);
        write_cut_block(st, {}, status);
    }
}

void finish_cut_file(RunState& st, int done, int& status) {
    const int ncut = st.ncut > 0 ? st.ncut : 0;
    int ignored = 0;
    for (int k = done + 1; k <= ncut; ++k) write_cut_block(st, {}, ignored);
    if (ignored > 0 && status <= 0) status = ignored;
    st.units.close(kUnitCut);
    rewrite_cut_file(st, st.file_names[4], status);
}

void section_cuts(RunState& st, int& status) {
    fio::Writer(st.units, kUnitListing).list({""});
    fio::Writer(st.units, kUnitListing).list({""});
    fio::Writer(st.units, kUnitListing).list({"Section Cut Output"});
    int cut_status = 0;
    read_cut_header(st, cut_status);
    int done = 0;
    if (cut_status <= 0) {
        for (int k = 1; k <= st.ncut; ++k) {
            section_cut_line(st, k, cut_status);
            if (cut_status > 0) {
                // A record that cannot be read ends the cut lines of the input: the
                // file closes with this line, whatever count the header gave.
                if (cut_status == kStatusInput) st.ncut = k;
                if (st.units.is_open(kUnitMessages))
                    fio::Writer(st.units, kUnitMessages)
                        .list({"Section cut of cut line", fio::list_item(k),
                               " failed; no output for it and the lines after it"});
                break;
            }
            done = k;
        }
    }
    finish_cut_file(st, done, cut_status);
    if (cut_status > 0) status = cut_status;
}

}  // namespace parvane
