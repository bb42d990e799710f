#include "tracking/engine/Kinematics.h"

#include <cmath>

namespace {

constexpr double DegreesPerRadian = 57.295779513082320877;

double FrameTime(int frame, int timeZeroFrame, int frameRate)
{
    // No frame rate, no time base: every record sits at 0 s.
    return frameRate > 0 ? FrameClock(Rational(frameRate), timeZeroFrame).toTime(frame).toDouble() : 0.0;
}

void ResizeAll(KinematicsArrays& a, size_t n)
{
    for (std::vector<double>* v : {&a.Times, &a.ValuesX, &a.ValuesY, &a.PixelX, &a.PixelY, &a.AngleRpm})
        v->assign(n, MissingValue);
    a.Frames.assign(n, 0);
}

// Times and frame numbers of every record, from the frame numbers and the
// settings' time base (never from a possibly stale stored time).
void FillTimes(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a)
{
    a.Clock = s.Clock;
    for (size_t i = 0; i < records.size(); ++i) {
        a.Frames[i] = records[i].FrameNo;
        // No rate, no time base: every record sits at 0 s.
        a.Times[i] = s.Clock.isValid() ? s.Clock.toTime(records[i].FrameNo).toDouble() : 0.0;
    }
}

// Rate of change per second between samples i - 1 and i + 1: the difference
// times the rate over the frame distance, an exact fraction. Zero when there
// is no time step.
double PerSecondFactor(const KinematicsArrays& a, size_t i)
{
    const int64_t frames = int64_t(a.Frames[i + 1]) - a.Frames[i - 1];
    if (!a.Clock.isValid() || frames == 0)
        return 0.0;
    return (a.Clock.rate() / Rational(frames)).toDouble();
}

} // namespace

double KinematicsSettings::PositionOriginY() const
{
    if (HasOrigin)
        return OriginY;
    // Without an origin Y counts from the bottom edge upward, or from the
    // top edge downward.
    return YDir == YDirection::Up ? double(FrameHeight) : 0.0;
}

void FixTimes(std::vector<TrackRecord>& records, int firstFrame, int timeZeroFrame, int frameRate)
{
    // Every record, not only the first: at the time-zero frame the time is 0
    // whatever the rate, so one record cannot tell a changed rate.
    for (size_t i = 0; i < records.size(); ++i)
        records[i].Time = FrameTime(int(i) + firstFrame, timeZeroFrame, frameRate);
}

void ComputePosition(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a)
{
    ResizeAll(a, records.size());
    FillTimes(records, s, a);
    const double p = s.PixelsPerUnit;
    const double ox = s.PositionOriginX();
    const double oy = s.PositionOriginY();
    const double ySign = s.YDir == YDirection::Up ? -1.0 : 1.0;
    // A calibration of 0 (or not a number) pixels per unit cannot give lengths.
    const bool calibrated = p > 0.0 && std::isfinite(p);
    for (size_t i = 0; i < records.size(); ++i) {
        const TrackRecord& r = records[i];
        if (r.Status == 1 && calibrated) {
            a.ValuesX[i] = (r.X - ox) / p;
            a.ValuesY[i] = ySign * (r.Y - oy) / p;
            a.PixelX[i] = r.X;
            a.PixelY[i] = r.Y;
        }
    }
}

void ComputeDisplacement(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a)
{
    ComputePosition(records, s, a);
    size_t first = 0;
    while (first < a.ValuesX.size() && IsMissing(a.ValuesX[first]))
        ++first;
    if (first == a.ValuesX.size())
        return;
    const double x0 = a.ValuesX[first];
    const double y0 = a.ValuesY[first];
    for (size_t i = 0; i < a.ValuesX.size(); ++i) {
        if (IsMissing(a.ValuesX[i])) {
            a.ValuesY[i] = MissingValue;
            continue;
        }
        a.ValuesX[i] -= x0;
        a.ValuesY[i] -= y0;
    }
}

void Differentiate(KinematicsArrays& a)
{
    const std::vector<double> x = a.ValuesX;
    const std::vector<double> y = a.ValuesY;
    const size_t n = x.size();
    for (size_t i = 1; i + 1 < n; ++i) {
        const double perSecond = PerSecondFactor(a, i);
        // Without a time step (no frame rate) there is no rate of change.
        if (IsMissing(x[i - 1]) || IsMissing(x[i + 1]) || perSecond == 0.0) {
            a.ValuesX[i] = a.ValuesY[i] = MissingValue;
            continue;
        }
        a.ValuesX[i] = (x[i + 1] - x[i - 1]) * perSecond;
        a.ValuesY[i] = (y[i + 1] - y[i - 1]) * perSecond;
    }
    if (n > 0) {
        a.ValuesX[0] = a.ValuesY[0] = MissingValue;
        a.ValuesX[n - 1] = a.ValuesY[n - 1] = MissingValue;
    }
}

