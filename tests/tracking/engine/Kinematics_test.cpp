// Kinematics: positions in both Y directions, displacement, derivatives and
// their missing samples, smoothing with its end treatment, angles and
// rotation speed, and the tracking CSV file byte for byte.

#include "common/NumberFormat.h"
#include "tracking/engine/Kinematics.h"
#include "tracking/engine/TrackingExport.h"
#include "tracking/engine/TrackingPoint.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

namespace {

constexpr float M = MissingValue;

std::vector<TrackRecord> Records(int count, int frameRate = 100)
{
    TTrackingPoint p;
    p.InitRecords(0, count, 0, frameRate);
    return p.Records;
}

} // namespace

TEST(Kinematics, PositionInBothYDirectionsAndDisplacement)
{
    std::vector<TrackRecord> r = Records(4);
    r[1].SetPosition(100, 80);
    r[2].SetPosition(110, 70);
    KinematicsSettings s;
    s.PixelsPerUnit = 2;
    s.FrameWidth = 640;
    s.FrameHeight = 480;

    KinematicsArrays a;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 50.0f);
    EXPECT_EQ(a.ValuesY[1], 200.0f);
    EXPECT_EQ(a.PixelX[1], 100.0f);
    EXPECT_EQ(a.PixelY[2], 70.0f);
    EXPECT_EQ(a.ValuesX[0], M);
    EXPECT_EQ(a.PixelY[3], M);
    EXPECT_FLOAT_EQ(a.Times[3], 0.03f);

    s.YFromBottom = false;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 50.0f);
    EXPECT_EQ(a.ValuesY[1], -40.0f);

    s.OriginX = 10;
    s.OriginY = 20;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 45.0f);
    EXPECT_EQ(a.ValuesY[1], -30.0f);  // up from the origin
    s.YFromBottom = true;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesY[1], 210.0f);

    ComputeDisplacement(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 0.0f);
    EXPECT_EQ(a.ValuesY[1], 0.0f);
    EXPECT_EQ(a.ValuesX[2], 5.0f);
    EXPECT_EQ(a.ValuesY[2], 5.0f);   // moved up the picture
    EXPECT_EQ(a.ValuesX[0], M);
    EXPECT_EQ(a.ValuesY[3], M);
}

TEST(Kinematics, DerivativesLeaveGapsMissing)
{
    // Tracked on frames 10 ... 12 of 100 only.
    std::vector<TrackRecord> r = Records(100);
    for (int f = 10; f <= 12; ++f)
        r[size_t(f)].SetPosition(2.0 * f, 480 - 3.0 * f);
    KinematicsSettings s;
    s.FrameHeight = 480;
    KinematicsArrays a;
    ComputePosition(r, s, a);
    Differentiate(a);
    for (int i = 0; i < 100; ++i) {
        if (i == 11) {
            EXPECT_NEAR(a.ValuesX[size_t(i)], 200.0f, 1e-3);   // 2 pixels per frame at 100 fps
            EXPECT_NEAR(a.ValuesY[size_t(i)], 300.0f, 1e-3);   // up the picture
        } else {
            EXPECT_EQ(a.ValuesX[size_t(i)], M) << i;
            EXPECT_EQ(a.ValuesY[size_t(i)], M) << i;
        }
    }
    Differentiate(a);
    for (float v : a.ValuesX)
        EXPECT_EQ(v, M);

    // No time base (frame rate 0): no rates instead of infinities.
    std::vector<TrackRecord> still = Records(5, 0);
    for (auto& rec : still)
        rec.SetPosition(1, 1);
    ComputePosition(still, s, a);
    Differentiate(a);
    for (float v : a.ValuesX)
        EXPECT_EQ(v, M);
}

