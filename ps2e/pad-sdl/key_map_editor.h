// The editing behind the PAD's key map dialog, apart from its widgets: one
// port's map is shown at a time, a control waits for the next key pressed,
// and a key belongs to one control at most. Both ports read the same
// keyboard, so a key taken by a control of one port leaves the other too.
#pragma once

#include <optional>
#include <string>

#include "ps2e/pad-sdl/pad_settings.h"

class KeyMapEditor {
public:
    explicit KeyMapEditor(const PadSettings& settings) : settings_(settings) {}

    const PadSettings& settings() const { return settings_; }

    std::size_t shownPort() const { return port_; }
    // Shows port 0 or 1 (others are ignored); a control waiting for a key
    // stops waiting.
    void showPort(std::size_t port);

    // The key of `control` on the shown port as SDL names it ("Z",
    // "Return"); empty when the control has none.
    std::string keyName(PadControl control) const;

    void awaitKey(PadControl control) { awaited_ = control; }
    std::optional<PadControl> awaitedControl() const { return awaited_; }
    void cancelWait() { awaited_.reset(); }

    // A key pressed while a control waits becomes that control's key, and
    // the wait ends. Escape (the emulator's stop key) and a key SDL does not
    // know end the wait and change nothing. True when the map changed.
    bool keyPressed(SDL_Keycode key);

    void clearKey(PadControl control);
    // The shown port's default keys; a default key held by a control of the
    // other port leaves it.
    void restoreDefaults();

private:
    void assign(std::size_t port, std::size_t control, SDL_Keycode key);

    PadSettings settings_;
    std::size_t port_ = 0;
    std::optional<PadControl> awaited_;
};
