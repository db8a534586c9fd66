#include "previewer/session.h"

#include <algorithm>
#include <cstring>

#include "effect/triangle_effect.h"
#include "host/host_services.h"
#include "standin/standin_host.h"

namespace previewer {

Session::Session(const Options& options, std::function<void()> onTriangle)
    : options_(options),
      watch_(standin_services(), std::move(onTriangle)),
      frame_(options.width, options.height, options.fill),
      music_(new standin::MusicFrame) {}

std::unique_ptr<Session> Session::start(const Options& options, const std::vector<PresetFile>& presets,
                                        std::string& error, std::function<void()> onTriangle) {
    std::unique_ptr<Session> session(new Session(options, std::move(onTriangle)));
    host::setServices(session->watch_.services());
    standin_set_blend_mode_word(options.blendModeWord);

    for (size_t k = 0; k < presets.size(); ++k) {
        const PresetFile& preset = presets[k];
        bool named = false;
        for (const std::string& text : preset.sections) named = named || mentionsCount(text);
        session->watch_.setNeverSetsCount(k, !named);
        effect::TriangleEffect* effect = effect::TriangleEffect::create();
        if (effect == nullptr) {
            error = "out of memory creating an effect";
            return nullptr;
        }
        session->effects_.push_back(effect);
        const std::string block = preset.block();
        effect->loadConfig(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int32_t>(block.size()));
    }
    return session;
}

Session::~Session() {
    // Effects free their scripts through the host, so the host goes last.
    for (effect::TriangleEffect* effect : effects_) effect->destroy(effect::EffectBase::kFreeMemory);
    host::setServices(nullptr);
}

std::vector<NothingDrawnNote> Session::renderFrame(int32_t number, bool beat, host::VisData* visData) {
    watch_.beginFrame();
    if (number > 0 && options_.clearEachFrame) std::fill(frame_.pixels.begin(), frame_.pixels.end(), options_.fill);
    for (effect::TriangleEffect* effect : effects_) {
        // No second buffer: the effect does not use one.
        effect->renderFrame(visData, beat ? 1 : 0, frame_.pixels.data(), nullptr, frame_.width, frame_.height);
    }
    return watch_.endFrame();
}

std::vector<NothingDrawnNote> Session::renderFrame(int32_t number) {
    constexpr double kFramesPerSecond = 60.0;
    music_->time = number / kFramesPerSecond;
    music_->frameIndex = number;
    return renderFrame(number, options_.isBeatFrame(number), standin::asVisData(music_.get()));
}

void Session::clearFrame() { std::fill(frame_.pixels.begin(), frame_.pixels.end(), options_.fill); }

bool Session::editSection(size_t index, effect::Section section, const std::string& text) {
    char* copy = effect::TriangleEffect::newCodeString(text.data(), text.size());
    if (copy == nullptr) return false;
    effects_.at(index)->acceptEdit(section, copy);
    return true;
}

int32_t Session::recompileCounter(size_t index) const { return effects_.at(index)->recompileCounter(); }

std::string Session::savedBlock(size_t index) const {
    effect::TriangleEffect* effect = effects_.at(index);
    // saveConfig trusts the buffer to be big enough: measure first.
    size_t size = 0;
    for (const effect::SectionInfo& info : effect::kSections) {
        char* text = effect->copySection(info.section);
        size += (text != nullptr ? std::strlen(text) : 0) + 1;
        effect::TriangleEffect::freeCodeString(text);
    }
    std::string block(size, '\0');
    const int32_t written = effect->saveConfig(reinterpret_cast<unsigned char*>(&block[0]));
    block.resize(static_cast<size_t>(std::max(written, 0)));
    return block;
}

}  // namespace previewer
