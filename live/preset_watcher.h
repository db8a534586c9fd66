// Watches preset files for saves, through inotify. The directories are
// watched rather than the files, so that an editor saving by writing a
// temporary file and renaming it over the preset is seen as well.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace live {

class PresetWatcher {
public:
    // Null with `error` when the system gives no watch.
    static std::unique_ptr<PresetWatcher> watch(const std::vector<std::string>& paths, std::string& error);
    ~PresetWatcher();
    PresetWatcher(const PresetWatcher&) = delete;
    PresetWatcher& operator=(const PresetWatcher&) = delete;

    // The indexes (into `paths`) of the files written, renamed into place,
    // renamed away or removed since the last call, each once, in order.
    // Never waits.
    std::vector<size_t> changed();

private:
    struct Watched {
        int directoryWatch;
        std::string name;  // the file's name within its directory
    };
    explicit PresetWatcher(int fd) : fd_(fd) {}

    int fd_;
    std::vector<Watched> files_;
};

}  // namespace live
