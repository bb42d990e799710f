// The graph window driven offscreen: channel order and colours, axes by
// unit, gaps, the cursor and read-outs, the editing operations and their
// messages, exports, and graphs opened by the main window from tracking
// results.

#include "app/shell/MainWindow.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "graphs/GraphLayout.h"
#include "graphs/ThisFile.h"
#include "graphs/TrackingResultChannels.h"
#include "graphs/ui/ChannelListModel.h"
#include "graphs/ui/GraphMessages.h"
#include "graphs/ui/GraphWindow.h"
#include "sources/bvf/SampleScene.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

TABChannel timeChannel(const QString& title, const QString& units, std::vector<float> y, double interval = 0.001,
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
    c.PlotKind = kPlotAgainstTime;
    c.XShowsUnits = 1;
    return c;
}

// The values the plot draws for a channel (NaN where it leaves a gap).
std::vector<double> plotted(const TABgraph& g, int channel)
{
    std::vector<double> values;
    QCustomPlot* plot = g.Plot();
    for (int i = 0; i < plot->plottableCount(); ++i) {
        if (g.Plot()->ChannelOf(plot->plottable(i)) != channel)
            continue;
        if (auto* graph = qobject_cast<QCPGraph*>(plot->plottable(i)))
            for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
                values.push_back(it->value);
        if (auto* curve = qobject_cast<QCPCurve*>(plot->plottable(i)))
            for (auto it = curve->data()->constBegin(); it != curve->data()->constEnd(); ++it)
                values.push_back(it->value);
    }
    return values;
}

class GraphWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetGraphMessageSink([this](const QString& m) { messages << m; });
        SetErrorBoxSink([this](const QString& m) { messages << m; });
    }
    void TearDown() override
    {
        SetGraphMessageSink({});
        SetErrorBoxSink({});
        SetGraphSaveFileAnswer({});
    }
    QStringList messages;
};

TEST_F(GraphWindowTest, ChannelsTakeColoursAndSortByUnitThenTitle)
{
    TABgraph g;
    EXPECT_EQ(g.windowTitle(), QStringLiteral("AirBagGraph"));
    g.AddChannel(timeChannel("b", "mm", {1, 2}));
    EXPECT_EQ(g.windowTitle(), QStringLiteral("b"));
    g.AddChannel(timeChannel("a", "G", {1, 2}));
    g.AddChannel(timeChannel("a", "mm", {1, 2}));
    ASSERT_EQ(g.Channels().size(), 3u);
    QStringList order;
    for (const TABChannel& c : g.Channels())
        order << c.Title + "/" + c.YUnits + "/" + QString::number(c.Colour, 16);
    // Colours by order of adding (red, blue, green), places by unit and title.
    EXPECT_EQ(order.join(' '), QStringLiteral("a/G/ff0000 a/mm/8000 b/mm/ff"));
    EXPECT_EQ(g.windowTitle(), QStringLiteral("Lumetra Graph"));
}

TEST_F(GraphWindowTest, UnitsGoOnStackedAxesWithRightHandScales)
{
    TABgraph g;
    g.AddChannels({timeChannel("1", "A", {1, 2}), timeChannel("2", "A", {1, 2}), timeChannel("3", "B", {1, 2}),
                   timeChannel("4", "C", {1, 2}), timeChannel("5", "C", {1, 2})});
    GraphPlot* plot = g.Plot();
    ASSERT_EQ(plot->AxisRectCount(), 2);
    EXPECT_EQ(plot->AxisLabel("y0"), QStringLiteral("A"));
    EXPECT_EQ(plot->AxisLabel("ry0"), QStringLiteral("B"));
    EXPECT_EQ(plot->AxisLabel("y1"), QStringLiteral("C"));
    EXPECT_TRUE(plot->axisRect(0)->axis(QCPAxis::atRight)->visible());
    EXPECT_FALSE(plot->axisRect(1)->axis(QCPAxis::atRight)->visible());
    const int axes[] = {0, 0, 0, 1, 1};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(plot->AxisOfChannel(c), axes[c]) << c;
}

TEST_F(GraphWindowTest, NullSamplesAreGapsAndInvertTwiceRestores)
{
    TABgraph g;
    g.AddChannel(timeChannel("v", "mm/sec", {1.5f, -1.0f, kGraphNullValue, -2.0f}));
    std::vector<double> values = plotted(g, 0);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0], 1.5);
    EXPECT_TRUE(std::isnan(values[1]));
    EXPECT_TRUE(std::isnan(values[2]));
    EXPECT_EQ(values[3], -2.0);

    g.Invert();
    values = plotted(g, 0);
    EXPECT_EQ(values[0], -1.5);
    EXPECT_TRUE(std::isnan(values[1]));
    EXPECT_EQ(values[3], 2.0);
    EXPECT_EQ(g.Channels()[0].YData[0], 1.5f); // the stored samples never change sign
    g.Invert();
    EXPECT_EQ(plotted(g, 0)[0], 1.5);
    EXPECT_EQ(g.Channels()[0].Inverted, 0);
}

