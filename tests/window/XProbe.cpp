// zarp-xprobe: looks at the X display the window tests run on.
//   zarp-xprobe box           prints "LEFT TOP RIGHT BOTTOM" (right and bottom exclusive) of the
//                             pixels of the whole screen that are not black, or "none"
//   zarp-xprobe bells SECONDS prints "bell" for each bell rung on the display during SECONDS
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};

int Box(Display* display) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    const std::unique_ptr<XImage, ImageDestroyer> image(
        XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap));
    if (!image) {
        std::fprintf(stderr, "zarp-xprobe: cannot read the screen\n");
        return 1;
    }
    int left = attributes.width, top = attributes.height, right = 0, bottom = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            if (XGetPixel(image.get(), x, y) == 0) continue;
            if (x < left) left = x;
            if (y < top) top = y;
            if (x >= right) right = x + 1;
            if (y >= bottom) bottom = y + 1;
        }
    }
    if (right == 0) {
        std::puts("none");
    } else {
        std::printf("%d %d %d %d\n", left, top, right, bottom);
    }
    return 0;
}

int Bells(Display* display, double seconds) {
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "zarp-xprobe: the display has no keyboard extension\n");
        return 1;
    }
    XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XFlush(display);
    std::fprintf(stderr, "zarp-xprobe: listening\n");
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    pollfd watch{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent next;
            XNextEvent(display, &next);
            if (next.type == event &&
                reinterpret_cast<XkbAnyEvent*>(&next)->xkb_type == XkbBellNotify) {
                std::puts("bell");
                std::fflush(stdout);
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        poll(&watch, 1, static_cast<int>(left.count()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "zarp-xprobe: cannot open the display\n");
        return 1;
    }
    if (command == "box" && argc == 2) return Box(display.get());
    if (command == "bells" && argc == 3) return Bells(display.get(), std::atof(argv[2]));
    std::fprintf(stderr, "usage: zarp-xprobe box | bells SECONDS\n");
    return 2;
}
