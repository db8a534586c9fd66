#include "clip_writer.h"

#include <vector>

#include "test_media.h"
#include "video/timeline.h"
#include "video/video_writer.h"

bool writeTriangleClip(video::VideoSettings settings, int32_t frames, std::string& error) {
    if (!video::VideoWriter::check(settings, error)) return false;
    std::unique_ptr<video::VideoWriter> writer = video::VideoWriter::open(settings, error);
    if (!writer) return false;
    int64_t soundGiven = 0;
    for (int32_t k = 0; k < frames; ++k) {
        if (settings.audioSampleRate > 0) {
            const int64_t due = video::samplesForFrames(k + 1, settings.audioSampleRate, settings.fps);
            const std::vector<float> sound =
                tone(soundGiven, static_cast<int32_t>(due - soundGiven), settings.audioSampleRate, 440.0);
            if (!writer->writeSound(sound.data(), static_cast<int32_t>(due - soundGiven), error)) return false;
            soundGiven = due;
        }
        const std::vector<uint32_t> frame = triangleFrame(settings.width, settings.height, k);
        if (!writer->writeFrame(frame.data(), settings.width, error)) return false;
    }
    return writer->finish(error);
}
