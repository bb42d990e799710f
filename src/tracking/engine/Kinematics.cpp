#include "tracking/engine/Kinematics.h"

#include "common/Rounding.h"
#include "common/Vectors.h"

#include <cmath>

namespace {

constexpr double DegreesPerRadian = 57.295779513082320877;

double RecordTime(int frame, int timeZeroFrame, int frameRate)
{
    // No frame rate, no time base: every record sits at 0 s.
    return frameRate > 0 ? double(frame - timeZeroFrame) / double(frameRate) : 0.0;
}

void ResizeAll(KinematicsArrays& a, size_t n)
{
    for (std::vector<float>* v : {&a.Times, &a.ValuesX, &a.ValuesY, &a.PixelX, &a.PixelY, &a.AngleRpm})
        v->resize(n, MissingValue);
}

} // namespace

void FixTimes(std::vector<TrackRecord>& records, int firstFrame, int timeZeroFrame, int frameRate)
{
    if (records.empty())
        return;
    if (float(records[0].Time) == float(RecordTime(firstFrame, timeZeroFrame, frameRate)))
        return;
    for (size_t i = 0; i < records.size(); ++i)
        records[i].Time = RecordTime(int(i) + firstFrame, timeZeroFrame, frameRate);
}

void ComputePosition(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a)
{
    ResizeAll(a, records.size());
    const double p = s.PixelsPerUnit;
    const double ox = s.OriginX;
    const double oy = s.OriginY;
    const double h = s.YFromBottom ? double(s.FrameHeight) : 0.0;
    for (size_t i = 0; i < records.size(); ++i) {
        const TrackRecord& r = records[i];
        a.Times[i] = float(r.Time);
        // A calibration of 0 pixels per unit cannot give lengths.
        if (r.Status == 1 && p != 0.0) {
            a.ValuesX[i] = float((r.X - ox) / p);
            a.ValuesY[i] = float((h - (r.Y - oy)) / p);
            a.PixelX[i] = float(r.X);
            a.PixelY[i] = float(r.Y);
        } else {
            a.ValuesX[i] = a.ValuesY[i] = a.PixelX[i] = a.PixelY[i] = MissingValue;
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
    const float x0 = a.ValuesX[first];
    const float y0 = a.ValuesY[first];
    for (size_t i = 0; i < a.ValuesX.size(); ++i) {
        if (IsMissing(a.ValuesX[i])) {
            a.ValuesY[i] = MissingValue;
            continue;
        }
        a.ValuesX[i] = a.ValuesX[i] - x0;
        a.ValuesY[i] = a.ValuesY[i] - y0;
    }
}

void Differentiate(KinematicsArrays& a)
{
    const std::vector<float> x = a.ValuesX;
    const std::vector<float> y = a.ValuesY;
    const std::vector<float>& t = a.Times;
    const size_t n = x.size();
    for (size_t i = 1; i + 1 < n; ++i) {
        const double dt = double(t[i + 1]) - double(t[i - 1]);
        // Without a time step (no frame rate) there is no rate of change.
        if (IsMissing(x[i - 1]) || IsMissing(x[i + 1]) || dt == 0.0) {
            a.ValuesX[i] = a.ValuesY[i] = MissingValue;
            continue;
        }
        a.ValuesX[i] = float((double(x[i + 1]) - double(x[i - 1])) / dt);
        a.ValuesY[i] = float((double(y[i + 1]) - double(y[i - 1])) / dt);
    }
    if (n > 0) {
        a.ValuesX[0] = a.ValuesY[0] = MissingValue;
        a.ValuesX[n - 1] = a.ValuesY[n - 1] = MissingValue;
    }
}

void Smooth(std::vector<float>& values, int passes)
{
    const size_t n = values.size();
    if (n == 0)
        return;
    // The series with an extension of n samples at each end, built like the
    // channel filter's: both outer thirds hold d(0) ... d(n-1) read outward
    // from the data, d(i) = 2 a[i] - a[i+1] and d(n-1) = a[n-1]. A d(i)
    // made from a missing sample is missing too, so that a gap never feeds
    // an invented value into the present samples.
    std::vector<float> e(3 * n, MissingValue);
    for (size_t i = 0; i < n; ++i) {
        e[n + i] = values[i];
        float d;
        if (i + 1 < n)
            d = IsMissing(values[i]) || IsMissing(values[i + 1]) ? MissingValue
                                                                  : float(2.0 * values[i] - double(values[i + 1]));
        else
            d = values[i];
        e[n - 1 - i] = d;
        e[3 * n - 1 - i] = d;
    }
    std::vector<float> f = e;
    for (int pass = 0; pass < passes; ++pass) {
        f[0] = e[0];
        f[3 * n - 1] = e[3 * n - 1];
        for (size_t s = 1; s + 1 < 3 * n; ++s) {
            if (!IsMissing(e[s]) && !IsMissing(e[s - 1]) && !IsMissing(e[s + 1]))
                f[s] = float((double(e[s - 1]) + 2.0 * double(e[s]) + double(e[s + 1])) / 4.0);
            else
                f[s] = e[s];
        }
        for (size_t s = 0; s < 3 * n; ++s)
            if (!IsMissing(e[s]))
                e[s] = f[s];
    }
    for (size_t i = 0; i < n; ++i) {
        if (!IsMissing(values[i]))
            values[i] = passes > 0 ? f[n + i] : values[i];
    }
}

void ComputeAngle(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a)
{
    ResizeAll(a, records.size());
    QPoint centre(s.FrameWidth / 2, s.FrameHeight / 2);
    if (s.OriginX != 0.0f || s.OriginY != 0.0f)
        centre = QPoint(int(Round(s.OriginX)), int(Round(s.OriginY)));
    const QPoint rightEdge(s.FrameWidth, centre.y());
    for (size_t i = 0; i < records.size(); ++i) {
        const TrackRecord& r = records[i];
        a.Times[i] = float(r.Time);
        if (r.Status != 1) {
            a.AngleRpm[i] = MissingValue;
            continue;
        }
        const QPoint point(int(Round(r.X)), int(Round(r.Y)));
        std::optional<float> angle;
        if (point == centre) {
            // A point on the centre has no direction: no angle.
        } else if (rightEdge == centre) {
            // A centre on the right edge: the reference ray still points right.
            angle = AngleAtVertex(centre, QPoint(centre.x() + 1, centre.y()), point);
        } else {
            angle = AngleAtVertex(centre, rightEdge, point);
        }
        // Opposite directions come back as -pi; the angle here is unsigned
        // (0 ... 180), so a point straight left of the centre reads 180.
        a.AngleRpm[i] = angle ? float(std::fabs(double(*angle)) * DegreesPerRadian) : MissingValue;
    }
}

void ComputeRpm(KinematicsArrays& a)
{
    const std::vector<float> old = a.AngleRpm;
    const std::vector<float>& t = a.Times;
    const size_t n = old.size();
    for (size_t i = 1; i + 1 < n; ++i) {
        const double dt = double(t[i + 1]) - double(t[i - 1]);
        if (IsMissing(old[i - 1]) || IsMissing(old[i + 1]) || dt == 0.0) {
            a.AngleRpm[i] = MissingValue;
            continue;
        }
        const float degreesPerSecond = float((double(old[i + 1]) - double(old[i - 1])) / dt);
        a.AngleRpm[i] = float(std::fabs(double(degreesPerSecond) * 60.0 / 360.0));
    }
    if (n > 0) {
        a.AngleRpm[0] = MissingValue;
        a.AngleRpm[n - 1] = MissingValue;
    }
}

const char* CalibrationUnitLabel(int calUnitIndex)
{
    static const char* const labels[] = {"\xB5m", "mm", "cm", "m", "inches", "feet", "pixels"};
    if (calUnitIndex < 0 || calUnitIndex > 6)
        return "pixels";
    return labels[calUnitIndex];
}
