// Helpers for tests that drive a TriangleEffect the way the host does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/triangle_effect.h"
#include "render/triangle_sink.h"

struct EffectDeleter {
    void operator()(effect::TriangleEffect* effect) const {
        if (effect != nullptr) effect->destroy(effect::EffectBase::kFreeMemory);
    }
};
using EffectPtr = std::unique_ptr<effect::TriangleEffect, EffectDeleter>;

inline EffectPtr makeEffect() { return EffectPtr(effect::TriangleEffect::create()); }

// A preset block: the four sections, each followed by its NUL.
inline std::string presetBlock(const std::string& init, const std::string& frame, const std::string& beat,
                               const std::string& triangle) {
    std::string block;
    for (const std::string* text : {&init, &frame, &beat, &triangle}) {
        block += *text;
        block += '\0';
    }
    return block;
}

inline void loadBlock(effect::TriangleEffect& effect, const std::string& block) {
    effect.loadConfig(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int32_t>(block.size()));
}

inline std::string saveBlock(effect::TriangleEffect& effect) {
    std::vector<unsigned char> buffer(1 << 16);
    const int32_t length = effect.saveConfig(buffer.data());
    return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(length));
}

inline std::string sectionText(const effect::TriangleEffect& effect, effect::Section section) {
    char* copy = effect.copySection(section);
    std::string text(copy);
    effect::TriangleEffect::freeCodeString(copy);
    return text;
}

// Records what the driver asks of the renderer, in place of the real one.
class RecordingSink final : public render::TriangleSink {
public:
    struct ModeChoice {
        bool zbuf;
        bool zbclear;
        uint32_t blendModeWord;
    };
    RecordingSink() : previous_(render::replaceSink(this)) {}
    ~RecordingSink() { render::replaceSink(previous_); }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void chooseMode(const render::Frame&, bool zbuf, bool zbclear, const uint32_t* blendModeWord) override {
        modes.push_back({zbuf, zbclear, blendModeWord != nullptr ? *blendModeWord : 0xFFFFFFFFu});
    }
    void beginTriangles(const render::Frame& frame) override { frames.push_back(frame); }
    void drawTriangle(const render::TriangleVars& triangle) override { triangles.push_back(triangle); }

    std::vector<ModeChoice> modes;
    std::vector<render::Frame> frames;
    std::vector<render::TriangleVars> triangles;

private:
    render::TriangleSink* previous_;
};
