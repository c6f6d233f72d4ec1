// One controller port's side of the pad protocol. The host opens an
// exchange with PADstartPoll (the console's 0x01 address byte), then sends
// one byte at a time with PADpoll: the command, a byte that the pad answers
// with 0x5A, then one byte per data byte. The pad's first answer is its id,
// whose low nibble counts the data halfwords:
//
//   0x41  digital: two button bytes, active low
//   0x73  analog: the button bytes, then right X, right Y, left X, left Y
//   0xF3  configuration mode: six bytes answering the command
//
// Command 0x42 reads the buttons. 0x43 with data byte 1 enters
// configuration mode (answering as 0x42 does) and with 0 leaves it; in
// configuration mode 0x44 sets digital (0) or analog (1) mode, its second
// data byte 3 locking that mode against the pad's ANALOG button, and 0x45,
// 0x46, 0x47 and 0x4C answer what a DualShock 2 answers. Outside
// configuration mode every other command reads the buttons as 0x42 does.
//
// Pressing the ANALOG button switches between digital and analog mode
// unless the guest locked the mode; holding it switches once.
#pragma once

#include <array>
#include <cstdint>

// Button bits of the pad's button halfword: the first data byte holds bits
// 0-7, the second bits 8-15. A bit is 0 on the wire while its button is
// held.
enum PadButton : uint16_t {
    kPadSelect = 1 << 0,
    kPadL3 = 1 << 1,
    kPadR3 = 1 << 2,
    kPadStart = 1 << 3,
    kPadUp = 1 << 4,
    kPadRight = 1 << 5,
    kPadDown = 1 << 6,
    kPadLeft = 1 << 7,
    kPadL2 = 1 << 8,
    kPadR2 = 1 << 9,
    kPadL1 = 1 << 10,
    kPadR1 = 1 << 11,
    kPadTriangle = 1 << 12,
    kPadCircle = 1 << 13,
    kPadCross = 1 << 14,
    kPadSquare = 1 << 15,
};

inline constexpr uint8_t kStickCentre = 0x80;

// What the player holds: buttons as PadButton bits set while held, sticks
// from 0x00 (left, up) to 0xFF (right, down).
struct PadInput {
    uint16_t buttonsHeld = 0;
    bool analogButtonHeld = false;
    uint8_t rightX = kStickCentre;
    uint8_t rightY = kStickCentre;
    uint8_t leftX = kStickCentre;
    uint8_t leftY = kStickCentre;
};

inline constexpr uint8_t kDigitalPadId = 0x41;
inline constexpr uint8_t kAnalogPadId = 0x73;
inline constexpr uint8_t kConfigPadId = 0xF3;
inline constexpr uint8_t kDataFollows = 0x5A;

class PadProtocol {
public:
    // Back to a digital, unlocked pad outside configuration mode, as after
    // power-on.
    void reset();

    // Starts an exchange; the data it answers are taken from `input`. A
    // press of the ANALOG button since the last exchange switches the mode
    // first, unless it is locked.
    void startPoll(const PadInput& input);
    uint8_t poll(uint8_t sent);

    bool analog() const { return analog_; }
    bool inConfigMode() const { return configMode_; }
    bool modeLocked() const { return modeLocked_; }
    // The mode a saved state brings back; the exchange starts afresh.
    void restoreMode(bool analog, bool configMode, bool modeLocked) {
        reset();
        analog_ = analog;
        configMode_ = configMode;
        modeLocked_ = modeLocked;
    }

private:
    uint8_t id() const;
    // Fills the answer's data bytes once the command's first data byte is known.
    void prepareAnswer(uint8_t firstArgument);
    void applyArgument(unsigned index, uint8_t argument);

    bool analog_ = false;
    bool configMode_ = false;
    bool modeLocked_ = false;

    PadInput input_;
    unsigned position_ = 0;  // bytes exchanged since startPoll
    uint8_t command_ = 0;
    bool commandInConfigMode_ = false;
    std::array<uint8_t, 6> answer_{};
    unsigned answerLength_ = 0;
};
