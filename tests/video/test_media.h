// Pictures and sound made by the tests: flat saturated triangles that move
// from frame to frame, and a tone.
#pragma once

#include <cstdint>
#include <vector>

// Frame k: three flat triangles of saturated colours on a dark background.
std::vector<uint32_t> triangleFrame(int32_t width, int32_t height, int32_t k);
// A frame with a smooth gradient: far more colours than a GIF palette holds.
std::vector<uint32_t> gradientFrame(int32_t width, int32_t height);
// Interleaved stereo sine at `hertz`, samples [first, first + count).
std::vector<float> tone(int64_t first, int32_t count, int32_t sampleRate, double hertz);
