#include "video/ffmpeg_handles.h"

namespace video {

std::string ffmpegError(const std::string& what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return what + ": " + text;
}

}  // namespace video
