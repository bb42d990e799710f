// Channels: construction, the drag copy, channels made from tracking results,
// and the vector routines of the kinematics.

#include "graphs/CfcFilter.h"
#include "graphs/Channel.h"
#include "graphs/TrackingChannel.h"
#include "graphs/TrackingResultChannels.h"
#include "common/Vectors.h"

#include <gtest/gtest.h>

TEST(Channel, ConstructionFromArraysCopiesAndZeroesTheRest)
{
    std::vector<float> x{0.0f, 0.5f, 1.0f};
    std::vector<float> y{3.0f, 4.0f, 5.0f};
    TABChannel channel(x, y);
    x[0] = 99.0f; // the channel holds copies
    EXPECT_EQ(channel.XData, (std::vector<float>{0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(channel.YData, y);
    EXPECT_EQ(channel.PointCount, 3);
    EXPECT_EQ(channel.PointStep, 1);
    EXPECT_EQ(channel.PlotKind, 0);
    EXPECT_EQ(channel.XShowsUnits, 0);
    EXPECT_EQ(channel.Inverted, 0);
    EXPECT_EQ(channel.SampleInterval, 0);
    EXPECT_EQ(channel.StartTime, 0);
    EXPECT_TRUE(channel.Title.isEmpty());
}

TEST(Channel, ArraysOfDifferentLengthAreCutToTheShorter)
{
    TABChannel channel({1, 2, 3, 4}, {5, 6});
    EXPECT_EQ(channel.XData.size(), 2u);
    EXPECT_EQ(channel.YData.size(), 2u);
    EXPECT_EQ(channel.PointCount, 2);
    // A PointCount beyond the arrays never reaches the readers.
    channel.PointCount = 1000;
    EXPECT_EQ(channel.sampleCount(), 2);
}

TEST(Channel, DragCopyKeepsEverythingButInverted)
{
    TABChannel source({1, 2}, {3, 4});
    source.Title = QStringLiteral("Head X");
    source.YUnits = QStringLiteral("g");
    source.XUnits = QStringLiteral("s");
    source.SampleInterval = 0.001L;
    source.StartTime = -0.02L;
    source.PointStep = 2;
    source.PlotKind = kPlotXYTrack;
    source.XShowsUnits = 1;
    source.Colour = 0x0000FF;
    source.Inverted = 1;

    const TABChannel copy = TABChannel::CopyOf(source);
    EXPECT_EQ(copy.Inverted, 0);
    EXPECT_EQ(copy.Title, source.Title);
    EXPECT_EQ(copy.YUnits, source.YUnits);
    EXPECT_EQ(copy.XUnits, source.XUnits);
    EXPECT_EQ(copy.SampleInterval, source.SampleInterval);
    EXPECT_EQ(copy.StartTime, source.StartTime);
    EXPECT_EQ(copy.PointCount, source.PointCount);
    EXPECT_EQ(copy.PointStep, 2);
    EXPECT_EQ(copy.PlotKind, kPlotXYTrack);
    EXPECT_EQ(copy.XShowsUnits, 1);
    EXPECT_EQ(copy.Colour, 0x0000FFu);
    EXPECT_EQ(copy.XData, source.XData);
    EXPECT_EQ(copy.YData, source.YData);
}

TEST(TrackingChannel, UnitsTitleAndKindFollowComponentAndQuantity)
{
    struct Case {
        TrackingComponent component;
        TrackingQuantity quantity;
        const char16_t* yUnits;
        const char16_t* xUnits;
        const char16_t* title;
        int plotKind;
    };
    const Case cases[] = {
        {TrackingComponent::X, TrackingQuantity::Position, u"mm", u"s", u"crash.bvf : P1 X Position", -1},
        {TrackingComponent::Y, TrackingQuantity::Displacement, u"mm", u"s", u"crash.bvf : P1 Y Displacement", -1},
        {TrackingComponent::X, TrackingQuantity::Velocity, u"mm/sec", u"s", u"crash.bvf : P1 X Velocity", -1},
        {TrackingComponent::Y, TrackingQuantity::Acceleration, u"mm/sec\u00B2", u"s", u"crash.bvf : P1 Y Acceleration", -1},
        {TrackingComponent::XY, TrackingQuantity::Position, u"mm", u"mm", u"crash.bvf : P1 X/Y Position", 1},
        {TrackingComponent::XY, TrackingQuantity::Velocity, u"mm/sec", u"mm/sec", u"crash.bvf : P1 X/Y Velocity", 1},
        {TrackingComponent::XY, TrackingQuantity::Acceleration, u"mm/sec\u00B2", u"mm/sec\u00B2",
         u"crash.bvf : P1 X/Y Acceleration", 1},
        {TrackingComponent::Rpm, TrackingQuantity::Rpm, u"RPM", u"s", u"crash.bvf : P1 RPM RPM", -1},
        {TrackingComponent::Angle, TrackingQuantity::Velocity, u"DEG", u"s", u"crash.bvf : P1 RPM Velocity", -1},
    };
    for (const Case& c : cases) {
        TrackingSeries series;
        series.xValues = {0.0f, 0.0005f, 0.001f};
        series.yValues = {1.0f, kTrackingMissingSample, 3.0f};
        series.component = c.component;
        series.quantity = c.quantity;
        series.unitName = QStringLiteral("mm");
        series.recordingFileName = QStringLiteral("crash.bvf");
        series.pointName = QStringLiteral("P1");
        series.frameRate = 2000;
        series.firstFrame = 10;
        series.timeZeroFrame = 50;

        const TABChannel channel = MakeTrackingChannel(series);
        const QString what = QString::fromUtf16(c.title);
        EXPECT_EQ(channel.Title, what);
        EXPECT_EQ(channel.YUnits, QString::fromUtf16(c.yUnits)) << what.toStdString();
        EXPECT_EQ(channel.XUnits, QString::fromUtf16(c.xUnits)) << what.toStdString();
        EXPECT_EQ(channel.PlotKind, c.plotKind) << what.toStdString();
        EXPECT_EQ(channel.PointCount, 3);
        EXPECT_EQ(channel.PointStep, 1);
        EXPECT_EQ(channel.XShowsUnits, 1);
        EXPECT_EQ(channel.SampleInterval, 1.0L / 2000);
        EXPECT_EQ(channel.StartTime, -40.0L / 2000);
        EXPECT_EQ(channel.YData[1], kTrackingMissingSample);
    }
}

TEST(TrackingChannel, SquaredIsTheSingleByteB2InLatin1)
{
    TrackingSeries series;
    series.component = TrackingComponent::X;
    series.quantity = TrackingQuantity::Acceleration;
    series.unitName = QStringLiteral("\u00B5m");
    const QByteArray units = MakeTrackingChannel(series).YUnits.toLatin1();
    EXPECT_EQ(units, QByteArray("\xB5m/sec\xB2"));
}

TEST(TrackingChannel, SmoothedSeriesSayHowTheyWereSmoothed)
{
    struct Case {
        TrackingQuantity quantity;
        int passes;
        const char16_t* title;
    };
    const Case cases[] = {
        {TrackingQuantity::Velocity, 0, u"crash.bvf : P1 X Velocity"},
        {TrackingQuantity::Velocity, 3, u"crash.bvf : P1 X Velocity (smoothed, 3 passes)"},
        {TrackingQuantity::Acceleration, 5, u"crash.bvf : P1 X Acceleration (smoothed, 5 passes)"},
        {TrackingQuantity::Acceleration, 1, u"crash.bvf : P1 X Acceleration (smoothed, 1 pass)"},
    };
    for (const Case& c : cases) {
        TrackingSeries series;
        series.component = TrackingComponent::X;
        series.quantity = c.quantity;
        series.smoothingPasses = c.passes;
        series.recordingFileName = QStringLiteral("crash.bvf");
        series.pointName = QStringLiteral("P1");
        EXPECT_EQ(MakeTrackingChannel(series).Title, QString::fromUtf16(c.title));
    }
    // A long file name gives way; the label stays.
    TrackingSeries series;
    series.smoothingPasses = 3;
    series.recordingFileName = QString(300, QLatin1Char('f'));
    const QString title = MakeTrackingChannel(series).Title;
    EXPECT_EQ(title.size(), 255);
    EXPECT_TRUE(title.endsWith(QStringLiteral(" (smoothed, 3 passes)"))) << title.toStdString();
}

TEST(TrackingChannel, ResultButtonsGiveTheRawChannelBesideTheSmoothedOne)
{
    // A point swinging at 50 Hz about (100, 50) at 1000 fps.
    std::vector<TrackRecord> records(200);
    for (int i = 0; i < 200; ++i) {
        records[size_t(i)].FrameNo = i;
        const double a = 2 * M_PI * 50 * i / 1000.0;
        records[size_t(i)].SetPosition(100 + 10 * std::cos(a), 50 + 10 * std::sin(a));
    }
    KinematicsSettings settings;
    settings.Clock = FrameClock(Rational(1000), 0);
    TrackingResultSource source;
    source.unitName = QStringLiteral("pixels");
    source.recordingFileName = QStringLiteral("crash.bvf");
    source.pointName = QStringLiteral("P1");
    source.frameRate = 1000;

    struct Case {
        KinematicsQuantity quantity;
        TrackingComponent component;
        std::vector<const char16_t*> titles;
    };
    const Case cases[] = {
        {KinematicsQuantity::Position, TrackingComponent::XY, {u"crash.bvf : P1 X/Y Position"}},
        {KinematicsQuantity::Velocity, TrackingComponent::X,
         {u"crash.bvf : P1 X Velocity (smoothed, 3 passes)", u"crash.bvf : P1 X Velocity"}},
        {KinematicsQuantity::Acceleration, TrackingComponent::Y,
         {u"crash.bvf : P1 Y Acceleration (smoothed, 5 passes)", u"crash.bvf : P1 Y Acceleration"}},
        {KinematicsQuantity::Rpm, TrackingComponent::X, {}},   // no origin: no centre to turn about
    };
    for (const Case& c : cases) {
        const std::vector<TABChannel> channels
            = MakeTrackingResultChannels(records, settings, c.quantity, c.component, source);
        ASSERT_EQ(channels.size(), c.titles.size()) << int(c.quantity);
        for (size_t i = 0; i < channels.size(); ++i)
            EXPECT_EQ(channels[i].Title, QString::fromUtf16(c.titles[i]));
        if (channels.size() == 2) {
            // Smoothing lowers the peaks of the swing; the raw channel keeps them.
            float smoothed = 0, raw = 0;
            for (int i = 20; i < 180; ++i) {
                smoothed = std::max(smoothed, std::fabs(channels[0].YData[size_t(i)]));
                raw = std::max(raw, std::fabs(channels[1].YData[size_t(i)]));
            }
            EXPECT_LT(smoothed, 0.95f * raw) << int(c.quantity);
        }
    }
    EXPECT_EQ(MakeTrackingResultChannels(records, settings, KinematicsQuantity::Position, TrackingComponent::XY,
                                         source)[0].PlotKind, kPlotXYTrack);

    // About the circle's centre: 3000 RPM, smoothed and raw.
    settings.HasOrigin = true;
    settings.OriginX = 100;
    settings.OriginY = 50;
    const std::vector<TABChannel> rpm
        = MakeTrackingResultChannels(records, settings, KinematicsQuantity::Rpm, TrackingComponent::XY, source);
    ASSERT_EQ(rpm.size(), 2u);
    EXPECT_EQ(rpm[0].Title, QStringLiteral("crash.bvf : P1 RPM RPM (smoothed, 5 passes)"));
    EXPECT_EQ(rpm[1].Title, QStringLiteral("crash.bvf : P1 RPM RPM"));
    EXPECT_EQ(rpm[1].YUnits, QStringLiteral("RPM"));
    EXPECT_EQ(rpm[1].YData[0], kTrackingMissingSample);
    EXPECT_NEAR(rpm[1].YData[100], 3000.0f, 0.01f);
}

TEST(Channel, FilteredTitleHasNoBlankBeforeTheClass)
{
    EXPECT_EQ(CfcTitle(QStringLiteral("Head X"), 60), QStringLiteral("Head X: CFC60"));
    EXPECT_EQ(CfcTitle(QString(300, QLatin1Char('a')), 1000).size(), 255);
}

TEST(Vectors, LengthDotAndAngle)
{
    EXPECT_FLOAT_EQ(VectorLength({3, 4, 0}), 5.0f);
    EXPECT_FLOAT_EQ(DotProduct({1, 2, 3}, {4, -5, 6}), 12.0f);
    EXPECT_FLOAT_EQ(VectorAngle({1, 0, 0}, {0, 2, 0}), std::numbers::pi_v<float> / 2);
    EXPECT_EQ(VectorAngle({2, 2, 0}, {1, 1, 0}), 0.0f);
    // Opposite directions give -pi, not +pi.
    EXPECT_EQ(VectorAngle({1, 0, 0}, {-3, 0, 0}), -std::numbers::pi_v<float>);
    EXPECT_EQ(VectorAngle({1, 1, 0}, {-1, -1, 0}), -std::numbers::pi_v<float>);
}

TEST(Vectors, AngleAtVertex)
{
    // Centre (100, 100), right edge (640, 100): a point straight above is at
    // 90 degrees, one to the left at 180 (given as -pi), one to the right at 0.
    const QPoint centre(100, 100), edge(640, 100);
    EXPECT_NEAR(*AngleAtVertex(centre, edge, QPoint(100, 20)) * 57.295779513082320877, 90.0, 1e-4);
    EXPECT_NEAR(*AngleAtVertex(centre, edge, QPoint(50, 50)) * 57.295779513082320877, 135.0, 1e-4);
    EXPECT_EQ(*AngleAtVertex(centre, edge, QPoint(10, 100)), -std::numbers::pi_v<float>);
    EXPECT_EQ(*AngleAtVertex(centre, edge, QPoint(300, 100)), 0.0f);
    // A point on the centre has no angle.
    EXPECT_FALSE(AngleAtVertex(centre, edge, centre).has_value());
    EXPECT_FALSE(AngleAtVertex(edge, edge, centre).has_value());
}
