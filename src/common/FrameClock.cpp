#include "common/FrameClock.h"

FrameClock::FrameClock(Rational rate, int64_t timeZeroFrame)
    : m_rate(rate > Rational(0) ? rate : Rational(0))
    , m_timeZeroFrame(timeZeroFrame)
{
}

FrameClock FrameClock::FromFramesPerSecond(double framesPerSecond, int64_t timeZeroFrame)
{
    return FrameClock(ExactFrameRate(framesPerSecond).value_or(Rational(0)), timeZeroFrame);
}

Rational FrameClock::toTime(int64_t frame) const
{
    if (!isValid())
        return Rational(0);
    return Rational(frame - m_timeZeroFrame) / m_rate;
}

int64_t FrameClock::toFrame(const Rational& seconds) const
{
    if (!isValid())
        return m_timeZeroFrame;
    return (seconds * m_rate).roundHalfEven() + m_timeZeroFrame;
}
