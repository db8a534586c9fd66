#include "live/sdl_audio.h"

#include <SDL.h>

namespace live {

namespace {

// About 23 ms at 44.1 kHz: short enough for the picture to follow the sound.
constexpr Uint16 kDeviceFrames = 1024;

void onAudio(void* user, Uint8* bytes, int length);

}  // namespace

struct SdlSound::Parts {
    Samples samples;
    bool recording = false;
    bool started = false;
    SDL_AudioDeviceID device = 0;

    ~Parts() {
        if (device != 0) SDL_CloseAudioDevice(device);
        if (started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

namespace {

void onAudio(void* user, Uint8* bytes, int length) {
    auto* parts = static_cast<SdlSound::Parts*>(user);
    const int frames = length / static_cast<int>(2 * sizeof(float));
    parts->samples(reinterpret_cast<float*>(bytes), frames);
}

std::unique_ptr<SdlSound::Parts> openDevice(const char* name, bool recording, int rate, SdlSound::Samples samples,
                                            std::string& error) {
    auto parts = std::make_unique<SdlSound::Parts>();
    parts->samples = std::move(samples);
    parts->recording = recording;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound (") + SDL_GetError() + ")";
        return nullptr;
    }
    parts->started = true;
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceFrames;
    wanted.callback = onAudio;
    wanted.userdata = parts.get();
    SDL_AudioSpec got{};
    parts->device = SDL_OpenAudioDevice(name, recording ? 1 : 0, &wanted, &got, 0);
    if (parts->device == 0) {
        error = std::string(recording ? "no recording device" : "no sound device") +
                (name != nullptr ? std::string(" '") + name + "'" : std::string()) + " (" + SDL_GetError() + ")";
        return nullptr;
    }
    SDL_PauseAudioDevice(parts->device, 0);
    return parts;
}

}  // namespace

SdlSound::SdlSound(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
SdlSound::~SdlSound() = default;

std::unique_ptr<SdlSound> SdlSound::play(int rate, Samples fill, std::string& error) {
    auto parts = openDevice(nullptr, false, rate, std::move(fill), error);
    if (!parts) return nullptr;
    return std::unique_ptr<SdlSound>(new SdlSound(std::move(parts)));
}

std::unique_ptr<SdlSound> SdlSound::record(const std::string& device, int rate, Samples take, std::string& error) {
    auto parts = openDevice(device.empty() ? nullptr : device.c_str(), true, rate, std::move(take), error);
    if (!parts) return nullptr;
    return std::unique_ptr<SdlSound>(new SdlSound(std::move(parts)));
}

}  // namespace live
