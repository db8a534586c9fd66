// The script functions that read the frame's music block: wave, spectrum,
// the band levels, time, frame_index and tempo.
#pragma once

#include "standin/bytecode.h"
#include "standin/music_frame.h"

namespace standin {

// item's value for frame (null: silence at time 0). a and b are the call's
// arguments (x and ch for wave, hz and ch for spectrum; the others take none).
double musicValue(MusicItem item, const MusicFrame* frame, double a, double b);

}  // namespace standin
