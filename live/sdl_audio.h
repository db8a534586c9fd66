// SDL's sound devices, the other half of our SDL adapter: a playback device
// that asks for samples, or a recording device that hands them over, always
// as interleaved stereo floats at the analysis rate (SDL converts).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace live {

class SdlSound {
public:
    // Runs on SDL's audio thread: fill (playback) or read (recording)
    // `frames` stereo pairs.
    using Samples = std::function<void(float* interleavedStereo, int frames)>;

    // Null with `error` when there is no device to play on.
    static std::unique_ptr<SdlSound> play(int rate, Samples fill, std::string& error);
    // `device` empty: the default recording device.
    static std::unique_ptr<SdlSound> record(const std::string& device, int rate, Samples take, std::string& error);
    // Stops the device; the callback has returned for good when this returns.
    ~SdlSound();
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    struct Parts;  // the device and the callback's state

private:
    explicit SdlSound(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace live
