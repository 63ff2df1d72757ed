#include "game/platform/web/WebPlatform.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "game/platform/PanGains.h"
#include "game/platform/web/Page.h"

namespace zarp::web {

namespace {
constexpr int kPixels = platform::kScreenWidth * platform::kScreenHeight;
}  // namespace

uint32_t WebClock::Ticks() {
    return static_cast<uint32_t>(static_cast<uint64_t>(zarp_now()));
}

void WebClock::WaitUntil(uint32_t due) {
    const double now = zarp_now();
    const auto ahead =
        static_cast<int32_t>(due - static_cast<uint32_t>(static_cast<uint64_t>(now)));
    // The due tick begins at a whole millisecond of the page's clock.
    if (ahead > 0) zarp_sleep_until(std::floor(now) + ahead);
}

bool WebKeyboard::AsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return false;
    const bool state = pressed_[virtualKey] || zarp_key_held(virtualKey) != 0;
    pressed_[virtualKey] = false;
    return state;
}

void WebKeyboard::NoteKeyDown(int virtualKey) {
    if (virtualKey >= 0 && virtualKey <= 255) pressed_[virtualKey] = true;
}

bool WebJoystick::GetCaps(platform::JoyCaps& caps) {
    caps = platform::JoyCaps{0, 65535, 0, 65535};
    return true;
}

bool WebJoystick::GetPos(platform::JoyInfo& info) {
    int32_t pad[3] = {32767, 32767, 0};
    if (!zarp_gamepad(pad)) return false;
    info = platform::JoyInfo{static_cast<uint32_t>(pad[0]), static_cast<uint32_t>(pad[1]),
                             static_cast<uint32_t>(pad[2])};
    return true;
}

bool WebScreen::Open(bool /*fullScreen*/) {
    // The page decides the picture's size; a full-screen start would need a click first.
    rgba_.assign(kPixels, 0xFF000000u);
    return zarp_screen_open() != 0;
}

void WebScreen::Show(const uint8_t* pixels, const platform::Palette& palette) {
    const bool paletteChanged = lastPixels_.empty() || palette != lastPalette_;
    // An unchanged picture needs no conversion and no drawing.
    if (!paletteChanged && std::equal(pixels, pixels + kPixels, lastPixels_.begin())) return;
    if (paletteChanged) {
        // Canvas pixels are red, green, blue, alpha in memory order.
        for (size_t i = 0; i < 256; ++i) {
            colours_[i] = 0xFF000000u | (uint32_t{palette[i].blue} << 16) |
                          (uint32_t{palette[i].green} << 8) | palette[i].red;
        }
        lastPalette_ = palette;
    }
    lastPixels_.assign(pixels, pixels + kPixels);
    for (int i = 0; i < kPixels; ++i)
        rgba_[static_cast<size_t>(i)] = colours_[pixels[i]];
    zarp_present(rgba_.data());
}

platform::Answer WebDialogs::MessageBox(const std::string& caption, const std::string& text,
                                        platform::Buttons buttons, platform::Icon icon) {
    zarp_dialog_open(caption.c_str(), text.c_str(), static_cast<int>(buttons),
                     static_cast<int>(icon));
    int answer;
    // The game waits here as it would for a message box; the page goes on drawing and playing.
    while ((answer = zarp_dialog_answer()) < 0)
        zarp_sleep_until(zarp_now() + 16);
    return static_cast<platform::Answer>(answer);
}

// A game that ends leaves no sound behind for the next.
WebAudio::~WebAudio() {
    for (int slot = 0; slot < 8; ++slot)
        StopVoice(slot);
}

bool WebAudio::Init() {
    ready_ = zarp_audio_init() != 0;
    return ready_;
}

bool WebAudio::PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t* data,
                         size_t size, int pan, const std::string& /*name*/) {
    if (!ready_ || slot < 0 || slot >= 8) return false;
    if (data == nullptr && size > 0) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.channels < 1 || format.channels > 8 || format.samplesPerSec < 1000 ||
        format.samplesPerSec > 384000)
        return false;
    const platform::PanGains gains = platform::GainsForPan(pan);
    return zarp_voice_play(slot, format.channels, static_cast<int>(format.samplesPerSec),
                           format.bitsPerSample, data, static_cast<int>(size), gains.left / 255.0,
                           gains.right / 255.0) != 0;
}

bool WebAudio::IsVoicePlaying(int slot) {
    return ready_ && slot >= 0 && slot < 8 && zarp_voice_playing(slot) != 0;
}

void WebAudio::StopVoice(int slot) {
    if (ready_ && slot >= 0 && slot < 8) zarp_voice_stop(slot);
}

void WebAudio::Beep() {
    if (ready_) zarp_beep();
}

std::string RecordingFor(const std::string& midiPath) {
    const size_t slash = midiPath.find_last_of('/');
    std::string name = slash == std::string::npos ? midiPath : midiPath.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "music/" + name + ".opus";
}

bool WebMusic::Open(const std::string& path) {
    Close(false);
    path_ = path;
    if (complaints_.Silenced(path)) return false;
    // The same reading as the native players: a file they refuse stays silent here too.
    const MidiPiece piece = ReadMidiFile(path);
    if (!piece.problem.empty()) {
        complaints_.Silence(path, piece.problem);
        return false;
    }
    lengthSeconds_ = piece.seconds;
    complaints_.Opened();
    recording_ = RecordingFor(path);
    state_ = State::Ready;
    position_ = 0;
    return true;
}

double WebMusic::Elapsed() const {
    return zarp_audio_time() - startedAt_;
}

bool WebMusic::Play(bool notify) {
    if (state_ == State::Closed) return false;
    notifyAtEnd_ = notify;
    if (state_ == State::Playing) return true;   // a piece that plays goes on playing
    if (state_ != State::Paused) position_ = 0;  // a fresh piece, or one at its end
    startedAt_ = zarp_audio_time() - position_;
    zarp_music_start(recording_.c_str(), position_);
    state_ = State::Playing;
    return true;
}

void WebMusic::Stop(bool notify) {
    if (state_ != State::Playing) return;
    position_ = std::min(Elapsed(), lengthSeconds_);
    zarp_music_stop();
    state_ = State::Paused;
    if (notify) ++pendingNotifications_;
}

void WebMusic::Close(bool notify) {
    if (state_ == State::Closed) return;
    const bool wasPlaying = state_ == State::Playing;
    zarp_music_stop();
    state_ = State::Closed;
    if (wasPlaying && notify) ++pendingNotifications_;
}

bool WebMusic::TakeNotification() {
    if (state_ == State::Playing && Elapsed() >= lengthSeconds_) {
        // The end is the MIDI file's end; what rings on after it is left to fade.
        state_ = State::Ended;
        position_ = lengthSeconds_;
        if (notifyAtEnd_) ++pendingNotifications_;
    }
    if (pendingNotifications_ == 0) return false;
    --pendingNotifications_;
    return true;
}

void WebMessages::Pump(platform::MessageSink& sink) {
    for (int event; (event = zarp_next_event()) >= 0;) {
        if (event < 256) {
            keyboard_.NoteKeyDown(event);
            sink.KeyDown(event);
        } else if (event == kEventSetsChanged) {
            page_.setsChanged = true;
        }
    }
    while (music_.TakeNotification())
        sink.MusicNotify();
}

}  // namespace zarp::web
