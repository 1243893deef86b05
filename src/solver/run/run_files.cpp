#include "solver/run/run_files.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace parvane {

namespace {

void write_date_time(RunState& st, const fio::DateTime& d) {
    fio::Writer(st.units, kUnitMessages).i(d.month, 2).lit("/").i(d.day, 2, 2).lit("/").i(d.year, 4, 4);
    fio::Writer(st.units, kUnitMessages)
        .i(d.hour, 2)
        .lit(":")
        .i(d.minute, 2, 2)
        .lit(":")
        .i(d.second, 2, 2)
        .lit(":")
        .i(d.hundredth, 2, 2);
}

std::string trim_right(const std::string& s) {
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t')) --n;
    return s.substr(0, n);
}

}  // namespace

void report_run_error(RunState& st, const std::string& text) {
    if (st.units.is_open(kUnitMessages)) fio::Writer(st.units, kUnitMessages).list({text});
    if (st.units.is_open(kUnitListing)) fio::Writer(st.units, kUnitListing).list({text});
}

void report_file_failure(RunState& st, const char* action, const std::string& path, int error) {
    if (!st.units.is_open(kUnitMessages)) return;
    fio::Writer(st.units, kUnitMessages)
        .list({std::string("error ") + action + " file " + path + ": " + std::strerror(error)});
}

void start_run(RunState& st, int& status) {
    // Process time-keeping starts with the process itself; the start value is not kept.
    (void)fio::cpu_time_seconds();
    st.start_time = fio::now();

    // Control file: six whole lines.
    std::vector<std::string> lines;
    if (st.units.open(kUnitControl, "torve.dat", fio::OpenStatus::Old) != fio::kOk) {
        status = kStatusRunFiles;
        return;
    }
    for (int k = 0; k < 6; ++k) {
        std::string line;
        if (st.units.read_line(kUnitControl, line) != fio::kOk) break;
        lines.push_back(trim_right(line));
    }
    st.units.close(kUnitControl);
    if (lines.size() >= 1) st.file_names[0] = lines[0];  // the document path, overwritten below
    if (lines.size() >= 2) st.file_names[1] = lines[1];
    if (lines.size() >= 3) st.file_names[2] = lines[2];
    if (lines.size() >= 4) st.file_names[3] = lines[3];
    if (lines.size() >= 5) st.file_names[0] = lines[4];
    if (lines.size() >= 6) st.file_names[4] = lines[5];
    if (lines.size() < 6) {
        // Tell it in the message file when its name was given.
        if (lines.size() >= 5 && !st.file_names[0].empty())
            st.units.open(kUnitMessages, st.file_names[0], fio::OpenStatus::Unknown, fio::Form::Formatted,
                          fio::Position::Append);
        report_run_error(st, "error in reading the control file torve.dat: fewer than six lines");
        status = kStatusRunFiles;
        return;
    }

    st.start_time = fio::now();

    struct RunFile {
        int unit;
        std::string name;
        fio::OpenStatus open_status;
        fio::Form form;
        fio::Position pos;
    };
    const RunFile files[] = {
        {kUnitInput, st.file_names[1], fio::OpenStatus::Old, fio::Form::Formatted, fio::Position::Start},
        {kUnitListing, st.file_names[2], fio::OpenStatus::Unknown, fio::Form::Formatted, fio::Position::Start},
        {kUnitResults, st.file_names[3], fio::OpenStatus::Unknown, fio::Form::Formatted, fio::Position::Start},
        {kUnitMessages, st.file_names[0], fio::OpenStatus::Unknown, fio::Form::Formatted, fio::Position::Append},
        {kUnitCut, st.file_names[4], fio::OpenStatus::Unknown, fio::Form::Formatted, fio::Position::Start},
        {kUnitFort3, "fort3", fio::OpenStatus::Unknown, fio::Form::Unformatted, fio::Position::Start},
        {kUnitFort4, "fort4", fio::OpenStatus::Unknown, fio::Form::Unformatted, fio::Position::Start},
        {kUnitFort2, "fort2", fio::OpenStatus::Unknown, fio::Form::Unformatted, fio::Position::Start},
    };
    for (const RunFile& f : files) {
        if (st.units.open(f.unit, f.name, f.open_status, f.form, f.pos) != fio::kOk) {
            if (!st.units.is_open(kUnitMessages) && !st.file_names[0].empty() && f.unit != kUnitMessages)
                st.units.open(kUnitMessages, st.file_names[0], fio::OpenStatus::Unknown, fio::Form::Formatted,
                              fio::Position::Append);
            report_run_error(st, "error in opening file " + f.name);
            status = kStatusRunFiles;
            return;
        }
    }

    fio::Writer(st.units, kUnitMessages).list({"****** Run Analysis ******"});
    write_date_time(st, st.start_time);

    st.units.rewind(kUnitFort2);
    st.units.rewind(kUnitFort3);
    st.units.rewind(kUnitFort4);
}

void end_run(RunState& st, int& status) {
    release_work_arrays(st);
    if (status > 0) write_termination_banner(st);

    const float seconds = fio::cpu_time_seconds();
    if (st.units.is_open(kUnitListing)) {
        fio::Writer(st.units, kUnitListing);
        fio::Writer(st.units, kUnitListing).list({"Execution time", fio::list_item(seconds), "seconds."});
        fio::Writer(st.units, kUnitListing);
    }
    if (st.units.is_open(kUnitMessages)) {
        fio::Writer(st.units, kUnitMessages);
        fio::Writer(st.units, kUnitMessages).list({"Execution time", fio::list_item(seconds), "seconds."});
        fio::Writer(st.units, kUnitMessages);
        write_date_time(st, fio::now());
    }

    st.units.close(kUnitInput);
    // A run file that cannot be completed (a full disk shows when its buffers
    // are written at the close) fails the run, named in the message file.
    for (int unit : {kUnitListing, kUnitResults}) {
        const std::string path = st.units.path(unit);
        if (st.units.is_open(unit) && st.units.close(unit) != fio::kOk) {
            report_file_failure(st, "closing", path, errno);
            if (status <= 0) {
                status = kStatusRunFiles;
                write_termination_banner(st);
            }
        }
    }
    st.units.close(kUnitMessages);
    st.units.close(kUnitFort2, fio::CloseStatus::Delete);
    st.units.close(kUnitFort3, fio::CloseStatus::Delete);
    st.units.close(kUnitFort4, fio::CloseStatus::Delete);
    // A cut-results file still open here was not finished by the cut stage.
    st.units.close(kUnitCut, status > 0 ? fio::CloseStatus::Delete : fio::CloseStatus::Keep);
    st.units.close(kUnitCutTmp, fio::CloseStatus::Delete);
    st.units.close_all();
}

}  // namespace parvane
