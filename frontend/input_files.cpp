#include "frontend/input_files.h"

#include <sys/stat.h>

namespace frontend {

void InputFiles::add(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return;
    inputs_.push_back({static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino), path});
}

bool InputFiles::checkOutput(const std::string& option, const std::string& path, std::string& error) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return true;
    for (const Identity& input : inputs_) {
        if (input.device == static_cast<unsigned long long>(info.st_dev) &&
            input.inode == static_cast<unsigned long long>(info.st_ino)) {
            error = option + " " + path + ": is the input " + input.path +
                    "; it would be overwritten (choose another output name)";
            return false;
        }
    }
    return true;
}

}  // namespace frontend
