#include "ps2e/gs-soft/presentation_pacing.h"

VsyncDecision PicturePacer::onVsync(uint64_t generation, bool pal, bool unthrottled, PacingClock::time_point now) {
    if (presentedAny_ && generation == presentedGeneration_) return {};
    const std::chrono::nanoseconds pictureTime = pal ? kPalPictureTime : kNtscPictureTime;
    PacingClock::time_point at = now;
    // Each picture keeps its place one picture time after the last, so the
    // rate holds over many pictures; a guest that fell behind by more than a
    // picture (a slow frame, a pause) starts again from now rather than
    // rushing to catch up.
    if (presentedAny_ && !unthrottled) {
        const PacingClock::time_point due = lastPresentAt_ + pictureTime;
        if (due > now - pictureTime) at = due;
    }
    presentedAny_ = true;
    presentedGeneration_ = generation;
    lastPresentAt_ = at;
    return {true, at};
}
