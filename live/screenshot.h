// S: the frame on screen as a PNG in the current directory, named after its
// frame number, never over an existing file, written whole.
#pragma once

#include <functional>
#include <string>

#include "previewer/image.h"

namespace live {

// "triangle-live-000042.png", or "-000042-2.png" and on when taken.
std::string screenshotName(int32_t frame, const std::function<bool(const std::string&)>& taken,
                           const char* extension = ".png");
// The same name, free in the current directory.
std::string freeName(int32_t frame, const char* extension);

// Writes the picture under a free name; the name, or empty with `error`.
std::string saveScreenshot(const previewer::Image& image, int32_t frame, std::string& error);

}  // namespace live
