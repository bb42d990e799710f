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
#include <QSet>
#include <QTemporaryDir>
#include <cmath>

namespace {

constexpr double M = MissingValue;

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
    s.Clock = FrameClock(Rational(100), 0);

    // Without an origin: Y up counts from the bottom edge, Y down from the top.
    KinematicsArrays a;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 50.0);
    EXPECT_EQ(a.ValuesY[1], 200.0);
    EXPECT_EQ(a.PixelX[1], 100.0);
    EXPECT_EQ(a.PixelY[2], 70.0);
    EXPECT_EQ(a.ValuesX[0], M);
    EXPECT_EQ(a.PixelY[3], M);
    EXPECT_DOUBLE_EQ(a.Times[3], 0.03);

    s.YDir = YDirection::Down;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 50.0);
    EXPECT_EQ(a.ValuesY[1], 40.0);

    s.HasOrigin = true;
    s.OriginX = 10;
    s.OriginY = 20;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 45.0);
    EXPECT_EQ(a.ValuesY[1], 30.0);   // down from the origin
    s.YDir = YDirection::Up;
    ComputePosition(r, s, a);
    EXPECT_EQ(a.ValuesY[1], -30.0);  // below the origin

    ComputeDisplacement(r, s, a);
    EXPECT_EQ(a.ValuesX[1], 0.0);
    EXPECT_EQ(a.ValuesY[1], 0.0);
    EXPECT_EQ(a.ValuesX[2], 5.0);
    EXPECT_EQ(a.ValuesY[2], 5.0);    // moved up the picture
    EXPECT_EQ(a.ValuesX[0], M);
    EXPECT_EQ(a.ValuesY[3], M);
}

TEST(Kinematics, TheOriginReadsZeroInBothYDirections)
{
    // The origin itself, a point 10 px above it and one 4 px right of it,
    // with a sub-pixel origin and 2 pixels per unit.
    struct Case {
        YDirection dir;
        double aboveY;   // Y of the point above the origin
    };
    const Case cases[] = {{YDirection::Up, 5.0}, {YDirection::Down, -5.0}};
    for (const Case& c : cases) {
        std::vector<TrackRecord> r = Records(3);
        r[0].SetPosition(80.25, 60.5);
        r[1].SetPosition(80.25, 50.5);
        r[2].SetPosition(84.25, 60.5);
        KinematicsSettings s;
        s.PixelsPerUnit = 2;
        s.FrameWidth = 160;
        s.FrameHeight = 120;
        s.HasOrigin = true;
        s.OriginX = 80.25;
        s.OriginY = 60.5;
        s.YDir = c.dir;
        KinematicsArrays a;
        ComputePosition(r, s, a);
        const int dir = int(c.dir);
        EXPECT_EQ(a.ValuesX[0], 0.0) << dir;
        EXPECT_EQ(a.ValuesY[0], 0.0) << dir;
        EXPECT_EQ(a.ValuesX[1], 0.0) << dir;
        EXPECT_EQ(a.ValuesY[1], c.aboveY) << dir;
        EXPECT_EQ(a.ValuesX[2], 2.0) << dir;
        EXPECT_EQ(a.ValuesY[2], 0.0) << dir;
    }
}

TEST(Kinematics, DerivativesLeaveGapsMissing)
{
    // Tracked on frames 10 ... 12 of 100 only.
    std::vector<TrackRecord> r = Records(100);
    for (int f = 10; f <= 12; ++f)
        r[size_t(f)].SetPosition(2.0 * f, 480 - 3.0 * f);
    KinematicsSettings s;
    s.FrameHeight = 480;
    s.Clock = FrameClock(Rational(100), 0);
    KinematicsArrays a;
    ComputePosition(r, s, a);
    Differentiate(a);
    for (int i = 0; i < 100; ++i) {
        if (i == 11) {
            EXPECT_DOUBLE_EQ(a.ValuesX[size_t(i)], 200.0);   // 2 pixels per frame at 100 fps
            EXPECT_DOUBLE_EQ(a.ValuesY[size_t(i)], 300.0);   // up the picture
        } else {
            EXPECT_EQ(a.ValuesX[size_t(i)], M) << i;
            EXPECT_EQ(a.ValuesY[size_t(i)], M) << i;
        }
    }
    Differentiate(a);
    for (double v : a.ValuesX)
        EXPECT_EQ(v, M);

    // No time base (frame rate 0): no rates instead of infinities.
    std::vector<TrackRecord> still = Records(5, 0);
    for (auto& rec : still)
        rec.SetPosition(1, 1);
    s.Clock = FrameClock(Rational(0), 0);
    ComputePosition(still, s, a);
    Differentiate(a);
    for (double v : a.ValuesX)
        EXPECT_EQ(v, M);
}

