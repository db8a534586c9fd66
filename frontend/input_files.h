// The files a program reads, remembered by identity (device and inode) so
// that no output, under whatever name, replaces one of them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace frontend {

class InputFiles {
public:
    // Remembers `path` if it exists; names that cannot be read are left to
    // the reader to report.
    void add(const std::string& path);

    // False, with "<option> <path>: is the input <input>..." in `error`, when
    // `path` is the same file as an input (hard links and symbolic links
    // included). A path that does not exist yet is fine.
    bool checkOutput(const std::string& option, const std::string& path, std::string& error) const;

private:
    struct Identity {
        unsigned long long device;
        unsigned long long inode;
        std::string path;
    };
    std::vector<Identity> inputs_;
};

}  // namespace frontend
