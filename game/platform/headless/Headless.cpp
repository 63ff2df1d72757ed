#include "game/platform/headless/Headless.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "common/image/Png.h"
#include "game/media/FileBytes.h"
#include "game/media/Midi.h"

namespace zarp::headless {

namespace {
// Input scripts far beyond any real size are refused, not read whole.
constexpr size_t kMaxKeyScriptBytes = 256u << 20;
}  // namespace

bool EventLog::Open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "w"));
    return file_ != nullptr;
}

void EventLog::Write(const std::string& text) {
    if (!file_) return;
    std::fprintf(file_.get(), "%lld %s\n", static_cast<long long>(frame), text.c_str());
    std::fflush(file_.get());
}

void ScriptedKeyboard::SetHeld(const std::set<int>& keys) {
    for (int key : keys) {
        if (!held_.count(key)) pressed_.insert(key);
    }
    held_ = keys;
    releaseTicks_.clear();
}

void ScriptedKeyboard::SetHeldUntil(const std::map<int, uint32_t>& releaseTicks) {
    std::set<int> keys;
    for (const auto& [key, tick] : releaseTicks)
        keys.insert(key);
    SetHeld(keys);
    releaseTicks_ = releaseTicks;
}

bool ScriptedKeyboard::AsyncKeyState(int virtualKey) {
    if (clock_) {
        auto release = releaseTicks_.find(virtualKey);
        if (release != releaseTicks_.end() &&
            static_cast<int32_t>(clock_->now - release->second) >= 0) {
            held_.erase(virtualKey);
            releaseTicks_.erase(release);
        }
    }
    bool state = held_.count(virtualKey) || pressed_.count(virtualKey);
    pressed_.erase(virtualKey);
    return state;
}

bool MemoryScreen::Open(bool full) {
    opened = true;
    fullScreen = full;
    return true;
}

void MemoryScreen::Show(const uint8_t* source, const platform::Palette& colours) {
    std::copy(source, source + pixels.size(), pixels.begin());
    palette = colours;
    ++presents;
}

bool MemoryScreen::SavePng(const std::string& path, std::string* error) const {
    std::vector<uint8_t> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const platform::PaletteEntry& entry = palette[pixels[i]];
        rgb[3 * i] = entry.red;
        rgb[3 * i + 1] = entry.green;
        rgb[3 * i + 2] = entry.blue;
    }
    return WritePngRgb(path, platform::kScreenWidth, platform::kScreenHeight, rgb, error);
}

namespace {

const char* ButtonsName(platform::Buttons buttons) {
    switch (buttons) {
        case platform::Buttons::Ok:
            return "ok";
        case platform::Buttons::YesNo:
            return "yesno";
        case platform::Buttons::YesNoCancel:
            return "yesnocancel";
    }
    return "?";
}

const char* AnswerName(platform::Answer answer) {
    switch (answer) {
        case platform::Answer::Ok:
            return "ok";
        case platform::Answer::Yes:
            return "yes";
        case platform::Answer::No:
            return "no";
        case platform::Answer::Cancel:
            return "cancel";
    }
    return "?";
}

bool Offers(platform::Buttons buttons, platform::Answer answer) {
    switch (buttons) {
        case platform::Buttons::Ok:
            return answer == platform::Answer::Ok;
        case platform::Buttons::YesNo:
            return answer == platform::Answer::Yes || answer == platform::Answer::No;
        case platform::Buttons::YesNoCancel:
            return answer != platform::Answer::Ok;
    }
    return false;
}

// Line breaks in a logged text are written as \n so that one event stays one line.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

platform::Answer ScriptedDialogs::MessageBox(const std::string& caption, const std::string& text,
                                             platform::Buttons buttons, platform::Icon) {
    platform::Answer answer =
        buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
        if (!Offers(buttons, answer)) {
            answer =
                buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
        }
    }
    boxes.push_back(caption + "|" + text);
    log_.Write(std::string("messagebox ") + ButtonsName(buttons) + " [" + OneLine(caption) + "] [" +
               OneLine(text) + "] " + AnswerName(answer));
    return answer;
}

bool LoggedAudio::PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t*,
                            size_t size, int pan, const std::string& name) {
    if (slot < 0 || slot >= 8) return false;
    uint64_t bytesPerSecond = static_cast<uint64_t>(std::max<uint16_t>(format.blockAlign, 1)) *
                              std::max<uint32_t>(format.samplesPerSec, 1);
    uint32_t lengthMs =
        static_cast<uint32_t>(std::min<uint64_t>(size * 1000 / bytesPerSecond, 0x7FFFFFFF));
    playing_[slot] = true;
    endsAt_[slot] = clock_.now + std::max<uint32_t>(lengthMs, 1);
    log_.Write("sound " + BaseName(name) + " " + std::to_string(pan) + " slot " +
               std::to_string(slot));
    return true;
}

bool LoggedAudio::IsVoicePlaying(int slot) {
    if (slot < 0 || slot >= 8 || !playing_[slot]) return false;
    if (static_cast<int32_t>(clock_.now - endsAt_[slot]) >= 0) playing_[slot] = false;
    return playing_[slot];
}

