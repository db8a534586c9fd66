#include "previewer/previewer_app.h"

#include <sys/stat.h>

#include <cstdio>
#include <initializer_list>
#include <memory>

#include "previewer/atomic_output.h"
#include "previewer/contact_sheet.h"
#include "previewer/frame_log.h"
#include "previewer/music_track.h"
#include "previewer/options.h"
#include "previewer/picture_output.h"
#include "previewer/preset_file.h"
#include "previewer/progress_bar.h"
#include "previewer/script_check.h"
#include "previewer/script_lint.h"
#include "previewer/session.h"
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
        if (!checkOutputPath(options.outFile, error)) return false;
    }
    if (!options.sheetFile.empty()) {
        if (pictureFormatOf(options.sheetFile) != PictureFormat::Png) {
            error = "--sheet " + options.sheetFile + ": use a .png file name";
            return false;
        }
        if (!checkOutputPath(options.sheetFile, error)) return false;
    }
    if (!options.saveBlockFile.empty() && !checkOutputPath(options.saveBlockFile, error)) return false;
    if (!options.logFramesFile.empty() && !checkOutputPath(options.logFramesFile, error)) return false;
    if (!options.framesDir.empty()) {
        struct stat info {};
        const bool exists = ::stat(options.framesDir.c_str(), &info) == 0;
        if (exists && !S_ISDIR(info.st_mode)) {
            error = "--frames-dir " + options.framesDir + ": not a directory";
            return false;
        }
        // A missing directory is made later; its parent must take it.
        if (!exists && !checkOutputPath(options.framesDir, error)) return false;
    }
    return true;
}

std::string frameFileName(const std::string& directory, int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", static_cast<int>(number));
    return directory + "/" + name;
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


}  // namespace

int runPreviewer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    ParsedCommandLine parsed = parseCommandLine(args);
    if (parsed.outcome == ParsedCommandLine::Outcome::Help) {
        out << usageText();
        return kExitDone;
    }
    if (parsed.outcome == ParsedCommandLine::Outcome::Error) return fail(err, parsed.error);
    Options& options = parsed.options;

    std::string error;
    if (!checkOutputs(options, error)) return fail(err, error);

    std::vector<PresetFile> presets(options.presets.size());
    for (size_t k = 0; k < presets.size(); ++k) {
        if (!readPresetFile(options.presets[k], presets[k], error)) return fail(err, error);
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

    if (!options.framesDir.empty() && !ensureDirectory(options.framesDir, error)) return fail(err, error);

    std::unique_ptr<Session> session = Session::start(options, presets, error);
    if (!session) return fail(err, error);

    std::unique_ptr<ContactSheet> sheet;
    if (!options.sheetFile.empty())
        sheet = std::make_unique<ContactSheet>(options.width, options.height, options.frames, options.sheetThumbnails);

    // The host's per-frame block: big, so on the heap, and reused.
    const auto musicFrame = std::make_unique<standin::MusicFrame>();
    FrameLog log;
    ProgressBar progress(err, errIsTerminal && !options.quiet, options.frames, ProgressBar::steadyClock());
    for (int32_t number = 0; number < options.frames; ++number) {
        music->fill(number, *musicFrame);
        const bool beat = music->isBeat(number);
        if (!options.logFramesFile.empty()) log.add(*musicFrame, beat);
        session->renderFrame(number, beat, standin::asVisData(musicFrame.get()));
        if (!options.framesDir.empty() &&
            !writePicture(frameFileName(options.framesDir, number), session->frame(), error)) {
            progress.finish();
            return fail(err, error);
        }
        if (sheet && sheet->wants(number)) sheet->add(number, session->frame(), beat);
        progress.update(number + 1);
    }
    progress.finish();

    if (!options.outFile.empty() && !writePicture(options.outFile, session->frame(), error)) return fail(err, error);
    if (sheet && !writePicture(options.sheetFile, sheet->compose(), error)) return fail(err, error);
    if (!options.saveBlockFile.empty() &&
        !writeBytesAtomically(options.saveBlockFile, session->savedBlock(0), error))
        return fail(err, error);
    if (!options.logFramesFile.empty() && !writeBytesAtomically(options.logFramesFile, log.text(), error))
        return fail(err, error);
    return kExitDone;
}

}  // namespace previewer
