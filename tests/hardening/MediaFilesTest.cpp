// The media readers one file at a time, in process: sheet bitmaps given by file name, every
// effect file and palette.dat, each missing or cut short at many points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "game/media/MediaDevices.h"
#include "game/media/Midi.h"
#include "game/platform/headless/Headless.h"
#include "tests/hardening/Harness.h"
#include "tests/support/MidiBytes.h"

namespace zarp::hardening {
namespace {

// A MediaDevices on the headless backend whose program folder is a scratch folder.
class Media : public testing::Test {
  protected:
    TempDir folder;
    headless::Machine machine;
    Random random;
    MediaDevices media{machine.platform, random, folder.Folder()};
    fs::path logPath = folder.dir() / "events";

    void SetUp() override {
        ASSERT_TRUE(machine.log.Open(logPath.string()));
        ASSERT_TRUE(media.CreateDisplay(false));
        ASSERT_TRUE(media.InitSound());
    }
    std::string Events() {
        machine.log.Write("end");  // the log flushes line by line
        return ReadBytes(logPath);
    }
};

// Lengths to cut a file of `size` bytes to: every length inside the headers, then a spread.
std::vector<size_t> Cuts(size_t size) {
    std::vector<size_t> cuts;
    for (size_t n = 0; n < std::min<size_t>(size, 80); ++n)
        cuts.push_back(n);
    for (size_t n = 80; n < size; n += std::max<size_t>(1, size / 37))
        cuts.push_back(n);
    if (size > 0) cuts.push_back(size - 1);
    return cuts;
}

TEST_F(Media, EveryEffectMissingOrCutShortIsSilentAndNamedOnce) {
    const std::vector<std::string> effects = DistFiles("wav");
    ASSERT_FALSE(effects.empty());
    for (const std::string& name : effects) {
        const std::string whole = ReadBytes(DistDir() / name);
        // Missing.
        testing::internal::CaptureStderr();
        media.PlayEffect(name, 0);
        media.PlayEffect(name, 0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said, "zarp: sound effect " + folder.Folder() + name +
                            ": cannot be opened (the effect stays silent)\n");
        // Cut short: played only when what is left still holds the whole data chunk.
        for (size_t cut : Cuts(whole.size())) {
            WriteBytes(folder.dir() / name, whole.substr(0, cut));
            media.reportedEffects.clear();
            testing::internal::CaptureStderr();
            media.PlayEffect(name, 0);
            media.PlayEffect(name, 0);
            const std::string cutSaid = testing::internal::GetCapturedStderr();
            if (!cutSaid.empty()) {
                EXPECT_EQ(std::count(cutSaid.begin(), cutSaid.end(), '\n'), 1) << cutSaid;
                EXPECT_NE(cutSaid.find(name), std::string::npos) << cutSaid;
            }
        }
        fs::remove(folder.dir() / name);
    }
    media.ReleaseSound();
}

TEST_F(Media, AWholeEffectPlaysAndAHeaderOnlyOneDoesNot) {
    const std::vector<std::string> effects = DistFiles("wav");
    ASSERT_FALSE(effects.empty());
    const std::string& name = effects.front();
    const std::string whole = ReadBytes(DistDir() / name);
    // Cut right after the data chunk's header: the chunk claims samples the file lacks.
    const size_t data = whole.find("data", 12);
    ASSERT_NE(data, std::string::npos);
    WriteBytes(folder.dir() / name, whole.substr(0, data + 8));
    testing::internal::CaptureStderr();
    media.PlayEffect(name, 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("truncated"), std::string::npos) << said;
    WriteBytes(folder.dir() / name, whole);
    media.PlayEffect(name, 0);
    const std::string events = Events();
    EXPECT_EQ(events.find("sound " + name), events.rfind("sound " + name)) << events;
    EXPECT_NE(events.find("sound " + name), std::string::npos) << events;
}

TEST_F(Media, SheetFilesMissingOrCutShortGiveNoPictureAndDrawNothing) {
    // A sheet file is looked for under its lower-cased name: work in the scratch folder with
    // relative lower-case names (each test runs in a process of its own).
    const fs::path sheets(ZARP_HARDENING_SHEET_DIR);
    const fs::path before = fs::current_path();
    fs::current_path(folder.dir());
    int tried = 0;
    for (const auto& entry : fs::directory_iterator(sheets)) {
        if (entry.path().extension() != ".bmp") continue;
        ++tried;
        const std::string whole = ReadBytes(entry.path());
        std::string name = entry.path().filename().string();
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(media.LoadSheet(name), nullptr) << "missing " << name;
        fs::create_directory(name);
        EXPECT_EQ(media.LoadSheet(name), nullptr) << "a folder " << name;
        fs::remove(name);
        for (size_t cut : Cuts(whole.size())) {
            WriteBytes(name, whole.substr(0, cut));
            const SurfacePtr sheet = media.LoadSheet(name);
            // The last row may lack its padding (at most 3 bytes); any other cut is refused.
            if (cut + 3 < whole.size()) {
                EXPECT_EQ(sheet, nullptr) << name << " cut to " << cut;
            } else if (sheet) {
                EXPECT_EQ(sheet->pixels.size(), static_cast<size_t>(sheet->width) * sheet->height);
            }
        }
        WriteBytes(name, whole);
        EXPECT_NE(media.LoadSheet(name), nullptr) << "whole " << name;
        fs::remove(name);
    }
    fs::current_path(before);
    EXPECT_EQ(tried, 6);

    // Drawing from a sheet that did not load leaves the picture as it was.
    media.ClearBackBuffer();
    media.DrawSprite(10, 10, Rect{0, 0, 32, 16}, nullptr);
    DrawText(media, nullptr, 0, 0, "ABC");
    DrawTextScaled(media, nullptr, 0, 0, "ABC", 2.0);
    for (uint8_t pixel : media.backBuffer->pixels)
        ASSERT_EQ(pixel, 0);
}

TEST_F(Media, PaletteCutShortLoadsWithZerosAndMissingFails) {
    const std::string whole = ReadBytes(DistDir() / "palette.dat");
    const std::string path = (folder.dir() / "palette.dat").string();
    EXPECT_FALSE(media.LoadPalette(path));
    ASSERT_TRUE(media.LoadPalette(DistDir() / "palette.dat"));
    const platform::Palette full = *media.displayPalette;
    for (size_t cut : Cuts(whole.size())) {
        WriteBytes(path, whole.substr(0, cut));
        ASSERT_TRUE(media.LoadPalette(path)) << cut;
        // Entries wholly inside what is left match the full file when the headers are there.
        if (cut >= 54) {
            const size_t kept = (cut - 54) / 4;
            for (size_t i = 0; i < std::min<size_t>(kept, 256); ++i)
                ASSERT_EQ((*media.displayPalette)[i], full[i]) << cut << " entry " << i;
        }
    }
}

}  // namespace
}  // namespace zarp::hardening

