#include "previewer/previewer_app.h"

#include <sys/stat.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <new>
#include <set>

#include "frontend/file_sequence.h"
#include "frontend/input_files.h"
#include "frontend/progress_bar.h"
#include "frontend/temporary_file.h"
#include "frontend/version.h"
#include "previewer/contact_sheet.h"
#include "previewer/frame_log.h"
#include "previewer/memory_budget.h"
#include "previewer/music_sound_feed.h"
#include "previewer/music_track.h"
#include "previewer/options.h"
#include "previewer/picture_output.h"
#include "previewer/preset_file.h"
#include "previewer/script_check.h"
#include "previewer/script_lint.h"
#include "previewer/usage_text.h"
#include "previewer/session.h"
#include "previewer/video_output.h"
#include "standin/music_frame.h"

namespace previewer {

namespace {

constexpr const char* kProgram = "triangle-render: ";

// Everything that can be known about the outputs before rendering is checked
// here, so a mistake costs no render time and leaves nothing behind.
bool checkOutputs(const Options& options, std::string& error) {
    if (!options.outFile.empty()) {
        if (pictureFormatOf(options.outFile) == PictureFormat::Unknown) {
            error = "--out " + options.outFile + ": use a .png or .bgra file name";
            return false;
        }
        if (!frontend::checkOutputPath(options.outFile, error)) return false;
    }
    if (!options.sheetFile.empty()) {
        if (pictureFormatOf(options.sheetFile) != PictureFormat::Png) {
            error = "--sheet " + options.sheetFile + ": use a .png file name";
            return false;
        }
        if (!frontend::checkOutputPath(options.sheetFile, error)) return false;
    }
    if (!options.saveBlockFile.empty() && !frontend::checkOutputPath(options.saveBlockFile, error)) return false;
    if (!options.logFramesFile.empty() && !frontend::checkOutputPath(options.logFramesFile, error)) return false;
    if (!options.framesDir.empty()) {
        struct stat info {};
        const bool exists = ::stat(options.framesDir.c_str(), &info) == 0;
        if (exists && !S_ISDIR(info.st_mode)) {
            error = "--frames-dir " + options.framesDir + ": not a directory";
            return false;
        }
        // A missing directory is made later; its parent must take it.
        if (!exists && !frontend::checkOutputPath(options.framesDir, error)) return false;
    }
    if (!options.videoFile.empty() && !checkVideoOutput(options, !options.audioFile.empty(), error)) return false;
    return true;
}

frontend::FileSequence frameFiles(const Options& options) {
    return frontend::FileSequence(options.framesDir, "frame-", ".png");
}

// No output may replace a preset, whatever name either is given by; the
// frames directory's numbered files count, as they are replaced or removed.
bool checkInputsUntouched(const Options& options, std::string& error) {
    frontend::InputFiles inputs;
    for (const std::string& preset : options.presets) inputs.add(preset);
    if (!options.audioFile.empty()) inputs.add(options.audioFile);
    if (!inputs.checkOutput("--out", options.outFile, error) ||
        !inputs.checkOutput("--sheet", options.sheetFile, error) ||
        !inputs.checkOutput("--save-block", options.saveBlockFile, error) ||
        !inputs.checkOutput("--log-frames", options.logFramesFile, error) ||
        !inputs.checkOutput("--video", options.videoFile, error))
        return false;
    if (options.framesDir.empty()) return true;
    for (const std::string& file : frameFiles(options).existing())
        if (!inputs.checkOutput("--frames-dir", file, error)) return false;
    return true;
}

// Reports every section that will not compile; returns how many there were.
int reportScriptProblems(const std::vector<PresetFile>& presets, bool strict, std::ostream& err) {
    int count = 0;
    const ScriptCompiler compile = standinCompiler();
    for (const PresetFile& preset : presets) {
        for (const ScriptProblem& problem : findScriptProblems(preset, compile)) {
            err << kProgram << describeProblem(preset, problem) << (strict ? "" : " (section skipped)") << '\n';
            ++count;
        }
    }
    return count;
}

// --strict: the likely slips that still compile.
void reportLintWarnings(const std::vector<PresetFile>& presets, std::ostream& err) {
    for (const PresetFile& preset : presets) {
        for (const ScriptProblem& warning : lintPreset(preset)) {
            err << kProgram << describeProblem(preset, warning) << '\n';
        }
    }
}

// Whether any preset's text has one of the words (as a name, a call or in a
// comment: a cheap test that errs on the side of yes).
bool mentionsAny(const std::vector<PresetFile>& presets, std::initializer_list<const char*> words) {
    for (const PresetFile& preset : presets) {
        const std::string block = preset.block();
        for (const char* word : words)
            if (block.find(word) != std::string::npos) return true;
    }
    return false;
}

int fail(std::ostream& err, const std::string& message) {
    err << kProgram << message << '\n';
    return kExitBadInput;
}

// Each reason for drawing nothing is told once per run, at its first frame.
class NothingDrawnWarnings {
public:
    NothingDrawnWarnings(std::ostream& err, bool quiet, const Options& options) : err_(err), quiet_(quiet) {
        const uint32_t mode = options.blendModeWord & 0xFFu;
        if (mode >= kFirstMuteBlendMode)
            warn("blend mode " + std::to_string(mode) + " draws nothing (modes 0 to 9 draw); see --blend");
    }