void LoggedAudio::StopVoice(int slot) {
    if (slot >= 0 && slot < 8) playing_[slot] = false;
}

void LoggedAudio::Beep() {
    log_.Write("beep");
}

bool LoggedMusic::Open(const std::string& path) {
    log_.Write("music open " + BaseName(path));
    file_ = path;
    open_ = false;
    playing_ = false;
    atEnd_ = false;
    position_ = 0;
    if (complaints_.Silenced(path)) return false;
    // The same reading as the window's player: a file it refuses stays silent here too.
    const MidiPiece piece = ReadMidiFile(path);
    if (!piece.problem.empty()) {
        complaints_.Silence(path, piece.problem);
        return false;
    }
    lengthMs_ = MidiLengthMs(piece.seconds);
    complaints_.Opened();
    open_ = true;
    return true;
}

bool LoggedMusic::Play(bool notify) {
    log_.Write("music play " + BaseName(file_));
    if (!open_) return false;
    if (playing_) {  // a piece that plays goes on playing
        notifyAtEnd_ = notify;
        return true;
    }
    if (atEnd_ && complaints_.EndedShort(file_, lengthMs_)) {
        open_ = false;
        return false;
    }
    if (atEnd_) position_ = 0;
    atEnd_ = false;
    playing_ = true;
    notifyAtEnd_ = notify;
    startedAt_ = clock_.now - position_;
    return true;
}

void LoggedMusic::Finish(bool notify) {
    if (playing_) {
        position_ = std::min(clock_.now - startedAt_, lengthMs_);
        playing_ = false;
        if (notify) ++pendingNotifications_;
    }
}

void LoggedMusic::Stop(bool notify) {
    log_.Write("music stop");
    Finish(notify);
}

void LoggedMusic::Close(bool notify) {
    log_.Write("music close");
    Finish(notify);
    open_ = false;
}

bool LoggedMusic::TakeNotification() {
    if (playing_ && clock_.now - startedAt_ >= lengthMs_) {
        playing_ = false;
        atEnd_ = true;
        position_ = lengthMs_;
        if (notifyAtEnd_) ++pendingNotifications_;
    }
    if (pendingNotifications_ == 0) return false;
    --pendingNotifications_;
    return true;
}

void ScriptedMessages::Pump(platform::MessageSink& sink) {
    while (!keyDowns.empty()) {
        int key = keyDowns.front();
        keyDowns.pop_front();
        sink.KeyDown(key);
    }
    while (music_.TakeNotification())
        sink.MusicNotify();
    if (closeRequested || (signalled && *signalled)) {
        closeRequested = false;
        if (signalled) *signalled = 0;
        sink.CloseRequest();
    }
}

uint32_t MidiLengthMs(double seconds) {
    // At least a millisecond, so that a piece of no length still ends after its start.
    return static_cast<uint32_t>(std::clamp(seconds * 1000, 0.0, 3600000.0)) + 1;
}

int KeyByName(const std::string& name) {
    using namespace platform::vk;
    static constexpr struct {
        const char* name;
        int key;
    } kNames[] = {{"Left", Left},       {"Right", Right},     {"Up", Up},
                  {"Down", Down},       {"Space", Space},     {"Return", Return},
                  {"Escape", Escape},   {"Shift", Shift},     {"F5", F5},
                  {"F6", F6},           {"F9", F9},           {"Numpad2", Numpad2},
                  {"Numpad4", Numpad4}, {"Numpad6", Numpad6}, {"Numpad8", Numpad8}};
    for (const auto& entry : kNames) {
        if (name == entry.name) return entry.key;
    }
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return name[0];
    return 0;
}

bool ParseKeyScript(const std::string& path, std::vector<KeyHold>& holds, std::string* error) {
    std::vector<uint8_t> bytes;
    if (ReadFileBytes(path, kMaxKeyScriptBytes, bytes) != FileRead::Ok) {
        if (error) *error = path + ": cannot be read";
        return false;
    }
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string range;
        if (!(words >> range)) continue;
        auto fail = [&](const std::string& what) {
            if (error) *error = path + ":" + std::to_string(lineNo) + ": " + what;
            return false;
        };
        KeyHold hold;
        size_t dash = range.find('-');
        try {
            size_t used = 0;
            hold.from = std::stoll(range.substr(0, dash), &used);
            if (used != (dash == std::string::npos ? range.size() : dash)) throw 0;
            hold.to = hold.from;
            if (dash != std::string::npos) {
                std::string to = range.substr(dash + 1);
                hold.to = std::stoll(to, &used);
                if (used != to.size()) throw 0;
            }
        } catch (...) {
            return fail("expected FROM or FROM-TO, frames counted from 1");
        }
        if (hold.from < 1 || hold.to < hold.from) return fail("expected 1 <= FROM <= TO");
        std::string name;
        while (words >> name) {
            int key = KeyByName(name);
            if (key == 0) return fail("unknown key " + name);
            hold.keys.push_back(key);
        }
        if (hold.keys.empty()) return fail("expected at least one key");
        holds.push_back(hold);
    }
    return true;
}

}  // namespace zarp::headless
