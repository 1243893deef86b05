// Numbered-unit file layer of the solver library.
//
// The solver talks to its files through small integer unit numbers, the way
// its routines were written: a unit is opened on a file name, read or written
// record by record, rewound, backspaced and closed (kept or deleted).  This
// header is the whole interface; it keeps no global state: a `Units` table
// belongs to one analysis run.
//
// Formatted units hold text records (one line each, ended by '\n'; a '\r'
// before the '\n' is dropped when reading).  Unformatted units hold binary
// records framed by a 4-byte little-endian length before and after the data,
// so that a record can be stepped over backwards.
//
// Writing a record on a sequential unit makes it the last record of the file:
// whatever followed the current position is cut off (a file opened "unknown"
// at its start and written anew loses its old content; a unit that was
// backspaced and written over loses the records after it).
//
// Nothing here throws, exits or aborts: every operation reports through an
// integer status (0 ok, `kEnd` at end of file, a positive value on error).
//
// Text output follows fixed edit descriptors:
//   In     integer right-aligned in n columns        fmt_i(v, n)
//   In.m   the same with at least m digits             fmt_i(v, n, m)
//   Fw.d   fixed point with d decimals in w columns    fmt_f(v, w, d)
//   Ew.d   0.d..dE+ee right-aligned in w columns       fmt_e(v, w, d)
//   nX     n blanks                                    Writer::x(n)
// A value that does not fit its field prints w asterisks, except through the
// widening integer form fmt_i_wide(), which lets the field grow instead (for
// files that are read back by token).  Exponents of three digits keep the
// letter: 0.1234E+100; the optional leading zero of E and F output is dropped
// when that makes the value fit.  F and E output of a value that rounds to
// zero carries no minus sign.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fio {

// Status values.  0 is success.
inline constexpr int kOk = 0;
inline constexpr int kEnd = -1;         // end of file met while reading
inline constexpr int kErrNotOpen = 1;   // unit is not connected
inline constexpr int kErrOpen = 2;      // file cannot be opened / is missing
inline constexpr int kErrBadValue = 3;  // a token is not a valid number
inline constexpr int kErrIo = 4;        // read or write failure
inline constexpr int kErrRecord = 5;    // unformatted record damaged or too short
inline constexpr int kErrForm = 6;      // formatted call on an unformatted unit or the reverse

enum class OpenStatus { Old, Unknown };  // "old": must exist; "unknown": created when absent
enum class Position { Start, Append };   // where the unit stands after opening
enum class Form { Formatted, Unformatted };
enum class CloseStatus { Keep, Delete };

// ---------------------------------------------------------------------------
// Field formatting (pure functions).

// In: right-aligned in w columns; asterisks when it does not fit.
std::string fmt_i(long long v, int w);
// In.m: at least m digits (leading zeros), right-aligned in w columns.
std::string fmt_i(long long v, int w, int m);
// In, but a value wider than w widens the field instead of printing asterisks.
std::string fmt_i_wide(long long v, int w);
// Fw.d.
std::string fmt_f(double v, int w, int d);
// Ew.d: sign, "0.", d digits, "E", exponent sign and at least two digits.
std::string fmt_e(double v, int w, int d);
// Blank-padded (or cut) text of exactly w characters, as an Aw edit.
std::string fmt_a(std::string_view s, int w);

// List-directed output items (a list-directed line begins with one blank,
// which Writer::list() adds).
std::string list_item(int v);     // integer in 12 columns
std::string list_item(float v);   // single-precision real, 7 significant digits
std::string list_item(double v);  // double-precision real, 16 significant digits

// ---------------------------------------------------------------------------
// Process time and calendar.

// User plus system processor time of the process, in seconds.
float cpu_time_seconds();

struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, hundredth = 0;
};
DateTime now();

// ---------------------------------------------------------------------------
// Unit table.

class Units {
public:
    Units() = default;
    Units(const Units&) = delete;
    Units& operator=(const Units&) = delete;
    ~Units();  // closes (keeps) every unit still open

    // Connect `unit` to `path`.  A unit already connected is closed first.
    int open(int unit, const std::string& path, OpenStatus status, Form form = Form::Formatted,
             Position pos = Position::Start);
    // Disconnect; Delete removes the file.  Closing an unconnected unit is a no-op.
    int close(int unit, CloseStatus how = CloseStatus::Keep);
    void close_all();
    int rewind(int unit);
    // Step back over the record before the current position.
    int backspace(int unit);

    bool is_open(int unit) const;
    std::string path(int unit) const;

    // Formatted records.
    int write_line(int unit, std::string_view text);  // one record
    int read_line(int unit, std::string& text);       // next record; kEnd at end of file

    // Unformatted records: one record made of the given parts.
    int write_record(int unit, std::span<const std::span<const std::byte>> parts);
    // Read the next record into the given parts, in order.  The record must be
    // at least as long as the parts together; any rest of it is skipped.
    int read_record(int unit, std::span<const std::span<std::byte>> parts);