    void note(const std::vector<NothingDrawnNote>& notes, int32_t frame, const std::vector<PresetFile>& presets) {
        for (const NothingDrawnNote& note : notes) {
            if (!told_.insert({note.effect, static_cast<int>(note.cause)}).second) continue;
            std::string where;
            if (presets.size() > 1) where = " (" + presets[note.effect].path + ")";
            warn(describeNothingDrawn(note, frame) + where);
        }
    }

private:
    static constexpr uint32_t kFirstMuteBlendMode = 10;

    void warn(const std::string& text) {
        if (!quiet_) err_ << kProgram << "warning: " << text << '\n';
    }

    std::ostream& err_;
    bool quiet_;
    std::set<std::pair<size_t, int>> told_;
};

// Outputs written after the last frame get their temporaries at the start,
// so a full directory shows before the render rather than after it.
struct FinalOutput {
    explicit FinalOutput(const std::string& target) : file(target) {}
    frontend::TemporaryFile file;
};

int render(const Options& options, const std::vector<PresetFile>& presets, MusicTrack& music, std::ostream& err,
           bool errIsTerminal) {
    std::string error;
    if (!options.framesDir.empty()) {
        if (!frontend::ensureDirectory(options.framesDir, error)) return fail(err, error);
        if (!frameFiles(options).removeFrom(options.frames, error)) return fail(err, error);
    }

    std::unique_ptr<FinalOutput> out, sheetOut, blockOut, logOut;
    for (auto [target, holder] : {std::make_pair(&options.outFile, &out), std::make_pair(&options.sheetFile, &sheetOut),
                                  std::make_pair(&options.saveBlockFile, &blockOut),
                                  std::make_pair(&options.logFramesFile, &logOut)}) {
        if (target->empty()) continue;
        *holder = std::make_unique<FinalOutput>(*target);
        if (!(*holder)->file.create(error)) return fail(err, error);
    }

    std::unique_ptr<MusicSoundFeed> sound;
    std::unique_ptr<VideoOutput> video;
    if (!options.videoFile.empty()) {
        if (music.hasMusic()) sound = std::make_unique<MusicSoundFeed>(music.pcm(), options.fps);
        video = VideoOutput::start(options, sound.get(), error);
        if (!video) return fail(err, error);
    }

    frontend::ProgressBar progress(err, errIsTerminal && !options.quiet, options.frames,
                                   frontend::ProgressBar::steadyClock(), frontend::ProgressBar::terminalColumns(2));
    std::unique_ptr<Session> session =
        Session::start(options, presets, error, [&progress] { progress.triangleDrawn(); });
    if (!session) return fail(err, error);

    std::unique_ptr<ContactSheet> sheet;
    if (!options.sheetFile.empty())
        sheet = std::make_unique<ContactSheet>(options.width, options.height, options.frames, options.sheetThumbnails);

    NothingDrawnWarnings warnings(err, options.quiet, options);
    const frontend::FileSequence frames = frameFiles(options);
    // The host's per-frame block: big, so on the heap, and reused.
    const auto musicFrame = std::make_unique<standin::MusicFrame>();
    FrameLog log;
    for (int32_t number = 0; number < options.frames; ++number) {
        music.fill(number, *musicFrame);
        const bool beat = music.isBeat(number);
        if (logOut) log.add(*musicFrame, beat);
        const std::vector<NothingDrawnNote> notes =
            session->renderFrame(number, beat, standin::asVisData(musicFrame.get()));
        if (!notes.empty()) {
            progress.finish();
            warnings.note(notes, number, presets);
        }
        if (!options.framesDir.empty() && !writePicture(frames.path(number), session->frame(), error)) {
            progress.finish();
            return fail(err, error);
        }
        if (sheet && sheet->wants(number)) sheet->add(number, session->frame(), beat);
        if (video && !video->add(session->frame(), error)) {
            progress.finish();
            return fail(err, error);
        }
        progress.update(number + 1);
    }
    progress.finish();

    if (video && !video->finish(error)) return fail(err, error);
    if (out && !writePicture(out->file, session->frame(), error)) return fail(err, error);
    if (sheetOut && !writePicture(sheetOut->file, sheet->compose(), error)) return fail(err, error);
    if (blockOut) {
        const std::string block = session->savedBlock(0);
        const frontend::FileWriter write = [&block](const std::string& path, std::string& reason) {
            return frontend::writeBytes(path, block, reason);
        };
        if (!frontend::writeAtomically(blockOut->file, write, error)) return fail(err, error);
    }
    if (logOut) {
        const std::string text = log.text();
        const frontend::FileWriter write = [&text](const std::string& path, std::string& reason) {
            return frontend::writeBytes(path, text, reason);
        };
        if (!frontend::writeAtomically(logOut->file, write, error)) return fail(err, error);
    }
    return kExitDone;
}

}  // namespace

int runPreviewer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    ParsedCommandLine parsed = parseCommandLine(args);
    if (parsed.outcome == ParsedCommandLine::Outcome::Help) {
        out << usageText();
        return kExitDone;
    }
    if (parsed.outcome == ParsedCommandLine::Outcome::Version) {
        out << "triangle-render " << frontend::kVersion << '\n';
        return kExitDone;
    }
    if (parsed.outcome == ParsedCommandLine::Outcome::Error) return fail(err, parsed.error);
    Options& options = parsed.options;

