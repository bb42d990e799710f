// What a graph window decides without widgets: colours, order, axes, the
// cursor sample, the list rows, cross plots, and T/HIS files read back.

#include "graphs/GraphLayout.h"
#include "graphs/ThisFile.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TABChannel channel(const QString& title, const QString& units, std::vector<float> y, double interval = 0.001,
                   double start = 0)
{
    std::vector<float> x(y.size());
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = float(start + double(i) * interval);
    TABChannel c(x, y);
    c.Title = title;
    c.YUnits = units;
    c.XUnits = QStringLiteral("s");
    c.SampleInterval = interval;
    c.StartTime = start;
    return c;
}

TEST(GraphLayout, ColourIndexStartsAtTheCountAndSkipsColoursInUse)
{
    struct Case {
        int count;
        std::vector<uint32_t> others;
        int expected;
    };
    const Case cases[] = {
        {1, {}, 0},
        {2, {kGraphColours[0]}, 1},
        {2, {kGraphColours[1]}, 2},               // entry 1 is taken: the next free one
        {3, {kGraphColours[2], kGraphColours[3]}, 4},
        {8, {kGraphColours[7]}, 8},               // silver taken at 7 ...
        {13, {kGraphColours[7]}, 13},             // ... is also entry 12
        {16, {kGraphColours[15]}, 0},             // past the table folds back
        {17, {}, 0},                              // the seventeenth channel
        {18, {}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChannelColourIndex(c.count, c.others), c.expected) << "count " << c.count;
}

TEST(GraphLayout, ChannelsSortByUnitIgnoringCaseThenByTitle)
{
    std::vector<TABChannel> list = {channel("b", "mm", {}), channel("a", "s", {}), channel("c", "MM", {}),
                                    channel("B", "mm", {}), channel("a", "Mm", {})};
    std::stable_sort(list.begin(), list.end(), ChannelSortsBefore);
    QStringList order;
    for (const TABChannel& c : list)
        order << c.Title + "/" + c.YUnits;
    EXPECT_EQ(order.join(' '), QStringLiteral("B/mm a/Mm b/mm c/MM a/s"));
}

TEST(GraphLayout, UnitsAlternateBetweenRightScaleAndNewAxis)
{
    const AxisGrouping g = GroupAxesByUnit({"A", "A", "B", "C", "C"});
    ASSERT_EQ(g.axisCount, 2);
    ASSERT_EQ(g.places.size(), 5u);
    const int axes[] = {0, 0, 0, 1, 1};
    const bool right[] = {false, false, true, false, false};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(g.places[i].axis, axes[i]) << i;
        EXPECT_EQ(g.places[i].right, right[i]) << i;
    }
    EXPECT_EQ(g.leftUnits, (std::vector<QString>{"A", "C"}));
    EXPECT_EQ(g.rightUnits, (std::vector<QString>{"B", ""}));

    const AxisGrouping four = GroupAxesByUnit({"A", "B", "C", "D"});
    EXPECT_EQ(four.axisCount, 2);
    EXPECT_EQ(four.rightUnits, (std::vector<QString>{"B", "D"}));
    EXPECT_EQ(GroupAxesByUnit({}).axisCount, 0);
}

