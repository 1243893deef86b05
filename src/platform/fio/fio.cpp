#include "platform/fio/fio.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <new>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace fio {

// ---------------------------------------------------------------------------
// Field formatting.

namespace {

std::string stars(int w) { return std::string(static_cast<std::size_t>(std::max(w, 0)), '*'); }

std::string right(const std::string& s, int w) {
    if (static_cast<int>(s.size()) >= w) return s;
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string non_finite(double v, int w) {
    std::string s;
    if (std::isnan(v)) {
        s = "NaN";
    } else {
        s = v < 0 ? "-Infinity" : "Infinity";
        if (static_cast<int>(s.size()) > w) s = v < 0 ? "-Inf" : "Inf";
    }
    if (static_cast<int>(s.size()) > w) return stars(w);
    return right(s, w);
}

std::string abs_digits(long long v) {
    // Magnitude of v in decimal, safe for the most negative value.
    unsigned long long m = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    return std::to_string(m);
}

// `digits` with the sign of v in front.  Appending to the sign (instead of
// prepending to a temporary) keeps GCC's -Wrestrict from a false alarm.
std::string with_sign(long long v, const std::string& digits) {
    std::string s;
    s.reserve(digits.size() + 1);
    if (v < 0) s.push_back('-');
    s.append(digits);
    return s;
}

}  // namespace

std::string fmt_i(long long v, int w) {
    if (w <= 0) return {};
    std::string s = with_sign(v, abs_digits(v));
    if (static_cast<int>(s.size()) > w) return stars(w);
    return right(s, w);
}

std::string fmt_i(long long v, int w, int m) {
    if (w <= 0) return {};
    if (m <= 0 && v == 0) return std::string(static_cast<std::size_t>(w), ' ');
    std::string d = abs_digits(v);
    if (static_cast<int>(d.size()) < m) d.insert(0, static_cast<std::size_t>(m) - d.size(), '0');
    std::string s = with_sign(v, d);
    if (static_cast<int>(s.size()) > w) return stars(w);
    return right(s, w);
}

std::string fmt_i_wide(long long v, int w) {
    std::string s = with_sign(v, abs_digits(v));
    return right(s, w);
}

std::string fmt_f(double v, int w, int d) {
    if (w <= 0) return {};
    if (d < 0) d = 0;
    if (!std::isfinite(v)) return non_finite(v, w);
    // to_chars rounds as printf's %.*f does, without its cost per call.
    std::vector<char> buf(static_cast<std::size_t>(d) + 400);
    const auto fixed = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v), std::chars_format::fixed, d);
    std::string body(buf.data(), fixed.ptr);
    if (d == 0) body.push_back('.');
    const bool zero = body.find_first_of("123456789") == std::string::npos;
    const std::string sign = (v < 0 && !zero) ? "-" : "";
    std::string s = sign + body;
    if (static_cast<int>(s.size()) > w && body.size() > 1 && body[0] == '0' && body[1] == '.') {
        s = sign + body.substr(1);  // the leading zero is optional
    }
    if (static_cast<int>(s.size()) > w) return stars(w);
    return right(s, w);
}

std::string fmt_e(double v, int w, int d) {
    if (w <= 0) return {};
    if (d < 1) d = 1;
    if (!std::isfinite(v)) return non_finite(v, w);
    std::string digits;
    int exp10 = 0;
    if (v == 0.0) {
        digits.assign(static_cast<std::size_t>(d), '0');
    } else {
        std::vector<char> buf(static_cast<std::size_t>(d) + 64);
        const auto sci =
            std::to_chars(buf.data(), buf.data() + buf.size() - 1, std::fabs(v), std::chars_format::scientific, d - 1);
        *sci.ptr = '\0';
        // buf: "D.DDDe+XX" or "De+XX" when d == 1, rounded as printf's %.*e
        const char* p = buf.data();
        const char* epos = std::strchr(p, 'e');
        for (const char* q = p; q < epos; ++q)
            if (*q != '.') digits.push_back(*q);
        exp10 = std::atoi(epos + 1) + 1;
    }
    const std::string sign = (v < 0.0) ? "-" : "";  // -0.0 compares equal to 0 and stays unsigned
    std::string ex = abs_digits(exp10);
    if (ex.size() < 2) ex = "0" + ex;
    const std::string tail = std::string("E") + (exp10 < 0 ? "-" : "+") + ex;
    std::string s = sign + "0." + digits + tail;
    if (static_cast<int>(s.size()) > w) s = sign + "." + digits + tail;
    if (static_cast<int>(s.size()) > w) return stars(w);
    return right(s, w);
}

