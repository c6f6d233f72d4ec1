// The PAD plugin shipped with Corvane. One library serves both ports: the
// host loads it into its PAD1 and PAD2 slots, so every entry point is
// called once per port (PADinit with 1 and 2, PADopen and PADclose twice)
// and PADstartPoll says which port an exchange is for. Input comes from the
// keyboard through SDL, as pad_input.h describes, and from SDL game
// controllers; key events go to the host as virtual-key codes.
#include <SDL2/SDL_error.h>

#include <array>
#include <cstdio>
#include <optional>

#include "ps2e/pad-sdl/key_map_dialog.h"
#include "ps2e/pad-sdl/pad_input.h"
#include "ps2e/pad-sdl/pad_protocol.h"
#include "ps2e/pad-sdl/pad_settings.h"
#include "ps2e/ps2e.h"
#include "ps2e/support/plugin_dialogs.h"
#include "ps2e/support/settings_file.h"

namespace {

constexpr uint8_t kNoPadAnswer = 0xFF;

std::array<PadProtocol, kPadPortCount> ports;
PadSettings settings = defaultPadSettings();
unsigned initialisedPorts = 0;
unsigned openPorts = 0;
// The port of the exchange in progress; none after a start with a port
// number other than 1 or 2.
std::optional<std::size_t> polledPort;
keyEvent reportedEvent;

std::string settingsPath() { return pluginSettingsPath(kPadSettingsFile); }

}  // namespace

uint32_t PS2EgetLibType(void) { return PS2E_LT_PAD; }
const char* PS2EgetLibName(void) { return "Corvane SDL PAD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t PADinit(uint32_t port) {
    if (port == 1 || port == 2) ports[port - 1].reset();
    if (initialisedPorts++ == 0 && !padinput::start()) {
        std::fprintf(stderr, "pad-sdl: SDL's events do not start (%s); the pads answer with nothing held\n", SDL_GetError());
    }
    return 0;
}

void PADshutdown(void) {
    if (initialisedPorts == 0) return;
    if (--initialisedPorts == 0) padinput::stop();
}

int32_t PADopen(uint32_t* displayHandle) {
    (void)displayHandle;
    if (openPorts++ == 0) settings = readPadSettings(settingsPath());
    return 0;
}

void PADclose(void) {
    if (openPorts > 0) --openPorts;
}

keyEvent* PADkeyEvent(void) {
    padinput::refresh();
    const std::optional<keyEvent> event = padinput::nextKeyEvent();
    if (!event) return nullptr;
    reportedEvent = *event;
    return &reportedEvent;
}

uint8_t PADstartPoll(int32_t port) {
    polledPort.reset();
    if (port != 1 && port != 2) return kNoPadAnswer;
    const std::size_t index = static_cast<std::size_t>(port - 1);
    padinput::refresh();
    ports[index].startPoll(padinput::inputOfPort(index, settings.keys[index]));
    polledPort = index;
    return kNoPadAnswer;
}

uint8_t PADpoll(uint8_t value) { return polledPort ? ports[*polledPort].poll(value) : kNoPadAnswer; }

uint32_t PADquery(void) { return 3; /* both ports */ }

// The key map dialog edits the settings file; open pads take the new map at
// once, closed ones read it when they open.
void PADconfigure(void) {
    runPluginDialog("pad-sdl", [] {
        const std::string path = settingsPath();
        if (!editPadKeyMap(path)) {
            std::fprintf(stderr, "pad-sdl: cannot write the settings file '%s'\n", path.c_str());
            return;
        }
        settings = readPadSettings(path);
    });
}

void PADabout(void) {
    std::fprintf(stderr, "%s %d.%d: keyboard and SDL game controllers on both ports\n", PS2EgetLibName(),
                 PS2EgetLibVersion() >> 8 & 0xFF, PS2EgetLibVersion() & 0xFF);
}

int32_t PADtest(void) { return 0; }

// The state is each port's mode, three bytes a port: analog, configuration
// mode, mode locked. Both slots hold this one library, so either saves both
// ports.
int32_t PADfreeze(int32_t mode, freezeData* data) {
    constexpr std::size_t kBytesPerPort = 3;
    constexpr int32_t kBytes = static_cast<int32_t>(kBytesPerPort * kPadPortCount);
    if (data == nullptr) return -1;
    if (mode == FREEZE_SIZE) {
        data->size = kBytes;
        return 0;
    }
    if ((mode != FREEZE_SAVE && mode != FREEZE_LOAD) || data->data == nullptr || data->size != kBytes) return -1;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(data->data);
    if (mode == FREEZE_SAVE) {
        for (std::size_t port = 0; port < kPadPortCount; ++port) {
            uint8_t* portBytes = bytes + kBytesPerPort * port;
            portBytes[0] = ports[port].analog() ? 1 : 0;
            portBytes[1] = ports[port].inConfigMode() ? 1 : 0;
            portBytes[2] = ports[port].modeLocked() ? 1 : 0;
        }
        return 0;
    }
    for (int32_t i = 0; i < kBytes; ++i) {
        if (bytes[i] > 1) return -1;
    }
    for (std::size_t port = 0; port < kPadPortCount; ++port) {
        const uint8_t* portBytes = bytes + kBytesPerPort * port;
        ports[port].restoreMode(portBytes[0] == 1, portBytes[1] == 1, portBytes[2] == 1);
    }
    return 0;
}
