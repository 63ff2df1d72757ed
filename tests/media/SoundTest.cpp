// Effect files, voice slots, beep mode and the silent effect for a file that cannot play.
#include <gtest/gtest.h>

#include "game/media/Wav.h"
#include "tests/media/TestSupport.h"

namespace zarp::test {
namespace {

std::vector<uint8_t> Renamed(std::vector<uint8_t> chunk, const char* id) {
    std::copy(id, id + 4, chunk.begin());
    return chunk;
}

std::vector<uint8_t> GoodWav() {
    return MakeRiff({MakeFormat(), MakeChunk("data", Samples(40))});
}

TEST(ParseWav, AcceptsAndRejects) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        bool accepted;
    };
    std::vector<uint8_t> riffTooLong = GoodWav();
    PutLe32(riffTooLong, 4, 0x7FFFFFF0);  // a RIFF size beyond the file; the data is all there
    std::vector<uint8_t> dataPastRiff = GoodWav();
    PutLe32(dataPastRiff, 4, 4 + 24);  // the RIFF chunk ends after the format chunk
    const Case cases[] = {
        {"PCM with format and data", GoodWav(), true},
        {"a LIST chunk between format and data",
         MakeRiff({MakeFormat(), MakeChunk("LIST", Samples(5)), MakeChunk("data", Samples(40))}),
         true},
        {"8-bit stereo", MakeRiff({MakeFormat(1, 2, 11025, 8), MakeChunk("data", Samples(40))}),
         true},
        {"RIFF size beyond the file", riffTooLong, true},
        {"format chunk under another name",
         MakeRiff({Renamed(MakeFormat(), "abcd"), MakeChunk("data", Samples(4))}), true},
        {"a LIST chunk before the format",
         MakeRiff({MakeChunk("LIST", Samples(20)), MakeFormat(), MakeChunk("data", Samples(40))}),
         false},
        {"format tag 3 (floating point)",
         MakeRiff({MakeFormat(3, 1, 22050, 32), MakeChunk("data", Samples(40))}), false},
        {"format tag 2", MakeRiff({MakeFormat(2), MakeChunk("data", Samples(40))}), false},
        {"data claims more than the file holds",
         MakeRiff({MakeFormat(), MakeChunk("data", Samples(40), 100)}), false},
        {"data size near 4 GB",
         MakeRiff({MakeFormat(), MakeChunk("data", Samples(40), 0xFFFFFFF0)}), false},
        {"no data chunk", MakeRiff({MakeFormat(), MakeChunk("LIST", Samples(40))}), false},
        {"data outside the RIFF chunk", dataPastRiff, false},
        {"empty data", MakeRiff({MakeFormat(), MakeChunk("data", {})}), false},
        {"not WAVE", MakeRiff({MakeFormat(), MakeChunk("data", Samples(40))}, "AVI "), false},
        {"short format chunk",
         MakeRiff({MakeChunk("fmt ", Samples(10)), MakeChunk("data", Samples(40))}), false},
        {"zero channels", MakeRiff({MakeFormat(1, 0), MakeChunk("data", Samples(40))}), false},
        {"empty file", {}, false},
    };
    for (const Case& c : cases) {
        WavSamples samples;
        std::string problem;
        EXPECT_EQ(ParseWav(c.file, samples, problem), c.accepted) << c.what << ": " << problem;
        if (!c.accepted) {
            EXPECT_FALSE(problem.empty()) << c.what;
        }
    }
    // Every truncation of a good file is refused without reading past its end.
    const std::vector<uint8_t> good = GoodWav();
    for (size_t length = 0; length < good.size(); ++length) {
        WavSamples samples;
        std::string problem;
        EXPECT_FALSE(ParseWav(std::span(good.data(), length), samples, problem)) << length;
    }
    WavSamples samples;
    std::string problem;
    ASSERT_TRUE(ParseWav(good, samples, problem));
    EXPECT_EQ(samples.size, 40u);
    EXPECT_EQ(samples.offset, 12u + 24u + 8u);
    EXPECT_EQ(samples.format.channels, 1);
    EXPECT_EQ(samples.format.samplesPerSec, 22050u);
    EXPECT_EQ(samples.format.bitsPerSample, 16);
    EXPECT_EQ(samples.format.blockAlign, 2);
}

struct SoundFixture : MediaFixture {
    TempDir dir;
    SoundFixture() : MediaFixture(), folder(dir.Folder()) {
        media.programFolder = folder;
        media.InitSound();
        WriteFile(folder + "waa.wav", GoodWav());
    }
    std::vector<int> Slots() const {
        std::vector<int> slots;
        for (const auto& play : fake.audio.plays)
            slots.push_back(play.slot);
        return slots;
    }
    std::string folder;
};

