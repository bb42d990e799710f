#include "cli/CalibrateOption.h"

#include "cli/CliSupport.h"
#include "document/RecordingInfo.h"
#include "overlays/Calibration.h"

#include <cmath>

namespace {

// Command-line names of the units, by CalUnitIndex.
constexpr const char* kUnitNames[kCalUnitCount] = {"um", "mm", "cm", "m", "in", "ft", "px"};

int RefuseCalibrate(const QString& why)
{
    CliError(QStringLiteral("--calibrate: %1").arg(why));
    return 2;
}

} // namespace

CliOption CalibrateOption()
{
    return {"--calibrate", "X1,Y1,X2,Y2,DIST[,UNIT]",
            "calibrate: DIST units between two image points; UNIT um, mm, cm, m, in, ft or px (default px)"};
}

int ApplyCalibrateOption(const CliArgs& args, RecordingInfo& info)
{
    const auto value = args.value("--calibrate");
    if (!value)
        return 0;
    const QStringList parts = value->split(QLatin1Char(','));
    if (parts.size() != 5 && parts.size() != 6)
        return RefuseCalibrate(QStringLiteral("\"%1\" is not X1,Y1,X2,Y2,DIST[,UNIT]").arg(*value));
    double coordinates[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        coordinates[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(coordinates[i]))
            return RefuseCalibrate(QStringLiteral("\"%1\" is not a coordinate").arg(parts[i]));
    }
    int unit = kCalUnitPixels;
    if (parts.size() == 6) {
        unit = -1;
        for (int i = 0; i < kCalUnitCount; ++i)
            if (parts[5].trimmed() == QLatin1String(kUnitNames[i]))
                unit = i;
        if (unit < 0)
            return RefuseCalibrate(QStringLiteral("unit \"%1\" is not one of um, mm, cm, m, in, ft, px").arg(parts[5]));
    }
    const QPointF point1(coordinates[0], coordinates[1]);
    const QPointF point2(coordinates[2], coordinates[3]);
    const CalibrationResult result = CalculateCalibration(point1, point2, parts[4]);
    if (result.status != CalibrationResult::Calibrated)
        return RefuseCalibrate(QStringLiteral("%1 (\"%2\")").arg(result.message, parts[4]));
    StoreCalibration(info, point1, point2, result.pixelsPerUnit, unit);
    return 0;
}
