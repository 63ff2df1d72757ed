#include "tools/assetgen/audio/Effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/assetgen/audio/Text.h"

namespace zarp::audiogen {

namespace {

constexpr double kPi = std::numbers::pi;
// Every effect is levelled so that its loudest 50 ms sit at this RMS level, and no
// sample goes above the ceiling.
constexpr double kTargetRmsDb = -13.0;
constexpr double kCeilingDb = -1.0;
constexpr double kMaxEffectMs = 5000;

// xorshift32: our own noise source, so the bytes never depend on the C library.
struct Noise {
    uint32_t state;
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
};

uint32_t SeedFor(const std::string& name, size_t layer) {
    uint32_t h = 2166136261u;  // FNV-1a over the name, then the layer number
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    h = (h ^ static_cast<uint32_t>(layer)) * 16777619u;
    return h == 0 ? 1 : h;
}

std::optional<Wave> WaveNamed(const std::string& word) {
    if (word == "sine") return Wave::Sine;
    if (word == "triangle") return Wave::Triangle;
    if (word == "square") return Wave::Square;
    if (word == "saw") return Wave::Saw;
    if (word == "noise") return Wave::Noise;
    return std::nullopt;
}

// Band-limited step correction for the square and saw edges.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

std::string SetLayerValue(Layer& layer, const std::string& key, const std::string& value) {
    if (key == "freq") {
        size_t arrow = value.find('>');
        auto from = ParseNumber(value.substr(0, arrow));
        auto to = arrow == std::string::npos ? from : ParseNumber(value.substr(arrow + 1));
        if (!from || !to || *from < 0 || *to < 0 || *from > 11000 || *to > 11000)
            return "freq=HZ or freq=HZ>HZ, 0 .. 11000";
        if ((*from == 0) != (*to == 0)) return "a sweep between two non-zero frequencies";
        layer.freqFrom = *from;
        layer.freqTo = *to;
        return "";
    }
    auto number = ParseNumber(value);
    if (!number || *number < 0) return "a non-negative number for " + key;
    double v = *number;
    if (key == "at")
        layer.at = v;
    else if (key == "len")
        layer.len = v;
    else if (key == "amp")
        layer.amp = v;
    else if (key == "attack")
        layer.attack = v;
    else if (key == "decay")
        layer.decay = v;
    else if (key == "release")
        layer.release = v;
    else if (key == "duty")
        layer.duty = v;
    else if (key == "q")
        layer.q = v;
    else if (key == "lowpass")
        layer.lowpass = v;
    else if (key == "vibrato")
        layer.vibratoRate = v;
    else if (key == "vibdepth")
        layer.vibratoDepth = v;
    else if (key == "tremolo")
        layer.tremoloRate = v;
    else if (key == "tremdepth")
        layer.tremoloDepth = v;
    else
        return "a known layer setting, not '" + key + "'";
    if (key == "duty" && (v <= 0 || v >= 1)) return "duty between 0 and 1";
    if (key == "tremdepth" && v > 1) return "tremdepth up to 1";
    if (key == "q" && v < 0.1) return "q of at least 0.1";
    if (key == "lowpass" && v > 11000) return "lowpass up to 11000";
    return "";
}

double Envelope(const Layer& layer, double t) {
    double level = 1.0;
    double attack = std::max(layer.attack, 2.0);  // never a hard edge
    if (t < attack) level *= 0.5 - 0.5 * std::cos(kPi * t / attack);
    if (layer.decay > 0) level *= std::exp(-t / layer.decay);
    double release = std::max(layer.release, 3.0);
    double left = layer.len - t;
    if (left < release) level *= 0.5 - 0.5 * std::cos(kPi * std::max(left, 0.0) / release);
    if (layer.tremoloRate > 0)
        level *= 1.0 - layer.tremoloDepth *
                           (0.5 - 0.5 * std::cos(2 * kPi * layer.tremoloRate * t / 1000.0));
    return level;
}

void RenderLayer(const Layer& layer, uint32_t seed, std::vector<double>& mix) {
    const double rate = kEffectRate;
    size_t first = static_cast<size_t>(layer.at * rate / 1000.0);
    size_t count = static_cast<size_t>(layer.len * rate / 1000.0);
    Noise noise{seed};
    double phase = 0;
    double ic1 = 0, ic2 = 0;  // band-pass state for noise
    double low = 0;           // one-pole low-pass state
    double lowCoef = layer.lowpass > 0 ? 1.0 - std::exp(-2 * kPi * layer.lowpass / rate) : 1.0;
    for (size_t i = 0; i < count && first + i < mix.size(); ++i) {
        double tMs = i * 1000.0 / rate;
        double progress = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
        double freq = layer.freqFrom > 0
                          ? layer.freqFrom * std::pow(layer.freqTo / layer.freqFrom, progress)
                          : 0.0;
        if (layer.vibratoRate > 0)
            freq *= std::pow(2.0, layer.vibratoDepth / 12.0 *
                                      std::sin(2 * kPi * layer.vibratoRate * tMs / 1000.0));
        double dt = std::min(freq / rate, 0.45);
        double v = 0;
        switch (layer.wave) {
            case Wave::Sine:
                v = std::sin(2 * kPi * phase);
                break;
            case Wave::Triangle:
                v = 1.0 - 4.0 * std::abs(phase - 0.5);
                break;
            case Wave::Square:
                v = (phase < layer.duty ? 1.0 : -1.0) + PolyBlep(phase, dt) -
                    PolyBlep(std::fmod(phase + 1.0 - layer.duty, 1.0), dt);
                break;
            case Wave::Saw:
                v = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
                break;
            case Wave::Noise: {
                double white = noise.Next();
                if (freq <= 0) {
                    v = white;
                    break;
                }
                // Zero-delay state-variable band-pass, stable up to the Nyquist limit.
                double g = std::tan(kPi * std::min(freq, rate * 0.45) / rate);
                double k = 1.0 / layer.q;
                double a1 = 1.0 / (1.0 + g * (g + k));
                double a2 = g * a1;
                double a3 = g * a2;
                double v3 = white - ic2;
                double v1 = a1 * ic1 + a2 * v3;
                double v2 = ic2 + a2 * ic1 + a3 * v3;
                ic1 = 2 * v1 - ic1;
                ic2 = 2 * v2 - ic2;
                v = k * v1 * 1.7;
                break;
            }
        }
        phase += dt;
        if (phase >= 1.0) phase -= 1.0;
        low += lowCoef * (v - low);
        mix[first + i] += low * layer.amp * Envelope(layer, tMs);
    }
}

}  // namespace

EffectParse ParseEffects(const std::string& text, const std::string& fileName) {
    EffectParse result;
    auto fail = [&](size_t line, const std::string& what) {
        result.effects.clear();
        result.error = fileName + ":" + std::to_string(line) + ": expected " + what;
        return result;
    };
    auto lines = Lines(text);
    for (size_t n = 0; n < lines.size(); ++n) {
        auto words = Words(lines[n]);
        if (words.empty()) continue;
        if (words[0] == "effect") {
            if (words.size() < 2) return fail(n + 1, "effect NAME.wav [gain=DB]");
            const std::string& name = words[1];
            if (name.size() < 5 || name.substr(name.size() - 4) != ".wav" ||
                name.find('/') != std::string::npos)
                return fail(n + 1, "a plain file name ending in .wav");
            for (const auto& e : result.effects)
                if (e.name == name) return fail(n + 1, "a name not used before: " + name);
            EffectRecipe recipe;
            recipe.name = name;
            recipe.line = n + 1;
            for (size_t w = 2; w < words.size(); ++w) {
                auto [key, value] = KeyValue(words[w]);
                auto gain = ParseNumber(value);
                if (key != "gain" || !gain || *gain < -40 || *gain > 12)
                    return fail(n + 1, "gain=DB between -40 and 12");
                recipe.gainDb = *gain;
            }
            result.effects.push_back(recipe);
            continue;
        }
        auto wave = WaveNamed(words[0]);
        if (!wave) return fail(n + 1, "'effect' or a layer (sine, triangle, square, saw, noise)");
        if (result.effects.empty()) return fail(n + 1, "an 'effect' line before its layers");
        Layer layer;
        layer.wave = *wave;
        bool pitched = false;
        if (*wave == Wave::Noise) layer.freqFrom = layer.freqTo = 0;
        for (size_t w = 1; w < words.size(); ++w) {
            auto [key, value] = KeyValue(words[w]);
            pitched = pitched || key == "freq";
            std::string problem = SetLayerValue(layer, key, value);
            if (!problem.empty()) return fail(n + 1, problem);
        }
        if (layer.len <= 0 || layer.at + layer.len > kMaxEffectMs)
            return fail(n + 1, "a layer inside the first 5000 ms with a length above 0");
        if (*wave != Wave::Noise && (!pitched || layer.freqFrom <= 0))
            return fail(n + 1, "freq= for a tone");
        result.effects.back().layers.push_back(layer);
    }
    for (const auto& e : result.effects)
        if (e.layers.empty()) return fail(e.line, "layers for " + e.name);
    return result;
}

std::vector<int16_t> RenderEffect(const EffectRecipe& recipe) {
    double lengthMs = 0;
    for (const auto& layer : recipe.layers)
        lengthMs = std::max(lengthMs, layer.at + layer.len);
    std::vector<double> mix(static_cast<size_t>(lengthMs * kEffectRate / 1000.0) + 1, 0.0);
    for (size_t i = 0; i < recipe.layers.size(); ++i)
        RenderLayer(recipe.layers[i], SeedFor(recipe.name, i), mix);

    // Level: the loudest 50 ms window to the common RMS, then keep the peaks under the ceiling.
    size_t window = kEffectRate / 20;
    double loudest = 0, sum = 0, peak = 0;
    for (size_t i = 0; i < mix.size(); ++i) {
        sum += mix[i] * mix[i];
        if (i >= window) sum -= mix[i - window] * mix[i - window];
        loudest = std::max(loudest, sum / static_cast<double>(std::min(i + 1, window)));
        peak = std::max(peak, std::abs(mix[i]));
    }
    double scale = 0;
    if (loudest > 0) {
        scale = std::pow(10.0, (kTargetRmsDb + recipe.gainDb) / 20.0) / std::sqrt(loudest);
        scale = std::min(scale, std::pow(10.0, kCeilingDb / 20.0) / peak);
    }
    std::vector<int16_t> samples(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) {
        double v = std::clamp(mix[i] * scale, -1.0, 1.0) * 32767.0;
        samples[i] = static_cast<int16_t>(std::lround(v));
    }
    return samples;
}

std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples, int rate) {
    std::vector<uint8_t> out;
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    PutTag(out, "RIFF");
    PutLe32(out, 4 + (8 + 18) + (8 + dataBytes));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe32(out, 18);
    PutLe16(out, 1);  // PCM
    PutLe16(out, 1);  // mono
    PutLe32(out, static_cast<uint32_t>(rate));
    PutLe32(out, static_cast<uint32_t>(rate) * 2);
    PutLe16(out, 2);   // block alignment
    PutLe16(out, 16);  // bits per sample
    PutLe16(out, 0);   // no extra format bytes
    PutTag(out, "data");
    PutLe32(out, dataBytes);
    for (int16_t s : samples)
        PutLe16(out, static_cast<uint16_t>(s));
    return out;
}

Levels MeasureLevels(const std::vector<int16_t>& samples, int rate) {
    Levels levels;
    size_t window = static_cast<size_t>(std::max(rate / 20, 1));
    double peak = 0, sum = 0, loudest = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        double v = samples[i] / 32768.0;
        peak = std::max(peak, std::abs(v));
        sum += v * v;
        if (i >= window) {
            double old = samples[i - window] / 32768.0;
            sum -= old * old;
        }
        loudest = std::max(loudest, sum / static_cast<double>(std::min(i + 1, window)));
    }
    if (peak > 0) levels.peakDb = 20 * std::log10(peak);
    if (loudest > 0) levels.rmsDb = 10 * std::log10(loudest);
    return levels;
}

}  // namespace zarp::audiogen