TEST(PlayEffect, ThreeRequestsTakeThreeSlotsWithTheirPans) {
    SoundFixture f;
    f.media.PlayEffect("waa.wav", 0);
    f.media.PlayEffect("waa.wav", -8000);
    f.media.PlayEffect("waa.wav", 8000);
    ASSERT_EQ(f.Slots(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(f.fake.audio.plays[1].pan, -8000);
    EXPECT_EQ(f.fake.audio.plays[2].pan, 8000);
    EXPECT_EQ(f.fake.audio.plays[0].name, "waa.wav");
    EXPECT_EQ(f.fake.audio.plays[0].data, Samples(40));
    EXPECT_EQ(f.media.voiceData[1], Samples(40));
    EXPECT_EQ(f.media.voiceSize[2], 40u);
    EXPECT_TRUE(f.media.voiceBuffer[2]);
    EXPECT_FALSE(f.media.voiceBuffer[3]);
}

TEST(PlayEffect, FinishedSlotsAreFreedOnTheWayAndTakenNextTime) {
    SoundFixture f;
    f.media.PlayEffect("waa.wav", 0);
    f.media.PlayEffect("waa.wav", 0);
    f.fake.audio.playing.erase(0);  // slot 0 has finished, slot 1 still plays
    f.media.PlayEffect("waa.wav", 0);
    EXPECT_EQ(f.fake.audio.stops, std::vector<int>{0});
    EXPECT_FALSE(f.media.voiceBuffer[0]);
    EXPECT_TRUE(f.media.voiceData[0].empty());
    f.media.PlayEffect("waa.wav", 0);
    EXPECT_EQ(f.Slots(), (std::vector<int>{0, 1, 2, 0}));
}

TEST(PlayEffect, AllEightPlayingGivesWayAtRandom) {
    SoundFixture f;
    for (int i = 0; i < 8; ++i)
        f.media.PlayEffect("waa.wav", 0);
    Random expected = f.random;
    const int slot = expected.Next() % 8;
    f.media.PlayEffect("waa.wav", 0);
    ASSERT_EQ(f.fake.audio.plays.size(), 9u);
    EXPECT_EQ(f.fake.audio.plays[8].slot, slot);
    EXPECT_EQ(f.fake.audio.stops, std::vector<int>{slot});  // the old sound is cut off
    EXPECT_EQ(f.random.state, expected.state);
    EXPECT_EQ(f.media.voiceSize[static_cast<size_t>(slot)], 40u);
}

TEST(PlayEffect, BeepModeOpensNoFile) {
    SoundFixture f;
    f.media.beepMode = true;
    testing::internal::CaptureStderr();
    f.media.PlayEffect("missing.wav", 0);
    f.media.PlayEffect("waa.wav", 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(f.fake.audio.beeps, 2);
    EXPECT_TRUE(f.fake.audio.plays.empty());
}

TEST(PlayEffect, AnUnplayableFileStaysSilentAndIsNamedOnce) {
    SoundFixture f;
    WriteFile(f.folder + "float.wav",
              MakeRiff({MakeFormat(3, 1, 22050, 32), MakeChunk("data", Samples(40))}));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        f.media.PlayEffect("missing.wav", 0);
        f.media.PlayEffect("float.wav", 0);
    }
    f.media.PlayEffect("waa.wav", 0);  // the game and its other effects go on
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_NE(err.find(f.folder + "missing.wav"), std::string::npos) << err;
    EXPECT_NE(err.find(f.folder + "float.wav"), std::string::npos) << err;
    EXPECT_NE(err.find("format tag 3"), std::string::npos) << err;
    EXPECT_EQ(f.Slots(), std::vector<int>{0});
    EXPECT_TRUE(f.fake.audio.stops.empty());
}

TEST(PlayEffect, ARefusedVoiceIsFreedAtOnce) {
    SoundFixture f;
    f.fake.audio.playResult = false;
    testing::internal::CaptureStderr();
    f.media.PlayEffect("waa.wav", 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("waa.wav"), std::string::npos);
    EXPECT_FALSE(f.media.voiceBuffer[0]);
    EXPECT_TRUE(f.media.voiceData[0].empty());
}

TEST(ReleaseSound, StopsAndFreesEveryVoice) {
    SoundFixture f;
    f.media.PlayEffect("waa.wav", 0);
    f.media.PlayEffect("waa.wav", 0);
    f.media.ReleaseVoice(9);  // no such slot: nothing
    f.media.ReleaseSound();
    EXPECT_EQ(f.fake.audio.stops, (std::vector<int>{0, 1}));
    for (int i = 0; i < kVoiceSlots; ++i) {
        EXPECT_FALSE(f.media.voiceBuffer[static_cast<size_t>(i)]);
        EXPECT_TRUE(f.media.voiceData[static_cast<size_t>(i)].empty());
        EXPECT_EQ(f.media.voiceSize[static_cast<size_t>(i)], 0u);
    }
}

TEST(ReleaseSound, TheDevicesTeardownStopsWhatStillPlays) {
    TempDir dir;
    WriteFile(dir.Folder() + "shot.wav", GoodWav());
    FakePlatform fake;
    Random random;
    {
        MediaDevices media(fake.platform, random, dir.Folder());
        media.InitSound();
        media.PlayEffect("shot.wav", 0);
        media.PlayEffect("shot.wav", 0);
    }
    EXPECT_EQ(fake.audio.stops, (std::vector<int>{0, 1}));
}

}  // namespace
}  // namespace zarp::test
