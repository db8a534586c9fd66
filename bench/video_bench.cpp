// Video encoding speed: the demo preset rendered at 1920 x 1080, 60 fps,
// with a stereo sound track, written as MP4, WebM and GIF with each format's
// defaults. Prints CPU milliseconds per frame (every thread of the process,
// so two cores give 33.3 ms per frame at 60 fps) and wall-clock frames per
// second.
//
//   video-bench [frames] [preset] [--only mp4|webm|gif] [--quality Q] [--speed S]
// (default 120 frames of examples/demo.preset in every format, at its defaults)
#include <sys/stat.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "frontend/version.h"
#include "previewer/options.h"
#include "previewer/preset_file.h"
#include "previewer/session.h"
#include "video/timeline.h"
#include "video/video_writer.h"

namespace {

double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Figures {
    double renderCpu = 0, encodeCpu = 0, wall = 0;
    long long bytes = 0;
};

struct Choice {
    std::string only;
    int32_t quality = -1;
    std::string speed;
};

bool run(const std::string& file, const std::string& presetPath, int32_t frames, const Choice& choice,
         Figures& figures) {
    previewer::Options options;
    options.width = 1920;
    options.height = 1080;
    options.frames = frames;
    options.presets = {presetPath};
    std::vector<previewer::PresetFile> presets(1);
    std::string error;
    if (!previewer::readPresetFile(presetPath, presets[0], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::unique_ptr<previewer::Session> session = previewer::Session::start(options, presets, error);
    video::VideoSettings settings;
    settings.path = file;
    settings.width = options.width;
    settings.height = options.height;
    settings.fps = 60;
    settings.quality = choice.quality;
    settings.speed = choice.speed;
    const bool gif = file.size() > 4 && file.compare(file.size() - 4, 4, ".gif") == 0;
    settings.audioSampleRate = gif ? 0 : 48000;
    std::unique_ptr<video::VideoWriter> writer;
    if (session && video::VideoWriter::check(settings, error)) writer = video::VideoWriter::open(settings, error);
    if (!writer) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
        return false;
    }
    std::vector<float> sound(2 * 800, 0.25f);
    // Encoding runs on threads of the writer's own while this one renders,
    // so rendering is timed on this thread alone and the rest of the
    // process's time is encoding.
    const double wallStart = seconds(CLOCK_MONOTONIC);
    const double processStart = seconds(CLOCK_PROCESS_CPUTIME_ID);
    for (int32_t k = 0; k < frames; ++k) {
        const double beforeRender = seconds(CLOCK_THREAD_CPUTIME_ID);
        session->renderFrame(k);
        figures.renderCpu += seconds(CLOCK_THREAD_CPUTIME_ID) - beforeRender;
        const previewer::Image& frame = session->frame();
        if (!writer->writeSound(sound.data(), 800, error) ||
            !writer->writeFrame(frame.pixels.data(), frame.width, error)) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
            return false;
        }
    }
    if (!writer->finish(error)) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
        return false;
    }
    figures.encodeCpu = seconds(CLOCK_PROCESS_CPUTIME_ID) - processStart - figures.renderCpu;
    figures.wall = seconds(CLOCK_MONOTONIC) - wallStart;
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) figures.bytes = info.st_size;
    std::remove(file.c_str());
    std::printf("  %s\n", writer->description().c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (frontend::printVersionIfAsked(argc, argv, "video-bench")) return 0;
    int32_t frames = 120;
    std::string preset = EXAMPLES_DIR "/demo.preset";
    Choice choice;
    int plain = 0;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (k + 1 < argc && arg == "--only") {
            choice.only = argv[++k];
        } else if (k + 1 < argc && arg == "--quality") {
            choice.quality = std::atoi(argv[++k]);
        } else if (k + 1 < argc && arg == "--speed") {
            choice.speed = argv[++k];
        } else if (plain++ == 0) {
            frames = std::atoi(arg.c_str());
        } else {
            preset = arg;
        }
    }
    if (frames <= 0) {
        std::fprintf(stderr, "usage: video-bench [frames] [preset] [--only mp4|webm|gif] [--quality Q] [--speed S]\n");
        return 2;
    }
    const char* const files[] = {"video-bench.mp4", "video-bench.webm", "video-bench.gif"};
    Figures figures[3];
    std::printf("%d frames of %s at 1920x1080, 60 fps\n", frames, preset.c_str());
    bool ran[3] = {false, false, false};
    for (int k = 0; k < 3; ++k) {
        if (!choice.only.empty() && choice.only != files[k] + 12) continue;
        if (!run(files[k], preset, frames, choice, figures[k])) return 1;
        ran[k] = true;
    }
    std::printf("\n| format | encode CPU ms/frame | render CPU ms/frame | total CPU ms/frame | wall fps | MB/min |\n");
    std::printf("|--------|-----:|-----:|-----:|-----:|-----:|\n");
    for (int k = 0; k < 3; ++k) {
        if (!ran[k]) continue;
        const Figures& f = figures[k];
        std::printf("| %s | %.1f | %.1f | %.1f | %.1f | %.1f |\n", files[k] + 12, 1000 * f.encodeCpu / frames,
                    1000 * f.renderCpu / frames, 1000 * (f.encodeCpu + f.renderCpu) / frames, frames / f.wall,
                    static_cast<double>(f.bytes) / 1e6 * 60.0 * 60.0 / frames);
    }
    std::printf("\nReal time at 60 fps on two cores: total CPU at most 33.3 ms/frame (16.7 on one core).\n");
    return 0;
}