std::string fmt_a(std::string_view s, int w) {
    if (w <= 0) return {};
    std::string r(s.substr(0, static_cast<std::size_t>(w)));
    r.resize(static_cast<std::size_t>(w), ' ');
    return r;
}

namespace {

// A real in the G edit of list-directed output with `sig` significant digits
// in `width` columns: fixed point when the magnitude allows, else E form.
std::string list_real(double v, int sig, int width) {
    if (!std::isfinite(v)) return non_finite(v, width);
    const double a = std::fabs(v);
    if (a != 0.0) {
        // Decimal exponent after rounding to `sig` digits.
        std::vector<char> buf(128);
        std::snprintf(buf.data(), buf.size(), "%.*e", sig - 1, a);
        const int e10 = std::atoi(std::strchr(buf.data(), 'e') + 1) + 1;
        if (e10 >= 0 && e10 <= sig) {
            const int decimals = sig - e10;
            std::string s = fmt_f(v, width - 4, decimals);
            return s + "    ";
        }
    }
    // E form, one place narrower, with a blank after it to part it from the next item.
    return fmt_e(v, width - 1, sig) + " ";
}

}  // namespace

std::string list_item(int v) { return fmt_i(v, 12); }
std::string list_item(float v) { return list_real(static_cast<double>(v), 7, 15); }
std::string list_item(double v) { return list_real(v, 16, 25); }

// ---------------------------------------------------------------------------
// Time.

float cpu_time_seconds() {
    rusage ru{};
    if (getrusage(RUSAGE_SELF, &ru) != 0) return 0.0f;
    const double s = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                     1e-6 * static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
    return static_cast<float>(s);
}

DateTime now() {
    DateTime r;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    time_t t = ts.tv_sec;
    localtime_r(&t, &tm);
    r.year = tm.tm_year + 1900;
    r.month = tm.tm_mon + 1;
    r.day = tm.tm_mday;
    r.hour = tm.tm_hour;
    r.minute = tm.tm_min;
    r.second = tm.tm_sec;
    r.hundredth = static_cast<int>(ts.tv_nsec / 10000000L);
    return r;
}

// ---------------------------------------------------------------------------
// Units.

namespace {

// Length marker of an unformatted record: 4 bytes, little-endian.
using Marker = std::array<unsigned char, 4>;

Marker encode_length(std::uint32_t l) {
    return {static_cast<unsigned char>(l & 0xFF), static_cast<unsigned char>((l >> 8) & 0xFF),
            static_cast<unsigned char>((l >> 16) & 0xFF), static_cast<unsigned char>((l >> 24) & 0xFF)};
}

std::uint32_t decode_length(const Marker& m) {
    return static_cast<std::uint32_t>(m[0]) | (static_cast<std::uint32_t>(m[1]) << 8) |
           (static_cast<std::uint32_t>(m[2]) << 16) | (static_cast<std::uint32_t>(m[3]) << 24);
}

}  // namespace

struct Units::Unit {
    std::FILE* fp = nullptr;
    std::string path;
    Form form = Form::Formatted;
    long size = 0;             // current length of the file in bytes
    bool writing = false;      // last operation was a write
    bool reading = false;      // last operation was a read
    bool at_end = false;       // writing at the end of the file: each write extends it
    bool cut_pending = false;  // the file is to be cut at `size` when the writes end
    int error = 0;             // errno of the first failed write, 0 while none failed
};

