// Writes a test clip through the library: the moving triangles, and a tone
// fed a frame's worth at a time as a render would.
#pragma once

#include <cstdint>
#include <string>

#include "video/video_settings.h"

// False with `error` set when the library refuses or fails.
bool writeTriangleClip(video::VideoSettings settings, int32_t frames, std::string& error);
