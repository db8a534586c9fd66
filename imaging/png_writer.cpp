#include "imaging/png_writer.h"

#include "imaging/flat_deflate.h"

#include <zlib.h>

#include <cstdio>
#include <limits>
#include <new>

namespace imaging {
namespace {

void appendWord(std::vector<unsigned char>& out, uint32_t word) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(word >> shift));
}

// Length, type, data, and the CRC over type and data.
void appendChunk(std::vector<unsigned char>& out, const char type[4], const unsigned char* data, size_t length) {
    appendWord(out, static_cast<uint32_t>(length));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (length != 0) out.insert(out.end(), data, data + length);
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + length));
    appendWord(out, static_cast<uint32_t>(crc));
}

// Each row: filter type 0 (none), then R, G, B per pixel.
bool rawRows(const uint32_t* pixels, int32_t width, int32_t height, std::vector<unsigned char>& raw) {
    const uint64_t rowBytes = 1 + 3 * static_cast<uint64_t>(width);
    const uint64_t total = rowBytes * static_cast<uint64_t>(height);
    if (total > std::numeric_limits<uLong>::max() / 2 || total > std::numeric_limits<size_t>::max() / 2) return false;
    raw.resize(static_cast<size_t>(total));
    unsigned char* at = raw.data();
    for (int32_t y = 0; y < height; ++y) {
        *at++ = 0;
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            *at++ = static_cast<unsigned char>(row[x] >> 16);
            *at++ = static_cast<unsigned char>(row[x] >> 8);
            *at++ = static_cast<unsigned char>(row[x]);
        }
    }
    return true;
}

std::vector<unsigned char> encode(const uint32_t* pixels, int32_t width, int32_t height) {
    std::vector<unsigned char> png;
    if (pixels == nullptr || width <= 0 || height <= 0) return png;
    std::vector<unsigned char> raw;
    if (!rawRows(pixels, width, height, raw)) return png;
    const std::vector<unsigned char> packed = deflateScanlines(raw.data(), raw.size(), 1 + 3 * static_cast<size_t>(width));
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.assign(kSignature, kSignature + 8);
    std::vector<unsigned char> header;
    appendWord(header, static_cast<uint32_t>(width));
    appendWord(header, static_cast<uint32_t>(height));
    // 8 bits per sample, colour type 2 (RGB), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    appendChunk(png, "IHDR", header.data(), header.size());
    // Several IDAT chunks when the stream is long: a chunk's length must fit in 31 bits.
    constexpr size_t kChunk = size_t{1} << 30;
    for (size_t at = 0; at < packed.size(); at += kChunk)
        appendChunk(png, "IDAT", packed.data() + at, packed.size() - at < kChunk ? packed.size() - at : kChunk);
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace

std::vector<unsigned char> encodePng(const uint32_t* pixels, int32_t width, int32_t height) {
    try {
        return encode(pixels, width, height);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height) {
    const std::vector<unsigned char> png = encodePng(pixels, width, height);
    if (png.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    std::remove(path.c_str());
    return false;
}

}  // namespace imaging
