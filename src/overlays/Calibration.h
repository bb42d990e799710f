#pragma once
// Calibration: two picked image points and the real distance between them
// give PixelsPerUnit, the number of image pixels that make one unit. The unit
// only labels the factor; the units carry no conversion between each other.

#include <QPointF>
#include <QString>
#include <optional>

struct RecordingInfo;

inline constexpr int kCalUnitCount = 7;
inline constexpr int kCalUnitPixels = 6;

// Combo-box items by CalUnitIndex: "MicroMetres", "Millimetres",
// "Centimetres", "Metres", "Inches", "Feet", "Pixels"; empty outside the table.
QString CalUnitComboItem(int calUnitIndex);

// "Pixels per mm": the caption of the factor for a unit.
QString PixelsPerUnitCaption(int calUnitIndex);

// The factor as the calibration frame shows it: general format, 4
// significant digits ("2", "0.3333", "1.5E+07").
QString FormatPixelsPerUnit(float pixelsPerUnit);

// Reads a real distance: leading blanks, an optional sign, digits with an
// optional "." (whatever the locale), an optional exponent "E"/"e" with an
// optional sign, and nothing after it. Values outside the single range are
// refused. nullopt when the text does not read.
std::optional<float> ParseRealDistance(const QString& text);

struct CalibrationResult {
    enum Status {
        Calibrated,      // pixelsPerUnit and gridSize hold the result
        InvalidDistance, // the text did not read as a number
        ZeroDistance,    // 0 gives no factor; nothing changes
        TooLarge,        // the factor would not fit a single; nothing changes
    };
    Status status = InvalidDistance;
    float pixelsPerUnit = 1.0f; // > 0 and finite when Calibrated
    double gridSize = 0.0;      // the distance clamped to the grid spin's 0..100
    QString message;            // for a refusal: the text to show the user
};

inline constexpr double kGridSizeMaximum = 100.0;

// The "Calculate" arithmetic. The pixel distance between the points is taken
// in double precision (exactly |dx| on one horizontal line); a factor that is
// not positive (equal points, a negative distance) becomes 1.
CalibrationResult CalculateCalibration(QPointF point1, QPointF point2, const QString& distanceText);

// Stores a calculated calibration in the record that travels with the
// recording (and into exported AVI files).
void StoreCalibration(RecordingInfo& info, QPointF point1, QPointF point2, float pixelsPerUnit, int calUnitIndex);
