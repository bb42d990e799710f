// Every control a user can reach has an accessible name: screen readers
// speak it and UI tests find controls by it. The test opens the main window
// over a Brava and a Stravo recording, docks every tool frame in turn (every
// page of tabbed frames), opens a graph window and the dialogs, and lists the
// interactive widgets whose name is empty.

#include "app/shell/AboutForm.h"
#include "app/shell/MainWindow.h"
#include "app/shell/PrefsForm.h"
#include "app/shell/RecordingRateDialog.h"
#include "app/ui/RangeSlider.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "export/ui/SaveAsDialog.h"
#include "graphs/ui/GraphDialogs.h"
#include "graphs/ui/GraphWindow.h"
#include "sources/bvf/SampleScene.h"
#include "sources/svf/SvfConverter.h"
#include "sources/svf/SvfWriter.h"
#include "sources/ui/SvfCurveDialog.h"
#include "tracking/engine/TrackingPoint.h"
#include "tracking/ui/AdjustParamForm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>

namespace {

struct Offender {
    QString place; // the window or frame it was found in
    QString objectName;
    QString className;
};

// The label whose buddy `w` is, if any.
QString buddyText(QWidget* w)
{
    for (QLabel* label : w->window()->findChildren<QLabel*>())
        if (label->buddy() == w)
            return label->text().remove(QLatin1Char('&'));
    return {};
}

QString accessibleNameOf(QWidget* w)
{
    QString name = w->accessibleName();
    // A closed combo box reports its current item as its name; that names
    // the choice, not the control.
    if (qobject_cast<QComboBox*>(w))
        return name.trimmed().isEmpty() ? buddyText(w).trimmed() : name.trimmed();
    if (name.trimmed().isEmpty())
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w))
            name = iface->text(QAccessible::Name);
    return name.trimmed();
}

// Parts of a Qt control that the control itself names (the edit inside a
// spin box, a combo box's popup, the scroll bars of a view ...).
bool isPartOfQtControl(QWidget* w)
{
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) || qobject_cast<QTabBar*>(p)
            || qobject_cast<QAbstractItemView*>(p))
            return true;
        if (p->objectName().endsWith(QLatin1String("container")) && p->objectName().startsWith(QLatin1String("qt_scrollarea")))
            return true;
        if (p->isWindow())
            break;
    }
    return false;
}

bool isInteractive(QWidget* w)
{
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w)
        || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractItemView*>(w)
        || qobject_cast<RangeSlider*>(w))
        return true;
    return false;
}

// The visible interactive widgets of `root` without a name, and its tabs
// without a caption.
void collectOffenders(QWidget* root, const QString& place, QList<Offender>& out)
{
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (!w->isVisible() || isPartOfQtControl(w))
            continue;
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i).trimmed().isEmpty() && tabs->accessibleTabName(i).trimmed().isEmpty())
                    out.push_back({place, tabs->objectName() + QStringLiteral(" tab %1").arg(i), QStringLiteral("QTabBar")});
            continue;
        }
        if (!isInteractive(w))
            continue;
        if (qEnvironmentVariableIsSet("QOR_LIST_NAMES")) // every control with its name, for a look by hand
            qInfo("%s | %s | %s | %s", qPrintable(place), qPrintable(w->objectName()), w->metaObject()->className(), qPrintable(accessibleNameOf(w)));
        // A name of symbols only (an arrow, a degree sign) says nothing when read out.
        // Nor does the object name, a word of the code, not of the user.
        const QString spoken = accessibleNameOf(w);
        if (spoken != w->objectName() && std::any_of(spoken.begin(), spoken.end(), [](QChar c) { return c.isLetterOrNumber(); }))
            continue;
        QString name = w->objectName();
        if (name.isEmpty()) // named after its parent and its tip
            name = w->parentWidget()->objectName() + QStringLiteral(" > \"") + w->toolTip() + QLatin1Char('"');
        out.push_back({place, name, QString::fromLatin1(w->metaObject()->className())});
    }
}