TEST(GraphLayout, CursorSampleIsTheNearestSampleHalvesToEven)
{
    struct Case {
        double t;
        std::optional<int> sample;
    };
    // Samples every 0.25 s from 1 s: 1.0, 1.25, ... 2.0 (5 samples); the
    // halves are exact in binary.
    const Case cases[] = {
        {1.0, 0}, {1.1, 0}, {1.2, 1}, {1.125, 0} /* 0.5 -> 0 */, {1.375, 2} /* 1.5 -> 2 */,
        {2.0, 4}, {2.1, 4}, {2.2, std::nullopt}, {0.8, std::nullopt}, {-5.0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleAtTime(c.t, 1.0L, 0.25L, 5), c.sample) << c.t;
    EXPECT_EQ(SampleAtTime(0.0, 0.0L, 0.0L, 5), std::nullopt); // no interval
}

TEST(GraphLayout, ListRowsFollowPointStepAndShowNull)
{
    TABChannel c = channel("c", "mm", {1.0f, -1.0f, 2.5f, kGraphNullValue, 3.0f}, 0.5, -1.0);
    c.PointStep = 2;
    c.Inverted = 1;
    ASSERT_EQ(ChannelListRowCount(c), 3); // samples 0, 2, 4
    const char* expected[3][3] = {
        {"-1.0000000", "-1.0000000", "-1.0000000"},
        {"0", "0", "-2.5000000"},
        {"1.0000000", "1.0000000", "-3.0000000"},
    };
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(ChannelListCell(c, r, col).toStdString().substr(0, strlen(expected[r][col])),
                      std::string(expected[r][col]))
                << r << "," << col;
    EXPECT_EQ(ChannelListCell(c, 3, 0), QString());
    c.PointStep = 1;
    EXPECT_EQ(ChannelListCell(c, 3, 2), QStringLiteral("NULL"));
    EXPECT_EQ(ChannelListCell(c, 1, 2), QStringLiteral("-1.0000000")); // -1 is listed, never inverted
}

TEST(GraphLayout, CrossPlotPairsNearestSampleInTime)
{
    // Receiving channel from t = 0, sending channel from t = 3 ms, both 1 ms.
    TABChannel a = channel("a", "mm", {0, 0, 0, 0, 0, 0, 0});
    TABChannel b = channel("b", "N", {30, 40, 50, 60}, 0.001, 0.003);
    EXPECT_EQ(CrossPlotRefusal(1, 1, &a, &b), QString());
    CrossPlotChannel(a, b);
    EXPECT_EQ(a.XData, (std::vector<float>{30, 30, 30, 30, 40, 50, 60}));
    EXPECT_EQ(a.XUnits, QStringLiteral("N"));
    EXPECT_EQ(a.PlotKind, kPlotCrossPlot);

    TABChannel slow = channel("s", "N", {1, 2}, 0.002);
    EXPECT_EQ(CrossPlotRefusal(2, 1, &a, &b), QStringLiteral("Cross plotting requires only one channel on the recieving graph"));
    EXPECT_EQ(CrossPlotRefusal(1, 2, &a, &b), QStringLiteral("Cross plotting requires only one channel on the Sending graph"));
    EXPECT_EQ(CrossPlotRefusal(1, 1, &a, &slow),
              QStringLiteral("Cross plotting requires both channels to have the same Sampling Interval (TBC)"));
}

TEST(GraphLayout, RescaleKeepsMissingSamplesMissing)
{
    TABChannel c = channel("c", "m", {1.0f, -1.0f, kGraphNullValue});
    RescaleChannel(c, "ms", RescaleFactor("1000"), "mm", RescaleFactor("x"));
    EXPECT_EQ(c.YData, (std::vector<float>{1.0f, -1.0f, kGraphNullValue}));
    EXPECT_FLOAT_EQ(c.XData[1], 1.0f);
    EXPECT_EQ(c.XUnits, QStringLiteral("ms"));
}

TEST(GraphLayout, ThisFileReadsBackWhatWasWritten)
{
    TABChannel c = channel("crash : P1 Y Velocity", "mm/sec", {1.5f, -2.25f, 3.0f}, 0.0005, -0.001);
    TABChannel back;
    QString error;
    ASSERT_TRUE(ParseThisFile(ThisFileBytes(c), &back, &error)) << error.toStdString();
    EXPECT_EQ(back.Title, c.Title);
    EXPECT_EQ(back.YUnits, c.YUnits);
    EXPECT_EQ(back.XUnits, c.XUnits);
    EXPECT_EQ(back.YData, c.YData);
    EXPECT_EQ(back.XData, c.XData);
    EXPECT_NEAR(double(back.SampleInterval), 0.0005, 1e-12);
    EXPECT_NEAR(double(back.StartTime), -0.001, 1e-9);
    EXPECT_EQ(back.PlotKind, kPlotAgainstTime);

    EXPECT_FALSE(ParseThisFile("hello\r\n1 2\r\n", &back, &error));
    EXPECT_FALSE(ParseThisFile("a\r\n$T/HIS_DATA\r\n1 x\r\n", &back, &error));
    EXPECT_TRUE(error.startsWith("line 3")) << error.toStdString();
}

} // namespace