TEST(Kinematics, SmoothEndsAndMissingSamples)
{
    std::vector<double> constant(7, 3.5);
    Smooth(constant, 3);
    for (double v : constant)
        EXPECT_EQ(v, 3.5);

    // End treatment by hand: extension (8, 0, -4 | 0, 4, 8 | 8, 0, -4).
    std::vector<double> line{0, 4, 8};
    Smooth(line, 1);
    EXPECT_EQ(line, (std::vector<double>{0, 4, 7}));

    // A missing sample stays missing, its neighbours keep their value for
    // the pass, and nothing made from the gap leaks into present samples.
    std::vector<double> gap{5, 5, M, 5, 5};
    Smooth(gap, 5);
    EXPECT_EQ(gap, (std::vector<double>{5, 5, M, 5, 5}));

    std::vector<double> bump{0, 0, 4, M, 0, 8, 0, 0};
    Smooth(bump, 1);
    EXPECT_EQ(bump, (std::vector<double>{0, 1, 4, M, 0, 4, 2, 0}));

    std::vector<double> empty;
    Smooth(empty, 3);
    EXPECT_TRUE(empty.empty());
}

TEST(Kinematics, SignedAngleAboutTheOrigin)
{
    std::vector<TrackRecord> r = Records(6);
    r[0].SetPosition(110.5, 50.25);   // right of the origin
    r[1].SetPosition(100.5, 40.25);   // above it on the screen
    r[2].SetPosition(90.5, 50.25);    // left
    r[3].SetPosition(100.5, 60.25);   // below
    r[4].SetPosition(100.5, 50.25);   // on it: no angle
    KinematicsSettings s;
    s.FrameWidth = 200;
    s.FrameHeight = 100;
    s.Clock = FrameClock(Rational(100), 0);
    KinematicsArrays a;

    // No origin, no centre: no angle is guessed.
    ComputeAngle(r, s, a);
    for (double v : a.AngleRpm)
        EXPECT_EQ(v, M);

    s.HasOrigin = true;
    s.OriginX = 100.5;
    s.OriginY = 50.25;
    ComputeAngle(r, s, a);
    EXPECT_EQ(a.AngleRpm[0], 0.0);
    EXPECT_DOUBLE_EQ(a.AngleRpm[1], 90.0);
    EXPECT_DOUBLE_EQ(a.AngleRpm[2], 180.0);
    EXPECT_DOUBLE_EQ(a.AngleRpm[3], -90.0);
    EXPECT_EQ(a.AngleRpm[4], M);
    EXPECT_EQ(a.AngleRpm[5], M);
    // Y growing downward turns the other way.
    s.YDir = YDirection::Down;
    ComputeAngle(r, s, a);
    EXPECT_DOUBLE_EQ(a.AngleRpm[1], -90.0);
    EXPECT_DOUBLE_EQ(a.AngleRpm[3], 90.0);

    // Across +-180 degrees: 170 -> -170 is a turn of +20 degrees in 0.02 s.
    KinematicsArrays turn;
    turn.Times = {0, 0.01, 0.02};
    turn.Frames = {0, 1, 2};
    turn.Clock = FrameClock(Rational(100), 0);
    turn.AngleRpm = {170, 180, -170};
    ComputeRpm(turn, true);
    EXPECT_NEAR(turn.AngleRpm[1], 20.0 / 0.02 / 6.0, 1e-9);
    turn.AngleRpm = {-170, 180, 170};
    ComputeRpm(turn, true);
    EXPECT_NEAR(turn.AngleRpm[1], -20.0 / 0.02 / 6.0, 1e-9);
    turn.AngleRpm = {-170, 180, 170};
    ComputeRpm(turn);
    EXPECT_NEAR(turn.AngleRpm[1], 20.0 / 0.02 / 6.0, 1e-9);   // a magnitude
}

