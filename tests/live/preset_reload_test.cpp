// Saving a preset while it plays: the watcher sees every kind of save, and
// the engine hands changed sections over as the editor panel does, so the
// scripts recompile on the 21st frame while the old ones keep drawing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "live/live_engine.h"
#include "live/preset_watcher.h"
#include "live/screenshot.h"
#include "scratch_dir.h"
#include "support/process_state.h"

namespace {

// One triangle whose colour the test changes.
std::string preset(const char* red) {
    return std::string("[frame]\nn = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1;\nred1 = ") +
           red + "; green1 = 0; blue1 = 0\n";
}

void renameOver(const ScratchDir& dir, const std::string& name, const std::string& contents) {
    dir.write(".edit.tmp", contents);
    ASSERT_EQ(std::rename(dir.file(".edit.tmp").c_str(), dir.file(name).c_str()), 0);
}

struct SaveCase {
    const char* name;
    std::function<void(const ScratchDir&)> save;
    std::vector<size_t> expected;
};

class WatcherSees : public testing::TestWithParam<SaveCase> {};

TEST_P(WatcherSees, TheSavesOfItsFilesOnly) {
    ScratchDir dir;
    dir.write("a.preset", preset("1"));
    dir.write("b.preset", preset("1"));
    std::string error;
    auto watcher = live::PresetWatcher::watch({dir.file("a.preset"), dir.file("b.preset")}, error);
    ASSERT_TRUE(watcher) << error;
    EXPECT_TRUE(watcher->changed().empty());
    GetParam().save(dir);
    EXPECT_EQ(watcher->changed(), GetParam().expected);
    EXPECT_TRUE(watcher->changed().empty()) << "each save is told once";
}

INSTANTIATE_TEST_SUITE_P(
    Saves, WatcherSees,
    testing::Values(SaveCase{"WrittenInPlace", [](const ScratchDir& d) { d.write("b.preset", preset("0.5")); }, {1}},
                    SaveCase{"RenamedOver", [](const ScratchDir& d) { renameOver(d, "a.preset", preset("0.5")); }, {0}},
                    SaveCase{"Removed", [](const ScratchDir& d) { ::unlink(d.file("a.preset").c_str()); }, {0}},
                    SaveCase{"BothTwice",
                             [](const ScratchDir& d) {
                                 d.write("b.preset", preset("0.5"));
                                 d.write("a.preset", preset("0.5"));
                                 d.write("b.preset", preset("0.25"));
                             },
                             {1, 0}},
                    SaveCase{"Neighbour", [](const ScratchDir& d) { d.write("c.preset", preset("0.5")); }, {}}),
    [](const testing::TestParamInfo<SaveCase>& testCase) { return std::string(testCase.param.name); });

struct EditCase {
    const char* name;
    std::function<void(const ScratchDir&)> edit;
    bool recompiles;       // a "recompiled at" line 20 frames after the change
    bool pictureChanges;   // the triangle's colour changes
    const char* saidPart;  // a line on stderr and in the window (null: none)
};

// The engine makes effects through the stand-in host, so each test starts
// from, and leaves, the process's state as it found it.
class EngineFollowsEdits : public ProcessStateTest, public testing::WithParamInterface<EditCase> {};
class EngineKeys : public ProcessStateTest {};

TEST_P(EngineFollowsEdits, AsTheEditorPanelWould) {
    ScratchDir dir;
    dir.write("p.preset", preset("1"));
    live::LiveOptions options;
    options.render.width = 8;
    options.render.height = 8;
    options.render.clearEachFrame = true;
    options.render.presets = {dir.file("p.preset")};
    std::vector<previewer::PresetFile> presets(1);
    std::string error;
    ASSERT_TRUE(previewer::readPresetFile(options.render.presets[0], presets[0], error)) << error;
    std::vector<std::string> said;
    auto engine = live::LiveEngine::start(
        options, presets, [&said](const std::string& line) { said.push_back(line); }, error);
    ASSERT_TRUE(engine) << error;
    for (int k = 0; k < 5; ++k) engine->drawFrame();
    const uint32_t before = engine->frame().at(1, 2);
    ASSERT_EQ(before & 0xFFFFFFu, 0xFF0000u);

    GetParam().edit(dir);
    engine->presetFileChanged(0);
    const int32_t seenAt = engine->nextFrameNumber();
    for (int k = 0; k < 20; ++k) {
        engine->drawFrame();
        EXPECT_EQ(engine->frame().at(1, 2), before) << "the old scripts draw until the 21st frame, frame " << k;
    }
    engine->drawFrame();
    EXPECT_EQ(engine->frame().at(1, 2) != before, GetParam().pictureChanges);

    const std::string recompiled =
        "change seen at frame " + std::to_string(seenAt) + ", recompiled at frame " + std::to_string(seenAt + 20);
    bool recompileSaid = false, partSaid = false;
    for (const std::string& line : said) {
        recompileSaid = recompileSaid || line.find(recompiled) != std::string::npos;
        partSaid = partSaid || (GetParam().saidPart != nullptr && line.find(GetParam().saidPart) != std::string::npos);
    }
    EXPECT_EQ(recompileSaid, GetParam().recompiles) << testing::PrintToString(said);
    if (GetParam().saidPart != nullptr) {
        EXPECT_TRUE(partSaid) << testing::PrintToString(said);
        ASSERT_EQ(engine->diagnostics().size(), 1u);
        EXPECT_NE(engine->diagnostics()[0].find(GetParam().saidPart), std::string::npos);
    } else {
        EXPECT_TRUE(engine->diagnostics().empty()) << testing::PrintToString(engine->diagnostics());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EngineFollowsEdits,
    testing::Values(
        EditCase{"NewColour", [](const ScratchDir& d) { d.write("p.preset", preset("0.5")); }, true, true, nullptr},
        EditCase{"SavedByRename", [](const ScratchDir& d) { renameOver(d, "p.preset", preset("0.5")); }, true, true,
                 nullptr},
        // The triangle section no longer compiles: it is skipped, as the host
        // skips it, so the triangle keeps the corners and colour its last run
        // left in the variables.
        EditCase{"BrokenSection", [](const ScratchDir& d) { d.write("p.preset", preset("(0.5")); }, true, false,
                 "[triangle]"},
        EditCase{"SameText", [](const ScratchDir& d) { d.write("p.preset", preset("1")); }, false, false, nullptr},
        EditCase{"NotAPreset", [](const ScratchDir& d) { d.write("p.preset", "n = 1\n"); }, false, false,
                 "previous scripts keep running"},
        EditCase{"Deleted", [](const ScratchDir& d) { ::unlink(d.file("p.preset").c_str()); }, false, false,
                 "deleted"}),
    [](const testing::TestParamInfo<EditCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(EngineKeys, BlendModeKeysKeepTheMixRatio) {
    ScratchDir dir;
    dir.write("p.preset", preset("1"));
    live::LiveOptions options;
    options.render.blendModeWord = 7u | 208u << 8;
    options.render.presets = {dir.file("p.preset")};
    std::vector<previewer::PresetFile> presets(1);
    std::string error;
    ASSERT_TRUE(previewer::readPresetFile(options.render.presets[0], presets[0], error)) << error;
    auto engine = live::LiveEngine::start(
        options, presets, [](const std::string&) {}, error);
    ASSERT_TRUE(engine) << error;
    engine->setBlendMode(1);
    EXPECT_EQ(engine->blendModeWord(), 1u | 208u << 8);
}

TEST(Screenshot, NamesNeverReplaceAFile) {
    const std::vector<std::string> taken = {"triangle-live-000042.png", "triangle-live-000042-2.png"};
    const auto isTaken = [&taken](const std::string& name) {
        for (const std::string& t : taken)
            if (t == name) return true;
        return false;
    };
    EXPECT_EQ(live::screenshotName(7, isTaken), "triangle-live-000007.png");
    EXPECT_EQ(live::screenshotName(42, isTaken), "triangle-live-000042-3.png");
}

}  // namespace
