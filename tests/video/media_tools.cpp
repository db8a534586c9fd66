#include "media_tools.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

std::string runCommand(const std::string& command, int& status, bool withErrors) {
    const std::string full = command + (withErrors ? " 2>&1" : "");
    FILE* pipe = ::popen(full.c_str(), "r");
    std::string out;
    if (!pipe) {
        status = -1;
        return out;
    }
    char buffer[1 << 16];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

namespace {

// "00:10:00.016000000" as seconds.
double clockSeconds(const std::string& text) {
    double hours = 0, minutes = 0, seconds = 0;
    if (std::sscanf(text.c_str(), "%lf:%lf:%lf", &hours, &minutes, &seconds) != 3) return -1;
    return hours * 3600 + minutes * 60 + seconds;
}

}  // namespace

std::vector<StreamInfo> probeStreams(const std::string& path, bool decodeToCount) {
    int status = 0;
    const std::string out = runCommand(
        std::string("ffprobe -v error ") + (decodeToCount ? "-count_frames" : "-count_packets") +
        " -show_entries "
        "stream=codec_type,codec_name,width,height,pix_fmt,avg_frame_rate,nb_read_frames,nb_read_packets,"
        "sample_rate,channels,"
        "duration:stream_tags=DURATION -of default=nw=0:nk=0 '" + path + "'",
        status);
    std::vector<StreamInfo> streams;
    if (status != 0) return streams;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        const std::string line = out.substr(start, end - start);
        start = end + 1;
        if (line == "[STREAM]") {
            streams.emplace_back();
        } else if (!streams.empty() && line.find('=') != std::string::npos) {
            const size_t equals = line.find('=');
            streams.back()[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    for (StreamInfo& stream : streams) {
        if (!decodeToCount) stream["nb_read_frames"] = stream["nb_read_packets"];
        // MP4 keeps a duration per stream; Matroska a tag.
        const std::string duration = stream["duration"];
        if (!duration.empty() && duration != "N/A") {
            stream["seconds"] = duration;
        } else if (stream.count("TAG:DURATION")) {
            stream["seconds"] = std::to_string(clockSeconds(stream["TAG:DURATION"]));
        }
    }
    return streams;
}

std::vector<uint8_t> decodeFrames(const std::string& path, const std::string& pixelFormat, int& status) {
    const std::string out = runCommand(
        "ffmpeg -v error -i '" + path + "' -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt " + pixelFormat + " -", status);
    return std::vector<uint8_t>(out.begin(), out.end());
}

double psnr(const uint8_t* a, const uint8_t* b, size_t size) {
    double sum = 0;
    for (size_t k = 0; k < size; ++k) {
        const double d = static_cast<double>(a[k]) - b[k];
        sum += d * d;
    }
    if (sum == 0) return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 * static_cast<double>(size) / sum);
}

std::vector<uint8_t> toRgb24(const std::vector<uint32_t>& frame) {
    std::vector<uint8_t> bytes;
    bytes.reserve(frame.size() * 3);
    for (uint32_t word : frame) {
        bytes.push_back(static_cast<uint8_t>(word >> 16));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
        bytes.push_back(static_cast<uint8_t>(word));
    }
    return bytes;
}

ExactYuv exactYuv(uint32_t pixel) {
    const double r = (pixel >> 16 & 0xFF) / 255.0, g = (pixel >> 8 & 0xFF) / 255.0, b = (pixel & 0xFF) / 255.0;
    const double luma = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    return {16 + 219 * luma, 128 + 224 * (b - luma) / 1.8556, 128 + 224 * (r - luma) / 1.5748};
}

std::vector<uint8_t> toYuv(const std::vector<uint32_t>& frame, int32_t width, int32_t height, bool fullChroma) {
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<double> y(count), u(count), v(count);
    for (size_t k = 0; k < count; ++k) {
        const ExactYuv exact = exactYuv(frame[k]);
        y[k] = exact.luma;
        u[k] = exact.blue;
        v[k] = exact.red;
    }
    const auto byte = [](double value) { return static_cast<uint8_t>(std::lround(std::fmin(255, std::fmax(0, value)))); };
    std::vector<uint8_t> planes;
    for (double value : y) planes.push_back(byte(value));
    if (fullChroma) {
        for (double value : u) planes.push_back(byte(value));
        for (double value : v) planes.push_back(byte(value));
        return planes;
    }
    const int32_t cw = (width + 1) / 2, ch = (height + 1) / 2;
    for (const std::vector<double>* plane : {&u, &v}) {
        for (int32_t cy = 0; cy < ch; ++cy) {
            for (int32_t cx = 0; cx < cw; ++cx) {
                double sum = 0;
                int n = 0;
                for (int32_t dy = 0; dy < 2; ++dy)
                    for (int32_t dx = 0; dx < 2; ++dx) {
                        const int32_t px = 2 * cx + dx, py = 2 * cy + dy;
                        if (px < width && py < height) {
                            sum += (*plane)[static_cast<size_t>(py) * width + px];
                            ++n;
                        }
                    }
                planes.push_back(byte(sum / n));
            }
        }
    }
    return planes;
}
