#include "test_media.h"

#include <cmath>

namespace {

struct Point {
    double x, y;
};

double side(Point a, Point b, Point p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

bool inside(const Point (&t)[3], Point p) {
    const double s0 = side(t[0], t[1], p), s1 = side(t[1], t[2], p), s2 = side(t[2], t[0], p);
    return (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
}

}  // namespace

std::vector<uint32_t> triangleFrame(int32_t width, int32_t height, int32_t k) {
    const double w = width, h = height, t = k * 0.05;
    const Point triangles[3][3] = {
        {{w * (0.1 + 0.05 * std::sin(t)), h * 0.1}, {w * 0.6, h * (0.2 + 0.1 * std::cos(t))}, {w * 0.3, h * 0.9}},
        {{w * 0.5, h * 0.05}, {w * (0.95 - 0.1 * std::sin(t)), h * 0.5}, {w * 0.55, h * 0.95}},
        {{w * 0.2, h * (0.6 + 0.1 * std::sin(t))}, {w * 0.8, h * 0.7}, {w * 0.45, h * 0.3}},
    };
    const uint32_t colours[3] = {0x00FF2020u, 0x0020E040u, 0x002040FFu};
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0x00101018u);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const Point p{x + 0.5, y + 0.5};
            for (int n = 0; n < 3; ++n) {
                if (inside(triangles[n], p)) frame[static_cast<size_t>(y) * width + x] = colours[n];
            }
        }
    }
    return frame;
}

std::vector<uint32_t> gradientFrame(int32_t width, int32_t height) {
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t r = static_cast<uint32_t>(255 * x / (width - 1));
            const uint32_t g = static_cast<uint32_t>(255 * y / (height - 1));
            frame[static_cast<size_t>(y) * width + x] = r << 16 | g << 8 | ((r + g) / 2);
        }
    }
    return frame;
}

std::vector<float> tone(int64_t first, int32_t count, int32_t sampleRate, double hertz) {
    std::vector<float> samples(static_cast<size_t>(count) * 2);
    const double pi = 3.14159265358979323846;
    for (int32_t k = 0; k < count; ++k) {
        const float value = static_cast<float>(0.5 * std::sin(2 * pi * hertz * static_cast<double>(first + k) / sampleRate));
        samples[2 * static_cast<size_t>(k)] = value;
        samples[2 * static_cast<size_t>(k) + 1] = value;
    }
    return samples;
}
