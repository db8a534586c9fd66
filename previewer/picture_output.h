// Writing a frame or a sheet to a picture file, chosen by its extension:
// ".png" (RGB; the fourth byte is dropped) or ".bgra" (the frame buffer's
// words as they are, little-endian, row 0 first, nothing else).
#pragma once

#include <string>

#include "previewer/image.h"

namespace frontend {
class TemporaryFile;
}

namespace previewer {

enum class PictureFormat { Png, Bgra, Unknown };

// By extension, ignoring case.
PictureFormat pictureFormatOf(const std::string& path);

// The .bgra bytes of an image.
std::string encodeBgra(const Image& image);

// Writes whole or not at all (see frontend/temporary_file.h).
bool writePicture(const std::string& path, const Image& image, std::string& error);
// The same, into a temporary made earlier for its target.
bool writePicture(frontend::TemporaryFile& file, const Image& image, std::string& error);

}  // namespace previewer
