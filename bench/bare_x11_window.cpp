// The machine's floor for the start-up benchmark: a window of QMZ's size drawn with plain Xlib,
// with a grey face, a white box and three framed buttons, and no toolkit at all.
#include <X11/Xlib.h>

#include <cstring>

namespace {

constexpr int Width = 233;
constexpr int Height = 87;

void Draw(Display* display, ::Window window, GC gc) {
    const int screen = DefaultScreen(display);
    XSetForeground(display, gc, 0xF0F0F0);
    XFillRectangle(display, window, gc, 0, 0, Width, Height);
    XSetForeground(display, gc, WhitePixel(display, screen));
    XFillRectangle(display, window, gc, 8, 40, 217, 19);
    XSetForeground(display, gc, BlackPixel(display, screen));
    XDrawRectangle(display, window, gc, 8, 40, 216, 18);
    XDrawRectangle(display, window, gc, 104, 64, 56, 16);
    XDrawRectangle(display, window, gc, 168, 64, 60, 16);
    const auto text = [&](int x, int y, const char* caption) {
        XDrawString(display, window, gc, x, y, caption, static_cast<int>(std::strlen(caption)));
    };
    text(8, 30, "VBOX");
    text(128, 12, "Still ownin' ya");
    text(1, 78, "Hi to the crew!");
    text(108, 77, "Get Link");
    text(172, 77, "Download");
    XFlush(display);
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 1;
    }
    const ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, Width, Height, 0, 0, 0);
    // No background for the server to fill: the first pixels are the program's own, as with Qt.
    XSetWindowBackgroundPixmap(display, window, None);
    XStoreName(display, window, "QMZ");
    XSelectInput(display, window, ExposureMask);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            Draw(display, window, gc);
        }
    }
}