TEST_F(GraphWindowTest, CursorMarksTheNearestSampleAndReadoutsFollow)
{
    TABgraph g;
    g.AddChannels({timeChannel("v", "mm", {10, 20, 30, 40}, 0.25, 1.0),
                   timeChannel("w", "mm", {5, 6}, 0.25, 2.0)});
    g.ShowCursorAt(1.3); // between samples 1 (1.25) and 2 (1.5), nearer 1
    EXPECT_EQ(g.Plot()->CursorChannel(), 0);
    EXPECT_EQ(g.Plot()->CursorSample(), 1);
    EXPECT_DOUBLE_EQ(g.Plot()->CursorPoint().x(), 1.25);
    EXPECT_DOUBLE_EQ(g.Plot()->CursorPoint().y(), 20.0);
    EXPECT_EQ(g.ReadoutY(0), QStringLiteral("Y:20.00 mm"));
    EXPECT_EQ(g.ReadoutX(0), QStringLiteral("X:1.250 s"));
    // The second channel starts later: nothing to read yet.
    EXPECT_EQ(g.ReadoutY(1), QStringLiteral("Y:NULL"));
    EXPECT_EQ(g.ReadoutX(1), QStringLiteral("X:NULL"));

    // A legend press moves the cursor to that channel.
    g.PressLegend(1, Qt::LeftButton);
    g.ShowCursorAt(2.2);
    EXPECT_EQ(g.Plot()->CursorChannel(), 1);
    EXPECT_EQ(g.Plot()->CursorSample(), 1);
    EXPECT_EQ(g.ReadoutY(0), QStringLiteral("Y:NULL")); // past the end of the first
}

TEST_F(GraphWindowTest, ManualAxisRangeSurvivesRebuildsUntilSetBackToAuto)
{
    TABgraph g;
    g.AddChannel(timeChannel("v", "mm", {10, 20, 30, 40}));
    GraphPlot* plot = g.Plot();
    GraphPlot::AxisSetting manual;
    manual.manual = true;
    manual.minimum = -100;
    manual.maximum = 100;
    manual.label = QStringLiteral("travel");
    plot->ApplyAxisSetting("y0", manual);
    g.Invert(); // a rebuild
    QCPAxis* y = plot->axisRect(0)->axis(QCPAxis::atLeft);
    EXPECT_EQ(y->range(), QCPRange(-100, 100));
    EXPECT_EQ(y->label(), QStringLiteral("travel"));
    manual.manual = false;
    plot->ApplyAxisSetting("y0", manual);
    EXPECT_DOUBLE_EQ(y->range().lower, -40); // inverted data
    EXPECT_DOUBLE_EQ(y->range().upper, -10);
}

TEST_F(GraphWindowTest, ClickedSampleAsksForItsTime)
{
    TABgraph g;
    g.AddChannel(timeChannel("v", "mm", {10, 20, 30, 40}, 0.001, -0.002));
    QSignalSpy spy(&g, &TABgraph::timeRequested);
    emit g.Plot()->plottableClick(g.Plot()->plottable(0), 3, nullptr);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_NEAR(spy[0][0].toDouble(), 0.001, 1e-9);
}

// A press on a sample and a release there is a click that moves the common
// time; a press there that starts a channel drag is not, however quickly the
// mouse leaves before the plot sees it move.
TEST_F(GraphWindowTest, ChannelDragFromASampleLeavesTheTimeAlone)
{
    TABgraph g;
    g.AddChannel(timeChannel("v", "mm", {10, 20, 30, 40, 50}));
    g.resize(800, 600);
    g.show();
    g.Plot()->replot();
    auto* graph = qobject_cast<QCPGraph*>(g.Plot()->plottable(0));
    ASSERT_NE(graph, nullptr);
    const QPointF at = graph->coordsToPixels(0.002, 30);
    auto send = [&](QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, pos, g.Plot()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(g.Plot(), &e);
    };
    QSignalSpy spy(&g, &TABgraph::timeRequested);
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(spy.size(), 1) << "the press missed the sample";
    EXPECT_NEAR(spy[0][0].toDouble(), 0.002, 1e-9);

    g.PressLegend(0, Qt::LeftButton);
    ASSERT_EQ(g.SelectedCount(), 1);
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, at + QPointF(0, 4 * QApplication::startDragDistance()), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(spy.size(), 1);
}

