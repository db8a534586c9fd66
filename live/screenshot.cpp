#include "live/screenshot.h"

#include <sys/stat.h>

#include <cstdio>

#include "previewer/picture_output.h"

namespace live {

std::string screenshotName(int32_t frame, const std::function<bool(const std::string&)>& taken, const char* extension) {
    char stem[48];
    std::snprintf(stem, sizeof stem, "triangle-live-%06d", frame < 0 ? 0 : frame);
    std::string name = std::string(stem) + extension;
    for (int copy = 2; taken(name); ++copy) name = std::string(stem) + "-" + std::to_string(copy) + extension;
    return name;
}

std::string freeName(int32_t frame, const char* extension) {
    return screenshotName(
        frame,
        [](const std::string& path) {
            struct stat info {};
            return ::stat(path.c_str(), &info) == 0;
        },
        extension);
}

std::string saveScreenshot(const previewer::Image& image, int32_t frame, std::string& error) {
    const std::string name = freeName(frame, ".png");
    if (!previewer::writePicture(name, image, error)) return std::string();
    return name;
}

}  // namespace live
