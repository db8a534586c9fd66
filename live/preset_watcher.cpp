#include "live/preset_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace live {

namespace {

// A whole save: a file closed after writing, or renamed into or out of the
// directory, or removed. Plain writes (IN_MODIFY) are left out: the file is
// read once its writer has closed it.
constexpr uint32_t kSaveEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE;

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::unique_ptr<PresetWatcher> PresetWatcher::watch(const std::vector<std::string>& paths, std::string& error) {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot watch the preset files: ") + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<PresetWatcher> watcher(new PresetWatcher(fd));
    for (const std::string& path : paths) {
        const std::string directory = directoryOf(path);
        // The same directory twice gives the same watch.
        const int wd = ::inotify_add_watch(fd, directory.c_str(), kSaveEvents | IN_ONLYDIR);
        if (wd < 0) {
            error = "cannot watch " + directory + ": " + std::strerror(errno);
            return nullptr;
        }
        watcher->files_.push_back({wd, nameOf(path)});
    }
    return watcher;
}

PresetWatcher::~PresetWatcher() { ::close(fd_); }

std::vector<size_t> PresetWatcher::changed() {
    std::vector<size_t> indexes;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;  // EAGAIN: nothing more for now
        for (ssize_t offset = 0; offset < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->len == 0) continue;
            for (size_t k = 0; k < files_.size(); ++k) {
                if (files_[k].directoryWatch != event->wd || files_[k].name != event->name) continue;
                if (std::find(indexes.begin(), indexes.end(), k) == indexes.end()) indexes.push_back(k);
            }
        }
    }
    return indexes;
}

}  // namespace live
