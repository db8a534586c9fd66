// Numbered output files in one directory: "frame-0000.png", "frame-0001.png"
// and so on. A new render replaces the files of an earlier one, so those
// numbered beyond the new count are removed rather than left to look like
// part of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

class FileSequence {
public:
    FileSequence(std::string directory, std::string prefix, std::string suffix, int digits = 4);

    // The file of frame `number` (0-based).
    std::string path(int32_t number) const;
    // Whether a file name in the directory belongs to the sequence, and which
    // number it has. Other names ("frame-0001.png.bak", "frame-x.png") never do.
    bool matches(const std::string& name, int64_t& number) const;
    // Paths of the existing files of the sequence, in name order.
    std::vector<std::string> existing() const;
    // Removes the files numbered `count` and above; fails with the first one
    // that cannot be removed.
    bool removeFrom(int32_t count, std::string& error) const;

    const std::string& directory() const { return directory_; }

private:
    std::string directory_;
    std::string prefix_;
    std::string suffix_;
    int digits_;
};

}  // namespace frontend