    // Flush the buffers of a unit (for readers of a file still being written).
    int flush(int unit);

private:
    struct Unit;
    Unit* find(int unit);
    const Unit* find(int unit) const;
    // The unit when it is connected with that form; else kErrNotOpen / kErrForm.
    int connected(int unit, Form form, Unit*& u);
    int prepare_write(Unit& u);
    void prepare_read(Unit& u);
    std::map<int, Unit*> units_;
};

// Helpers for unformatted items.
template <class T>
std::span<const std::byte> bytes_of(const T* p, std::size_t n) {
    return {reinterpret_cast<const std::byte*>(p), n * sizeof(T)};
}
template <class T>
std::span<std::byte> bytes_of(T* p, std::size_t n) {
    return {reinterpret_cast<std::byte*>(p), n * sizeof(T)};
}

// ---------------------------------------------------------------------------
// Formatted output, one format statement at a time.
//
//   fio::Writer(units, 6).skip(2).lit(" npoin =").i(npoin, 8);
//
// writes two empty records and then " npoin =" with npoin in 8 columns.  Each
// call appends one edit to the current record; end() (a '/' of a format)
// ends the record; the destructor ends the last record.  skip(k) is k
// record breaks before the first text of a format ("//").  A Writer on a
// closed unit silently discards everything; status() tells.
class Writer {
public:
    Writer(Units& units, int unit) : units_(units), unit_(unit) {}
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    ~Writer();

    Writer& lit(std::string_view s);       // 'text'
    Writer& x(int n);                      // nX
    Writer& i(long long v, int w);         // Iw
    Writer& i(long long v, int w, int m);  // Iw.m
    Writer& i_wide(long long v, int w);    // Iw, widened when too wide
    Writer& f(double v, int w, int d);     // Fw.d
    Writer& e(double v, int w, int d);     // Ew.d
    Writer& a(std::string_view s, int w);  // Aw
    Writer& a(std::string_view s);         // A (the text as it is)
    // Repeats: nIw, nFw.d, nEw.d over the values given.
    Writer& i(std::span<const int> v, int w);
    Writer& f(std::span<const double> v, int w, int d);
    Writer& e(std::span<const double> v, int w, int d);
    // A list-directed line: one blank and the items separated as given.
    Writer& list(std::initializer_list<std::string_view> items);

    Writer& end();        // '/': end the current record
    Writer& skip(int k);  // k times '/'

    int status() const { return status_; }

private:
    Units& units_;
    int unit_;
    std::string rec_;
    int status_ = 0;
    bool finished_ = false;
};

// ---------------------------------------------------------------------------
// List-directed input.
//
//   int n; double a, b;
//   fio::ListReader r(units, 5);
//   r >> n >> a >> b;
//   if (r.status() != 0) ...
//
// A reader starts on the next record of the unit, takes values separated by
// blanks, tabs or a comma, goes on to further records when a record runs
// short, and leaves the rest of its last record unread: the next reader
// starts on the following record.  "r*c" repeats a value r times, "r*" skips r
// values, two commas in a row leave a value unchanged, and '/' ends the read
// leaving the remaining values unchanged.  At end of file or on a token that
// is not a valid number the reader stops with the status set; later
// extractions do nothing.  The status is sticky.
class ListReader {
public:
    ListReader(Units& units, int unit) : units_(units), unit_(unit) {}
    ListReader(const ListReader&) = delete;
    ListReader& operator=(const ListReader&) = delete;

    ListReader& operator>>(int& v);
    ListReader& operator>>(long long& v);
    ListReader& operator>>(double& v);
    ListReader& operator>>(float& v);

    int status() const { return status_; }
    bool ok() const { return status_ == 0; }
    // The token that failed to convert (for messages).
    const std::string& bad_token() const { return bad_token_; }

private:
    // Gives the next value token; false with the status set at end or error,
    // or false with `null` set for a null value / after a slash.
    bool next(std::string& tok, bool& null);
    bool fill();
    // The next value converted by `parse` (false: not a number of that kind);
    // a null value leaves v as it is.
    template <class T, class Parse>
    ListReader& take(T& v, Parse parse);

    Units& units_;
    int unit_;
    std::string line_;
    std::size_t pos_ = 0;
    bool have_line_ = false;
    bool slashed_ = false;
    bool after_value_ = false;  // a value was taken since the last separator comma
    int repeat_left_ = 0;
    std::string repeat_tok_;
    bool repeat_null_ = false;
    int status_ = 0;
    std::string bad_token_;
};

// Conversions used by ListReader (exposed for tests): a whole token to a
// number; false when the token is not a valid number of that kind.
bool parse_int(std::string_view tok, long long& v);
bool parse_real(std::string_view tok, double& v);

}  // namespace fio
