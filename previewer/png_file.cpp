#include "previewer/png_file.h"

#include "imaging/png_writer.h"

namespace previewer {

bool savePngFile(const std::string& path, const Image& image, std::string& error) {
    if (imaging::writePng(path, image.pixels.data(), image.width, image.height)) return true;
    error = "cannot write the PNG file";
    return false;
}

}  // namespace previewer