// Walks `root` once for every page of each of its tab widgets.
void collectAllPages(QWidget* root, const QString& place, QList<Offender>& out)
{
    collectOffenders(root, place, out);
    for (QTabWidget* tabs : root->findChildren<QTabWidget*>()) {
        if (!tabs->isVisible())
            continue;
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == current)
                continue;
            tabs->setCurrentIndex(i);
            collectOffenders(tabs, place + QStringLiteral(" / ") + tabs->tabText(i), out);
        }
        tabs->setCurrentIndex(current);
    }
}

// Runs `open`, which shows a modal dialog; walks the dialog once it is up
// and rejects it.
void collectFromModal(const std::function<void()>& open, const QString& place, QList<Offender>& out, bool* seen)
{
    *seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        *seen = true;
        collectAllPages(dialog, place, out);
        dialog->reject();
    });
    poll.start();
    open();
}

// The place where each tool frame is checked, in toolbar order.
const char* const ToolNames[ToolCount] = {"ZOOM", "CAM", "BRI", "CON", "GAM", "RGB", "HSV",
                                          "ROT", "TXT", "LOGO", "CAL", "TRK"};

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxSink([this](const QString& m) { messages << m; });
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { SetErrorBoxSink({}); }

    QString bravaRecording()
    {
        bvf::SampleOptions options;
        options.size = QSize(64, 48);
        options.frames = 20;
        options.fps = 1000;
        const QString path = dir.filePath(QStringLiteral("sample.bvf"));
        QString error;
        EXPECT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();
        return path;
    }

    QString stravoRecording()
    {
        svf::Header header;
        header.modelName = QStringLiteral("Test SV");
        header.startFrame = 0;
        header.endFrame = 3;
        header.frameTotal = 4;
        header.recordRate = 2000;
        header.width = 32;
        header.height = 24;
        header.shutter = 4000;
        std::vector<std::vector<uint16_t>> frames(4, std::vector<uint16_t>(32 * 24, 1000));
        const QString path = dir.filePath(QStringLiteral("sample.svf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(svf::RecordingBytes(header, frames));
        return path;
    }

    QTemporaryDir dir;
    QStringList messages;
};

QString describe(const QList<Offender>& offenders)
{
    QString text = QStringLiteral("%1 controls without an accessible name:\n").arg(offenders.size());
    for (const Offender& o : offenders)
        text += QStringLiteral("  %1 | %2 | %3\n").arg(o.place, o.objectName.isEmpty() ? QStringLiteral("(no name)") : o.objectName, o.className);
    return text;
}

// Each offender once (a control found in several passes counts once).
QList<Offender> unique(const QList<Offender>& offenders)
{
    QList<Offender> out;
    QSet<QString> keys;
    for (const Offender& o : offenders) {
        const QString key = o.place.section(QLatin1Char(' '), 0, 0) + o.objectName + o.className;
        if (!keys.contains(key)) {
            keys.insert(key);
            out.push_back(o);
        }
    }
    return out;
}

} // namespace

TEST_F(AccessibilityTest, MainWindowAndEveryToolFrameNameTheirControls)
{
    TQorMain main;
    main.show();
    main.OpenFiles({bravaRecording(), stravoRecording()});
    ASSERT_EQ(main.VideoWindows.size(), 2) << messages.join(QLatin1Char('\n')).toStdString();
    TQORVideo* brava = main.VideoWindows[0];
    TQORVideo* stravo = main.VideoWindows[1];

    QList<Offender> offenders;
    collectOffenders(&main, QStringLiteral("main window"), offenders);
    for (TQORVideo* video : main.VideoWindows)
        collectAllPages(video, QStringLiteral("document window"), offenders);

    QApplication::processEvents(); // the windows' own activation comes first
    main.ActivateVideo(brava);
    ASSERT_EQ(main.ActiveVideo, brava);
    for (int kind = 0; kind < ToolCount; ++kind) {
        SCOPED_TRACE(ToolNames[kind]);
        main.PressToolButton(kind, true);
        ASSERT_EQ(main.DockedKind(), kind);
        QApplication::processEvents();
        ASSERT_EQ(main.ActiveVideo, brava);
            collectAllPages(main.DockedFrame(), QString::fromLatin1(ToolNames[kind]), offenders);
        main.PressToolButton(kind, false);
    }
    // The camera settings of the Stravo recording have a frame of their own.
    main.ActivateVideo(stravo);
    main.PressToolButton(SvfTool, true);
    ASSERT_EQ(main.DockedKind(), int(SvfTool));
    auto* stack = qobject_cast<QStackedWidget*>(main.DockedFrame());
    ASSERT_NE(stack, nullptr);
    ASSERT_EQ(stack->currentIndex(), 1);
    collectAllPages(main.DockedFrame(), QStringLiteral("CAM (Stravo)"), offenders);
    main.PressToolButton(SvfTool, false);

    std::vector<float> x{0.0f, 0.001f, 0.002f}, y{1, 2, 3};
    TABChannel channel(x, y);
    channel.Title = QStringLiteral("P1 X Velocity");
    channel.YUnits = QStringLiteral("mm/sec");
    channel.XUnits = QStringLiteral("s");
    channel.SampleInterval = 0.001;
    channel.PlotKind = kPlotAgainstTime;
    TABgraph* graph = main.PlotChannels({channel});
    ASSERT_NE(graph, nullptr);
    graph->show();
    QApplication::processEvents();
    collectAllPages(graph, QStringLiteral("graph window"), offenders);

    bool seen = false;
    main.ActivateVideo(brava);
    VideoDocument* doc = brava->document();
    collectFromModal([&] { RunSaveAsDialog(&main, *doc, 0, 5, 100); }, QStringLiteral("Save As"), offenders, &seen);
    EXPECT_TRUE(seen) << "Save As did not open";

    offenders = unique(offenders);
    EXPECT_TRUE(offenders.isEmpty()) << describe(offenders).toStdString();
}

