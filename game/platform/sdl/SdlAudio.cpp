#include "game/platform/sdl/SdlAudio.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

#include "game/media/Midi.h"

namespace zarp::sdl {

namespace {

constexpr int kMixRate = 44100;
constexpr int kMixChunk = 1024;  // frames per mix: about 23 ms
constexpr int kBeepRate = 22050;
constexpr double kBeepHz = 880;
constexpr double kBeepSeconds = 0.12;

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
};

void PushMusicEvent() {
    uint32_t type = MusicEventType();
    if (type == static_cast<uint32_t>(-1)) return;
    SDL_Event event{};
    event.type = type;
    event.user.code = 1;  // notify
    SDL_PushEvent(&event);
}

}  // namespace

uint32_t MusicEventType() {
    // SDL hands out event numbers for the whole process; this remembers the one it gave us.
    static const uint32_t type = SDL_RegisterEvents(1);
    return type;
}

std::string FindSoundFont(const char* sdlSoundfonts) {
    if (sdlSoundfonts != nullptr && *sdlSoundfonts != '\0') return sdlSoundfonts;
    for (const char* path : kSoundFonts) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) return path;
    }
    return "";
}

// --- MixerDevice ------------------------------------------------------------------------

bool MixerDevice::Open() {
    if (open_) return true;
    // SDL counts subsystem starts, so every reference starts and stops its own.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) return false;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    int result;
    if (Mix_QuerySpec(&rate, &format, &channels) != 0) {
        // Already open: asking for exactly what it has joins it instead of reopening.
        result = Mix_OpenAudioDevice(rate, format, channels, kMixChunk, nullptr, 0);
    } else {
        result = Mix_OpenAudio(kMixRate, AUDIO_S16SYS, 2, kMixChunk);
    }
    if (result != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
        return false;
    }
    open_ = true;
    return true;
}

void MixerDevice::Close() {
    if (!open_) return;
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    open_ = false;
}

// --- SdlAudio ---------------------------------------------------------------------------

SdlAudio::~SdlAudio() {
    if (!device_.IsOpen()) return;
    for (int slot = 0; slot < kVoiceChannels; ++slot)
        Mix_HaltChannel(slot);
    for (int c = 0; c < kBeepChannels; ++c)
        Mix_HaltChannel(kVoiceChannels + c);
}

bool SdlAudio::Init() {
    if (device_.IsOpen()) return true;
    if (!device_.Open()) return false;
    if (Mix_QuerySpec(&deviceRate_, &deviceFormat_, &deviceChannels_) == 0) {
        device_.Close();
        return false;
    }
    int channels = Mix_AllocateChannels(-1);
    if (channels < kVoiceChannels + kBeepChannels)
        Mix_AllocateChannels(kVoiceChannels + kBeepChannels);
    // Channels 0..7 belong to the voice slots; a beep takes whichever channel is free above.
    Mix_ReserveChannels(kVoiceChannels);

    // The beep: a short soft tone with faded ends, as little-endian 16-bit samples.
    const size_t count = static_cast<size_t>(kBeepRate * kBeepSeconds);
    const double fade = kBeepRate / 200.0;
    std::vector<uint8_t> tone;
    for (size_t i = 0; i < count; ++i) {
        double edge = std::min({1.0, i / fade, (count - 1 - i) / fade});
        double v = std::sin(2 * std::numbers::pi * kBeepHz * i / kBeepRate);
        auto sample = static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * edge * 9000)));
        tone.push_back(static_cast<uint8_t>(sample & 0xFF));
        tone.push_back(static_cast<uint8_t>(sample >> 8));
    }
    platform::PcmFormat mono;
    if (!Convert(mono, tone.data(), tone.size(), beep_.pcm)) beep_.pcm.clear();
    beep_.chunk =
        Mix_Chunk{0, beep_.pcm.data(), static_cast<Uint32>(beep_.pcm.size()), MIX_MAX_VOLUME};
    return true;
}

bool SdlAudio::Convert(const platform::PcmFormat& format, const uint8_t* data, size_t size,
                       std::vector<uint8_t>& out) const {
    SDL_AudioFormat source;
    if (format.bitsPerSample == 8)
        source = AUDIO_U8;
    else if (format.bitsPerSample == 16)
        source = AUDIO_S16LSB;  // WAV samples are little-endian
    else
        return false;
    if (format.channels < 1 || format.channels > 8 || format.samplesPerSec < 1000 ||
        format.samplesPerSec > 384000)
        return false;
    const size_t frame = static_cast<size_t>(format.channels) * (format.bitsPerSample / 8);
    size -= size % frame;  // a torn last frame is dropped
    SDL_AudioCVT cvt;
    int needed = SDL_BuildAudioCVT(&cvt, source, static_cast<Uint8>(format.channels),
                                   static_cast<int>(format.samplesPerSec), deviceFormat_,
                                   static_cast<Uint8>(deviceChannels_), deviceRate_);
    if (needed < 0) return false;
    if (size > static_cast<size_t>(INT_MAX) / static_cast<size_t>(std::max(cvt.len_mult, 1)))
        return false;
    out.assign(size * static_cast<size_t>(std::max(cvt.len_mult, 1)), 0);
    if (size > 0) std::memcpy(out.data(), data, size);
    if (needed > 0 && size > 0) {
        cvt.buf = out.data();
        cvt.len = static_cast<int>(size);
        if (SDL_ConvertAudio(&cvt) != 0) return false;
        out.resize(static_cast<size_t>(cvt.len_cvt));
    } else {
        out.resize(size);
    }
    return true;
}

bool SdlAudio::PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t* data,
                         size_t size, int pan, const std::string& /*name*/) {
    if (!device_.IsOpen() || slot < 0 || slot >= kVoiceChannels) return false;
    if (data == nullptr && size > 0) return false;
    StopVoice(slot);
    Voice& voice = voices_[static_cast<size_t>(slot)];
    if (!Convert(format, data, size, voice.pcm)) {
        voice.pcm.clear();
        return false;
    }
    if (voice.pcm.empty()) return true;  // nothing to sound
    voice.chunk =
        Mix_Chunk{0, voice.pcm.data(), static_cast<Uint32>(voice.pcm.size()), MIX_MAX_VOLUME};
    // The pan goes on the idle channel first, so the very first samples are mixed with it
    // (a channel drops its effects when a sound ends, not when one starts).
    PanGains gains = GainsForPan(pan);
    Mix_SetPanning(slot, gains.left, gains.right);
    return Mix_PlayChannel(slot, &voice.chunk, 0) == slot;
}

bool SdlAudio::IsVoicePlaying(int slot) {
    if (!device_.IsOpen() || slot < 0 || slot >= kVoiceChannels) return false;
    return Mix_Playing(slot) != 0;
}

void SdlAudio::StopVoice(int slot) {
    if (slot < 0 || slot >= kVoiceChannels) return;
    if (device_.IsOpen()) Mix_HaltChannel(slot);
    Voice& voice = voices_[static_cast<size_t>(slot)];
    voice.chunk = Mix_Chunk{};
    std::vector<uint8_t>().swap(voice.pcm);
}

void SdlAudio::Beep() {
    if (!device_.IsOpen()) {
        // No sound device: the desktop's bell stands in for the beep.
        if (desktopBell) desktopBell();
        return;
    }
    if (beep_.pcm.empty()) return;
    Mix_PlayChannel(-1, &beep_.chunk, 0);  // no free beep channel: this beep is skipped
}

// --- SdlMusic ---------------------------------------------------------------------------

SdlMusic::~SdlMusic() {
    Close(false);
    if (watching_) Mix_UnregisterEffect(MIX_CHANNEL_POST, &SdlMusic::AfterMix);
}

void SDLCALL SdlMusic::AfterMix(int /*channel*/, void* /*stream*/, int length, void* self) {
    static_cast<SdlMusic*>(self)->CheckEnd(length);
}

