// Output files appear whole or not at all: each is written under a temporary
// name in its own directory and renamed into place once complete. The
// temporary is removed on any error and, once removeTemporariesOnSignals()
// has run, on Ctrl-C and SIGTERM too.
#pragma once

#include <functional>
#include <string>

namespace frontend {

// Checks, before any work is done, that `path` can be created or replaced:
// its directory exists and is writable and the path is not a directory.
bool checkOutputPath(const std::string& path, std::string& error);

// Creates the directory (its parent must exist); an existing one is fine.
bool ensureDirectory(const std::string& path, std::string& error);

class TemporaryFile {
public:
    // Nothing is created until create().
    explicit TemporaryFile(std::string target);
    // Removes the temporary unless it was committed.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Makes an empty file beside the target, ".<name>.XXXXXX", with the
    // permissions an ordinary new file would have.
    bool create(std::string& error);
    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }

    // Renames the temporary over the target. On failure it is removed.
    bool commit(std::string& error);
    // Removes the temporary now.
    void discard();

private:
    std::string target_;
    std::string path_;
    int slot_ = -1;
    bool exists_ = false;
};

// Writes through `writeTo` (given the temporary path) and renames the result
// to `path`. On any failure the temporary file is removed and `path` is left
// as it was; the error names `path`.
using FileWriter = std::function<bool(const std::string& tempPath, std::string& error)>;
bool writeAtomically(const std::string& path, const FileWriter& writeTo, std::string& error);
// The same, into a temporary that already exists.
bool writeAtomically(TemporaryFile& file, const FileWriter& writeTo, std::string& error);

bool writeBytes(const std::string& path, const std::string& bytes, std::string& error);
bool writeBytesAtomically(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace frontend