struct DialogCase {
    const char* name;
    std::function<QDialog*()> make;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

class DialogAccessibility : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogAccessibility, NamesEveryControl)
{
    std::unique_ptr<QDialog> dialog(GetParam().make());
    dialog->show();
    QApplication::processEvents();
    QList<Offender> offenders;
    collectAllPages(dialog.get(), QString::fromLatin1(GetParam().name), offenders);
    offenders = unique(offenders);
    EXPECT_TRUE(offenders.isEmpty()) << describe(offenders).toStdString();
}

namespace {

TTrackingPoint& pointWith(uint8_t method)
{
    static TTrackingPoint points[4];
    TTrackingPoint& point = points[method % 4];
    point.Params.Method = method;
    point.SetDefaults();
    point.Name = QStringLiteral("Point 1");
    point.PosX = point.DisplayX = 60;
    point.PosY = point.DisplayY = 40;
    return point;
}

const Frame& workingFrame()
{
    static const Frame frame = [] {
        Frame f(160, 120);
        f.fill(40, 40, 40);
        return f;
    }();
    return frame;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogAccessibility,
    ::testing::Values(
        DialogCase{"Preferences", [] { return static_cast<QDialog*>(new TPrefsForm(0)); }},
        DialogCase{"About", [] { return static_cast<QDialog*>(new TAboutform(QStringLiteral("1.0"))); }},
        DialogCase{"RecordingRate",
                   [] { return static_cast<QDialog*>(new RecordingRateDialog(QStringLiteral("a.avi"), 25, 0, 0, 99)); }},
        DialogCase{"GraphScale",
                   [] {
                       return static_cast<QDialog*>(
                           new TScaleGraphFrm(QStringLiteral("P1"), QStringLiteral("s"), QStringLiteral("mm")));
                   }},
        DialogCase{"GraphAxis",
                   [] {
                       return static_cast<QDialog*>(new TSetAxisFrm(true, 0, 10, QStringLiteral("mm"), 2));
                   }},
        DialogCase{"StravoCurve",
                   [] {
                       static TFxSvffFc converter;
                       return static_cast<QDialog*>(new SvfCurveDialog(converter));
                   }},
        DialogCase{"TrackingQuadrant",
                   [] {
                       return static_cast<QDialog*>(
                           new TAdjustParamForm(pointWith(tracking::MethodQuadrant), workingFrame()));
                   }},
        DialogCase{"TrackingCorrelation",
                   [] {
                       return static_cast<QDialog*>(
                           new TAdjustParamForm(pointWith(tracking::MethodCorrelation), workingFrame()));
                   }},
        DialogCase{"TrackingSpot", [] {
                       return static_cast<QDialog*>(
                           new TAdjustParamForm(pointWith(tracking::MethodLightSpot), workingFrame()));
                   }}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });
