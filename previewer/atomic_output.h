// Output files appear whole or not at all: each is written under a temporary
// name in its own directory and renamed into place once complete.
#pragma once

#include <functional>
#include <string>

namespace previewer {

// Checks, before any work is done, that `path` can be created or replaced:
// its directory exists and is writable and the path is not a directory.
bool checkOutputPath(const std::string& path, std::string& error);

// Writes through `writeTo` (given the temporary path) and renames the result
// to `path`. On any failure the temporary file is removed and `path` is left
// as it was.
using FileWriter = std::function<bool(const std::string& tempPath, std::string& error)>;
bool writeAtomically(const std::string& path, const FileWriter& writeTo, std::string& error);

bool writeBytesAtomically(const std::string& path, const std::string& bytes, std::string& error);

// Creates the directory (its parent must exist); an existing one is fine.
bool ensureDirectory(const std::string& path, std::string& error);

}  // namespace previewer
