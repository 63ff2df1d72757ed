// zarp_audiogen: writes the effect WAVs and the MIDI pieces from their text sources.
//   zarp_audiogen --out DIR [--effects FILE]... [--music FILE]... [--levels]
// Each effects file gives many WAVs; each music file NAME.txt gives NAME.mid.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/assetgen/audio/Effects.h"
#include "tools/assetgen/audio/Score.h"

namespace {

using zarp::audiogen::EffectParse;
using zarp::audiogen::ScoreParse;

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return static_cast<bool>(in) || in.eof();
}

// Written beside the target and renamed over it, so a failed run never leaves half a file.
bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

int Usage() {
    std::cerr
        << "usage: zarp_audiogen --out DIR [--effects FILE]... [--music FILE]... [--levels]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir;
    std::vector<std::string> effectFiles, musicFiles;
    bool levels = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--levels") {
            levels = true;
        } else if (i + 1 < argc && arg == "--out") {
            outDir = argv[++i];
        } else if (i + 1 < argc && arg == "--effects") {
            effectFiles.push_back(argv[++i]);
        } else if (i + 1 < argc && arg == "--music") {
            musicFiles.push_back(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (outDir.empty()) return Usage();
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);

    for (const auto& file : effectFiles) {
        std::string text;
        if (!ReadFile(file, text)) {
            std::cerr << file << ": cannot read\n";
            return 1;
        }
        EffectParse parse = zarp::audiogen::ParseEffects(text, file);
        if (!parse.error.empty()) {
            std::cerr << parse.error << "\n";
            return 1;
        }
        for (const auto& recipe : parse.effects) {
            auto samples = zarp::audiogen::RenderEffect(recipe);
            if (levels) {
                auto l = zarp::audiogen::MeasureLevels(samples, zarp::audiogen::kEffectRate);
                std::printf(
                    "%-12s %6.0f ms  peak %6.1f dBFS  rms(50ms) %6.1f dBFS\n", recipe.name.c_str(),
                    samples.size() * 1000.0 / zarp::audiogen::kEffectRate, l.peakDb, l.rmsDb);
            }
            auto path = std::filesystem::path(outDir) / recipe.name;
            if (!WriteFile(path, zarp::audiogen::WavBytes(samples, zarp::audiogen::kEffectRate))) {
                std::cerr << path.string() << ": cannot write\n";
                return 1;
            }
        }
    }
    for (const auto& file : musicFiles) {
        std::string text;
        if (!ReadFile(file, text)) {
            std::cerr << file << ": cannot read\n";
            return 1;
        }
        ScoreParse parse = zarp::audiogen::ParseScore(text, file);
        if (!parse.error.empty()) {
            std::cerr << parse.error << "\n";
            return 1;
        }
        const auto& score = parse.score;
        if (levels) {
            // Seconds of the piece from its tempo map.
            double seconds = 0;
            for (size_t t = 0; t < score.tempos.size(); ++t) {
                uint32_t until =
                    t + 1 < score.tempos.size() ? score.tempos[t + 1].tick : score.length;
                seconds += (until - score.tempos[t].tick) * 60.0 /
                           (score.tempos[t].bpm * zarp::audiogen::kTicksPerQuarter);
            }
            std::printf("%-12s %3u bars  %5.1f s  %zu tracks\n",
                        std::filesystem::path(file).stem().c_str(), score.length / score.BarTicks(),
                        seconds, score.tracks.size());
        }
        auto path = std::filesystem::path(outDir) / std::filesystem::path(file).stem();
        path += ".mid";
        if (!WriteFile(path, zarp::audiogen::MidiBytes(score))) {
            std::cerr << path.string() << ": cannot write\n";
            return 1;
        }
    }
    return 0;
}