TEST(Kinematics, SmoothEndsAndMissingSamples)
{
    std::vector<float> constant(7, 3.5f);
    Smooth(constant, 3);
    for (float v : constant)
        EXPECT_EQ(v, 3.5f);

    // End treatment by hand: extension (8, 0, -4 | 0, 4, 8 | 8, 0, -4).
    std::vector<float> line{0, 4, 8};
    Smooth(line, 1);
    EXPECT_EQ(line, (std::vector<float>{0, 4, 7}));

    // A missing sample stays missing, its neighbours keep their value for
    // the pass, and nothing made from the gap leaks into present samples.
    std::vector<float> gap{5, 5, M, 5, 5};
    Smooth(gap, 5);
    EXPECT_EQ(gap, (std::vector<float>{5, 5, M, 5, 5}));

    std::vector<float> bump{0, 0, 4, M, 0, 8, 0, 0};
    Smooth(bump, 1);
    EXPECT_EQ(bump, (std::vector<float>{0, 1, 4, M, 0, 4, 2, 0}));

    std::vector<float> empty;
    Smooth(empty, 3);
    EXPECT_TRUE(empty.empty());
}

TEST(Kinematics, AngleAndRpm)
{
    // A point circling the frame centre once a second, sampled at 100 fps.
    const int n = 101;
    std::vector<TrackRecord> r = Records(n);
    KinematicsSettings s;
    s.FrameWidth = 800;
    s.FrameHeight = 800;
    for (int i = 0; i < n; ++i) {
        const double t = i / 100.0;
        r[size_t(i)].SetPosition(400 + 300 * std::cos(2 * M_PI * t), 400 + 300 * std::sin(2 * M_PI * t));
    }
    KinematicsArrays a;
    ComputeAngle(r, s, a);
    EXPECT_NEAR(a.AngleRpm[0], 0.0f, 1e-4);
    EXPECT_NEAR(a.AngleRpm[25], 90.0f, 0.2);
    EXPECT_NEAR(a.AngleRpm[50], 180.0f, 1e-4);   // straight left: 180, not -180
    EXPECT_NEAR(a.AngleRpm[75], 90.0f, 0.2);     // unsigned
    ComputeRpm(a);
    EXPECT_EQ(a.AngleRpm[0], M);
    EXPECT_EQ(a.AngleRpm[100], M);
    for (int i = 5; i <= 95; ++i) {
        if (std::abs(i - 50) <= 1)
            continue;  // the unsigned angle turns back at 180 degrees
        EXPECT_NEAR(a.AngleRpm[size_t(i)], 60.0f, 3.0f) << i;
    }

    // A point on the centre has no angle; an origin moves the centre.
    std::vector<TrackRecord> c = Records(3);
    c[0].SetPosition(400.2, 399.8);
    c[1].SetPosition(10, 20);
    c[2].SetPosition(10, 30);
    ComputeAngle(c, s, a);
    EXPECT_EQ(a.AngleRpm[0], M);
    s.OriginX = 10;
    s.OriginY = 20;
    ComputeAngle(c, s, a);
    EXPECT_NEAR(a.AngleRpm[0], 44.26f, 0.05);
    EXPECT_EQ(a.AngleRpm[1], M);
    EXPECT_NEAR(a.AngleRpm[2], 90.0f, 1e-4);
    // A centre on the right edge still measures from the rightward ray.
    s.OriginX = 800;
    s.OriginY = 30;
    ComputeAngle(c, s, a);
    EXPECT_NEAR(a.AngleRpm[2], 180.0f, 1e-4);
}

TEST(Kinematics, FixTimesFollowsTheTimeBase)
{
    std::vector<TrackRecord> r = Records(5, 100);
    FixTimes(r, 0, 0, 100);
    EXPECT_DOUBLE_EQ(r[4].Time, 0.04);
    FixTimes(r, 0, 2, 200);   // time zero moved and rate changed
    EXPECT_DOUBLE_EQ(r[0].Time, -0.01);
    EXPECT_DOUBLE_EQ(r[4].Time, 0.01);
}

