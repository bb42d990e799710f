#include "tracking/engine/TrackingExport.h"

#include "common/NumberFormat.h"
#include "tracking/engine/TrackingPoint.h"

#include <QSaveFile>

#include <algorithm>
#include <cmath>

TrackingResultTable ComputeTrackingResults(TTrackingPoint& point, const TrackingExportInfo& info)
{
    FixTimes(point.Records, info.FirstFrame, info.TimeZeroFrame, info.FrameRate);
    const std::vector<TrackRecord>& records = point.Records;
    KinematicsSettings s = info.Kinematics;
    s.Clock = FrameClock(Rational(info.FrameRate), info.TimeZeroFrame);
    TrackingResultTable t;
    KinematicsArrays a;

    ComputeDisplacement(records, s, a);
    t.DisplacementX = a.ValuesX;
    t.DisplacementY = a.ValuesY;

    ComputePosition(records, s, a);
    Differentiate(a);
    t.VelocityX = a.ValuesX;
    t.VelocityY = a.ValuesY;
    Differentiate(a);
    t.AccelerationX = a.ValuesX;
    t.AccelerationY = a.ValuesY;

    ComputeAngle(records, s, a);
    ComputeRpm(a, s.SignedRpm);
    t.Rpm = a.AngleRpm;

    ComputePosition(records, s, a);
    t.Times = a.Times;
    t.PixelX = a.PixelX;
    t.PixelY = a.PixelY;
    t.PositionX = a.ValuesX;
    t.PositionY = a.ValuesY;
    return t;
}

int TimeDecimals(const Rational& frameRate)
{
    int decimals = 3;
    for (int64_t scale = 1000; Rational(scale) < frameRate && decimals < 18; scale *= 10)
        ++decimals;
    return decimals;
}

int LengthDecimals(double pixelsPerUnit)
{
    if (!(pixelsPerUnit > 1.0) || !std::isfinite(pixelsPerUnit))
        return 2;
    return std::clamp(2 + int(std::ceil(std::log10(pixelsPerUnit) - 1e-9)), 2, 9);
}

namespace {

QByteArray Fixed(double value, int decimals)
{
    return FormatFixed(value, 7, decimals).toLatin1();
}

// Times are exact doubles from frame numbers: print all their digits up to
// the decimals asked for.
QByteArray Time(double seconds, int decimals)
{
    return FormatFixed(seconds, 17, decimals).toLatin1();
}

} // namespace

QByteArray TrackingCsv(const QString& pointName, const TrackingExportInfo& info, const TrackingResultTable& t)
{
    const QByteArray eol("\r\n");
    const KinematicsSettings& s = info.Kinematics;
    QByteArray out;
    out += "Qor Player Tracking Point" + eol;
    out += "Point Name ," + pointName.toLatin1() + eol;
    out += "FPS ," + QByteArray::number(info.FrameRate) + eol;
    out += "Width ," + QByteArray::number(s.FrameWidth) + eol;
    out += "Height ," + QByteArray::number(s.FrameHeight) + eol;
    out += "Calibration ," + Fixed(float(s.PixelsPerUnit), 2) + eol;
    out += QByteArray("Calibration Units ,") + CalibrationUnitLabel(info.CalUnitIndex) + eol;
    out += "Origin ,X,Y" + eol;
    // The placed origin; (0, 0) when none is placed.
    out += " ," + Fixed(s.HasOrigin ? s.OriginX : 0.0, 2) + "," + Fixed(s.HasOrigin ? s.OriginY : 0.0, 2) + eol;
    out += "Point Data" + eol;
    out += "Frame No, Time [s],Coordinate, ,Position, ,Displacement, ,Velocity, ,Acceleration, ,RPM" + eol;
    out += ",,X,Y,X,Y,X,Y,X,Y,X,Y" + eol;

    const int timeDecimals = TimeDecimals(info.FrameRate);
    const int pixelDecimals = 2;
    const int lengthDecimals = LengthDecimals(s.PixelsPerUnit);
    const int rpmDecimals = 2;
    const struct {
        const std::vector<double>* values;
        int decimals;
    } columns[] = {
        {&t.PixelX, pixelDecimals}, {&t.PixelY, pixelDecimals},
        {&t.PositionX, lengthDecimals}, {&t.PositionY, lengthDecimals},
        {&t.DisplacementX, lengthDecimals}, {&t.DisplacementY, lengthDecimals},
        {&t.VelocityX, lengthDecimals}, {&t.VelocityY, lengthDecimals},
        {&t.AccelerationX, lengthDecimals}, {&t.AccelerationY, lengthDecimals},
        {&t.Rpm, rpmDecimals},
    };
    out.reserve(out.size() + qsizetype(t.size()) * 120);
    for (size_t i = 0; i < t.size(); ++i) {
        out += QByteArray::number(qulonglong(i));
        out += ',';
        out += Time(t.Times[i], timeDecimals);
        out += ',';
        for (const auto& c : columns) {
            const double v = (*c.values)[i];
            if (IsMissing(v)) {
                out += "VANISH ,";
            } else {
                out += Fixed(v, c.decimals);
                out += ',';
            }
        }
        out += eol;
    }
    return out;
}

QByteArray TrackingCsv(TTrackingPoint& point, const TrackingExportInfo& info)
{
    return TrackingCsv(point.Name, info, ComputeTrackingResults(point, info));
}

bool WriteTrackingCsv(const QString& path, TTrackingPoint& point, const TrackingExportInfo& info, QString* error)
{
    const QByteArray bytes = TrackingCsv(point, info);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
