// A zlib stream for PNG scanlines of flat-coloured pictures, fast.
//
// General-purpose deflate spends most of its time searching for matches that
// frames of flat triangles do not need: their redundancy is a pixel repeated
// along a row and a row repeated from the one above. This encoder looks for
// exactly those two matches (distance 3 and distance one scanline) and codes
// everything with deflate's fixed Huffman table, so it runs at about the speed
// of a memory comparison and still shrinks such frames about as well as zlib's
// fastest level.
#pragma once

#include <cstddef>
#include <vector>

namespace imaging {

// Compresses `size` bytes of PNG scanlines, each `rowBytes` long (filter byte
// included), into a complete zlib stream. Any bytes are valid input; pictures
// without flat runs come out at most about 1/8 larger than the input.
std::vector<unsigned char> deflateScanlines(const unsigned char* data, size_t size, size_t rowBytes);

}  // namespace imaging
