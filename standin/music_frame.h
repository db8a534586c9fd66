#ifndef STANDIN_MUSIC_FRAME_H
#define STANDIN_MUSIC_FRAME_H

// What the stand-in host hands every script run of one frame as the host's
// per-frame data block: the music heard around the frame's time. The module
// passes the block through untouched; only the stand-in's script functions
// (wave, spectrum, bass, mid, treble, time, frame_index, tempo) read it.
// A null block reads as silence at time 0.
namespace host {
struct VisData;
}  // namespace host

namespace standin {

struct MusicFrame {
    static constexpr int kWaveSamples = 1024;    // per channel, oldest first
    static constexpr int kSpectrumBins = 2049;   // 0 Hz to Nyquist
    enum Channel { kLeft = 0, kRight = 1 };

    double time = 0;         // seconds of music at this frame
    double frameIndex = 0;   // the frame number k
    double tempo = 0;        // beats per minute, 0 while unknown
    double bass = 0;         // band loudness relative to its recent average
    double mid = 0;
    double treble = 0;
    double binHz = 0;        // frequency step between spectrum bins; 0: no spectrum
    float wave[2][kWaveSamples] = {};          // samples in [-1, 1]
    float spectrum[2][kSpectrumBins] = {};     // a full-scale sine reads about 1
};

inline host::VisData* asVisData(MusicFrame* frame) { return reinterpret_cast<host::VisData*>(frame); }
inline const MusicFrame* asMusicFrame(const host::VisData* data) { return reinterpret_cast<const MusicFrame*>(data); }

}  // namespace standin

#endif
