#include "imaging/flat_deflate.h"

#include <zlib.h>

#include <array>
#include <cstdint>

namespace imaging {
namespace {

constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 258;
constexpr size_t kWindow = 32768;
constexpr unsigned kEndOfBlock = 256;

// A Huffman code with its bits already reversed, since deflate packs codes
// most significant bit first into a least-significant-first stream.
struct Code {
    uint32_t bits = 0;
    uint32_t length = 0;
};

uint32_t reversed(uint32_t code, uint32_t length) {
    uint32_t out = 0;
    for (uint32_t i = 0; i < length; ++i) out |= ((code >> i) & 1u) << (length - 1 - i);
    return out;
}

// The fixed literal/length code of deflate (RFC 1951, 3.2.6).
Code fixedLiteral(unsigned symbol) {
    if (symbol < 144) return {reversed(0x30 + symbol, 8), 8};
    if (symbol < 256) return {reversed(0x190 + symbol - 144, 9), 9};
    if (symbol < 280) return {reversed(symbol - 256, 7), 7};
    return {reversed(0xC0 + symbol - 280, 8), 8};
}

// One match length as the bits that code it: the length symbol followed by
// its extra bits, packed together.
struct LengthCodes {
    std::array<Code, 288> literal{};
    std::array<Code, kMaxMatch + 1> length{};

    LengthCodes() {
        static const uint16_t kBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const uint8_t kExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (unsigned s = 0; s < 288; ++s) literal[s] = fixedLiteral(s);
        for (unsigned i = 0; i < 29; ++i) {
            const unsigned last = i + 1 < 29 ? kBase[i + 1] - 1u : kBase[i];
            for (unsigned len = kBase[i]; len <= last && len <= kMaxMatch; ++len) {
                const Code symbol = literal[257 + i];
                length[len] = {symbol.bits | (len - kBase[i]) << symbol.length, symbol.length + kExtra[i]};
            }
        }
    }
};

// A distance as its fixed 5-bit code and extra bits, packed together.
Code distanceCode(size_t distance) {
    static const uint16_t kBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                       193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    unsigned code = 29;
    while (kBase[code] > distance) --code;
    const uint32_t extra = code < 4 ? 0 : code / 2 - 1;
    return {reversed(code, 5) | static_cast<uint32_t>(distance - kBase[code]) << 5, 5 + extra};
}

class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out_(out) {}

    void put(Code code) {
        pending_ |= static_cast<uint64_t>(code.bits) << count_;
        count_ += code.length;
        while (count_ >= 8) {
            out_.push_back(static_cast<unsigned char>(pending_));
            pending_ >>= 8;
            count_ -= 8;
        }
    }

    void flush() {
        if (count_ > 0) out_.push_back(static_cast<unsigned char>(pending_));
        pending_ = 0;
        count_ = 0;
    }

private:
    std::vector<unsigned char>& out_;
    uint64_t pending_ = 0;
    uint32_t count_ = 0;
};

size_t matchLength(const unsigned char* data, size_t at, size_t distance, size_t end) {
    const size_t limit = end - at < kMaxMatch ? end - at : kMaxMatch;
    size_t n = 0;
    while (n < limit && data[at + n] == data[at + n - distance]) ++n;
    return n;
}

}  // namespace

std::vector<unsigned char> deflateScanlines(const unsigned char* data, size_t size, size_t rowBytes) {
    static const LengthCodes codes;
    std::vector<unsigned char> out;
    out.reserve(size / 8 + 64);
    out.push_back(0x78);  // deflate, 32 KiB window
    out.push_back(0x01);  // no dictionary, fastest: (0x78 * 256 + 0x01) % 31 == 0

    const bool rowsReach = rowBytes >= kMinMatch && rowBytes <= kWindow;
    const Code rowDistance = rowsReach ? distanceCode(rowBytes) : Code{};
    const Code pixelDistance = distanceCode(3);

    BitWriter bits(out);
    bits.put({0x3, 3});  // final block, fixed Huffman codes
    size_t at = 0;
    while (at < size) {
        const size_t above = rowsReach && at >= rowBytes ? matchLength(data, at, rowBytes, size) : 0;
        const size_t run = above < kMaxMatch && at >= 3 ? matchLength(data, at, 3, size) : 0;
        if (above >= kMinMatch && above >= run) {
            bits.put(codes.length[above]);
            bits.put(rowDistance);
            at += above;
        } else if (run >= kMinMatch) {
            bits.put(codes.length[run]);
            bits.put(pixelDistance);
            at += run;
        } else {
            bits.put(codes.literal[data[at]]);
            ++at;
        }
    }
    bits.put(codes.literal[kEndOfBlock]);
    bits.flush();

    uLong check = adler32(0L, Z_NULL, 0);
    for (size_t done = 0; done < size;) {
        const size_t chunk = size - done < (1u << 30) ? size - done : (1u << 30);
        check = adler32(check, data + done, static_cast<uInt>(chunk));
        done += chunk;
    }
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(check >> shift));
    return out;
}

}  // namespace imaging