namespace {

// A failed write: keeps its cause for the close, which reports it.
int write_failed(int& first_error) {
    if (first_error == 0) first_error = errno != 0 ? errno : EIO;
    return kErrIo;
}

}  // namespace

Units::~Units() { close_all(); }

Units::Unit* Units::find(int unit) {
    auto it = units_.find(unit);
    return it == units_.end() ? nullptr : it->second;
}
const Units::Unit* Units::find(int unit) const {
    auto it = units_.find(unit);
    return it == units_.end() ? nullptr : it->second;
}

int Units::connected(int unit, Form form, Unit*& u) {
    u = find(unit);
    if (!u) return kErrNotOpen;
    return u->form == form ? kOk : kErrForm;
}

bool Units::is_open(int unit) const { return find(unit) != nullptr; }

std::string Units::path(int unit) const {
    const Unit* u = find(unit);
    return u ? u->path : std::string();
}

int Units::open(int unit, const std::string& path, OpenStatus status, Form form, Position pos) {
    close(unit);
    if (path.empty()) return kErrOpen;
    std::FILE* fp = std::fopen(path.c_str(), "r+b");
    if (!fp) {
        if (status == OpenStatus::Old) {
            // An existing file that may only be read is still usable for input.
            fp = std::fopen(path.c_str(), "rb");
            if (!fp) return kErrOpen;
        } else {
            fp = std::fopen(path.c_str(), "w+b");
            if (!fp) return kErrOpen;
        }
    }
    auto* u = new (std::nothrow) Unit;
    if (!u) {
        std::fclose(fp);
        return kErrIo;
    }
    u->fp = fp;
    u->path = path;
    u->form = form;
    // Records are written and read whole: a larger buffer passes those of a few
    // kilobytes to the system several at a time; records longer than it go
    // straight between the caller's memory and the file.
    if (form == Form::Unformatted) std::setvbuf(fp, nullptr, _IOFBF, std::size_t(64) << 10);
    std::fseek(fp, 0, SEEK_END);
    u->size = std::ftell(fp);
    if (pos == Position::Start) std::fseek(fp, 0, SEEK_SET);
    units_[unit] = u;
    return kOk;
}

// Cuts a file that was rewritten from inside after its last write: an
// unformatted unit defers the cut until its writes end, so that a file
// rewritten to its old length is overwritten in place, never emptied first.
template <class U>
static int end_writes(U& u) {
    if (!u.cut_pending) return 0;
    u.cut_pending = false;
    if (std::fflush(u.fp) != 0) return -1;
    return ftruncate(fileno(u.fp), u.size);
}

int Units::close(int unit, CloseStatus how) {
    auto it = units_.find(unit);
    if (it == units_.end()) return kOk;
    Unit* u = it->second;
    units_.erase(it);
    if (how != CloseStatus::Delete && end_writes(*u) != 0 && u->error == 0) u->error = errno != 0 ? errno : EIO;
    // A write that failed earlier (a full disk) fails the close as well, with
    // its own cause in errno.
    const bool failed_before = u->error != 0 || std::ferror(u->fp);
    int st = std::fclose(u->fp) == 0 && !failed_before ? kOk : kErrIo;
    if (st != kOk && u->error != 0) errno = u->error;
    if (how == CloseStatus::Delete) std::remove(u->path.c_str());
    delete u;
    return st;
}

void Units::close_all() {
    while (!units_.empty()) close(units_.begin()->first);
}

int Units::rewind(int unit) {
    Unit* u = find(unit);
    if (!u) return kErrNotOpen;
    end_writes(*u);
    std::fflush(u->fp);
    std::fseek(u->fp, 0, SEEK_SET);
    u->writing = u->reading = false;
    return kOk;
}

int Units::flush(int unit) {
    Unit* u = find(unit);
    if (!u) return kErrNotOpen;
    return std::fflush(u->fp) == 0 ? kOk : write_failed(u->error);
}

