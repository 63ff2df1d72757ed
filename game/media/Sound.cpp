// The sound half of MediaDevices: eight voices that each play one effect file once, with pan.
#include <iostream>

#include "game/media/FileBytes.h"
#include "game/media/MediaDevices.h"
#include "game/media/Wav.h"

namespace zarp {

namespace {
constexpr int32_t kPanLimit = 10000;
}  // namespace

bool MediaDevices::InitSound() {
    for (int32_t slot = 0; slot < kVoiceSlots; ++slot) ReleaseVoice(slot);
    soundReady = platform.audio.Init();
    return soundReady;
}

void MediaDevices::ReportEffect(const std::string& fileName, const std::string& problem) {
    if (!reportedEffects.insert(fileName).second) return;
    std::cerr << "zarp: sound effect " << programFolder << fileName << ": " << problem
              << " (the effect stays silent)\n";
}

void MediaDevices::PlayEffect(const std::string& fileName, int32_t pan) {
    if (beepMode) {
        platform.audio.Beep();
        return;
    }
    // Every request reads its file again. A file that cannot be played leaves that effect
    // silent and is named once on stderr; the game goes on.
    const std::string path = programFolder + fileName;
    std::vector<uint8_t> bytes;
    switch (ReadFileBytes(path, kMaxWavFileBytes, bytes)) {
        case FileRead::Ok:
            break;
        case FileRead::CannotOpen:
            ReportEffect(fileName, "cannot be opened");
            return;
        case FileRead::TooLarge:
            ReportEffect(fileName, "too large for an effect");
            return;
        case FileRead::ReadError:
            ReportEffect(fileName, "cannot be read");
            return;
    }
    WavSamples samples;
    std::string problem;
    if (!ParseWav(bytes, samples, problem)) {
        ReportEffect(fileName, problem);
        return;
    }

    // The first free slot; finished voices met on the way are freed for the next request.
    // With all eight playing, a random one gives way.
    int32_t slot = -1;
    for (int32_t i = 0; i < kVoiceSlots; ++i) {
        if (!voiceBuffer[static_cast<size_t>(i)]) {
            slot = i;
            break;
        }
        if (!platform.audio.IsVoicePlaying(i)) ReleaseVoice(i);
    }
    if (slot < 0) {
        slot = random.Next() % kVoiceSlots;
        ReleaseVoice(slot);  // the sound it held is cut off
    }

    const size_t index = static_cast<size_t>(slot);
    voiceData[index].assign(bytes.begin() + static_cast<ptrdiff_t>(samples.offset),
                            bytes.begin() + static_cast<ptrdiff_t>(samples.offset + samples.size));
    voiceSize[index] = static_cast<uint32_t>(samples.size);
    voiceBuffer[index] = true;
    // A pan the device refuses leaves the voice centred.
    if (pan < -kPanLimit || pan > kPanLimit) pan = 0;
    if (!platform.audio.PlayVoice(slot, samples.format, voiceData[index].data(), voiceSize[index],
                                  pan, fileName)) {
        ReleaseVoice(slot);
        ReportEffect(fileName, "the sound device refused to play it");
    }
}

void MediaDevices::ReleaseVoice(int32_t slot) {
    if (slot < 0 || slot >= kVoiceSlots) return;
    const size_t index = static_cast<size_t>(slot);
    if (voiceBuffer[index]) {
        platform.audio.StopVoice(slot);
        voiceBuffer[index] = false;
    }
    voiceData[index] = {};  // gives the memory back
    voiceSize[index] = 0;
}

void MediaDevices::ReleaseSound() {
    for (int32_t slot = 0; slot < kVoiceSlots; ++slot)
        ReleaseVoice(slot);
    soundReady = false;
}

}  // namespace zarp