namespace {

// A point on a circle about (cx, cy), turning anticlockwise on the screen.
std::vector<TrackRecord> Circle(int frames, int frameRate, double cx, double cy, double radius, double rpm)
{
    std::vector<TrackRecord> r = Records(frames, frameRate);
    for (int i = 0; i < frames; ++i) {
        const double angle = 0.3 + 2 * M_PI * rpm / 60.0 * i / frameRate;
        r[size_t(i)].SetPosition(cx + radius * std::cos(angle), cy - radius * std::sin(angle));
    }
    return r;
}

// RMS of the relative error of the present samples, and their count.
std::pair<double, int> RmsRelativeError(const std::vector<double>& rpm, double truth)
{
    double sum = 0;
    int count = 0;
    for (double v : rpm) {
        if (IsMissing(v))
            continue;
        sum += (v - truth) * (v - truth) / (truth * truth);
        ++count;
    }
    return {count ? std::sqrt(sum / count) : NAN, count};
}

} // namespace

TEST(Kinematics, RpmOnCirclesAboutASubPixelCentre)
{
    // 1000 fps, a centre between pixels, 30 px radius; with the origin on
    // the centre, and without an origin (where no centre may be guessed).
    struct Case {
        double rpm;
        bool origin;
    };
    const Case cases[] = {{600, true}, {150, true}, {600, false}, {150, false}};
    const double cx = 320.4, cy = 240.7;
    for (const Case& c : cases) {
        const std::vector<TrackRecord> r = Circle(500, 1000, cx, cy, 30, c.rpm);
        KinematicsSettings s;
        s.FrameWidth = 640;
        s.FrameHeight = 480;
        s.Clock = FrameClock(Rational(1000), 0);
        s.HasOrigin = c.origin;
        s.OriginX = cx;
        s.OriginY = cy;
        EXPECT_EQ(CanComputeRpm(s), c.origin);
        const KinematicsSeries raw = ComputeSeries(r, s, KinematicsQuantity::Rpm, false);
        const auto [rms, present] = RmsRelativeError(raw.Y, c.rpm);
        if (!c.origin) {
            EXPECT_EQ(present, 0) << c.rpm;
            continue;
        }
        EXPECT_EQ(present, 498) << c.rpm;
        // A steady turn has the same angle step every frame: the central
        // difference is exact up to rounding.
        EXPECT_LT(rms, 1e-9) << c.rpm;
        const KinematicsSeries smooth = ComputeSeries(r, s, KinematicsQuantity::Rpm, true);
        EXPECT_EQ(smooth.SmoothingPasses, 5);
        EXPECT_LT(RmsRelativeError(smooth.Y, c.rpm).first, 1e-9) << c.rpm;

        // Signed: anticlockwise on the screen is positive with Y up.
        s.SignedRpm = true;
        EXPECT_NEAR(ComputeSeries(r, s, KinematicsQuantity::Rpm, false).Y[250], c.rpm, 1e-6);
        s.YDir = YDirection::Down;
        EXPECT_NEAR(ComputeSeries(r, s, KinematicsQuantity::Rpm, false).Y[250], -c.rpm, 1e-6);
    }
}

