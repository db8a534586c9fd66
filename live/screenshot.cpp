#include "live/screenshot.h"

#include <sys/stat.h>

#include <cstdio>

#include "previewer/picture_output.h"

namespace live {

std::string screenshotName(int32_t frame, const std::function<bool(const std::string&)>& taken) {
    char stem[48];
    std::snprintf(stem, sizeof stem, "triangle-live-%06d", frame < 0 ? 0 : frame);
    std::string name = std::string(stem) + ".png";
    for (int copy = 2; taken(name); ++copy) name = std::string(stem) + "-" + std::to_string(copy) + ".png";
    return name;
}

std::string saveScreenshot(const previewer::Image& image, int32_t frame, std::string& error) {
    const std::string name = screenshotName(frame, [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    });
    if (!previewer::writePicture(name, image, error)) return std::string();
    return name;
}

}  // namespace live
