#include "previewer/previewer_app.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "previewer/atomic_output.h"
#include "previewer/contact_sheet.h"
#include "previewer/options.h"
#include "previewer/picture_output.h"
#include "previewer/preset_file.h"
#include "previewer/progress_bar.h"
#include "previewer/script_check.h"
#include "previewer/script_lint.h"
#include "previewer/session.h"

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

int fail(std::ostream& err, const std::string& message) {
    err << kProgram << message << '\n';
    return kExitBadInput;
}


}  // namespace

int runPreviewer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const ParsedCommandLine parsed = parseCommandLine(args);
    if (parsed.outcome == ParsedCommandLine::Outcome::Help) {
        out << usageText();
        return kExitDone;
    }
    if (parsed.outcome == ParsedCommandLine::Outcome::Error) return fail(err, parsed.error);
    const Options& options = parsed.options;

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

    if (!options.framesDir.empty() && !ensureDirectory(options.framesDir, error)) return fail(err, error);

    std::unique_ptr<Session> session = Session::start(options, presets, error);
    if (!session) return fail(err, error);

    std::unique_ptr<ContactSheet> sheet;
    if (!options.sheetFile.empty())
        sheet = std::make_unique<ContactSheet>(options.width, options.height, options.frames, options.sheetThumbnails);

    ProgressBar progress(err, errIsTerminal && !options.quiet, options.frames, ProgressBar::steadyClock());
    for (int32_t number = 0; number < options.frames; ++number) {
        session->renderFrame(number);
        if (!options.framesDir.empty() &&
            !writePicture(frameFileName(options.framesDir, number), session->frame(), error)) {
            progress.finish();
            return fail(err, error);
        }
        if (sheet && sheet->wants(number)) sheet->add(number, session->frame(), options.isBeatFrame(number));
        progress.update(number + 1);
    }
    progress.finish();

    if (!options.outFile.empty() && !writePicture(options.outFile, session->frame(), error)) return fail(err, error);
    if (sheet && !writePicture(options.sheetFile, sheet->compose(), error)) return fail(err, error);
    if (!options.saveBlockFile.empty() &&
        !writeBytesAtomically(options.saveBlockFile, session->savedBlock(0), error))
        return fail(err, error);
    return kExitDone;
}

}  // namespace previewer
