#include "tracking/engine/TrackingExport.h"

#include "common/NumberFormat.h"
#include "tracking/engine/TrackingPoint.h"

#include <QSaveFile>

TrackingResultTable ComputeTrackingResults(TTrackingPoint& point, const TrackingExportInfo& info)
{
    FixTimes(point.Records, info.FirstFrame, info.TimeZeroFrame, info.FrameRate);
    const std::vector<TrackRecord>& records = point.Records;
    const KinematicsSettings& s = info.Kinematics;
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
    ComputeRpm(a);
    t.Rpm = a.AngleRpm;

    ComputePosition(records, s, a);
    t.Times = a.Times;
    t.PixelX = a.PixelX;
    t.PixelY = a.PixelY;
    t.PositionX = a.ValuesX;
    t.PositionY = a.ValuesY;
    return t;
}

namespace {

QByteArray Fixed(double value, int decimals)
{
    return FormatFixed(value, 7, decimals).toLatin1();
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
    out += " ," + Fixed(s.OriginX, 2) + "," + Fixed(s.OriginY, 2) + eol;
    out += "Point Data" + eol;
    out += "Frame No, Time [s],Coordinate, ,Position, ,Displacement, ,Velocity, ,Acceleration, ,RPM" + eol;
    out += ",,X,Y,X,Y,X,Y,X,Y,X,Y" + eol;

    const std::vector<float>* columns[] = {
        &t.PixelX, &t.PixelY, &t.PositionX, &t.PositionY, &t.DisplacementX, &t.DisplacementY,
        &t.VelocityX, &t.VelocityY, &t.AccelerationX, &t.AccelerationY, &t.Rpm,
    };
    out.reserve(out.size() + qsizetype(t.size()) * 120);
    for (size_t i = 0; i < t.size(); ++i) {
        out += QByteArray::number(qulonglong(i));
        out += ',';
        out += Fixed(t.Times[i], 3);
        out += ',';
        for (const std::vector<float>* c : columns) {
            const float v = (*c)[i];
            if (IsMissing(v)) {
                out += "VANISH ,";
            } else {
                out += Fixed(v, 2);
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