int Units::prepare_write(Unit& u) {
    // Switch the stream to writing and cut the file after the current position;
    // a stream that goes on writing at the end needs neither.
    if (u.writing && u.at_end) return kOk;
    if (u.reading || !u.writing) std::fseek(u.fp, 0, SEEK_CUR);
    u.reading = false;
    u.writing = true;
    long pos = std::ftell(u.fp);
    if (pos < 0) return kErrIo;
    if (pos < u.size) {
        if (u.form == Form::Unformatted) {
            u.cut_pending = true;
        } else {
            std::fflush(u.fp);
            if (ftruncate(fileno(u.fp), pos) != 0) return kErrIo;
        }
        u.size = pos;
    }
    u.at_end = true;
    return kOk;
}

void Units::prepare_read(Unit& u) {
    // Switch the stream to reading (a seek must separate a write and a read).
    end_writes(u);
    if (u.writing || !u.reading) std::fseek(u.fp, 0, SEEK_CUR);
    u.writing = false;
    u.reading = true;
}

int Units::backspace(int unit) {
    Unit* u = find(unit);
    if (!u) return kErrNotOpen;
    end_writes(*u);
    std::fflush(u->fp);
    u->writing = u->reading = false;
    long pos = std::ftell(u->fp);
    if (pos <= 0) return kOk;
    if (u->form == Form::Unformatted) {
        if (pos < 8) return kErrRecord;
        Marker m;
        std::fseek(u->fp, pos - 4, SEEK_SET);
        if (std::fread(m.data(), 1, 4, u->fp) != 4) return kErrRecord;
        const long start = pos - 8 - static_cast<long>(decode_length(m));
        if (start < 0) return kErrRecord;
        std::fseek(u->fp, start, SEEK_SET);
        return kOk;
    }
    // Formatted: the byte before pos ends the previous record; find the one before it.
    long p = pos - 1;
    while (p > 0) {
        std::fseek(u->fp, p - 1, SEEK_SET);
        int c = std::fgetc(u->fp);
        if (c == '\n') break;
        --p;
    }
    std::fseek(u->fp, p, SEEK_SET);
    return kOk;
}

int Units::write_line(int unit, std::string_view text) {
    Unit* u = nullptr;
    if (int st = connected(unit, Form::Formatted, u)) return st;
    int st = prepare_write(*u);
    if (st) return st;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), u->fp) != text.size()) return write_failed(u->error);
    if (std::fputc('\n', u->fp) == EOF) return write_failed(u->error);
    u->size += static_cast<long>(text.size()) + 1;
    return kOk;
}

int Units::read_line(int unit, std::string& text) {
    text.clear();
    Unit* u = nullptr;
    if (int st = connected(unit, Form::Formatted, u)) return st;
    prepare_read(*u);
    int c = std::fgetc(u->fp);
    if (c == EOF) return std::ferror(u->fp) ? kErrIo : kEnd;
    while (c != EOF && c != '\n') {
        text.push_back(static_cast<char>(c));
        c = std::fgetc(u->fp);
    }
    if (c == EOF && std::ferror(u->fp)) return kErrIo;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return kOk;
}

int Units::write_record(int unit, std::span<const std::span<const std::byte>> parts) {
    Unit* u = nullptr;
    if (int st = connected(unit, Form::Unformatted, u)) return st;
    int st = prepare_write(*u);
    if (st) return st;
    std::size_t len = 0;
    for (auto p : parts) len += p.size();
    if (len > 0xFFFFFFF0u) return kErrRecord;
    const Marker m = encode_length(static_cast<std::uint32_t>(len));
    if (std::fwrite(m.data(), 1, 4, u->fp) != 4) return write_failed(u->error);
    for (auto p : parts)
        if (!p.empty() && std::fwrite(p.data(), 1, p.size(), u->fp) != p.size()) return write_failed(u->error);
    if (std::fwrite(m.data(), 1, 4, u->fp) != 4) return write_failed(u->error);
    u->size += static_cast<long>(len) + 8;
    return kOk;
}

