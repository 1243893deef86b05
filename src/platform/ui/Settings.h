// The settings store (in place of a registry): sections of key-value pairs in
// one file under the user's configuration folder, written atomically; and the
// recent-file list kept in it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace ui {

// "$XDG_CONFIG_HOME/<app>" or "$HOME/.config/<app>" (no trailing separator).
std::string ConfigFolder(const std::string& appName);

class Settings {
public:
    Settings() = default;
    explicit Settings(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

    // Reads the file; a missing file is an empty store (true). False when the
    // file exists but cannot be read.
    bool Load();
    // Writes a temporary file beside the target and renames it over the
    // target, creating the folder first. False on any failure.
    bool Save() const;

    bool Has(const std::string& section, const std::string& key) const;
    // Value, or nothing when absent.
    bool Get(const std::string& section, const std::string& key, std::string& value) const;
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback = "") const;
    int GetInt(const std::string& section, const std::string& key, int fallback = 0) const;
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int value);
    void Remove(const std::string& section, const std::string& key);
    std::vector<std::string> Keys(const std::string& section) const;

private:
    std::string path_;
    std::map<std::string, std::map<std::string, std::string>> data_;
};

// Most recently used files, newest first, at most 'size' entries.
class RecentFileList {
public:
    explicit RecentFileList(int size = 4) : size_(size) {}
    int Size() const { return size_; }
    int Count() const { return static_cast<int>(files_.size()); }
    const std::string& At(int index) const { return files_.at(index); }
    const std::vector<std::string>& Files() const { return files_; }
    // Moves an existing entry (same absolute path) to the front or inserts it.
    void Add(const std::string& path);
    void Remove(int index);
    // Menu text of entry i: "&1 path" (ampersands in the path doubled).
    std::string MenuText(int index) const;
    // Kept in section "Recent File List" as "File1" .. "File<size>".
    void Load(const Settings& s);
    void Save(Settings& s) const;

private:
    int size_;
    std::vector<std::string> files_;
};

}  // namespace ui
