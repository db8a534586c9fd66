#include "live/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

namespace live {

namespace {

struct DestroyWindow {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct DestroyRenderer {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct DestroyTexture {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};

// Video is started once per window and stopped with it.
struct VideoSystem {
    bool started = false;
    ~VideoSystem() {
        if (started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

// The largest rectangle of the frame's aspect that fits the window, centred.
SDL_Rect fitted(int32_t frameWidth, int32_t frameHeight, int32_t windowWidth, int32_t windowHeight) {
    SDL_Rect rect{0, 0, windowWidth, windowHeight};
    const int64_t wide = static_cast<int64_t>(windowWidth) * frameHeight;
    const int64_t tall = static_cast<int64_t>(windowHeight) * frameWidth;
    if (wide > tall) {
        rect.w = static_cast<int>(tall / frameHeight);
        rect.x = (windowWidth - rect.w) / 2;
    } else {
        rect.h = static_cast<int>(wide / frameWidth);
        rect.y = (windowHeight - rect.h) / 2;
    }
    return rect;
}

KeyPress translate(SDL_Keycode code) {
    KeyPress press;
    if (code == SDLK_SPACE) press.key = Key::Space;
    if (code == SDLK_RIGHT) press.key = Key::Right;
    if (code == SDLK_ESCAPE) press.key = Key::Escape;
    if (code >= SDLK_0 && code <= SDLK_9) {
        press.key = Key::Digit;
        press.character = static_cast<char>('0' + (code - SDLK_0));
    }
    if (code >= SDLK_a && code <= SDLK_z) {
        press.key = Key::Letter;
        press.character = static_cast<char>('a' + (code - SDLK_a));
    }
    return press;
}

}  // namespace

struct SdlWindow::Parts {
    VideoSystem video;
    std::unique_ptr<SDL_Window, DestroyWindow> window;
    std::unique_ptr<SDL_Renderer, DestroyRenderer> renderer;
    std::unique_ptr<SDL_Texture, DestroyTexture> frame;
    std::unique_ptr<SDL_Texture, DestroyTexture> overlay;
    int32_t frameWidth = 0, frameHeight = 0;
    int32_t overlayWidth = 0, overlayHeight = 0;
    bool showOverlay = false;
};

SdlWindow::SdlWindow(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
SdlWindow::~SdlWindow() = default;

std::unique_ptr<SdlWindow> SdlWindow::open(const std::string& title, int32_t frameWidth, int32_t frameHeight,
                                           std::string& error) {
    auto parts = std::make_unique<Parts>();
    // Without a display SDL may settle on a driver that shows nothing.
    const auto given = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!given("SDL_VIDEODRIVER") && !given("DISPLAY") && !given("WAYLAND_DISPLAY")) {
        error = "no display to open a window on (DISPLAY is not set and there is no Wayland display)";
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("no display to open a window on (") + SDL_GetError() + ")";
        return nullptr;
    }
    parts->video.started = true;
    // The frame's own size, unless the screen is smaller.
    int32_t width = frameWidth, height = frameHeight;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        const SDL_Rect fit = fitted(frameWidth, frameHeight, std::min(frameWidth, mode.w * 9 / 10),
                                    std::min(frameHeight, mode.h * 9 / 10));
        width = std::max(fit.w, 1);
        height = std::max(fit.h, 1);
    }
    parts->window.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                         SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI));
    if (!parts->window) {
        error = std::string("cannot open a window (") + SDL_GetError() + ")";
        return nullptr;
    }
    // The window follows the frames, not the screen's refresh.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    parts->renderer.reset(SDL_CreateRenderer(parts->window.get(), -1, 0));
    if (!parts->renderer) {
        error = std::string("cannot draw in the window (") + SDL_GetError() + ")";
        return nullptr;
    }
    // 0x??RRGGBB words: the frame buffer's own layout, fourth byte ignored.
    parts->frame.reset(SDL_CreateTexture(parts->renderer.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                         frameWidth, frameHeight));
    if (!parts->frame) {
        error = std::string("cannot make a ") + std::to_string(frameWidth) + "x" + std::to_string(frameHeight) +
                " texture (" + SDL_GetError() + ")";
        return nullptr;
    }
    parts->frameWidth = frameWidth;
    parts->frameHeight = frameHeight;
    return std::unique_ptr<SdlWindow>(new SdlWindow(std::move(parts)));
}

WindowEvents SdlWindow::poll(int waitMilliseconds) {
    WindowEvents events;
    SDL_Event event;
    bool waited = false;
    while (waited ? SDL_PollEvent(&event) != 0 : SDL_WaitEventTimeout(&event, waitMilliseconds) != 0) {
        waited = true;
        if (event.type == SDL_QUIT) events.closed = true;
        if (event.type == SDL_WINDOWEVENT) events.redraw = true;
        if (event.type == SDL_KEYDOWN) events.keys.push_back(translate(event.key.keysym.sym));
    }
    return events;
}

void SdlWindow::showFrame(const uint32_t* pixels) {
    SDL_UpdateTexture(parts_->frame.get(), nullptr, pixels, parts_->frameWidth * 4);
}

void SdlWindow::showOverlay(const uint32_t* pixels, int32_t width, int32_t height) {
    parts_->showOverlay = width > 0 && height > 0;
    if (!parts_->showOverlay) return;
    if (!parts_->overlay || width != parts_->overlayWidth || height != parts_->overlayHeight) {
        parts_->overlay.reset(SDL_CreateTexture(parts_->renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                                SDL_TEXTUREACCESS_STREAMING, width, height));
        if (!parts_->overlay) {
            parts_->showOverlay = false;
            return;
        }
        SDL_SetTextureBlendMode(parts_->overlay.get(), SDL_BLENDMODE_BLEND);
        parts_->overlayWidth = width;
        parts_->overlayHeight = height;
    }
    SDL_UpdateTexture(parts_->overlay.get(), nullptr, pixels, width * 4);
}

void SdlWindow::present() {
    SDL_Renderer* renderer = parts_->renderer.get();
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer, &width, &height);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    const SDL_Rect where = fitted(parts_->frameWidth, parts_->frameHeight, width, height);
    SDL_RenderCopy(renderer, parts_->frame.get(), nullptr, &where);
    if (parts_->showOverlay) {
        const SDL_Rect corner{0, 0, parts_->overlayWidth, parts_->overlayHeight};
        SDL_RenderCopy(renderer, parts_->overlay.get(), nullptr, &corner);
    }
    SDL_RenderPresent(renderer);
}

void SdlWindow::toggleFullscreen() {
    const bool full = (SDL_GetWindowFlags(parts_->window.get()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(parts_->window.get(), full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void SdlWindow::size(int32_t& width, int32_t& height) const {
    SDL_GetRendererOutputSize(parts_->renderer.get(), &width, &height);
}

}  // namespace live
