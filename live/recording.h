// V: the frames drawn from now on, and the sound heard with them, into an
// MP4 file named after the first frame, through the previewer's video
// output: the file appears whole when the recording stops, or not at all.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "live/heard_music.h"
#include "live/live_options.h"
#include "previewer/image.h"
#include "previewer/video_output.h"

namespace live {

class Recording {
public:
    // `music` may be null (no sound track). Null with `error`.
    static std::unique_ptr<Recording> start(const LiveOptions& options, int32_t firstFrame, HeardMusic* music,
                                            std::string& error);
    // A recording dropped without finish() leaves nothing behind.
    ~Recording();
    bool add(const previewer::Image& frame, std::string& error);
    bool finish(std::string& error);
    const std::string& name() const { return name_; }
    int32_t frames() const { return frames_; }

private:
    class HeardSound;
    Recording() = default;

    std::string name_;
    HeardMusic* music_ = nullptr;
    std::unique_ptr<HeardSound> sound_;
    std::unique_ptr<previewer::VideoOutput> video_;
    int32_t frames_ = 0;
};

}  // namespace live
