// The SDL window that shows the displayed picture: the picture keeps a 4:3
// shape, scaled to the largest size the window holds and centred on black;
// the window can be resized, and Alt+Enter toggles fullscreen.
#pragma once

#include <cstdint>
#include <string>

#include "ps2e/gs-soft/picture.h"
#include "ps2e/gs-soft/settings.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

// Where a picture of 4:3 shape goes in a window of the given size.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PictureRect&) const = default;
};
PictureRect fitFourByThree(int windowWidth, int windowHeight);

class PresentationWindow {
public:
    // No display (neither DISPLAY nor WAYLAND_DISPLAY set): no window, and
    // SDL's video is left alone.
    static bool displayAvailable();

    // Opens the window; false, after saying why on standard error, when
    // SDL's video or the window cannot start.
    bool open(const std::string& title, const GsSettings& settings);
    void close();
    bool isOpen() const { return window_ != nullptr; }
    uint32_t windowId() const;

    // Reads SDL's queued events: window changes, Alt+Enter, and the close
    // button, which is answered with an Escape key press so that the host
    // stops the run as it does for Escape. True when the window must be
    // drawn again.
    bool handleEvents();
    void present(const DisplayedPicture& picture);
    // Draws the last picture again (after a resize or an expose).
    void presentAgain();

private:
    void toggleFullscreen();

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    bool smoothScaling_ = true;
    bool startedVideo_ = false;
};
