#include "ps2e/gs-soft/presentation_window.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kBaseWidth = 640;
constexpr int kBaseHeight = 480;

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

void pushEscape(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = SDLK_ESCAPE;
    event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&event);
}

}  // namespace

PictureRect fitFourByThree(int windowWidth, int windowHeight) {
    if (windowWidth <= 0 || windowHeight <= 0) return {};
    PictureRect rect;
    // The wider of the two: bars left and right; the taller: above and below.
    if (int64_t{windowWidth} * 3 > int64_t{windowHeight} * 4) {
        rect.height = windowHeight;
        rect.width = static_cast<int>(int64_t{windowHeight} * 4 / 3);
    } else {
        rect.width = windowWidth;
        rect.height = static_cast<int>(int64_t{windowWidth} * 3 / 4);
    }
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}

bool PresentationWindow::displayAvailable() { return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"); }

bool PresentationWindow::open(const std::string& title, const GsSettings& settings) {
    close();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "gs-soft: no window, SDL's video does not start (%s); drawing without one\n", SDL_GetError());
        return false;
    }
    startedVideo_ = true;
    smoothScaling_ = settings.smoothScaling;
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kBaseWidth * settings.scale,
                               kBaseHeight * settings.scale, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_ != nullptr) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) {
        std::fprintf(stderr, "gs-soft: no window (%s); drawing without one\n", SDL_GetError());
        close();
        return false;
    }
    return true;
}

void PresentationWindow::close() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
    if (startedVideo_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    startedVideo_ = false;
}

uint32_t PresentationWindow::windowId() const { return window_ != nullptr ? SDL_GetWindowID(window_) : 0; }

void PresentationWindow::toggleFullscreen() {
    const bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(window_, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool PresentationWindow::handleEvents() {
    bool redraw = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_QUIT:
            pushEscape(SDL_KEYDOWN);
            pushEscape(SDL_KEYUP);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId()) break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                pushEscape(SDL_KEYDOWN);
                pushEscape(SDL_KEYUP);
            }
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                redraw = true;
            }
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0 && event.key.repeat == 0) {
                toggleFullscreen();
                redraw = true;
            }
            break;
        default:
            break;
        }
    }
    return redraw;
}

void PresentationWindow::present(const DisplayedPicture& picture) {
    if (renderer_ == nullptr || picture.width <= 0 || picture.height <= 0) return;
    if (texture_ == nullptr || textureWidth_ != picture.width || textureHeight_ != picture.height) {
        if (texture_ != nullptr) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STREAMING, picture.width,
                                     picture.height);
        if (texture_ == nullptr) return;
        SDL_SetTextureScaleMode(texture_, smoothScaling_ ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        textureWidth_ = picture.width;
        textureHeight_ = picture.height;
    }
    SDL_UpdateTexture(texture_, nullptr, picture.pixels.data(), picture.width * 4);
    presentAgain();
}

void PresentationWindow::presentAgain() {
    if (renderer_ == nullptr) return;
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (texture_ != nullptr) {
        const PictureRect fit = fitFourByThree(width, height);
        const SDL_Rect target{fit.x, fit.y, fit.width, fit.height};
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    }
    SDL_RenderPresent(renderer_);
}
