#include "tool_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "scratch_dir.h"

extern char** environ;

namespace {

RunningTool spawnTool(const std::vector<std::string>& args, const std::string& workDir,
                      const std::string& shellPrefix, const std::string& launcher = "") {
    // Captured output goes beside workDir, so tests that list workDir see
    // only what the tool made.
    const std::string outPath = workDir + ".stdout";
    const std::string errPath = workDir + ".stderr";
    const std::string command =
        "cd '" + workDir + "' && " + shellPrefix + " exec " + launcher + " " TRIANGLE_RENDER_EMULATOR "\"$0\" \"$@\"";

    std::vector<std::string> argvStrings = {"/bin/sh", "-c", command, TRIANGLE_RENDER_PATH};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvStrings) argv.push_back(&arg[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start /bin/sh");
    return RunningTool{pid, workDir};
}

}  // namespace

RunningTool startTool(const std::vector<std::string>& args, const std::string& workDir) {
    return spawnTool(args, workDir, "");
}

ToolRun runTool(const std::vector<std::string>& args, const std::string& workDir, const std::string& shellPrefix) {
    return finishTool(spawnTool(args, workDir, shellPrefix));
}

ToolRun runToolUnprivileged(const std::vector<std::string>& args, const std::string& workDir) {
    const std::string id = std::to_string(kUnprivilegedId);
    const std::string launcher =
        ::geteuid() == 0 ? "setpriv --reuid=" + id + " --regid=" + id + " --clear-groups" : std::string();
    return finishTool(spawnTool(args, workDir, "", launcher));
}

ToolRun finishTool(const RunningTool& tool) {
    const std::string outPath = tool.workDir + ".stdout";
    const std::string errPath = tool.workDir + ".stderr";
    int status = 0;
    if (::waitpid(tool.pid, &status, 0) != tool.pid) throw std::runtime_error("waitpid failed");
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return run;
}

std::vector<uint32_t> readBgra(const std::string& path) {
    const std::string bytes = readFile(path);
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t k = 0; k < words.size(); ++k) {
        uint32_t word = 0;
        for (int b = 3; b >= 0; --b) word = word << 8 | static_cast<unsigned char>(bytes[4 * k + static_cast<size_t>(b)]);
        words[k] = word;
    }
    return words;
}
