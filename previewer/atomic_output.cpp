#include "previewer/atomic_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace previewer {

namespace {

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string systemError(const std::string& what) { return what + " (" + std::strerror(errno) + ")"; }

// mkstemp creates files readable by the owner only; give the result the
// permissions an ordinary new file would have.
void applyUsualPermissions(int fd) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(fd, 0666 & ~mask);
}

}  // namespace

bool checkOutputPath(const std::string& path, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = path + ": is a directory";
        return false;
    }
    const std::string directory = directoryOf(path);
    if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + ": no such directory " + directory;
        return false;
    }
    if (::access(directory.c_str(), W_OK | X_OK) != 0) {
        error = path + ": " + systemError("cannot write in " + directory);
        return false;
    }
    return true;
}

bool writeAtomically(const std::string& path, const FileWriter& writeTo, std::string& error) {
    const std::string pattern = directoryOf(path) + "/." + baseNameOf(path) + ".XXXXXX";
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0) {
        error = path + ": " + systemError("cannot create a file beside it");
        return false;
    }
    applyUsualPermissions(fd);
    ::close(fd);
    const std::string tempPath(tempName.data());

    std::string reason;
    if (!writeTo(tempPath, reason)) {
        ::unlink(tempPath.c_str());
        error = path + ": " + reason;
        return false;
    }
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        error = path + ": " + systemError("cannot rename into place");
        ::unlink(tempPath.c_str());
        return false;
    }
    return true;
}

bool writeBytesAtomically(const std::string& path, const std::string& bytes, std::string& error) {
    return writeAtomically(
        path,
        [&bytes](const std::string& tempPath, std::string& reason) {
            std::FILE* file = std::fopen(tempPath.c_str(), "wb");
            if (file == nullptr) {
                reason = systemError("cannot write");
                return false;
            }
            const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
            const bool closed = std::fclose(file) == 0;
            if (!written || !closed) {
                reason = systemError("write failed");
                return false;
            }
            return true;
        },
        error);
}

bool ensureDirectory(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    const int mkdirError = errno;
    struct stat info {};
    if (mkdirError == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        if (::access(path.c_str(), W_OK | X_OK) == 0) return true;
        error = path + ": " + systemError("cannot write in this directory");
        return false;
    }
    errno = mkdirError;
    error = path + ": " + systemError("cannot create the directory");
    return false;
}

}  // namespace previewer
