// What the library refuses before any frame is made, and what it says.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "../previewer/scratch_dir.h"
#include "video/video_writer.h"

namespace {

struct SettingsCase {
    const char* name;
    const char* file;  // in a writable scratch folder
    int32_t quality;
    const char* speed;
    bool fullChroma, dither;
    int32_t sampleRate;
    const char* errorHas;  // "" when accepted
    int32_t resolvedQuality;
    const char* resolvedSpeed;
};

const SettingsCase kSettings[] = {
    {"Mp4Defaults", "a.mp4", -1, "", false, false, 44100, "", 12, "ultrafast"},
    {"WebMDefaults", "a.webm", -1, "", false, false, 48000, "", 16, "9"},
    {"GifDefaults", "a.gif", -1, "", false, true, 0, "", 256, ""},
    {"UpperCaseExtension", "A.MP4", 20, "medium", true, false, 0, "", 20, "medium"},
    {"Mp4FullChromaDefault", "a.mp4", -1, "", true, false, 0, "", 6, "ultrafast"},
    {"WebMFullChromaDefault", "a.webm", -1, "", true, false, 0, "", 4, "9"},
    {"UnknownExtensionNamesTheFormats", "a.avi", -1, "", false, false, 0, ".mp4, .webm or .gif", 0, ""},
    {"NoExtension", "mp4", -1, "", false, false, 0, ".mp4, .webm or .gif", 0, ""},
    {"X264QualityOutOfRange", "a.mp4", 52, "", false, false, 0, "0 (lossless) to 51", 0, ""},
    {"Vp9QualityOutOfRange", "a.webm", 64, "", false, false, 0, "VP9 CRF, 0 to 63", 0, ""},
    {"GifTooFewColours", "a.gif", 1, "", false, false, 0, "palette colours", 0, ""},
    {"UnknownX264Preset", "a.mp4", -1, "quick", false, false, 0, "x264 preset", 0, ""},
    {"Vp9SpeedNotANumber", "a.webm", -1, "fast", false, false, 0, "cpu-used number", 0, ""},
    {"Vp9SpeedTooHigh", "a.webm", -1, "10", false, false, 0, "cpu-used number", 0, ""},
    {"GifHasNoSpeed", "a.gif", -1, "5", false, false, 0, "no encoder speed", 0, ""},
    {"GifHasNoSound", "a.gif", -1, "", false, false, 44100, "no sound track", 0, ""},
    {"GifFullChroma", "a.gif", -1, "", true, false, 0, "full chroma", 0, ""},
    {"DitherOnlyForGif", "a.mp4", -1, "", false, true, 0, "GIF only", 0, ""},
};

class VideoSettingsCheck : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(VideoSettingsCheck, AcceptsOrNamesTheProblem) {
    const SettingsCase& c = GetParam();
    ScratchDir dir;
    video::VideoSettings settings;
    settings.path = dir.file(c.file);
    settings.width = 64;
    settings.height = 36;
    settings.quality = c.quality;
    settings.speed = c.speed;
    settings.fullChroma = c.fullChroma;
    settings.dither = c.dither;
    settings.audioSampleRate = c.sampleRate;
    std::string error;
    const bool ok = video::VideoWriter::check(settings, error);
    if (*c.errorHas == '\0') {
        ASSERT_TRUE(ok) << error;
        EXPECT_EQ(settings.quality, c.resolvedQuality);
        EXPECT_EQ(settings.speed, c.resolvedSpeed);
    } else {
        ASSERT_FALSE(ok);
        EXPECT_NE(error.find(c.errorHas), std::string::npos) << error;
    }
    EXPECT_TRUE(dir.entries().empty()) << "checking writes nothing";
}

INSTANTIATE_TEST_SUITE_P(Settings, VideoSettingsCheck, ::testing::ValuesIn(kSettings),
                         [](const ::testing::TestParamInfo<SettingsCase>& row) { return std::string(row.param.name); });

struct MissingEncoderCase {
    const char* file;
    bool sound;
    const char* missing;
    bool refused;
};

const MissingEncoderCase kMissingEncoders[] = {
    {"a.mp4", false, "libx264", true},      {"a.mp4", true, "aac", true},
    {"a.mp4", false, "aac", false},         {"a.webm", false, "libvpx-vp9", true},
    {"a.webm", true, "libopus", true},      {"a.gif", false, "gif", true},
    {"a.gif", false, "libx264", false},
};

class MissingEncoder : public ::testing::TestWithParam<MissingEncoderCase> {};

TEST_P(MissingEncoder, SaysWhichAndWhatToInstall) {
    const MissingEncoderCase& c = GetParam();
    ScratchDir dir;
    video::VideoSettings settings;
    settings.path = dir.file(c.file);
    settings.width = 64;
    settings.height = 36;
    settings.audioSampleRate = c.sound ? 48000 : 0;
    const std::string missing = c.missing;
    std::string error;
    const bool ok = video::VideoWriter::check(settings, error, [&missing](const char* name) { return missing != name; });
    EXPECT_EQ(ok, !c.refused) << error;
    if (c.refused) {
        EXPECT_NE(error.find("no " + missing + " encoder"), std::string::npos) << error;
        EXPECT_NE(error.find("install"), std::string::npos) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(Encoders, MissingEncoder, ::testing::ValuesIn(kMissingEncoders));

enum class Place { MissingFolder, ReadOnlyFolder, IsAFolder };

struct FolderCase {
    Place place;
    const char* errorHas;
};

const FolderCase kFolders[] = {
    {Place::MissingFolder, "no folder"},
    {Place::ReadOnlyFolder, "not writable"},
    {Place::IsAFolder, "is a directory"},
};

// VideoWriter::check as an ordinary user would meet it: root may write into
// any folder, so as root it runs in a child process that has become nobody.
// The verdict comes back as the exit status, the message through a pipe.
bool checkAsUnprivileged(video::VideoSettings& settings, std::string& error) {
    if (::geteuid() != 0) return video::VideoWriter::check(settings, error);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        error = "no pipe";
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        constexpr gid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
        std::string message;
        const bool ok = video::VideoWriter::check(settings, message);
        if (::write(pipeEnds[1], message.data(), message.size()) < 0) ::_exit(4);
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    char buffer[512];
    ssize_t got = 0;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) error.append(buffer, static_cast<size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) error = "the unprivileged check did not run: " + error;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class OutputFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(OutputFolder, FailsBeforeAnyFrame) {
    const FolderCase& c = GetParam();
    ScratchDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    video::VideoSettings settings;
    settings.width = 64;
    settings.height = 36;
    switch (c.place) {
    case Place::MissingFolder:
        settings.path = dir.file("missing/clip.mp4");
        break;
    case Place::ReadOnlyFolder:
        ASSERT_EQ(::mkdir(dir.file("locked").c_str(), 0555), 0);
        settings.path = dir.file("locked/clip.mp4");
        break;
    case Place::IsAFolder:
        ASSERT_EQ(::mkdir(dir.file("clip.mp4").c_str(), 0755), 0);
        settings.path = dir.file("clip.mp4");
        break;
    }
    std::string error;
    EXPECT_FALSE(checkAsUnprivileged(settings, error));
    EXPECT_NE(error.find(c.errorHas), std::string::npos) << error;
    ::chmod(dir.file("locked").c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(Folders, OutputFolder, ::testing::ValuesIn(kFolders));

}  // namespace