TEST(Kinematics, RpmFromSubPixelPositions)
{
    // 60 RPM at 1000 fps on a 50 px radius: 0.31 px per frame, so whole
    // pixels would read anything from 0 to well over 100 RPM.
    const std::vector<TrackRecord> r = Circle(1001, 1000, 200.5, 150.5, 50, 60);
    KinematicsSettings s;
    s.Clock = FrameClock(Rational(1000), 0);
    s.HasOrigin = true;
    s.OriginX = 200.5;
    s.OriginY = 150.5;
    KinematicsArrays a;
    ComputeAngle(r, s, a);
    ComputeRpm(a);
    for (size_t i = 1; i + 1 < a.AngleRpm.size(); ++i)
        ASSERT_NEAR(a.AngleRpm[i], 60.0, 1e-6) << i;
}

TEST(Kinematics, ConstantVelocityHasNoAcceleration)
{
    // Exact frame times: a steady movement has zero acceleration at any rate.
    struct Case {
        int frameRate;
        int frames;
        double pixelsPerFrame;
        double pixelsPerUnit;
        double velocity;   // units per second
    };
    const Case cases[] = {
        {10000, 40, 1.0, 1.0, 10000.0},         // 1 px per frame at 10 kfps
        {10000, 10001, 1.0, 1.0, 10000.0},
        {100000, 100001, 0.1, 1000.0, 10.0},    // 10 m/s at 100 kfps, 1000 px/m, for 1 s
    };
    for (const Case& c : cases) {
        TTrackingPoint p;
        p.InitRecords(0, c.frames, 0, c.frameRate);
        for (int i = 0; i < c.frames; ++i)
            p.Records[size_t(i)].SetPosition(20.0 + c.pixelsPerFrame * i, 30.0);
        TrackingExportInfo info;
        info.FrameRate = c.frameRate;
        info.Kinematics.PixelsPerUnit = c.pixelsPerUnit;
        info.Kinematics.FrameHeight = 64;
        const TrackingResultTable t = ComputeTrackingResults(p, info);
        double worstV = 0, worstA = 0;
        for (int i = 2; i + 2 < c.frames; ++i) {
            worstV = std::max(worstV, std::fabs(t.VelocityX[size_t(i)] - c.velocity));
            worstA = std::max({worstA, std::fabs(t.AccelerationX[size_t(i)]), std::fabs(t.AccelerationY[size_t(i)])});
        }
        EXPECT_LT(worstV, c.velocity * 1e-9) << c.frameRate;
        // What is left is the rounding of the positions themselves (about
        // 1e-16 of 10 m, times the rate squared).
        EXPECT_LT(worstA, 1e-4) << c.frameRate;
    }
}

