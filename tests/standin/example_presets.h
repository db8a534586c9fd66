// The bundled example presets, read as plain script texts for engine tests.
#pragma once

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace standin_test {

// Names of the files in `directory` ending in `suffix`, sorted.
inline std::vector<std::string> filesIn(const std::string& directory, const std::string& suffix) {
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name[0] == '.' || name.size() < suffix.size()) continue;
        if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Sections of a text preset, at its [init], [frame], [beat] and [triangle]
// header lines.
inline std::vector<std::string> presetSections(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> sections;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "[init]" || line == "[frame]" || line == "[beat]" || line == "[triangle]") {
            sections.emplace_back();
        } else if (!sections.empty()) {
            sections.back() += line + "\n";
        }
    }
    return sections;
}

}  // namespace standin_test
