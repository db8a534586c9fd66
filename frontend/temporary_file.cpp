#include "frontend/temporary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frontend/signal_cleanup.h"

namespace frontend {

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

TemporaryFile::TemporaryFile(std::string target) : target_(std::move(target)) {}

TemporaryFile::~TemporaryFile() { discard(); }

bool TemporaryFile::create(std::string& error) {
    discard();
    const std::string pattern = directoryOf(target_) + "/." + baseNameOf(target_) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = -1;
    {
        // Registered before a signal could find it unregistered on disk.
        CleanupSignalsBlocked blocked;
        fd = ::mkstemp(name.data());
        if (fd >= 0) slot_ = registerTemporary(name.data());
    }
    if (fd < 0) {
        error = target_ + ": " + systemError("cannot create a file beside it");
        return false;
    }
    applyUsualPermissions(fd);
    ::close(fd);
    path_ = name.data();
    exists_ = true;
    return true;
}

bool TemporaryFile::commit(std::string& error) {
    if (!exists_) {
        error = target_ + ": nothing was written";
        return false;
    }
    bool renamed = false;
    {
        CleanupSignalsBlocked blocked;
        renamed = ::rename(path_.c_str(), target_.c_str()) == 0;
        if (renamed) {
            unregisterTemporary(slot_);
            slot_ = -1;
            exists_ = false;
        }
    }
    if (!renamed) {
        error = target_ + ": " + systemError("cannot rename into place");
        discard();
    }
    return renamed;
}

void TemporaryFile::discard() {
    if (!exists_) return;
    CleanupSignalsBlocked blocked;
    ::unlink(path_.c_str());
    unregisterTemporary(slot_);
    slot_ = -1;
    exists_ = false;
}

bool writeAtomically(TemporaryFile& file, const FileWriter& writeTo, std::string& error) {
    std::string reason;
    if (!writeTo(file.path(), reason)) {
        file.discard();
        error = file.target() + ": " + reason;
        return false;
    }
    return file.commit(error);
}

bool writeAtomically(const std::string& path, const FileWriter& writeTo, std::string& error) {
    TemporaryFile file(path);
    return file.create(error) && writeAtomically(file, writeTo, error);
}

bool writeBytes(const std::string& path, const std::string& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = systemError("cannot write");
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = systemError("write failed");
        return false;
    }
    return true;
}

bool writeBytesAtomically(const std::string& path, const std::string& bytes, std::string& error) {
    return writeAtomically(
        path, [&bytes](const std::string& tempPath, std::string& reason) { return writeBytes(tempPath, bytes, reason); },
        error);
}

}  // namespace frontend