TEST(TrackingCsv, SmallPointByteForByte)
{
    TTrackingPoint p;
    p.Name = QStringLiteral("Point 0");
    p.InitRecords(0, 3, 0, 1000);
    p.Records[1].SetPosition(10.5, 20.25);
    TrackingExportInfo info;
    info.FrameRate = 1000;
    info.CalUnitIndex = 0;
    info.Kinematics.PixelsPerUnit = 2;
    info.Kinematics.OriginX = 1.5f;
    info.Kinematics.OriginY = 2;
    info.Kinematics.FrameWidth = 64;
    info.Kinematics.FrameHeight = 48;

    const QByteArray vanish11 = QByteArray("VANISH ,").repeated(11);
    const QByteArray expected = QByteArray(
        "Qor Player Tracking Point\r\n"
        "Point Name ,Point 0\r\n"
        "FPS ,1000\r\n"
        "Width ,64\r\n"
        "Height ,48\r\n"
        "Calibration ,2.00\r\n"
        "Calibration Units ,\xB5m\r\n"
        "Origin ,X,Y\r\n"
        " ,1.50,2.00\r\n"
        "Point Data\r\n"
        "Frame No, Time [s],Coordinate, ,Position, ,Displacement, ,Velocity, ,Acceleration, ,RPM\r\n"
        ",,X,Y,X,Y,X,Y,X,Y,X,Y\r\n")
        + "0,0.000," + vanish11 + "\r\n"
        + "1,0.001,10.50,20.25,4.50,14.88,0.00,0.00,VANISH ,VANISH ,VANISH ,VANISH ,VANISH ,\r\n"
        + "2,0.002," + vanish11 + "\r\n";
    EXPECT_EQ(TrackingCsv(p, info), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("track.csv"));
    QString error;
    ASSERT_TRUE(WriteTrackingCsv(path, p, info, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
    EXPECT_FALSE(WriteTrackingCsv(dir.filePath(QStringLiteral("no/such/dir/x.csv")), p, info, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TrackingCsv, FullyTrackedRowsAndLargeNumbers)
{
    TTrackingPoint p;
    p.Name = QStringLiteral("Point 1");
    p.InitRecords(0, 5, 0, 100);
    for (int i = 0; i < 5; ++i)
        p.Records[size_t(i)].SetPosition(10 + i, 10);
    TrackingExportInfo info;
    info.FrameRate = 100;
    info.Kinematics.FrameHeight = 10;
    const QList<QByteArray> lines = TrackingCsv(p, info).split('\n');
    ASSERT_EQ(lines.size(), 12 + 5 + 1);
    EXPECT_EQ(lines[6], "Calibration Units ,pixels\r");
    // First and last rows: no velocity, acceleration or rotation speed.
    EXPECT_EQ(lines[12], "0,0.000,10.00,10.00,10.00,0.00,0.00,0.00,VANISH ,VANISH ,VANISH ,VANISH ,VANISH ,\r");
    // RPM about the centre (0, 5) of a frame of width 0: from atan(5/11) to
    // atan(5/13) over 0.02 s is 170.35 degrees per second.
    EXPECT_EQ(lines[14].toStdString(), "2,0.020,12.00,10.00,12.00,0.00,2.00,0.00,100.00,0.00,0.00,0.00,28.39,\r");
    EXPECT_EQ(lines[16], "4,0.040,14.00,10.00,14.00,0.00,4.00,0.00,VANISH ,VANISH ,VANISH ,VANISH ,VANISH ,\r");

    // Seven significant digits: a value too large for them is written in
    // exponent form; small ones round at the second decimal.
    EXPECT_EQ(FormatFixed(12345678.0, 7, 2), "1.234568E+07");
    EXPECT_EQ(FormatFixed(1234567.4, 7, 2), "1234567.00");
    EXPECT_EQ(FormatFixed(-0.004, 7, 2), "0.00");
    EXPECT_EQ(FormatFixed(2.0f / 3.0f, 7, 3), "0.667");
}
