#include "ps2e/pad-sdl/pad_protocol.h"

namespace {

constexpr uint8_t kReadData = 0x42;
constexpr uint8_t kConfigMode = 0x43;
constexpr uint8_t kSetMode = 0x44;
constexpr uint8_t kQueryModel = 0x45;
constexpr uint8_t kQueryActuator = 0x46;
constexpr uint8_t kQueryCombination = 0x47;
constexpr uint8_t kQueryMode = 0x4C;
constexpr uint8_t kSetActuatorMapping = 0x4D;

// Bytes after the id and the 0x5A: the longest exchange the protocol has.
constexpr unsigned kLastPosition = 2 + 6;
// The second data byte of 0x44 that locks the mode.
constexpr uint8_t kLockMode = 0x03;
// What the pad answers once its data are spent.
constexpr uint8_t kLineIdle = 0xFF;

using Answer = std::array<uint8_t, 6>;

// The configuration-mode answers of a DualShock 2 to its queries; the first
// data byte the guest sends chooses among the two rows of 0x46 and 0x4C.
Answer queryAnswer(uint8_t command, uint8_t firstArgument, bool analog) {
    switch (command) {
    case kQueryModel:
        return {0x03, 0x02, static_cast<uint8_t>(analog ? 1 : 0), 0x02, 0x01, 0x00};
    case kQueryActuator:
        if (firstArgument == 0) return {0x00, 0x00, 0x01, 0x02, 0x00, 0x0A};
        if (firstArgument == 1) return {0x00, 0x00, 0x01, 0x01, 0x01, 0x14};
        return {};
    case kQueryCombination:
        return {0x00, 0x00, 0x02, 0x00, 0x01, 0x00};
    case kQueryMode:
        if (firstArgument == 0) return {0x00, 0x00, 0x00, 0x04, 0x00, 0x00};
        if (firstArgument == 1) return {0x00, 0x00, 0x00, 0x07, 0x00, 0x00};
        return {};
    case kSetActuatorMapping:
        return {0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF};
    default:
        return {};
    }
}

}  // namespace

void PadProtocol::reset() {
    analog_ = false;
    configMode_ = false;
    modeLocked_ = false;
    position_ = 0;
    input_ = PadInput{};
}

void PadProtocol::startPoll(const PadInput& input) {
    if (input.analogButtonHeld && !input_.analogButtonHeld && !modeLocked_) analog_ = !analog_;
    input_ = input;
    position_ = 0;
    answerLength_ = 0;
}

uint8_t PadProtocol::id() const {
    if (configMode_) return kConfigPadId;
    return analog_ ? kAnalogPadId : kDigitalPadId;
}

uint8_t PadProtocol::poll(uint8_t sent) {
    const unsigned position = position_;
    if (position_ <= kLastPosition) ++position_;
    if (position == 0) {
        command_ = sent;
        commandInConfigMode_ = configMode_;
        answerLength_ = 0;
        return id();
    }
    if (position == 1) return kDataFollows;
    if (position > kLastPosition) return kLineIdle;
    const unsigned index = position - 2;
    if (index == 0) prepareAnswer(sent);
    const uint8_t answer = index < answerLength_ ? answer_[index] : kLineIdle;
    applyArgument(index, sent);
    return answer;
}

void PadProtocol::prepareAnswer(uint8_t firstArgument) {
    const bool readsButtons = commandInConfigMode_ ? command_ == kReadData : true;
    if (!readsButtons) {
        answer_ = queryAnswer(command_, firstArgument, analog_);
        answerLength_ = answer_.size();
        return;
    }
    const uint16_t wire = static_cast<uint16_t>(~input_.buttonsHeld);
    answer_ = {static_cast<uint8_t>(wire & 0xFF), static_cast<uint8_t>(wire >> 8), input_.rightX, input_.rightY,
               input_.leftX, input_.leftY};
    answerLength_ = analog_ || commandInConfigMode_ ? 6 : 2;
}

void PadProtocol::applyArgument(unsigned index, uint8_t argument) {
    if (command_ == kConfigMode && index == 0) {
        if (!commandInConfigMode_ && argument == 1) configMode_ = true;
        if (commandInConfigMode_ && argument == 0) configMode_ = false;
        return;
    }
    if (command_ != kSetMode || !commandInConfigMode_) return;
    if (index == 0 && argument <= 1) analog_ = argument == 1;
    if (index == 1) modeLocked_ = argument == kLockMode;
}
