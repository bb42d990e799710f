#pragma once
// The one place where a recording's frame numbers become times and back.
// Frame N is shown at (N − timeZeroFrame) / rate seconds; the frame at time
// t is Round(t × rate) + timeZeroFrame, with Round half to even. Both ways
// are exact, so toFrame(toTime(n)) == n for every frame.

#include "common/Rational.h"

#include <cstdint>

class FrameClock {
public:
    // A clock without a rate: every time maps to the time-zero frame.
    FrameClock() = default;
    // `rate` in frames per second; a rate that is not positive counts as none.
    FrameClock(Rational rate, int64_t timeZeroFrame);

    // From a rate as a recording stores it (see ExactFrameRate).
    static FrameClock FromFramesPerSecond(double framesPerSecond, int64_t timeZeroFrame);

    bool isValid() const { return m_rate > Rational(0); }
    Rational rate() const { return m_rate; }
    int64_t timeZeroFrame() const { return m_timeZeroFrame; }
    // Seconds per frame; 0 without a rate.
    Rational interval() const { return m_rate.inverse(); }

    Rational toTime(int64_t frame) const;
    int64_t toFrame(const Rational& seconds) const;

private:
    Rational m_rate;
    int64_t m_timeZeroFrame = 0;
};