int Units::read_record(int unit, std::span<const std::span<std::byte>> parts) {
    Unit* u = nullptr;
    if (int st = connected(unit, Form::Unformatted, u)) return st;
    prepare_read(*u);
    Marker m;
    std::size_t got = std::fread(m.data(), 1, 4, u->fp);
    if (got == 0) return std::ferror(u->fp) ? kErrIo : kEnd;
    if (got != 4) return kErrRecord;
    const std::uint32_t len = decode_length(m);
    std::size_t need = 0;
    for (auto p : parts) need += p.size();
    int st = kOk;
    std::size_t taken = 0;
    if (need > len) {
        st = kErrRecord;
    } else {
        for (auto p : parts) {
            if (p.empty()) continue;
            const std::size_t got_part = std::fread(p.data(), 1, p.size(), u->fp);
            taken += got_part;
            if (got_part != p.size()) {
                st = kErrRecord;
                break;
            }
        }
    }
    // Step to the end of the record whatever was taken from it.
    if (taken != len) std::fseek(u->fp, static_cast<long>(len - taken), SEEK_CUR);
    Marker t;
    if (std::fread(t.data(), 1, 4, u->fp) != 4 || t != m) return kErrRecord;
    return st;
}

// ---------------------------------------------------------------------------
// Writer.

Writer::~Writer() {
    if (!finished_) end();
}

Writer& Writer::lit(std::string_view s) {
    rec_.append(s);
    return *this;
}
Writer& Writer::x(int n) {
    if (n > 0) rec_.append(static_cast<std::size_t>(n), ' ');
    return *this;
}
Writer& Writer::i(long long v, int w) { return lit(fmt_i(v, w)); }
Writer& Writer::i(long long v, int w, int m) { return lit(fmt_i(v, w, m)); }
Writer& Writer::i_wide(long long v, int w) { return lit(fmt_i_wide(v, w)); }
Writer& Writer::f(double v, int w, int d) { return lit(fmt_f(v, w, d)); }
Writer& Writer::e(double v, int w, int d) { return lit(fmt_e(v, w, d)); }
Writer& Writer::a(std::string_view s, int w) { return lit(fmt_a(s, w)); }
Writer& Writer::a(std::string_view s) { return lit(s); }
Writer& Writer::i(std::span<const int> v, int w) {
    for (int k : v) i(k, w);
    return *this;
}
Writer& Writer::f(std::span<const double> v, int w, int d) {
    for (double k : v) f(k, w, d);
    return *this;
}
Writer& Writer::e(std::span<const double> v, int w, int d) {
    for (double k : v) e(k, w, d);
    return *this;
}
Writer& Writer::list(std::initializer_list<std::string_view> items) {
    if (items.size() == 0) return *this;
    rec_.push_back(' ');
    for (auto s : items) rec_.append(s);
    return *this;
}

Writer& Writer::end() {
    int st = units_.write_line(unit_, rec_);
    if (st && !status_) status_ = st;
    rec_.clear();
    return *this;
}

Writer& Writer::skip(int k) {
    for (int n = 0; n < k; ++n) end();
    return *this;
}

// ---------------------------------------------------------------------------
// List-directed input.

bool parse_int(std::string_view tok, long long& v) {
    std::size_t i = 0;
    bool neg = false;
    if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) neg = tok[i++] == '-';
    if (i >= tok.size()) return false;
    unsigned long long m = 0;
    for (; i < tok.size(); ++i) {
        const char c = tok[i];
        if (c < '0' || c > '9') return false;
        m = m * 10 + static_cast<unsigned long long>(c - '0');
        if (m > 0x7FFFFFFFULL + 1ULL) return false;  // beyond a 32-bit integer
    }
    if (!neg && m > 0x7FFFFFFFULL) return false;
    v = neg ? -static_cast<long long>(m) : static_cast<long long>(m);
    return true;
}

