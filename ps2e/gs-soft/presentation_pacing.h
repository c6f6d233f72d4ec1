// When a window presents a picture, and how long it waits first. The
// machine's vertical blanks come far faster than the console's (a fixed
// frame of instructions, and one more at every CSR read), so pictures are
// paced rather than vertical blanks: a vertical blank presents only when
// the guest has drawn or changed its display since the last picture
// presented, and a presented picture waits until one picture time (1/59.94
// s, or 1/50 s with PAL timing) after the one before. With the unthrottle
// key held, or without a window, nothing waits.
#pragma once

#include <chrono>
#include <cstdint>

using PacingClock = std::chrono::steady_clock;

inline constexpr std::chrono::nanoseconds kNtscPictureTime{16683350};  // 1001/60000 s
inline constexpr std::chrono::nanoseconds kPalPictureTime{20000000};   // 1/50 s

struct VsyncDecision {
    bool present = false;
    PacingClock::time_point presentAt{};  // when to present; `now` or earlier means at once
};

class PicturePacer {
public:
    // At a vertical blank: the GS's display generation now, its timing,
    // whether pictures may come as fast as the machine makes them, and the
    // time now.
    VsyncDecision onVsync(uint64_t generation, bool pal, bool unthrottled, PacingClock::time_point now);

    // The next vertical blank presents whatever the generation (the window
    // was just opened, or has to be drawn again).
    void presentNext() { presentedAny_ = false; }

private:
    bool presentedAny_ = false;
    uint64_t presentedGeneration_ = 0;
    PacingClock::time_point lastPresentAt_{};
};
