#include "model/ModelFileText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace modelfile {

// "%g" when its six digits read back to the same double, else the fewest
// significant digits (up to 17, enough for any double) that do: a save keeps
// every digit the user entered, and values that came from "%g" text keep
// their bytes.
std::string FormatReal(double value) {
    char buf[64];
    for (int digits = 6; digits <= 17; ++digits) {
        auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
        if (res.ec != std::errc()) return "0";
        double back = 0.0;
        auto read = std::from_chars(buf, res.ptr, back, std::chars_format::general);
        if (!std::isfinite(value) || (read.ec == std::errc() && back == value) || digits == 17)
            return std::string(buf, res.ptr);
    }
    return "0";
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Strips surrounding white space into [b, e).
void Trim(const std::string& text, const char*& b, const char*& e) {
    b = text.data();
    e = text.data() + text.size();
    while (b < e && IsBlank(*b)) ++b;
    while (e > b && IsBlank(e[-1])) --e;
}

bool ParseIntRange(const char* b, const char* e, int& value) {
    if (b < e && *b == '+') ++b;
    if (b == e) return false;
    int v = 0;
    auto res = std::from_chars(b, e, v);
    if (res.ec != std::errc() || res.ptr != e) return false;
    value = v;
    return true;
}

bool ParseRealRange(const char* b, const char* e, double& value) {
    if (b < e && *b == '+') {
        ++b;
        if (b < e && (*b == '-' || *b == '+')) return false;
    }
    if (b == e) return false;
    double v = 0.0;
    auto res = std::from_chars(b, e, v, std::chars_format::general);
    if (res.ptr != e) return false;
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow gives a tiny or zero value; overflow is refused.
        std::string copy(b, e);
        errno = 0;
        v = std::strtod(copy.c_str(), nullptr);
        if (!std::isfinite(v)) return false;
    } else if (res.ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

}  // namespace

std::string WordRule(const std::string& text, std::size_t limit) {
    for (char c : text)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') return "must not contain blanks";
    if (text.size() > limit) return "must not be longer than " + std::to_string(limit) + " characters";
    return {};
}

bool ReadWord(std::istream& in, std::string& word) {
    std::string w;
    if (!(in >> w)) return false;
    if (w.size() > kMaxWordLength) {
        in.setstate(std::ios::failbit);
        return false;
    }
    word = std::move(w);
    return true;
}

namespace {

thread_local RefusedWord g_refused;

// Reads the next word and converts it as a whole with `parse`; a word that
// does not convert fails the stream and is kept as the refused word.
template <class T, class Parse>
bool ReadNumberWord(std::istream& in, T& value, Parse parse, const char* expected) {
    std::string w;
    if (!ReadWord(in, w)) return false;
    if (!parse(w.data(), w.data() + w.size(), value)) {
        g_refused.word = w;
        g_refused.expected = expected;
        // (tellg fails at the end of the input: the flags are set aside.)
        const std::ios::iostate state = in.rdstate();
        in.clear();
        g_refused.end = static_cast<long long>(in.tellg());
        in.setstate(state | std::ios::failbit);
        return false;
    }
    return true;
}

bool ParseFiniteRange(const char* b, const char* e, double& value) {
    double v = 0.0;
    if (!ParseRealRange(b, e, v) || !std::isfinite(v)) return false;
    value = v;
    return true;
}

}  // namespace

const RefusedWord& LastRefusedWord() { return g_refused; }

void ClearRefusedWord() { g_refused = RefusedWord{}; }

void ShiftRefusedWord(long long offset) {
    if (g_refused.end >= 0) g_refused.end += offset;
}

bool ReadInt(std::istream& in, int& value) { return ReadNumberWord(in, value, ParseIntRange, "an integer"); }

bool ReadReal(std::istream& in, double& value) {
    return ReadNumberWord(in, value, ParseFiniteRange, "a finite number");
}

bool ReadLine(std::istream& in, std::string& line) {
    std::string l;
    if (!std::getline(in, l)) return false;
    if (!l.empty() && l.back() == '\r') l.pop_back();
    line = std::move(l);
    return true;
}

void SkipRestOfLine(std::istream& in) {
    if (in) in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

bool ParseIntText(const std::string& text, int& value) {
    const char* b;
    const char* e;
    Trim(text, b, e);
    return ParseIntRange(b, e, value);
}

bool ParseRealText(const std::string& text, double& value) {
    const char* b;
    const char* e;
    Trim(text, b, e);
    return ParseRealRange(b, e, value);
}

std::string NormaliseLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace modelfile
