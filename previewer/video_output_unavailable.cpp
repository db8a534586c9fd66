// Builds without FFmpeg's libraries: --video is refused before rendering.
#include "previewer/video_output.h"

namespace previewer {

struct VideoOutput::Parts {};

bool checkVideoOutput(const Options& options, bool, std::string& error) {
    error = "--video " + options.videoFile +
            ": this triangle-render was built without FFmpeg's libraries and writes no clips "
            "(the 32-bit Linux build has none: use the 64-bit one)";
    return false;
}

VideoOutput::VideoOutput(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
VideoOutput::~VideoOutput() = default;

std::unique_ptr<VideoOutput> VideoOutput::start(const Options& options, SoundFeed*, std::string& error) {
    checkVideoOutput(options, false, error);
    return nullptr;
}

bool VideoOutput::add(const Image&, std::string& error) {
    error = "no video output";
    return false;
}

bool VideoOutput::finish(std::string& error) {
    error = "no video output";
    return false;
}

std::string VideoOutput::description() const { return std::string(); }

}  // namespace previewer
