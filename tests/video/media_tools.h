// ffprobe and ffmpeg (the command-line tools) as a person would use them to
// look into a video file, and the picture comparisons the tests make.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One stream as ffprobe shows it: codec_type, codec_name, width, height,
// pix_fmt, avg_frame_rate, nb_read_frames, sample_rate, channels and
// "seconds" (the stream's duration, from the container's own field).
// Frames are counted by decoding them, or for long clips by counting packets
// (one per frame in these formats), which is much quicker.
using StreamInfo = std::map<std::string, std::string>;
std::vector<StreamInfo> probeStreams(const std::string& path, bool decodeToCount = true);

// Runs a shell command; its standard output (and standard error when
// `withErrors`), and its exit status.
std::string runCommand(const std::string& command, int& status, bool withErrors = false);

// Every frame of the video stream decoded to `pixelFormat` (rawvideo names:
// rgb24, yuv420p, yuv444p), frames one after another.
std::vector<uint8_t> decodeFrames(const std::string& path, const std::string& pixelFormat, int& status);

// Peak signal-to-noise ratio in dB of two byte buffers of one size; 99 when equal.
double psnr(const uint8_t* a, const uint8_t* b, size_t size);

// 0x00RRGGBB frame as rgb24 bytes.
std::vector<uint8_t> toRgb24(const std::vector<uint32_t>& frame);
// One 0x00RRGGBB pixel's BT.709 limited-range Y', Cb and Cr, unrounded.
struct ExactYuv {
    double luma, blue, red;
};
ExactYuv exactYuv(uint32_t pixel);

// 0x00RRGGBB frame as BT.709 limited-range planes, chroma either at full
// resolution (yuv444p) or averaged over 2 x 2 blocks (yuv420p; odd sizes
// rounded up).
std::vector<uint8_t> toYuv(const std::vector<uint32_t>& frame, int32_t width, int32_t height, bool fullChroma);
