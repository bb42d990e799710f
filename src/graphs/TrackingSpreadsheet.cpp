#include "graphs/TrackingSpreadsheet.h"

#include "common/NumberFormat.h"
#include "graphs/XlsxSheetFile.h"
#include "tracking/engine/Kinematics.h"
#include "tracking/engine/TrackingExport.h"
#include "tracking/engine/TrackingPoint.h"

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
    out.text(3, 1, QStringLiteral("FPS"));
    out.number(3, 2, sheet.frameRate);
    out.text(4, 1, QStringLiteral("Width"));
    out.number(4, 2, sheet.frameWidth);
    out.text(5, 1, QStringLiteral("Height"));
    out.number(5, 2, sheet.frameHeight);
    out.text(6, 1, QStringLiteral("Calibration"));
    out.number(6, 2, sheet.pixelsPerUnit);
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
        writeValue(out, row, 3, r.pixelX);
        writeValue(out, row, 4, r.pixelY);
        writeValue(out, row, 5, r.positionX, sheet.lengthDecimals);
        writeValue(out, row, 6, r.positionY, sheet.lengthDecimals);
        writeValue(out, row, 7, r.displacementX, sheet.lengthDecimals);
        writeValue(out, row, 8, r.displacementY, sheet.lengthDecimals);
        writeValue(out, row, 9, r.velocityX, sheet.lengthDecimals);
        writeValue(out, row, 10, r.velocityY, sheet.lengthDecimals);
        writeValue(out, row, 11, r.accelerationX, sheet.lengthDecimals);
        writeValue(out, row, 12, r.accelerationY, sheet.lengthDecimals);
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
