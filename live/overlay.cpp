#include "live/overlay.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "font/glyph_table.h"
#include "font/text.h"
#include "previewer/option_values.h"

namespace live {

namespace {

constexpr int32_t kScale = 2;
constexpr int32_t kLineHeight = (font::kCellHeight + 1) * kScale;
constexpr int32_t kMargin = 4 * kScale;
constexpr uint32_t kGround = 0xB0000000u;
constexpr uint32_t kText = 0xFFFFFFFFu;
constexpr uint32_t kProblem = 0xFFFF6060u;
constexpr uint32_t kBeatFlash = 0xFFFFA000u;

std::string capitals(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct Line {
    std::string text;
    uint32_t colour;
};

}  // namespace

std::vector<std::string> statusLines(const FrameSnapshot& snapshot) {
    char text[160];
    std::vector<std::string> lines;
    const FrameFacts& facts = snapshot.facts;
    std::snprintf(text, sizeof text, "FPS %.1f  FRAME %d  DRAW %.1f MS%s", snapshot.framesPerSecond, facts.number,
                  facts.drawSeconds * 1000.0, snapshot.paused ? "  PAUSED" : "");
    lines.push_back(text);
    const int32_t mode = static_cast<int32_t>(snapshot.blendModeWord & 0xFFu);
    const char* name = previewer::blendModeName(mode);
    std::snprintf(text, sizeof text, "BLEND %d %s", mode, name != nullptr ? capitals(name).c_str() : "");
    lines.push_back(text);
    std::snprintf(text, sizeof text, "BASS %.2f  MID %.2f  TREBLE %.2f%s", facts.bass, facts.mid, facts.treble,
                  facts.beat ? "  BEAT" : "");
    lines.push_back(text);
    if (snapshot.drawingSeconds > 0) {
        std::snprintf(text, sizeof text, "DRAWING FRAME %d FOR %.1f S", facts.number + 1, snapshot.drawingSeconds);
        lines.push_back(text);
    }
    return lines;
}

std::vector<std::string> helpLines() {
    return {"SPACE PAUSE/PLAY   RIGHT ONE FRAME", "B BEAT   0-9 BLEND MODE   C CLEAR",
            "S SCREENSHOT   V RECORD   R RESTART", "F FULL SCREEN", "O OVERLAY   H HELP   Q/ESC QUIT"};
}

previewer::Image drawOverlay(const FrameSnapshot& snapshot, const OverlayChoice& choice, int32_t maxWidth) {
    std::vector<Line> lines;
    if (choice.status)
        for (const std::string& text : statusLines(snapshot)) lines.push_back({text, kText});
    if (choice.help)
        for (const std::string& text : helpLines()) lines.push_back({text, kText});
    // Problems are long (a path, a place, a message): they wrap, at a count
    // of characters that fits even if every one were the widest.
    const size_t perLine =
        static_cast<size_t>(std::max<int32_t>((maxWidth - 2 * kMargin) / (font::widestAdvance() * kScale), 1));
    for (const std::string& text : snapshot.diagnostics)
        for (size_t at = 0; at < text.size(); at += perLine)
            lines.push_back({capitals(text.substr(at, perLine)), kProblem});
    if (lines.empty() || maxWidth <= 2 * kMargin) return previewer::Image();

    int32_t width = 0;
    for (const Line& line : lines) width = std::max(width, font::textWidth(line.text.c_str(), kScale));
    const bool flash = choice.status && snapshot.facts.beat;
    const int32_t flashSide = kLineHeight * 2;
    width = std::min(width + 2 * kMargin + (flash ? flashSide + kMargin : 0), maxWidth);
    const int32_t height = static_cast<int32_t>(lines.size()) * kLineHeight + 2 * kMargin;
    previewer::Image panel(width, height, kGround);
    for (size_t k = 0; k < lines.size(); ++k) {
        font::drawText(panel.pixels.data(), width, height, kMargin, kMargin + static_cast<int32_t>(k) * kLineHeight,
                          lines[k].text.c_str(), lines[k].colour, kScale);
    }
    if (flash) {
        for (int32_t y = kMargin; y < kMargin + flashSide && y < height; ++y)
            for (int32_t x = width - kMargin - flashSide; x < width - kMargin; ++x)
                if (x >= 0) panel.at(x, y) = kBeatFlash;
    }
    return panel;
}

}  // namespace live
