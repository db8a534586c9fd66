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
// `shellPrefix` runs in the same shell first (e.g. "ulimit -v 100000 &&").
ToolRun runTool(const std::vector<std::string>& args, const std::string& workDir, const std::string& shellPrefix = "");

// The same as an unprivileged user when the tests run as root (who may write
// into any folder, so a read-only one would not refuse it): through setpriv
// as nobody. `workDir` must then be open to everyone.
ToolRun runToolUnprivileged(const std::vector<std::string>& args, const std::string& workDir);
// The user and group runToolUnprivileged uses.
constexpr int kUnprivilegedId = 65534;

// The tool started and left running, for tests that signal it mid-render.
struct RunningTool {
    int pid = -1;
    std::string workDir;
};
RunningTool startTool(const std::vector<std::string>& args, const std::string& workDir);
// Waits for it to end: the exit code, or 128 + the signal that ended it.
ToolRun finishTool(const RunningTool& tool);

// A .bgra file's words (little-endian), empty when the file is missing.
std::vector<uint32_t> readBgra(const std::string& path);
