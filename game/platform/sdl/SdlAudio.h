// Sound effects and music on SDL2_mixer. Effects play on mixer channels 0..7 (one per voice
// slot); music is a MIDI file played through FluidSynth with a General MIDI soundfont.
#pragma once

#include <SDL_mixer.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "game/media/Midi.h"
#include "game/platform/PanGains.h"
#include "game/platform/Platform.h"

namespace zarp::sdl {

// The SDL event type that carries the end of a piece (or the stop of a playing piece) to the
// main thread. Such an event is only pushed when the command asked for notification; the
// message pump turns it into MessageSink::MusicNotify.
uint32_t MusicEventType();

using platform::GainsForPan;
using platform::PanGains;

// The soundfont music plays with: `sdlSoundfonts` (the SDL_SOUNDFONTS setting) when set,
// else the first General MIDI soundfont of the system that exists. Empty when there is none.
std::string FindSoundFont(const char* sdlSoundfonts);

// One reference on the mixer device, which SDL_mixer shares and counts, and on the SDL audio
// and event subsystems under it, which SDL counts too.
class MixerDevice {
  public:
    MixerDevice() = default;
    ~MixerDevice() { Close(); }
    MixerDevice(const MixerDevice&) = delete;
    MixerDevice& operator=(const MixerDevice&) = delete;

    bool Open();
    void Close();
    bool IsOpen() const { return open_; }

  private:
    bool open_ = false;
};

inline constexpr int kVoiceChannels = 8;
inline constexpr int kBeepChannels = 2;

class SdlAudio final : public platform::Audio {
  public:
    SdlAudio() = default;
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    bool Init() override;
    bool PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t* data, size_t size,
                   int pan, const std::string& name) override;
    bool IsVoicePlaying(int slot) override;
    void StopVoice(int slot) override;
    // The tone on the mixer; without a sound device, `desktopBell`.
    void Beep() override;
    std::function<void()> desktopBell;

  private:
    // A voice owns its samples converted to the device format, and the chunk that points
    // at them; the channel is halted before either changes.
    struct Voice {
        std::vector<uint8_t> pcm;
        Mix_Chunk chunk{};
    };

    bool Convert(const platform::PcmFormat& format, const uint8_t* data, size_t size,
                 std::vector<uint8_t>& out) const;

    MixerDevice device_;  // first member: closed after everything that plays on it
    int deviceRate_ = 0;
    uint16_t deviceFormat_ = 0;
    int deviceChannels_ = 0;
    std::array<Voice, kVoiceChannels> voices_;
    Voice beep_;
};

// The media player. One at a time per process: it watches the mix through a post-mix effect
// that SDL_mixer identifies by its function alone.
class SdlMusic final : public platform::Music {
  public:
    SdlMusic() = default;
    ~SdlMusic() override;
    SdlMusic(const SdlMusic&) = delete;
    SdlMusic& operator=(const SdlMusic&) = delete;

    bool Open(const std::string& path) override;
    bool Play(bool notify) override;
    void Stop(bool notify) override;
    void Close(bool notify) override;

  private:
    enum class State { Closed, Ready, Playing, Paused, Ended };
    struct MusicDeleter {
        void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
    };

    // Runs on the audio thread after every mix: notices the end of the piece and posts the
    // notification if the last command asked for one.
    static void SDLCALL AfterMix(int channel, void* stream, int length, void* self);
    void CheckEnd(int mixedBytes);

    MixerDevice device_;          // first member: closed last
    std::vector<uint8_t> bytes_;  // the open piece's file as the synthesiser reads it
    std::unique_ptr<Mix_Music, MusicDeleter> music_;
    std::string path_;
    MusicComplaints complaints_;
    bool watching_ = false;  // AfterMix is registered
    bool searched_ = false;
    std::string soundFont_;
    // Shared with the audio thread. Never held while calling the mixer, which has its own
    // lock that the audio thread holds when it takes this one.
    std::mutex mutex_;
    State state_ = State::Closed;
    bool notify_ = false;
    uint32_t frameBytes_ = 0;    // bytes of one sample frame of the mix
    uint32_t rate_ = 1;          // sample frames per second of the mix
    uint64_t pieceFrames_ = 0;   // length of the open piece in mixed frames; 0 if unknown
    uint64_t playedFrames_ = 0;  // frames mixed since it started from the beginning
};

}  // namespace zarp::sdl
