#include "graphs/TrackingSpreadsheet.h"

#include "common/NumberFormat.h"
#include "graphs/XlsxSheetFile.h"
#include "tracking/engine/Kinematics.h"
#include "tracking/engine/TrackingExport.h"
#include "tracking/engine/TrackingPoint.h"

#include <utility>

namespace {

constexpr int kFirstDataRow = 13;

void writeValue(XlsxSheetFile& out, int row, int column, double value, int decimals = 2)
{
    out.text(row, column,
             value == double(kTrackingMissingSample) ? QStringLiteral("Vanish") : FormatFixed(value, 7, decimals));
}

} // namespace

bool WriteTrackingSpreadsheet(const QString& path, const TrackingSheet& sheet, QString* error)
{
    if (sheet.rows.size() > size_t(XlsxSheetFile::kMaxRows - kFirstDataRow + 1)) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": the point has more records than a sheet has rows").arg(path);
        return false;
    }

    XlsxSheetFile out(path, QStringLiteral("Qor Player Data"));
    out.text(1, 1, QStringLiteral("Qor Player Tracking Data"));
    out.text(2, 1, QStringLiteral("Point Name"));
    out.text(2, 2, sheet.pointName);
    const std::pair<QString, double> numbers[] = {
        {QStringLiteral("FPS"), sheet.frameRate},
        {QStringLiteral("Width"), sheet.frameWidth},
        {QStringLiteral("Height"), sheet.frameHeight},
        {QStringLiteral("Calibration"), sheet.pixelsPerUnit},
    };
    for (int i = 0; i < 4; ++i) {
        out.text(3 + i, 1, numbers[i].first);
        out.number(3 + i, 2, numbers[i].second);
    }
    out.text(7, 1, QStringLiteral("Calibration Units"));
    out.text(7, 2, sheet.unitLabel);
    out.text(8, 1, QStringLiteral("Origin"));
    out.text(8, 2, QStringLiteral("X"));
    out.text(8, 3, QStringLiteral("Y"));
    out.number(9, 2, sheet.originX);
    out.number(9, 3, sheet.originY);
    out.text(10, 1, QStringLiteral("Point Data"));
    out.text(11, 1, QStringLiteral("Frame No"));
    out.text(11, 2, QStringLiteral("Time [s]"));
    out.text(11, 3, QStringLiteral("Coordinate"));
    out.text(11, 5, QStringLiteral("Position"));
    out.text(11, 7, QStringLiteral("Displacement"));
    out.text(11, 9, QStringLiteral("Velocity"));
    out.text(11, 11, QStringLiteral("Acceleration"));
    out.text(11, 13, QStringLiteral("RPM"));
    for (int column = 3; column <= 12; column += 2) {
        out.text(12, column, QStringLiteral("X"));
        out.text(12, column + 1, QStringLiteral("Y"));
    }

    for (size_t i = 0; i < sheet.rows.size(); ++i) {
        const TrackingSheetRow& r = sheet.rows[i];
        const int row = kFirstDataRow + int(i);
        out.number(row, 1, double(i));
        if (r.time == double(kTrackingMissingSample))
            out.text(row, 2, QStringLiteral("Vanish"));
        else
            out.number(row, 2, r.time);
        // X and Y pairs in columns 3 ... 12: pixels, then calibrated lengths and their rates.
        const double pairs[5][2] = {{r.pixelX, r.pixelY},
                                    {r.positionX, r.positionY},
                                    {r.displacementX, r.displacementY},
                                    {r.velocityX, r.velocityY},
                                    {r.accelerationX, r.accelerationY}};
        for (int k = 0; k < 5; ++k) {
            const int decimals = k == 0 ? 2 : sheet.lengthDecimals;
            writeValue(out, row, 3 + 2 * k, pairs[k][0], decimals);
            writeValue(out, row, 4 + 2 * k, pairs[k][1], decimals);
        }
        writeValue(out, row, 13, r.rpm);
    }
    return out.commit(error);
}

TrackingSheet TrackingSheetFor(TTrackingPoint& point, const TrackingExportInfo& info)
{
    const TrackingResultTable table = ComputeTrackingResults(point, info);
    TrackingSheet sheet;
    sheet.pointName = point.Name;
    sheet.frameRate = info.FrameRate;
    sheet.frameWidth = info.Kinematics.FrameWidth;
    sheet.frameHeight = info.Kinematics.FrameHeight;
    sheet.pixelsPerUnit = info.Kinematics.PixelsPerUnit;
    sheet.unitLabel = QString::fromLatin1(CalibrationUnitLabel(info.CalUnitIndex));
    sheet.originX = info.Kinematics.HasOrigin ? float(info.Kinematics.OriginX) : 0.0f;
    sheet.originY = info.Kinematics.HasOrigin ? float(info.Kinematics.OriginY) : 0.0f;
    sheet.lengthDecimals = LengthDecimals(info.Kinematics.PixelsPerUnit);
    sheet.rows.resize(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        TrackingSheetRow& row = sheet.rows[i];
        row.time = table.Times[i];
        row.pixelX = table.PixelX[i];
        row.pixelY = table.PixelY[i];
        row.positionX = table.PositionX[i];
        row.positionY = table.PositionY[i];
        row.displacementX = table.DisplacementX[i];
        row.displacementY = table.DisplacementY[i];
        row.velocityX = table.VelocityX[i];
        row.velocityY = table.VelocityY[i];
        row.accelerationX = table.AccelerationX[i];
        row.accelerationY = table.AccelerationY[i];
        row.rpm = table.Rpm[i];
    }
    return sheet;
}
