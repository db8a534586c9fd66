#include "previewer/picture_output.h"

#include <cctype>

#include "frontend/temporary_file.h"
#include "previewer/png_file.h"

namespace previewer {

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t k = 0; k < suffix.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(text[text.size() - suffix.size() + k]);
        if (std::tolower(c) != suffix[k]) return false;
    }
    return true;
}

}  // namespace

PictureFormat pictureFormatOf(const std::string& path) {
    if (endsWithIgnoringCase(path, ".png")) return PictureFormat::Png;
    if (endsWithIgnoringCase(path, ".bgra")) return PictureFormat::Bgra;
    return PictureFormat::Unknown;
}

std::string encodeBgra(const Image& image) {
    std::string bytes;
    bytes.reserve(image.pixels.size() * 4);
    for (uint32_t word : image.pixels) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((word >> shift) & 0xFFu));
    }
    return bytes;
}

bool writePicture(frontend::TemporaryFile& file, const Image& image, std::string& error) {
    switch (pictureFormatOf(file.target())) {
        case PictureFormat::Bgra: {
            const std::string bytes = encodeBgra(image);
            return frontend::writeAtomically(
                file,
                [&bytes](const std::string& tempPath, std::string& reason) {
                    return frontend::writeBytes(tempPath, bytes, reason);
                },
                error);
        }
        case PictureFormat::Png:
            return frontend::writeAtomically(
                file,
                [&image](const std::string& tempPath, std::string& reason) {
                    return savePngFile(tempPath, image, reason);
                },
                error);
        case PictureFormat::Unknown:
            break;
    }
    error = file.target() + ": unknown picture type (use .png or .bgra)";
    file.discard();
    return false;
}

bool writePicture(const std::string& path, const Image& image, std::string& error) {
    frontend::TemporaryFile file(path);
    return file.create(error) && writePicture(file, image, error);
}

}  // namespace previewer
