#include "platform/ui/Settings.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ui {

namespace {

const char* const kRecentSection = "Recent File List";

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

// Splits one line into unescaped fields at raw tabs.
std::vector<std::string> SplitLine(const std::string& line) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char n = line[++i];
            fields.back() += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

std::string ConfigFolder(const std::string& appName) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && home[0]) {
        base = std::string(home) + "/.config";
    } else {
        base = std::filesystem::temp_directory_path().string();
    }
    return base + "/" + appName;
}

bool Settings::Load() {
    data_.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return true;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = SplitLine(line);
        if (f.size() != 3) continue;
        data_[f[0]][f[1]] = f[2];
    }
    return true;
}

bool Settings::Save() const {
    if (path_.empty()) return false;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path_);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    const std::string tmp = path_ + ".tmp." + std::to_string(::getpid());
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    std::string text = "# settings: section, key and value separated by tabs\n";
    for (const auto& [section, values] : data_)
        for (const auto& [key, value] : values)
            text += Escape(section) + "\t" + Escape(key) + "\t" + Escape(value) + "\n";
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(::fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) ok = std::rename(tmp.c_str(), path_.c_str()) == 0;
    if (!ok) std::remove(tmp.c_str());
    return ok;
}

bool Settings::Has(const std::string& section, const std::string& key) const {
    auto s = data_.find(section);
    return s != data_.end() && s->second.count(key) != 0;
}

bool Settings::Get(const std::string& section, const std::string& key, std::string& value) const {
    auto s = data_.find(section);
    if (s == data_.end()) return false;
    auto k = s->second.find(key);
    if (k == s->second.end()) return false;
    value = k->second;
    return true;
}

std::string Settings::GetString(const std::string& section, const std::string& key, const std::string& fallback) const {
    std::string v;
    return Get(section, key, v) ? v : fallback;
}

int Settings::GetInt(const std::string& section, const std::string& key, int fallback) const {
    std::string v;
    if (!Get(section, key, v)) return fallback;
    try {
        size_t used = 0;
        const int n = std::stoi(v, &used);
        return used == v.size() ? n : fallback;
    } catch (...) {
        return fallback;
    }
}

void Settings::SetString(const std::string& section, const std::string& key, const std::string& value) {
    data_[section][key] = value;
}

void Settings::SetInt(const std::string& section, const std::string& key, int value) {
    data_[section][key] = std::to_string(value);
}

void Settings::Remove(const std::string& section, const std::string& key) {
    auto s = data_.find(section);
    if (s == data_.end()) return;
    s->second.erase(key);
    if (s->second.empty()) data_.erase(s);
}

std::vector<std::string> Settings::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    auto s = data_.find(section);
    if (s != data_.end())
        for (const auto& [k, v] : s->second) keys.push_back(k);
    return keys;
}

void RecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    std::string full = path;
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    if (!ec) full = abs.lexically_normal().string();
    files_.erase(std::remove(files_.begin(), files_.end(), full), files_.end());
    files_.insert(files_.begin(), full);
    if (static_cast<int>(files_.size()) > size_) files_.resize(size_);
}

void RecentFileList::Remove(int index) {
    if (index >= 0 && index < Count()) files_.erase(files_.begin() + index);
}

std::string RecentFileList::MenuText(int index) const {
    if (index < 0 || index >= Count()) return "";
    std::string text = "&";
    text += std::to_string(index + 1);
    text += ' ';
    for (char c : files_[index]) {
        text += c;
        if (c == '&') text += '&';
    }
    return text;
}

void RecentFileList::Load(const Settings& s) {
    files_.clear();
    for (int i = 1; i <= size_; ++i) {
        const std::string v = s.GetString(kRecentSection, "File" + std::to_string(i));
        if (!v.empty() && std::find(files_.begin(), files_.end(), v) == files_.end()) files_.push_back(v);
    }
}

void RecentFileList::Save(Settings& s) const {
    for (const std::string& key : s.Keys(kRecentSection)) s.Remove(kRecentSection, key);
    for (int i = 0; i < Count(); ++i) s.SetString(kRecentSection, "File" + std::to_string(i + 1), files_[i]);
}

}  // namespace ui
