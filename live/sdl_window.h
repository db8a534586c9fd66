// The one place that meets SDL: a resizable window that shows a frame
// buffer scaled with its aspect kept, a text overlay on top, and the keys
// pressed in it, in names of our own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace live {

enum class Key { Other, Space, Right, Escape, Digit, Letter };

struct KeyPress {
    Key key = Key::Other;
    char character = 0;  // '0'-'9' for Digit, 'a'-'z' for Letter
};

struct WindowEvents {
    std::vector<KeyPress> keys;
    bool closed = false;
    bool redraw = false;  // shown, resized or uncovered
};

class SdlWindow {
public:
    // Null with a one-line `error` when there is no display to open it on.
    static std::unique_ptr<SdlWindow> open(const std::string& title, int32_t frameWidth, int32_t frameHeight,
                                           std::string& error);
    ~SdlWindow();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // What happened since the last call, waiting up to `waitMilliseconds`
    // for the first event.
    WindowEvents poll(int waitMilliseconds);
    // Hands a frame (0x??RRGGBB words, row 0 first, the frame's size) to
    // the frame texture; SDL copies it.
    void showFrame(const uint32_t* pixels);
    // An overlay in 0xAARRGGBB words, drawn at the window's top-left corner at
    // its own size; a zero size shows none.
    void showOverlay(const uint32_t* pixels, int32_t width, int32_t height);
    void present();
    void toggleFullscreen();
    // The window's drawable size, for laying the overlay out.
    void size(int32_t& width, int32_t& height) const;

private:
    struct Parts;
    explicit SdlWindow(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace live