TEST(Kinematics, GraphSeriesRawAndSmoothed)
{
    // A 50 Hz swing at 1000 fps: the smoothed velocity and acceleration are
    // lower at the peaks than the raw ones, and say how they were smoothed.
    std::vector<TrackRecord> r = Records(200, 1000);
    for (int i = 0; i < 200; ++i)
        r[size_t(i)].SetPosition(100 + 10 * std::sin(2 * M_PI * 50 * i / 1000.0), 50);
    KinematicsSettings s;
    s.Clock = FrameClock(Rational(1000), 0);
    s.FrameHeight = 100;
    struct Case {
        KinematicsQuantity q;
        int passes;
    };
    const Case cases[] = {{KinematicsQuantity::Position, 0}, {KinematicsQuantity::Displacement, 0},
                          {KinematicsQuantity::Velocity, 3}, {KinematicsQuantity::Acceleration, 5}};
    for (const Case& c : cases) {
        const KinematicsSeries raw = ComputeSeries(r, s, c.q, false);
        const KinematicsSeries smooth = ComputeSeries(r, s, c.q, true);
        EXPECT_EQ(raw.SmoothingPasses, 0);
        EXPECT_EQ(smooth.SmoothingPasses, c.passes);
        ASSERT_EQ(raw.X.size(), 200u);
        double rawPeak = 0, smoothPeak = 0;
        for (size_t i = 20; i < 180; ++i) {
            rawPeak = std::max(rawPeak, std::fabs(raw.X[i]));
            smoothPeak = std::max(smoothPeak, std::fabs(smooth.X[i]));
            EXPECT_EQ(IsMissing(raw.X[i]), IsMissing(smooth.X[i])) << i;
        }
        if (c.passes == 0)
            EXPECT_EQ(rawPeak, smoothPeak);
        else
            EXPECT_LT(smoothPeak, 0.95 * rawPeak) << int(c.q);
    }
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
    info.Kinematics.HasOrigin = true;
    info.Kinematics.OriginX = 1.5;
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
        + "1,0.001,10.50,20.25,4.500,-9.125,0.000,0.000,VANISH ,VANISH ,VANISH ,VANISH ,VANISH ,\r\n"
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
    // No origin: no rotation speed.
    EXPECT_EQ(lines[14].toStdString(), "2,0.020,12.00,10.00,12.00,0.00,2.00,0.00,100.00,0.00,0.00,0.00,VANISH ,\r");
    EXPECT_EQ(lines[16], "4,0.040,14.00,10.00,14.00,0.00,4.00,0.00,VANISH ,VANISH ,VANISH ,VANISH ,VANISH ,\r");

    // Seven significant digits: a value too large for them is written in
    // exponent form; small ones round at the second decimal.
    EXPECT_EQ(FormatFixed(12345678.0, 7, 2), "1.234568E+07");
    EXPECT_EQ(FormatFixed(1234567.4, 7, 2), "1234567.00");
    EXPECT_EQ(FormatFixed(-0.004, 7, 2), "0.00");
    EXPECT_EQ(FormatFixed(2.0f / 3.0f, 7, 3), "0.667");
}

TEST(TrackingCsv, TimesTellEveryFrameApartAndLengthsKeepTheirDigits)
{
    struct Case {
        int frameRate;
        double pixelsPerUnit;
        int calUnit;
        QByteArray row1Start;   // index, time, pixel X, pixel Y, position X
    };
    const Case cases[] = {
        {1000, 1.0, 6, "1,0.001,12.50,10.00,12.50,"},
        {10000, 1.0, 6, "1,0.0001,12.50,10.00,12.50,"},
        {3000, 1.0, 6, "1,0.0003,12.50,10.00,12.50,"},
        {100000, 1.0, 6, "1,0.00001,12.50,10.00,12.50,"},
        {10000, 1000.0, 3, "1,0.0001,12.50,10.00,0.01250,"},   // metres at 1000 px/m
        {10000, 304.8, 5, "1,0.0001,12.50,10.00,0.04101,"},    // feet
    };
    for (const Case& c : cases) {
        TTrackingPoint p;
        p.InitRecords(0, 40, 0, c.frameRate);
        for (int i = 0; i < 40; ++i)
            p.Records[size_t(i)].SetPosition(10.0 + 2.5 * i, 10);
        TrackingExportInfo info;
        info.FrameRate = c.frameRate;
        info.CalUnitIndex = c.calUnit;
        info.Kinematics.PixelsPerUnit = c.pixelsPerUnit;
        info.Kinematics.FrameHeight = 10;
        const QList<QByteArray> lines = TrackingCsv(p, info).split('\n');
        ASSERT_EQ(lines.size(), 12 + 40 + 1);
        EXPECT_TRUE(lines[13].startsWith(c.row1Start)) << lines[13].toStdString();
        QSet<QByteArray> times;
        for (int i = 12; i < 52; ++i) {
            const QList<QByteArray> fields = lines[i].split(',');
            ASSERT_EQ(fields.size(), 14) << i;   // 13 columns, each ended by a comma
            times.insert(fields[1]);
        }
        EXPECT_EQ(times.size(), 40) << c.frameRate;
    }
    EXPECT_EQ(TimeDecimals(Rational(2997, 100)), 3);
    EXPECT_EQ(TimeDecimals(Rational(10000)), 4);
    EXPECT_EQ(TimeDecimals(Rational(100001, 10)), 5);
    EXPECT_EQ(TimeDecimals(Rational(0)), 3);
}