namespace zarp::hardening {
namespace {

TEST(Music, EveryPieceCutShortIsRefusedOrNoLongerThanTheWholeAndMissingIsRefused) {
    // Both players read a piece with the same reader before anything plays: to refuse what the
    // synthesiser could not play, and (headless) to know when it ends.
    TempDir folder;
    const std::vector<std::string> pieces = DistFiles("mid");
    ASSERT_FALSE(pieces.empty());
    for (const std::string& name : pieces) {
        const fs::path path = folder.dir() / name;
        EXPECT_EQ(ReadMidiFile(path.string()).problem, "cannot be opened") << name;
        const std::string whole = ReadBytes(DistDir() / name);
        const MidiPiece full = ReadMidiFile((DistDir() / name).string());
        ASSERT_EQ(full.problem, "") << name;
        EXPECT_GT(full.seconds, 1.0) << name;
        for (size_t cut : Cuts(whole.size())) {
            WriteBytes(path, whole.substr(0, cut));
            const MidiPiece piece = ReadMidiFile(path.string());
            // Every track chunk says how long it is, so any cut leaves one short.
            EXPECT_NE(piece.problem, "") << name << " cut to " << cut;
            EXPECT_EQ(piece.seconds, 0) << name << " cut to " << cut;
        }
    }
}

TEST(Music, APieceThatCannotPlayIsNamedOnceAndNotRestarted) {
    // The title's piece, bgm01.mid, replaced. The title is entered three times when it goes to
    // RANKING and back twice.
    const std::string toRankingAndBack =
        "1 Space\n10 Down\n20 Space\n30 Space\n40 Down\n50-70 Space\n80 Space\n";
    const std::string endOfTrack("\x00\xFF\x2F\x00", 4);
    struct Case {
        const char* name;
        std::string bytes;
        std::string keys;
        int64_t frames;
        int plays;            // "music play bgm01.mid" in the log (a piece that is open)
        std::string problem;  // the one line on standard error; empty: none
    };
    const Case cases[] = {
        {"NotMidi", ReadBytes(DistDir() / DistFiles("wav").front()), toRankingAndBack, 100, 0,
         "not a standard MIDI file (it does not begin with MThd)"},
        // Eight ticks: 42 ms. It plays, ends, plays again, ends again, and is then left silent,
        // on later visits too.
        {"Short",
         testing_support::Smf({std::string("\x00\x90\x3C\x64\x08\x80\x3C\x00", 8) + endOfTrack}),
         toRankingAndBack, 100, 3, "it ended within a second of starting, twice in a row"},
        // Two seconds once the running status is read as real files mean it: it repeats.
        {"RunningStatusAfterMeta", testing_support::Smf({testing_support::kRunningStatusAfterMeta}),
         "1 Space\n", 300, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder game;
        WriteBytes(game.prog() / "bgm01.mid", c.bytes);
        const RunResult run = game.Play(c.frames, c.keys);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.LogCount("music play bgm01.mid"), c.plays);
        const std::string line = c.problem.empty()
                                     ? ""
                                     : "zarp: music " + (game.prog() / "bgm01.mid").string() +
                                           ": " + c.problem + " (this piece stays silent)\n";
        EXPECT_EQ(run.err, line);
    }
}

}  // namespace
}  // namespace zarp::hardening
