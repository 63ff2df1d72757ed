// Converts a changing 8-bit picture through a palette and presents it at 62.5 Hz for the
// given number of seconds, as cheaply as SDL allows: the floor zarp is compared with.
#include <SDL.h>
#include <time.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          640, 480, SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    SDL_RenderSetLogicalSize(renderer, 640, 480);
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, 640, 480);
    std::array<uint32_t, 256> colours{};
    for (int i = 0; i < 256; ++i)
        colours[i] = 0xFF000000u | (i << 16) | ((255 - i) << 8) | (i / 2);
    std::vector<uint8_t> pixels(640 * 480);
    int frames = static_cast<int>(seconds * 62.5);
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (int f = 0; f < frames; ++f) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint8_t>(i + f);
        void* target = nullptr;
        int pitch = 0;
        SDL_LockTexture(texture, nullptr, &target, &pitch);
        for (int y = 0; y < 480; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target) + y * pitch);
            for (int x = 0; x < 640; ++x)
                row[x] = colours[pixels[y * 640 + x]];
        }
        SDL_UnlockTexture(texture);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        next.tv_nsec += 16000000;
        if (next.tv_nsec >= 1000000000) {
            next.tv_nsec -= 1000000000;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
    SDL_Quit();
    return 0;
}
