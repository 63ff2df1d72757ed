// zarp-picgen: builds palette.dat and the six sprite sheets from assets/pictures/, and on request
// the preview pictures.
//
//   zarp-picgen --assets DIR --font FILE --sheets DIR --palette FILE
//   zarp-picgen --assets DIR --font FILE --preview DIR
//   zarp-picgen --assets DIR --font FILE --icons DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tools/assetgen/pictures/Generate.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    // Write beside the target and rename, so a reader never sees half a file.
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            *error = temp + ": cannot write";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        *error = path + ": " + ec.message();
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zarp-picgen --assets DIR --font FILE --sheets DIR --palette FILE\n"
                 "       zarp-picgen --assets DIR --font FILE --preview DIR\n"
                 "       zarp-picgen --assets DIR --font FILE --icons DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> opts;
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (key.rfind("--", 0) != 0 || i + 1 >= argc) return Usage();
        opts[key.substr(2)] = argv[++i];
    }
    if (!opts.count("assets") || !opts.count("font")) return Usage();
    std::string error;
    if (opts.count("preview")) {
        std::error_code ec;
        std::filesystem::create_directories(opts["preview"], ec);
        if (!zarp::picgen::WritePreviews(opts["assets"], opts["font"], opts["preview"], &error)) {
            std::fprintf(stderr, "zarp-picgen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (opts.count("icons")) {
        if (!zarp::picgen::WriteIcons(opts["assets"], opts["font"], opts["icons"], &error)) {
            std::fprintf(stderr, "zarp-picgen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (!opts.count("sheets") || !opts.count("palette")) return Usage();
    std::map<std::string, std::vector<uint8_t>> files;
    if (!zarp::picgen::GeneratePictures(opts["assets"], opts["font"], &files, &error)) {
        std::fprintf(stderr, "zarp-picgen: %s\n", error.c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(opts["sheets"], ec);
    for (const auto& [name, bytes] : files) {
        const std::string path =
            name == "palette.dat" ? opts["palette"] : opts["sheets"] + "/" + name;
        if (!WriteFile(path, bytes, &error)) {
            std::fprintf(stderr, "zarp-picgen: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
