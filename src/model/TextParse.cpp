#include "model/TextParse.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string Trim(const std::string& text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

}  // namespace

int ParseInt(const std::string& text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
        ++i;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

std::vector<int> ParseIdList(const std::string& input) { return ParseIdList(input, INT_MAX); }

std::vector<int> ParseIdList(const std::string& input, int limit) {
    std::vector<int> result;
    std::string text = Trim(input);
    if (text.empty() || text.back() != ',') text += ',';

    while (!text.empty()) {
        const size_t i = text.find_first_of(",:");
        if (i == std::string::npos) {
            // Only reachable when trimming removed the closing comma's tail:
            // the rest is one last item.
            result.push_back(ParseInt(text));
            break;
        }
        if (text[i] == ',') {
            result.push_back(ParseInt(text.substr(0, i)));
            text.erase(0, i + 1);
        } else {
            const int first = ParseInt(text.substr(0, i));
            // The second colon belongs to this item only when it comes before
            // the comma that ends the item.
            const size_t itemEnd = text.find(',', i + 1);
            const size_t j2 = text.find(':', i + 1);
            int last = 0;
            size_t j = 0;
            if (j2 != std::string::npos && j2 < itemEnd) {
                last = ParseInt(text.substr(i + 1, j2 - i - 1));
                j = j2;
            }
            const size_t k = text.find(',', j);
            int step = 0;
            if (k != std::string::npos) {
                step = ParseInt(text.substr(j + 1, k - j - 1));
                text.erase(0, k + 1);
            } else {
                text.clear();
            }
            // 64-bit counters: a range up to INT_MAX must not overflow.
            if (step > 0 && first < last) {
                const long long end = std::min<long long>(last, limit);
                for (long long v = first; v <= end; v += step) result.push_back(static_cast<int>(v));
            } else if (step < 0 && last < first) {
                // Descending: the numbers above the limit are passed over.
                const long long down = -static_cast<long long>(step);
                long long v = first;
                if (v > limit) v -= (v - limit + down - 1) / down * down;
                for (; v >= last; v -= down) result.push_back(static_cast<int>(v));
            } else {
                break;
            }
        }
        text = Trim(text);
    }
    return result;
}

namespace {

// The integer values of the ";" separated fields of a range text, at most
// `most` of them: the last field takes the rest of the text.
std::vector<int> RangeFields(const std::string& text, size_t most) {
    std::vector<int> fields;
    size_t start = 0;
    for (;;) {
        const size_t p = fields.size() + 1 < most ? text.find(';', start) : std::string::npos;
        fields.push_back(ParseInt(text.substr(start, p == std::string::npos ? std::string::npos : p - start)));
        if (p == std::string::npos) return fields;
        start = p + 1;
    }
}

}  // namespace

void ParseRangeText(const std::string& text, int& first, int& last, int& increment, int& side) {
    const std::vector<int> f = RangeFields(text, 4);
    first = f[0];
    last = f.size() > 1 ? f[1] : f[0];
    increment = f.size() > 2 ? f[2] : 1;
    side = f.size() > 3 ? f[3] : 1;
}

void ParseRangeText2(const std::string& text, int& first, int& last, int& increment) {
    const std::vector<int> f = RangeFields(text, 3);
    first = f[0];
    last = f.size() > 1 ? f[1] : f[0];
    increment = 1;
    if (f.size() > 2) {
        increment = f[2];
        // With all three fields a last of 0 stands for first and an
        // increment of 0 for 1.
        if (last == 0) last = first;
        if (increment == 0) increment = 1;
    }
}

void SplitList(const std::string& text, std::vector<std::string>& pieces) {
    size_t entry = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (entry < pieces.size())
            pieces[entry] = piece;
        else
            pieces.push_back(piece);
        ++entry;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

int CountListItems(const std::string& text) {
    int n = 1;
    for (char c : text)
        if (c == ',') ++n;
    return n;
}

bool IsNumberText(const std::string& text) {
    if (text.empty()) return false;
    int points = 0;
    int minuses = 0;
    for (char c : text) {
        if (c == '.') ++points;
        if (c == '-') ++minuses;
    }
    if (points > 1 || minuses > 1) return false;
    const char c0 = text[0];
    if (!(c0 == '-' || c0 == '.' || (c0 >= '0' && c0 <= '9'))) return false;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (!(c == '.' || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool IsSingleChar(const std::string& text, char c) { return text.size() == 1 && text[0] == c; }

bool ReadCurvePoints(const std::string& path, std::vector<double>& deformations, std::vector<double>& forces) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path);
    if (!in.is_open()) return false;
    in.clear();
    in.seekg(0);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (Trim(line).empty()) continue;
        std::istringstream fields(line);
        double deformation = 0.0;
        double force = 0.0;
        if (!(fields >> deformation >> force)) return false;
        deformations.push_back(deformation);
        forces.push_back(force);
    }
    return true;
}
