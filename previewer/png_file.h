// The one place the previewer meets the project's PNG writer.
#pragma once

#include <string>

#include "previewer/image.h"

namespace previewer {

// Writes the image's red, green and blue bytes as an RGB PNG at `path`.
bool savePngFile(const std::string& path, const Image& image, std::string& error);

}  // namespace previewer
