#include "frontend/file_sequence.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace frontend {

FileSequence::FileSequence(std::string directory, std::string prefix, std::string suffix, int digits)
    : directory_(std::move(directory)), prefix_(std::move(prefix)), suffix_(std::move(suffix)), digits_(digits) {}

std::string FileSequence::path(int32_t number) const {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%0*d", digits_, static_cast<int>(number));
    return directory_ + "/" + prefix_ + digits + suffix_;
}

bool FileSequence::matches(const std::string& name, int64_t& number) const {
    if (name.size() <= prefix_.size() + suffix_.size()) return false;
    if (name.compare(0, prefix_.size(), prefix_) != 0) return false;
    if (name.compare(name.size() - suffix_.size(), suffix_.size(), suffix_) != 0) return false;
    const std::string digits = name.substr(prefix_.size(), name.size() - prefix_.size() - suffix_.size());
    // The writer pads to at least `digits_`; longer only for large numbers.
    if (digits.size() < static_cast<size_t>(digits_) || digits.size() > 12) return false;
    if (digits.size() > static_cast<size_t>(digits_) && digits[0] == '0') return false;
    int64_t value = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    number = value;
    return true;
}

std::vector<std::string> FileSequence::existing() const {
    std::vector<std::string> paths;
    DIR* dir = ::opendir(directory_.c_str());
    if (dir == nullptr) return paths;
    while (const dirent* entry = ::readdir(dir)) {
        int64_t number = 0;
        if (matches(entry->d_name, number)) paths.push_back(directory_ + "/" + entry->d_name);
    }
    ::closedir(dir);
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool FileSequence::removeFrom(int32_t count, std::string& error) const {
    for (const std::string& file : existing()) {
        int64_t number = 0;
        matches(file.substr(directory_.size() + 1), number);
        if (number < count) continue;
        if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
            error = file + ": cannot remove this frame of an earlier render (" + std::strerror(errno) + ")";
            return false;
        }
    }
    return true;
}

}  // namespace frontend
