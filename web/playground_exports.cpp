// The calls the page's module makes (web/site/engine.js), over one engine.
// Text goes in through one input buffer and comes out through one result.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "previewer/preset_file.h"
#include "previewer/preset_writer.h"
#include "web/playground_engine.h"

namespace {

web::PlaygroundEngine& engine() {
    static web::PlaygroundEngine instance;
    return instance;
}

std::string g_input;
std::string g_result;
audio::StereoPcm g_songUpload;
std::vector<float> g_liveUpload[2];

bool validSection(int32_t index) { return index >= 0 && index < previewer::kPresetSections; }

std::string inputText(int32_t length) {
    return g_input.substr(0, static_cast<size_t>(length < 0 ? 0 : length));
}

}  // namespace

extern "C" {

// A buffer of `size` bytes the page writes text into before a call that reads it.
EMSCRIPTEN_KEEPALIVE char* pg_input(int32_t size) {
    g_input.assign(static_cast<size_t>(size < 0 ? 0 : size) + 1, '\0');
    return &g_input[0];
}
EMSCRIPTEN_KEEPALIVE const char* pg_result() { return g_result.c_str(); }
EMSCRIPTEN_KEEPALIVE int32_t pg_result_length() { return static_cast<int32_t>(g_result.size()); }

EMSCRIPTEN_KEEPALIVE int32_t pg_start(int32_t width, int32_t height) { return engine().start(width, height) ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE void pg_set_section(int32_t index, int32_t length) {
    if (validSection(index)) engine().setSection(index, inputText(length));
}
EMSCRIPTEN_KEEPALIVE void pg_edit_section(int32_t index, int32_t length) {
    if (validSection(index)) engine().editSection(index, inputText(length));
}
EMSCRIPTEN_KEEPALIVE void pg_section(int32_t index) { g_result = validSection(index) ? engine().section(index) : ""; }

EMSCRIPTEN_KEEPALIVE void pg_set_blend(int32_t mode, int32_t ratio) { engine().setBlend(mode, ratio); }

EMSCRIPTEN_KEEPALIVE int32_t pg_render_frame(int32_t musicFrame, int32_t beatPressed) {
    return engine().renderFrame(musicFrame, beatPressed != 0);
}
EMSCRIPTEN_KEEPALIVE int32_t pg_frames_drawn() { return engine().framesDrawn(); }
EMSCRIPTEN_KEEPALIVE int32_t pg_recompile_counter() { return engine().recompileCounter(); }
EMSCRIPTEN_KEEPALIVE int32_t pg_width() { return engine().width(); }
EMSCRIPTEN_KEEPALIVE int32_t pg_height() { return engine().height(); }
EMSCRIPTEN_KEEPALIVE const uint8_t* pg_rgba() { return engine().rgba(); }
EMSCRIPTEN_KEEPALIVE const uint32_t* pg_frame_words() { return engine().frameWords(); }

// 1 with "line<TAB>column<TAB>message" in the result when the section failed
// to compile at the last recompilation.
EMSCRIPTEN_KEEPALIVE int32_t pg_diagnostic(int32_t index) {
    StandinDiagnostic diagnostic{};
    if (!validSection(index) || !engine().diagnostic(index, diagnostic)) {
        g_result.clear();
        return 0;
    }
    g_result = std::to_string(diagnostic.line) + "\t" + std::to_string(diagnostic.column) + "\t" + diagnostic.message;
    return 1;
}

// Reads a preset file's bytes from the input: 1 and the sections taken for
// the next start, or 0 with the reason in the result.
EMSCRIPTEN_KEEPALIVE int32_t pg_read_preset(int32_t length) {
    previewer::PresetFile preset;
    std::string error;
    if (!previewer::parsePreset(inputText(length), preset, error)) {
        g_result = error;
        return 0;
    }
    for (int s = 0; s < previewer::kPresetSections; ++s) engine().setSection(s, preset.sections[static_cast<size_t>(s)]);
    g_result.clear();
    return 1;
}

// The current sections as a preset file's text in the result (1), or the
// reason it cannot be written (0).
EMSCRIPTEN_KEEPALIVE int32_t pg_write_preset() {
    std::array<std::string, previewer::kPresetSections> sections;
    for (int s = 0; s < previewer::kPresetSections; ++s) sections[static_cast<size_t>(s)] = engine().section(s);
    std::string error;
    if (!previewer::writePresetText(sections, g_result, error)) {
        g_result = error;
        return 0;
    }
    return 1;
}

// A song: the page fills both channels (at the analysis rate), then hands it over.
EMSCRIPTEN_KEEPALIVE float* pg_song_channel(int32_t channel, int32_t samples) {
    std::vector<float>& target = channel == 0 ? g_songUpload.left : g_songUpload.right;
    target.assign(static_cast<size_t>(samples < 0 ? 0 : samples), 0.0f);
    return target.data();
}
EMSCRIPTEN_KEEPALIVE int32_t pg_song_ready() {
    if (g_songUpload.left.size() != g_songUpload.right.size()) return 0;
    engine().setSong(std::move(g_songUpload));
    g_songUpload = audio::StereoPcm();
    return engine().songFrames();
}
EMSCRIPTEN_KEEPALIVE void pg_song_log(int32_t frames) { g_result = engine().songLog(frames); }

// Live input: the page fills both channels with `samples` samples, then pushes.
EMSCRIPTEN_KEEPALIVE float* pg_live_channel(int32_t channel, int32_t samples) {
    std::vector<float>& target = g_liveUpload[channel == 0 ? 0 : 1];
    target.assign(static_cast<size_t>(samples < 0 ? 0 : samples), 0.0f);
    return target.data();
}
EMSCRIPTEN_KEEPALIVE void pg_live_push() {
    const size_t count = std::min(g_liveUpload[0].size(), g_liveUpload[1].size());
    engine().pushLive(g_liveUpload[0].data(), g_liveUpload[1].data(), count);
}

// 0 silence, 1 the song, 2 live input.
EMSCRIPTEN_KEEPALIVE void pg_music_source(int32_t source) {
    engine().setMusicSource(source == 1 ? web::MusicSource::Song
                                        : source == 2 ? web::MusicSource::Live : web::MusicSource::Silence);
}

}  // extern "C"
