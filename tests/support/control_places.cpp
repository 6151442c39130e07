// Prints where a user clicks each control of the main window, from the window's own description:
// "NAME X Y" with the centre of its place in pixels at 96 dots per inch, then "Form1 WIDTH HEIGHT"
// for the client area. The end-to-end journeys read it, so that no position is copied by hand.
#include <cstdio>

#include "window/form_description.hpp"

int main() {
    constexpr int Dpi = 96;
    const qmz::FormDescription& form = qmz::MainForm();
    for (const qmz::ControlDescription& control : form.controls) {
        std::printf("%.*s %d %d\n", static_cast<int>(control.name.size()), control.name.data(),
                    qmz::TwipsToPixels(control.place.left + control.place.width / 2, Dpi),
                    qmz::TwipsToPixels(control.place.top + control.place.height / 2, Dpi));
    }
    std::printf("%.*s %d %d\n", static_cast<int>(form.name.size()), form.name.data(),
                qmz::TwipsToPixels(form.clientWidth, Dpi), qmz::TwipsToPixels(form.clientHeight, Dpi));
}