    std::string error;
    if (!checkOutputs(options, error)) return fail(err, error);
    if (!checkInputsUntouched(options, error)) return fail(err, error);

    std::vector<PresetFile> presets(options.presets.size());
    for (size_t k = 0; k < presets.size(); ++k) {
        if (!readPresetFile(options.presets[k], presets[k], error)) return fail(err, error);
        for (const std::string& warning : presets[k].warnings) {
            if (options.strict) return fail(err, presets[k].path + ": " + warning + " (--strict)");
            err << kProgram << presets[k].path << ": warning: " << warning << '\n';
        }
    }

    const int problems = reportScriptProblems(presets, options.strict, err);
    if (options.strict && problems > 0) {
        err << kProgram << problems << (problems == 1 ? " section does" : " sections do")
            << " not compile; nothing rendered (--strict)\n";
        return kExitScriptErrors;
    }
    if (options.strict) reportLintWarnings(presets, err);

    std::vector<std::string> warnings;
    std::unique_ptr<MusicTrack> music = MusicTrack::load(options, error, warnings);
    if (!music) return fail(err, error);
    music->setSignalNeeded(mentionsAny(presets, {"wave", "spectrum"}));
    for (const std::string& warning : warnings) err << kProgram << "warning: " << warning << '\n';
    // With music and no --frames, the render covers the song.
    if (music->hasMusic() && !options.framesGiven) options.frames = music->framesOfMusic();

    const uint64_t needed = estimateRenderBytes(options);
    if (!checkMemory(needed, availableMemoryBytes(), options.force, error)) return fail(err, error);
    try {
        return render(options, presets, *music, err, errIsTerminal);
    } catch (const std::bad_alloc&) {
        return fail(err, "out of memory: a " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                             " render needs about " + describeBytes(needed) + "; try a smaller --size");
    }
}

}  // namespace previewer