void Smooth(std::vector<double>& values, int passes)
{
    const size_t n = values.size();
    if (n == 0 || passes <= 0)
        return;
    // The series with an extension of n samples at each end, built like the
    // channel filter's: both outer thirds hold d(0) ... d(n-1) read outward
    // from the data, d(i) = 2 a[i] - a[i+1] and d(n-1) = a[n-1]. A d(i)
    // made from a missing sample is missing too, so that a gap never feeds
    // an invented value into the present samples.
    std::vector<double> e(3 * n, MissingValue);
    for (size_t i = 0; i < n; ++i) {
        e[n + i] = values[i];
        double d;
        if (i + 1 < n)
            d = IsMissing(values[i]) || IsMissing(values[i + 1]) ? MissingValue : 2.0 * values[i] - values[i + 1];
        else
            d = values[i];
        e[n - 1 - i] = d;
        e[3 * n - 1 - i] = d;
    }
    std::vector<double> f = e;
    for (int pass = 0; pass < passes; ++pass) {
        f[0] = e[0];
        f[3 * n - 1] = e[3 * n - 1];
        for (size_t s = 1; s + 1 < 3 * n; ++s) {
            if (!IsMissing(e[s]) && !IsMissing(e[s - 1]) && !IsMissing(e[s + 1]))
                f[s] = (e[s - 1] + 2.0 * e[s] + e[s + 1]) / 4.0;
            else
                f[s] = e[s];
        }
        for (size_t s = 0; s < 3 * n; ++s)
            if (!IsMissing(e[s]))
                e[s] = f[s];
    }
    for (size_t i = 0; i < n; ++i)
        if (!IsMissing(values[i]))
            values[i] = f[n + i];
}

void ComputeAngle(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a)
{
    ResizeAll(a, records.size());
    FillTimes(records, s, a);
    if (!CanComputeRpm(s))
        return;   // no centre, no angle: guessing one would give wrong speeds
    const double ySign = s.YDir == YDirection::Up ? -1.0 : 1.0;
    for (size_t i = 0; i < records.size(); ++i) {
        const TrackRecord& r = records[i];
        if (r.Status != 1)
            continue;
        const double dx = r.X - s.OriginX;
        // + 0.0 turns -0 into +0: straight left reads 180, not -180.
        const double dy = ySign * (r.Y - s.OriginY) + 0.0;
        // A point on the centre has no direction: no angle.
        if (dx == 0.0 && dy == 0.0)
            continue;
        a.AngleRpm[i] = std::atan2(dy, dx) * DegreesPerRadian;
    }
}

void ComputeRpm(KinematicsArrays& a, bool signedRpm)
{
    const std::vector<double> old = a.AngleRpm;
    const size_t n = old.size();
    for (size_t i = 1; i + 1 < n; ++i) {
        const double perSecond = PerSecondFactor(a, i);
        if (IsMissing(old[i - 1]) || IsMissing(old[i + 1]) || perSecond == 0.0) {
            a.AngleRpm[i] = MissingValue;
            continue;
        }
        // Unwrapped: the turn between the neighbours taken the shorter way,
        // so crossing +-180 degrees is no jump.
        const double turn = std::remainder(old[i + 1] - old[i - 1], 360.0);
        const double rpm = turn * perSecond * 60.0 / 360.0;
        a.AngleRpm[i] = signedRpm ? rpm : std::fabs(rpm);
    }
    if (n > 0) {
        a.AngleRpm[0] = MissingValue;
        a.AngleRpm[n - 1] = MissingValue;
    }
}

int GraphSmoothingPasses(KinematicsQuantity q)
{
    switch (q) {
    case KinematicsQuantity::Position:
    case KinematicsQuantity::Displacement: return 0;
    case KinematicsQuantity::Velocity: return 3;
    case KinematicsQuantity::Acceleration:
    case KinematicsQuantity::Rpm: return 5;
    }
    return 0;
}

KinematicsSeries ComputeSeries(const std::vector<TrackRecord>& records, const KinematicsSettings& s,
                               KinematicsQuantity q, bool smoothed)
{
    KinematicsArrays a;
    KinematicsSeries out;
    out.SmoothingPasses = smoothed ? GraphSmoothingPasses(q) : 0;
    switch (q) {
    case KinematicsQuantity::Position: ComputePosition(records, s, a); break;
    case KinematicsQuantity::Displacement: ComputeDisplacement(records, s, a); break;
    case KinematicsQuantity::Velocity:
        ComputePosition(records, s, a);
        Differentiate(a);
        break;
    case KinematicsQuantity::Acceleration:
        ComputePosition(records, s, a);
        Differentiate(a);
        Differentiate(a);
        break;
    case KinematicsQuantity::Rpm:
        ComputeAngle(records, s, a);
        ComputeRpm(a, s.SignedRpm);
        break;
    }
    out.Times = a.Times;
    if (q == KinematicsQuantity::Rpm) {
        out.Y = a.AngleRpm;
    } else {
        out.X = a.ValuesX;
        out.Y = a.ValuesY;
    }
    // Smooth leaves missing samples missing.
    Smooth(out.X, out.SmoothingPasses);
    Smooth(out.Y, out.SmoothingPasses);
    return out;
}

const char* CalibrationUnitLabel(int calUnitIndex)
{
    static const char* const labels[] = {"\xB5m", "mm", "cm", "m", "inches", "feet", "pixels"};
    if (calUnitIndex < 0 || calUnitIndex > 6)
        return "pixels";
    return labels[calUnitIndex];
}
