// Sound effects from text recipes: each effect is a few layers (oscillators or filtered
// noise, each with its own pitch sweep and envelope) mixed, levelled and written as a WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarp::audiogen {

inline constexpr int kEffectRate = 22050;

enum class Wave { Sine, Triangle, Square, Saw, Noise };

// One sounding part of an effect. Times in milliseconds, frequencies in Hz.
struct Layer {
    Wave wave = Wave::Sine;
    double at = 0;            // start within the effect
    double len = 100;         // length of the layer
    double freqFrom = 440;    // pitch (or band centre for noise; 0 leaves noise white)
    double freqTo = 440;      // pitch at the end; the sweep is exponential
    double amp = 0.5;         // relative level inside the effect
    double attack = 2;        // rise time
    double decay = 0;         // exponential decay time constant; 0 holds the level
    double release = 10;      // fade to silence at the end of the layer
    double duty = 0.5;        // pulse width of the square
    double q = 1;             // band width of filtered noise (higher is narrower)
    double lowpass = 0;       // one-pole low-pass corner; 0 leaves the layer open
    double vibratoRate = 0;   // Hz
    double vibratoDepth = 0;  // semitones
    double tremoloRate = 0;   // Hz
    double tremoloDepth = 0;  // 0 .. 1
};

struct EffectRecipe {
    std::string name;   // output file name, e.g. "coin1.wav"
    double gainDb = 0;  // loudness relative to the common level
    size_t line = 0;    // where the recipe starts in its source
    std::vector<Layer> layers;
};

struct EffectParse {
    std::vector<EffectRecipe> effects;
    std::string error;  // "file:line: what was expected"; empty on success
};

EffectParse ParseEffects(const std::string& text, const std::string& fileName);

// Mono samples at kEffectRate, levelled to the common loudness, silent at both ends.
std::vector<int16_t> RenderEffect(const EffectRecipe& recipe);

// A RIFF WAVE file: "fmt " first (18 bytes, PCM), then "data".
std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples, int rate);

struct Levels {
    double peakDb = -200;
    double rmsDb = -200;  // loudest 50 ms window
};
Levels MeasureLevels(const std::vector<int16_t>& samples, int rate);

}  // namespace zarp::audiogen
