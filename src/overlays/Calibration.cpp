#include "overlays/Calibration.h"

#include "common/NumberFormat.h"
#include "document/RecordingInfo.h"
#include "overlays/RulerGeometry.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

QString CalUnitComboItem(int calUnitIndex)
{
    static const char* const items[] = {"MicroMetres", "Millimetres", "Centimetres", "Metres",
                                        "Inches",      "Feet",        "Pixels"};
    if (calUnitIndex < 0 || calUnitIndex >= kCalUnitCount)
        return {};
    return QString::fromLatin1(items[calUnitIndex]);
}

QString PixelsPerUnitCaption(int calUnitIndex)
{
    return QStringLiteral("Pixels per ") + CalUnitName(calUnitIndex);
}

QString FormatPixelsPerUnit(float pixelsPerUnit)
{
    return FormatGeneral(pixelsPerUnit, 4);
}

std::optional<float> ParseRealDistance(const QString& text)
{
    // The grammar is checked here so that locale separators, "inf", "nan",
    // hex forms and trailing text never get through the number conversion.
    static const QRegularExpression grammar(
        QStringLiteral("^ *[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!grammar.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(value);
}

CalibrationResult CalculateCalibration(QPointF point1, QPointF point2, const QString& distanceText)
{
    CalibrationResult result;
    const std::optional<float> distance = ParseRealDistance(distanceText);
    if (!distance) {
        result.status = CalibrationResult::InvalidDistance;
        result.message = QStringLiteral("Invalid Distance");
        return result;
    }
    const float d = *distance;
    if (d == 0.0f) {
        result.status = CalibrationResult::ZeroDistance;
        result.message = QStringLiteral("The real distance between the points must not be 0.");
        return result;
    }
    const double dx = std::fabs(point2.x() - point1.x());
    const double dy = std::fabs(point2.y() - point1.y());
    const double pixels = dy == 0.0 ? dx : std::sqrt(dx * dx + dy * dy);
    const double quotient = pixels / double(d);
    if (quotient > double(std::numeric_limits<float>::max())) {
        // A tiny distance over a long line: the factor does not fit a single.
        result.status = CalibrationResult::TooLarge;
        result.message = QStringLiteral("The real distance is too small for the distance between the points.");
        return result;
    }
    float factor = float(quotient);
    if (!(factor > 0.0f))
        factor = 1.0f;
    result.status = CalibrationResult::Calibrated;
    result.pixelsPerUnit = factor;
    result.gridSize = std::clamp(double(d), 0.0, kGridSizeMaximum);
    return result;
}

void StoreCalibration(RecordingInfo& info, QPointF point1, QPointF point2, float pixelsPerUnit, int calUnitIndex)
{
    info.PixelsPerUnit = pixelsPerUnit;
    info.CalUnitIndex = calUnitIndex;
    info.CalPoint1 = {float(point1.x()), float(point1.y())};
    info.CalPoint2 = {float(point2.x()), float(point2.y())};
}