TEST_F(GraphWindowTest, ListShowsEveryPointStepSample)
{
    TABgraph g;
    TABChannel c = timeChannel("v", "mm", {1, 2, 3, 4, 5}, 0.5);
    c.PointStep = 2;
    g.AddChannel(c);
    ChannelListModel* list = g.ListModel();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Time"));
    EXPECT_EQ(list->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("mm"));
    EXPECT_EQ(list->data(list->index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("1.0000000"));
    EXPECT_EQ(list->data(list->index(2, 2), Qt::DisplayRole).toString(), QStringLiteral("5.0000000"));
}

TEST_F(GraphWindowTest, TrashCanOnOneChannelGraphClosesIt)
{
    QPointer<TABgraph> g = new TABgraph;
    g->AddChannel(timeChannel("v", "mm", {1, 2}));
    g->show();
    QSignalSpy closing(g.data(), &TABgraph::closing);
    g->DropOnTrash(g);
    EXPECT_EQ(closing.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(g.isNull());
}

TEST_F(GraphWindowTest, TrashCanRemovesTheSelectedChannel)
{
    TABgraph g;
    g.AddChannels({timeChannel("a", "mm", {1, 2}), timeChannel("b", "mm", {1, 2})});
    g.PressLegend(1, Qt::LeftButton);
    g.DropOnTrash(&g);
    ASSERT_EQ(g.Channels().size(), 1u);
    EXPECT_EQ(g.Channels()[0].Title, QStringLiteral("a"));
    EXPECT_EQ(g.windowTitle(), QStringLiteral("a"));
}

TEST_F(GraphWindowTest, LeftDropCopiesSelectedChannelsAndOwnGraphIsRefused)
{
    TABgraph from, to;
    from.AddChannels({timeChannel("a", "mm", {1, 2}), timeChannel("b", "mm", {3, 4})});
    from.Invert(); // nothing selected: nothing inverted
    from.PressLegend(1, Qt::LeftButton);
    from.Invert();
    ASSERT_EQ(from.Channels()[1].Inverted, 1);
    from.PressLegend(1, Qt::LeftButton); // a rebuild cleared it: select again
    from.DropFrom(&from, false);
    EXPECT_EQ(messages, QStringList{QStringLiteral("You cannot drop a channel onto it's own graph")});

    to.DropFrom(&from, false);
    ASSERT_EQ(to.Channels().size(), 1u);
    EXPECT_EQ(to.Channels()[0].Title, QStringLiteral("b"));
    EXPECT_EQ(to.Channels()[0].Inverted, 0); // a copy starts upright
    EXPECT_EQ(from.Channels().size(), 2u);
}

TEST_F(GraphWindowTest, RightDropCrossPlotsOrIsRefused)
{
    TABgraph force, travel, two;
    force.AddChannel(timeChannel("force", "N", {1, 2, 3, 4}, 0.001, 0.0));
    travel.AddChannel(timeChannel("travel", "mm", {10, 20, 30}, 0.001, 0.001));
    two.AddChannels({timeChannel("a", "mm", {1}), timeChannel("b", "mm", {1})});

    force.DropFrom(&two, true);
    two.DropFrom(&force, true);
    TABgraph slow;
    slow.AddChannel(timeChannel("slow", "mm", {1, 2}, 0.002));
    force.DropFrom(&slow, true);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("Cross plotting requires only one channel on the Sending graph"),
                                     QStringLiteral("Cross plotting requires only one channel on the recieving graph"),
                                     QStringLiteral("Cross plotting requires both channels to have the same Sampling Interval (TBC)")}));
    EXPECT_FALSE(force.CrossPlotted());

    force.DropFrom(&travel, true);
    EXPECT_TRUE(force.CrossPlotted());
    EXPECT_EQ(force.windowTitle(), QStringLiteral("User Cross Plotted"));
    EXPECT_EQ(force.Channels()[0].XData, (std::vector<float>{10, 10, 20, 30}));
    EXPECT_EQ(force.Plot()->AxisLabel("x"), QStringLiteral("travel mm"));
    EXPECT_EQ(force.Plot()->AxisLabel("y0"), QStringLiteral("force N"));
}