void SdlMusic::CheckEnd(int mixedBytes) {
    // Asked before our lock is taken: the main thread never calls the mixer while holding it.
    bool sounding = Mix_PlayingMusic() != 0;
    bool paused = Mix_PausedMusic() != 0;
    std::lock_guard lock(mutex_);
    if (state_ != State::Playing) return;
    if (!paused && frameBytes_ > 0)
        playedFrames_ += static_cast<uint64_t>(mixedBytes) / frameBytes_;
    // The piece ends at its last end-of-track, as a sequencer reports it; the synthesiser
    // would otherwise wait for every released note to fade before it calls the piece done.
    bool atEnd = pieceFrames_ > 0 && playedFrames_ >= pieceFrames_;
    if (sounding && !atEnd) return;
    state_ = State::Ended;
    if (notify_) PushMusicEvent();
    notify_ = false;
}

bool SdlMusic::Open(const std::string& path) {
    Close(false);
    if (!searched_) {
        searched_ = true;
        soundFont_ = FindSoundFont(std::getenv("SDL_SOUNDFONTS"));
        if (soundFont_.empty())
            std::fprintf(stderr,
                         "zarp: no General MIDI soundfont found (install timgm6mb-soundfont or "
                         "set SDL_SOUNDFONTS); music is off\n");
    }
    if (soundFont_.empty() || complaints_.Silenced(path)) return false;
    // Only what our own reader takes goes to the synthesiser, mended where real files need it.
    MidiPiece piece = ReadMidiFile(path);
    if (!piece.problem.empty()) {
        complaints_.Silence(path, piece.problem);
        return false;
    }
    if (!device_.Open()) return false;
    if (!watching_) {
        if (Mix_RegisterEffect(MIX_CHANNEL_POST, &SdlMusic::AfterMix, nullptr, this) == 0)
            return false;
        watching_ = true;
    }
    Mix_SetSoundFonts(soundFont_.c_str());
    bytes_ = std::move(piece.bytes);
    music_.reset(
        Mix_LoadMUS_RW(SDL_RWFromConstMem(bytes_.data(), static_cast<int>(bytes_.size())), 1));
    if (!music_) {
        complaints_.Silence(path, std::string("the synthesiser refuses it: ") + Mix_GetError());
        bytes_.clear();
        return false;
    }
    path_ = path;
    complaints_.Opened();
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    std::lock_guard lock(mutex_);
    state_ = State::Ready;
    notify_ = false;
    rate_ = static_cast<uint32_t>(std::max(rate, 1));
    frameBytes_ = static_cast<uint32_t>(channels) * (SDL_AUDIO_BITSIZE(format) / 8);
    pieceFrames_ = static_cast<uint64_t>(std::llround(piece.seconds * rate));
    return true;
}

bool SdlMusic::Play(bool notify) {
    if (!music_) return false;
    State state;
    uint64_t played = 0;
    {
        std::lock_guard lock(mutex_);
        state = state_;
        played = playedFrames_;
    }
    // A piece the synthesiser ends at once would be started again at every end.
    if (state == State::Ended &&
        complaints_.EndedShort(
            path_, static_cast<uint32_t>(std::min<uint64_t>(played * 1000 / rate_, UINT32_MAX)))) {
        Close(false);
        return false;
    }
    bool fromStart = state != State::Paused && state != State::Playing;
    if (fromStart) {
        // A fresh piece, or one that stands at its end, starts from the beginning.
        if (Mix_PlayMusic(music_.get(), 0) != 0) return false;
    }
    Mix_ResumeMusic();
    // Should the piece end before this is set, the audio thread still sees it next mix.
    std::lock_guard lock(mutex_);
    if (fromStart) playedFrames_ = 0;
    state_ = State::Playing;
    notify_ = notify;
    return true;
}

void SdlMusic::Stop(bool notify) {
    if (!music_) return;
    bool wasPlaying = false;
    {
        std::lock_guard lock(mutex_);
        wasPlaying = state_ == State::Playing;
        if (wasPlaying) state_ = State::Paused;
        notify_ = false;
    }
    if (!wasPlaying) return;
    Mix_PauseMusic();
    if (notify) PushMusicEvent();
}

void SdlMusic::Close(bool notify) {
    if (!music_) return;
    bool wasPlaying = false;
    {
        std::lock_guard lock(mutex_);
        wasPlaying = state_ == State::Playing;
        state_ = State::Closed;
        notify_ = false;
    }
    Mix_HaltMusic();
    music_.reset();
    bytes_.clear();
    if (wasPlaying && notify) PushMusicEvent();
}

}  // namespace zarp::sdl
