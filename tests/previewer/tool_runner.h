// Runs the built triangle-render binary as a separate process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the tool with `args` (program name not included), collecting its
// output through files in `workDir`, which is also its working directory.
ToolRun runTool(const std::vector<std::string>& args, const std::string& workDir);

// A .bgra file's words (little-endian), empty when the file is missing.
std::vector<uint32_t> readBgra(const std::string& path);