bool parse_real(std::string_view tok, double& v) {
    // [sign] digits [. digits] [exponent], with at least one digit in the
    // mantissa; the exponent is a letter E, D or Q with an optional sign, or a
    // bare sign, followed by digits.
    std::string s;
    std::size_t i = 0;
    if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) s.push_back(tok[i++]);
    int mant_digits = 0;
    while (i < tok.size() && tok[i] >= '0' && tok[i] <= '9') s.push_back(tok[i++]), ++mant_digits;
    if (i < tok.size() && tok[i] == '.') {
        s.push_back(tok[i++]);
        while (i < tok.size() && tok[i] >= '0' && tok[i] <= '9') s.push_back(tok[i++]), ++mant_digits;
    }
    if (mant_digits == 0) return false;
    if (i < tok.size()) {
        const char c = tok[i];
        if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
            ++i;
        } else if (c != '+' && c != '-') {
            return false;
        }
        s.push_back('e');
        if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) s.push_back(tok[i++]);
        int exp_digits = 0;
        while (i < tok.size() && tok[i] >= '0' && tok[i] <= '9') s.push_back(tok[i++]), ++exp_digits;
        if (exp_digits == 0 || i != tok.size()) return false;
    }
    errno = 0;
    char* endp = nullptr;
    const double r = std::strtod(s.c_str(), &endp);
    if (endp != s.c_str() + s.size()) return false;
    if (!std::isfinite(r)) return false;
    v = r;
    return true;
}

bool ListReader::fill() {
    int st = units_.read_line(unit_, line_);
    if (st != kOk) {
        status_ = st;
        return false;
    }
    have_line_ = true;
    pos_ = 0;
    return true;
}

bool ListReader::next(std::string& tok, bool& null) {
    null = false;
    if (repeat_left_ > 0) {
        --repeat_left_;
        tok = repeat_tok_;
        null = repeat_null_;
        return true;
    }
    if (slashed_) {
        null = true;
        return true;
    }
    for (;;) {
        if (!have_line_ && !fill()) return false;
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
        if (pos_ >= line_.size()) {
            have_line_ = false;  // the end of a record separates like a blank
            continue;
        }
        const char c = line_[pos_];
        if (c == ',') {
            ++pos_;
            if (after_value_) {
                after_value_ = false;  // the comma ends the value before it
                continue;
            }
            null = true;  // nothing between two separators: a null value
            return true;
        }
        if (c == '/') {
            slashed_ = true;
            null = true;
            return true;
        }
        std::size_t b = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t' && line_[pos_] != ',' &&
               line_[pos_] != '/')
            ++pos_;
        tok = line_.substr(b, pos_ - b);
        after_value_ = true;
        const std::size_t star = tok.find('*');
        if (star != std::string::npos && star > 0) {
            long long r = 0;
            if (!parse_int(std::string_view(tok).substr(0, star), r) || r < 1 || tok[0] == '+' || tok[0] == '-') {
                status_ = kErrBadValue;
                bad_token_ = tok;
                return false;
            }
            repeat_tok_ = tok.substr(star + 1);
            repeat_null_ = repeat_tok_.empty();
            repeat_left_ = static_cast<int>(std::min<long long>(r - 1, 0x7FFFFFFF));
            tok = repeat_tok_;
            null = repeat_null_;
        }
        return true;
    }
}

template <class T, class Parse>
ListReader& ListReader::take(T& v, Parse parse) {
    if (status_) return *this;
    std::string tok;
    bool null = false;
    if (!next(tok, null) || null) return *this;
    T r{};
    if (!parse(tok, r)) {
        status_ = kErrBadValue;
        bad_token_ = tok;
        return *this;
    }
    v = r;
    return *this;
}

ListReader& ListReader::operator>>(long long& v) { return take(v, parse_int); }

ListReader& ListReader::operator>>(double& v) { return take(v, parse_real); }

ListReader& ListReader::operator>>(int& v) {
    // parse_int keeps to the range of a 32-bit integer.
    return take(v, [](std::string_view tok, int& r) {
        long long x = 0;
        if (!parse_int(tok, x)) return false;
        r = static_cast<int>(x);
        return true;
    });
}

ListReader& ListReader::operator>>(float& v) {
    return take(v, [](std::string_view tok, float& r) {
        double x = 0;
        if (!parse_real(tok, x) || std::fabs(x) > 3.4028234663852886e38) return false;
        r = static_cast<float>(x);
        return true;
    });
}

}  // namespace fio