TEST_F(GraphWindowTest, CfcFiltersAndNamesTheChannel)
{
    std::vector<float> step(2000);
    for (size_t i = 0; i < step.size(); ++i)
        step[i] = i < 1000 ? 0.0f : 1.0f;
    TABgraph g;
    g.AddChannel(timeChannel("sled", "G", step, 0.0001));
    g.ApplyCfcClass(60);
    EXPECT_EQ(g.Channels()[0].Title, QStringLiteral("sled: CFC60"));
    EXPECT_EQ(g.windowTitle(), QStringLiteral("sled: CFC60"));
    EXPECT_GT(g.Channels()[0].YData[999], 0.01f); // the filter has smoothed the step
    EXPECT_LT(g.Channels()[0].YData[1000], 0.99f);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(GraphWindowTest, SaveThisWritesEveryChannelAndReportsCancelled)
{
    QTemporaryDir dir;
    TABgraph g;
    g.AddChannels({timeChannel("a", "mm", {1, 2}), timeChannel("b", "mm", {3, 4})});
    QStringList captions;
    SetGraphSaveFileAnswer([&](const QString& caption) {
        captions << caption;
        return captions.size() == 1 ? dir.filePath("a.dat") : QString();
    });
    g.ExportThis();
    EXPECT_EQ(captions, (QStringList{"Save a as...", "Save b as..."}));
    EXPECT_EQ(messages, QStringList{"Save of b Cancelled"});
    TABChannel back;
    QString error;
    ASSERT_TRUE(ReadThisFile(dir.filePath("a.dat"), &back, &error)) << error.toStdString();
    EXPECT_EQ(back.YData, (std::vector<float>{1, 2}));
}

// The path of the tracking frame's result buttons: records of a tracked
// point, its velocity channels, a graph window of the main window that
// follows the common time and moves it when a sample is clicked.
TEST_F(GraphWindowTest, TrackedVelocityOpensAGraphThatFollowsTheCommonTime)
{
    QTemporaryDir dir;
    bvf::SampleOptions options;
    options.size = QSize(64, 48);
    options.frames = 20;
    options.fps = 1000;
    const QString path = dir.filePath("sample.bvf");
    QString error;
    ASSERT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();

    TQorMain main;
    main.Analyses().AskSave = [](const QString&) { return AnalysisKeeper::Answer::Discard; };
    main.OpenFiles({path});
    ASSERT_EQ(main.VideoWindows.size(), 1);

    // A point moving 2 px per frame to the right: 2 mm/ms at 1 px per mm.
    std::vector<TrackRecord> records(20);
    for (int i = 0; i < 20; ++i) {
        records[size_t(i)].FrameNo = i;
        records[size_t(i)].Time = i / 1000.0;
        records[size_t(i)].SetPosition(10 + 2.0 * i, 20);
    }
    KinematicsSettings settings;
    settings.FrameWidth = 64;
    settings.FrameHeight = 48;
    settings.Clock = FrameClock::FromFramesPerSecond(1000, 0);
    TrackingResultSource source{QStringLiteral("mm"), QStringLiteral("sample.bvf"), QStringLiteral("P1"), 1000, 0, 0};
    std::vector<TABChannel> channels =
        MakeTrackingResultChannels(records, settings, KinematicsQuantity::Velocity, TrackingComponent::X, source);
    ASSERT_FALSE(channels.empty());

    TABgraph* graph = main.PlotChannels(std::move(channels));
    ASSERT_EQ(main.GraphWindows.size(), 1);
    EXPECT_EQ(main.GraphWindows[0], graph);
    EXPECT_TRUE(graph->Channels()[0].Title.startsWith(QStringLiteral("sample.bvf : P1 X Velocity")));
    EXPECT_EQ(graph->Channels()[0].YUnits, QStringLiteral("mm/sec"));

    main.SetTime(Rational(7, 1000));
    EXPECT_EQ(graph->Plot()->CursorSample(), 7);
    EXPECT_EQ(graph->ReadoutY(0), QStringLiteral("Y:2000.00 mm/sec"));

    // A clicked sample moves the video there.
    emit graph->Plot()->plottableClick(graph->Plot()->plottable(0), 12, nullptr);
    EXPECT_EQ(main.Playback().CommonTime(), Rational(12, 1000));
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.CurrentFrame, 12);
    EXPECT_EQ(graph->Plot()->CursorSample(), 12);

    // With the graph window focused the arrow keys step the common time,
    // as in the document windows; the sample table keeps its own arrows.
    const auto press = [](QWidget* target, Qt::Key k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    press(graph->Plot(), Qt::Key_Right);
    EXPECT_EQ(main.Playback().CommonTime(), Rational(13, 1000));
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.CurrentFrame, 13);
    EXPECT_EQ(graph->Plot()->CursorSample(), 13);
    press(graph, Qt::Key_Left);
    press(graph, Qt::Key_Left);
    EXPECT_EQ(main.Playback().CommonTime(), Rational(11, 1000));
    EXPECT_EQ(graph->Plot()->CursorSample(), 11);
    auto* table = graph->findChild<QAbstractItemView*>();
    ASSERT_NE(table, nullptr);
    press(table, Qt::Key_Right);
    EXPECT_EQ(main.Playback().CommonTime(), Rational(11, 1000));

    graph->close();
    EXPECT_TRUE(main.GraphWindows.isEmpty());
}

} // namespace
