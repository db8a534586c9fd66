// How much faster than real time a 4-minute song is decoded and analysed:
// the song is synthesised, encoded to MP3 with the ffmpeg tool, then decoded
// through our adapter, analysed whole, and viewed at 60 frames a second.
// Times are processor time on one core.
// Run: ./build/native/bench/audio/audio-speed
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

#include "frontend/version.h"
#include "audio/ffmpeg/decode_audio_file.h"
#include "audio/frame_view.h"
#include "audio/signals/test_signals.h"
#include "audio/track_analysis.h"

namespace {

// Processor time of this process: one core's work, whatever else the machine runs.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
    if (frontend::printVersionIfAsked(argc, argv, "audio-speed")) return 0;
    const double songSeconds = 240.0;
    char directory[] = "/tmp/audio-speed-XXXXXX";
    if (!mkdtemp(directory)) return 1;
    const std::string wav = std::string(directory) + "/song.wav";
    const std::string mp3 = std::string(directory) + "/song.mp3";
    audio::signals::writeWav(wav, audio::signals::song(124, songSeconds), false);
    const std::string encode = "ffmpeg -nostdin -loglevel error -y -i " + wav + " -c:a libmp3lame -b:a 192k " + mp3;
    if (std::system(encode.c_str()) != 0) {
        std::fprintf(stderr, "audio-speed: ffmpeg could not encode the test song\n");
        return 1;
    }

    double start = cpuSeconds();
    const audio::DecodeResult decoded = audio::decodeAudioFile(mp3, {});
    const double decodeTime = (cpuSeconds() - start);
    if (!decoded.ok) {
        std::fprintf(stderr, "audio-speed: %s\n", decoded.error.c_str());
        return 1;
    }
    start = cpuSeconds();
    const audio::TrackAnalysis analysis = audio::TrackAnalysis::analyse(decoded.pcm);
    const double analysisTime = (cpuSeconds() - start);

    start = cpuSeconds();
    audio::FrameViewer viewer;
    std::vector<float> a(audio::kSpectrumBins), b(audio::kSpectrumBins);
    const long frames = static_cast<long>(songSeconds * 60);
    double sink = 0;
    for (long k = 0; k < frames; ++k) {
        const double t = k / 60.0;
        viewer.spectrum(decoded.pcm, t, a.data(), b.data());
        viewer.waveform(decoded.pcm, t, a.data(), b.data());
        sink += a[0] + analysis.levelsAt(t).bass + analysis.tempoAt(t);
    }
    const double framesTime = (cpuSeconds() - start);
    std::remove(wav.c_str());
    std::remove(mp3.c_str());
    rmdir(directory);

    const double total = decodeTime + analysisTime;
    std::printf("4-minute MP3 (192 kb/s, %.0f s of music, %zu beats found)\n", decoded.pcm.seconds(),
                analysis.beatTimes().size());
    std::printf("  decode:                    %6.3f s  %6.0fx real time\n", decodeTime, songSeconds / decodeTime);
    std::printf("  analysis (beats, levels):  %6.3f s  %6.0fx real time\n", analysisTime, songSeconds / analysisTime);
    std::printf("  decode + analysis:         %6.3f s  %6.0fx real time\n", total, songSeconds / total);
    std::printf("  per-frame views at 60 fps: %6.3f s  %6.0fx real time (%.1f us a frame)\n", framesTime,
                songSeconds / framesTime, 1e6 * framesTime / frames);
    std::printf("  all of it:                 %6.3f s  %6.0fx real time\n", total + framesTime,
                songSeconds / (total + framesTime));
    return sink == 12345.678 ? 2 : 0;
}
