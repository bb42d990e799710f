#include "overlays/Calibration.h"

#include "document/RecordingInfo.h"

#include <gtest/gtest.h>

namespace {

struct CalcCase {
    const char* name;
    QPointF p1, p2;
    const char* distance;
    CalibrationResult::Status status;
    float pixelsPerUnit; // when calibrated
    double gridSize;     // when calibrated
};

class CalculateCalibrationTest : public ::testing::TestWithParam<CalcCase> {};

TEST_P(CalculateCalibrationTest, GivesTheFactorOrRefuses)
{
    const CalcCase& c = GetParam();
    const CalibrationResult r = CalculateCalibration(c.p1, c.p2, QString::fromLatin1(c.distance));
    ASSERT_EQ(r.status, c.status) << c.name;
    if (c.status == CalibrationResult::Calibrated) {
        EXPECT_FLOAT_EQ(r.pixelsPerUnit, c.pixelsPerUnit) << c.name;
        EXPECT_DOUBLE_EQ(r.gridSize, c.gridSize) << c.name;
        EXPECT_TRUE(r.message.isEmpty());
    } else {
        EXPECT_FALSE(r.message.isEmpty());
    }
}

using S = CalibrationResult;
INSTANTIATE_TEST_SUITE_P(
    Table, CalculateCalibrationTest,
    ::testing::Values(
        CalcCase{"diagonal 50 px over 25", {10, 20}, {40, 60}, "25", S::Calibrated, 2.0f, 25.0},
        CalcCase{"pick order does not matter", {40, 60}, {10, 20}, "25", S::Calibrated, 2.0f, 25.0},
        CalcCase{"equal points", {7.5, 3}, {7.5, 3}, "10", S::Calibrated, 1.0f, 10.0},
        CalcCase{"one horizontal line", {100.25, 8}, {3.75, 8}, "3", S::Calibrated, float(96.5 / 3.0), 3.0},
        CalcCase{"one vertical line", {5, 0}, {5, 30}, "10", S::Calibrated, 3.0f, 10.0},
        CalcCase{"negative distance", {0, 0}, {30, 40}, "-10", S::Calibrated, 1.0f, 0.0},
        CalcCase{"above 100: full factor, grid stops at 100", {0, 0}, {300, 400}, "250", S::Calibrated, 2.0f, 100.0},
        CalcCase{"leading blanks, sign and exponent", {0, 0}, {0, 50}, "  +2.5e1", S::Calibrated, 2.0f, 25.0},
        CalcCase{"decimal point without digits after", {0, 0}, {0, 50}, "25.", S::Calibrated, 2.0f, 25.0},
        CalcCase{"fraction without leading digit", {0, 0}, {0, 1}, ".5", S::Calibrated, 2.0f, 0.5},
        CalcCase{"zero", {0, 0}, {10, 0}, "0", S::ZeroDistance, 0, 0},
        CalcCase{"negative zero", {0, 0}, {10, 0}, "-0.0", S::ZeroDistance, 0, 0},
        CalcCase{"zero at equal points", {3, 3}, {3, 3}, "0", S::ZeroDistance, 0, 0},
        CalcCase{"letters", {0, 0}, {10, 0}, "ten", S::InvalidDistance, 0, 0},
        CalcCase{"digits then letters", {0, 0}, {10, 0}, "10mm", S::InvalidDistance, 0, 0},
        CalcCase{"comma as decimal separator", {0, 0}, {10, 0}, "2,5", S::InvalidDistance, 0, 0},
        CalcCase{"empty", {0, 0}, {10, 0}, "", S::InvalidDistance, 0, 0},
        CalcCase{"blanks only", {0, 0}, {10, 0}, "   ", S::InvalidDistance, 0, 0},
        CalcCase{"trailing blank", {0, 0}, {10, 0}, "10 ", S::InvalidDistance, 0, 0},
        CalcCase{"infinity", {0, 0}, {10, 0}, "inf", S::InvalidDistance, 0, 0},
        CalcCase{"not a number", {0, 0}, {10, 0}, "nan", S::InvalidDistance, 0, 0},
        CalcCase{"outside the single range", {0, 0}, {10, 0}, "1e39", S::InvalidDistance, 0, 0},
        CalcCase{"factor too large for a single", {0, 0}, {1000, 0}, "1e-37", S::TooLarge, 0, 0}));

TEST(CalculateCalibration, InvalidDistanceMessageIsTheBoxText)
{
    EXPECT_EQ(CalculateCalibration({0, 0}, {1, 1}, QStringLiteral("abc")).message, QStringLiteral("Invalid Distance"));
}

TEST(CalibrationUnits, ComboItemsAndCaptions)
{
    const char* const items[] = {"MicroMetres", "Millimetres", "Centimetres", "Metres", "Inches", "Feet", "Pixels"};
    for (int i = 0; i < kCalUnitCount; ++i)
        EXPECT_EQ(CalUnitComboItem(i), QString::fromLatin1(items[i]));
    EXPECT_TRUE(CalUnitComboItem(-1).isEmpty());
    EXPECT_TRUE(CalUnitComboItem(kCalUnitCount).isEmpty());
    EXPECT_EQ(PixelsPerUnitCaption(1), QStringLiteral("Pixels per mm"));
    EXPECT_EQ(PixelsPerUnitCaption(0), QString::fromUtf8("Pixels per µm"));
    EXPECT_EQ(PixelsPerUnitCaption(kCalUnitPixels), QStringLiteral("Pixels per pixels"));
}

TEST(CalibrationUnits, FactorShownWithFourSignificantDigits)
{
    EXPECT_EQ(FormatPixelsPerUnit(2.0f), QStringLiteral("2"));
    EXPECT_EQ(FormatPixelsPerUnit(1.0f / 3.0f), QStringLiteral("0.3333"));
    EXPECT_EQ(FormatPixelsPerUnit(12346.0f), QStringLiteral("1.235E+04"));
}

TEST(StoreCalibration, FillsTheRecordThatTravelsInExportedFiles)
{
    RecordingInfo info;
    EXPECT_EQ(info.CalUnitIndex, kCalUnitPixels);
    EXPECT_EQ(info.PixelsPerUnit, 1.0f);
    StoreCalibration(info, {10.5, 20.25}, {40, 60}, 2.0f, 1);
    RecordingInfo back;
    ASSERT_TRUE(back.fromBytes(info.toBytes()));
    EXPECT_EQ(back.PixelsPerUnit, 2.0f);
    EXPECT_EQ(back.CalUnitIndex, 1);
    EXPECT_EQ(back.CalPoint1[0], 10.5f);
    EXPECT_EQ(back.CalPoint1[1], 20.25f);
    EXPECT_EQ(back.CalPoint2[0], 40.0f);
    EXPECT_EQ(back.CalPoint2[1], 60.0f);
}

} // namespace
