#include "app/shell/MainWindow.h"

#include "app/shell/AboutForm.h"
#include "app/shell/PrefsForm.h"
#include "app/shell/RecordingRateDialog.h"
#include "app/ui/ControlPanel.h"
#include "common/Rational.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "export/ui/RunningExport.h"
#include "export/ui/SaveAsDialog.h"
#include "graphs/ui/GraphWindow.h"
#include "sources/svf/SvfSource.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <future>
#include <tuple>
#include <vector>

namespace {

const char* const OpenFilter =
    "Supported Files (*.avi *.bvf *.svf *.AVI *.BVF *.SVF);;Brava File (*.BVF *.bvf);;Qor Stravo File (*.SVF *.svf);;Windows AVI File (*.AVI *.avi)";

} // namespace

TQorMain::TQorMain(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Qor Player"));
    setWindowIcon(QIcon(QStringLiteral(":/qorplayer/qorplayer.png")));
    setAcceptDrops(true);
    resize(1078, 855);
    move(274, 0);

    VersionText = QCoreApplication::applicationVersion();
    WindowPlaces.fill(WindowPlace{});

    // Start-up order: default font, preferences, main-window place, places.
    QString fontError;
    DefaultFont = LoadDefaultFont(DefaultFontPath(), &fontError);
    if (!fontError.isEmpty())
        StartupMessages << fontError;
    const QString settingsMessage = m_store.ReadSettings(Prefs);
    SetSvfConversionPreference(Prefs.SVFCon);
    if (!settingsMessage.isEmpty())
        StartupMessages << settingsMessage;
    if (Prefs.FormTop != -1) {
        const QRect place = PlaceOnScreens(QRect(Prefs.FormLeft, Prefs.FormTop, Prefs.FormWidth, Prefs.FormHeight), AvailableScreens());
        if (!place.isNull())
            setGeometry(place);
    }
    QString placesMessage;
    WindowPlaces = m_store.ReadWindowPlaces(&placesMessage);
    if (!placesMessage.isEmpty())
        StartupMessages << placesMessage;

    // Background picture left of the control panel.
    auto* background = new QLabel(this);
    background->setAlignment(Qt::AlignCenter);
    background->setStyleSheet(QStringLiteral("background: #1b1f24;"));
    background->setPixmap(QPixmap(QStringLiteral(":/qorplayer/qorplayer.png")));
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(background, 1);
    m_pictureArea = background;
    m_playback = new PlaybackController(this);
    layout->addWidget(buildRightPanel());
    setCentralWidget(central);

    buildMenus();
    statusBar()->addWidget(new QLabel(this), 1);
    connectControls();

    // The main window sees the arrow keys first, wherever the focus is.
    qApp->installEventFilter(this);
}

TQorMain::~TQorMain()
{
    qApp->removeEventFilter(this);
}

void TQorMain::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    QAction* open = file->addAction(QStringLiteral("Open"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &TQorMain::openDialog);
    QAction* saveAnalysis = file->addAction(QStringLiteral("Save Analysis"));
    saveAnalysis->setShortcut(QKeySequence::Save);
    saveAnalysis->setShortcutContext(Qt::ApplicationShortcut);
    connect(saveAnalysis, &QAction::triggered, this, &TQorMain::SaveAnalysis);
    QAction* close = file->addAction(QStringLiteral("Close"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    close->setShortcutContext(Qt::ApplicationShortcut);
    connect(close, &QAction::triggered, this, &TQorMain::CloseActiveVideo);
    connect(file->addAction(QStringLiteral("Recording rate ...")), &QAction::triggered, this,
            &TQorMain::AskRecordingRate);
    connect(file->addAction(QStringLiteral("Preferences ...")), &QAction::triggered, this, &TQorMain::showPreferences);
    file->addSeparator();
    QAction* exitAction = file->addAction(QStringLiteral("Exit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

    QMenu* window = menuBar()->addMenu(QStringLiteral("Window"));
    connect(window->addAction(QStringLiteral("Fix Locations")), &QAction::triggered, this, &TQorMain::FixLocations);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    connect(help->addAction(QStringLiteral("About")), &QAction::triggered, this, &TQorMain::showAbout);
}

QWidget* TQorMain::buildRightPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedWidth(324);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    m_controls = new ControlPanel(panel);
    layout->addWidget(m_controls);
    m_tools = new ToolDock(panel);
    layout->addWidget(m_tools, 1);

    auto* bottom = new QWidget(panel);
    bottom->setObjectName(QStringLiteral("BottomPAnel"));
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    auto* openButton = new QPushButton(QStringLiteral("Open ..."), bottom);
    openButton->setObjectName(QStringLiteral("BitBtn4"));
    openButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    connect(openButton, &QPushButton::clicked, this, &TQorMain::openDialog);
    auto* saveButton = new QPushButton(QStringLiteral("Save As..."), bottom);
    saveButton->setObjectName(QStringLiteral("BitBtn3"));
    saveButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    connect(saveButton, &QPushButton::clicked, this, &TQorMain::saveAs);
    bottomLayout->addWidget(openButton);
    bottomLayout->addWidget(saveButton);
    layout->addWidget(bottom);
    return panel;
}

void TQorMain::connectControls()
{
    PlaybackController* p = m_playback;
    ControlPanel* c = m_controls;
    connect(c, &ControlPanel::goToStartClicked, p, &PlaybackController::GoToStart);
    connect(c, &ControlPanel::stepBackClicked, this, [this] { Step(true); });
    connect(c, &ControlPanel::playBackwardClicked, this, [this] { Play(1); });
    connect(c, &ControlPanel::stopClicked, p, &PlaybackController::StopButton);
    connect(c, &ControlPanel::playForwardClicked, this, [this] { Play(0); });
    connect(c, &ControlPanel::stepForwardClicked, this, [this] { Step(false); });
    connect(c, &ControlPanel::goToEndClicked, p, &PlaybackController::GoToEnd);
    connect(c, &ControlPanel::goToZeroClicked, this, [this] { SetTime(Rational(0)); });
    connect(c, &ControlPanel::sliderMoved, p, &PlaybackController::SliderMoved);
    connect(c, &ControlPanel::inMoved, p, &PlaybackController::InMoved);
    connect(c, &ControlPanel::outMoved, p, &PlaybackController::OutMoved);
    connect(c, &ControlPanel::markInClicked, p, &PlaybackController::MarkIn);
    connect(c, &ControlPanel::markOutClicked, p, &PlaybackController::MarkOut);
    connect(c, &ControlPanel::playSpeedChanged, p, &PlaybackController::SetPlaySpeed);
    connect(p, &PlaybackController::timeChanged, this, &TQorMain::broadcastTime);
    connect(p, &PlaybackController::displayChanged, this, &TQorMain::showTransport);

    connect(m_tools, &ToolDock::panToggled, this, [this](bool down) {
        PanMode = down;
        for (TQORVideo* v : VideoWindows)
            v->setPanMode(down);
    });
    connect(m_tools, &ToolDock::copyClicked, this, [this] {
        if (ActiveVideo)
            ActiveVideo->CopyToClipboard();
    });
    showTransport();
}

// ---------------------------------------------------------------- opening

void TQorMain::openDialog()
{
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(QString::fromLatin1(OpenFilter));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    OpenFiles(dialog.selectedFiles());
}

void TQorMain::OpenFiles(const QStringList& fileNames)
{
    for (const QString& name : fileNames) {
        if (QFileInfo::exists(name))
            OpenInNewWindow(name);
        else
            ShowErrorBox(this, QStringLiteral("File does not exist : ") + name);
    }
    m_tools->UpdateCameraSettingsButton();
}

bool TQorMain::OpenInNewWindow(const QString& fileName)
{
    auto* video = new TQORVideo(this);
    VideoWindows.append(video);
    const int k = int(VideoWindows.size()) - 1;
    connect(video, &TQORVideo::activated, this, &TQorMain::ActivateVideo);
    connect(video, &TQORVideo::closing, this, &TQorMain::documentClosing);
    connect(video, &TQORVideo::brightnessNudge, this, [this](bool up) {
        if (const std::optional<int> value = m_tools->NudgeBrightness(up))
            statusBar()->showMessage(QStringLiteral("Brightness %1 (dragging up or down on the picture)").arg(*value), 3000);
    });
    connect(video, &TQORVideo::redisplayRequested, this,
            [this](TQORVideo* v) { v->GotoTime(m_playback->CommonTime()); });
    video->setPanMode(PanMode);
    video->MayClose = [this, video] { return m_analyses.MayClose(video, MarksFor(video)); };
    const QRect stored = k < 10 ? PlaceOnScreens(QRect(WindowPlaces[k].Left, WindowPlaces[k].Top, WindowPlaces[k].Width, WindowPlaces[k].Height),
                                                 AvailableScreens())
                                : QRect();
    if (!stored.isNull())
        video->setGeometry(stored);
    else
        video->setGeometry(CascadePlace(PictureArea(), k, video->size(),
                                           video->minimumSizeHint().expandedTo(QSize(160, 120))));
    video->show();

    if (video->OpenRecording(fileName, Prefs.DefZoomMode) != 0) {
        const QString why = video->openError();
        VideoWindows.removeAll(video);
        video->disconnect(this);
        video->close();
        video->deleteLater();
        // The window has already shown the unsupported-type message itself.
        if (!why.endsWith(QLatin1String("files are not currently supported"))) {
            const bool avi = fileName.endsWith(QLatin1String(".avi"), Qt::CaseInsensitive);
            ShowErrorBox(this, avi || why.isEmpty()
                                   ? QStringLiteral("Cannot Open AVI - Possible no compatible codec installed")
                                         + (why.isEmpty() ? QString() : QStringLiteral("\n") + why)
                                   : why);
        }
        return false;
    }
    if (const QString warning = video->document()->Source()->openWarning(); !warning.isEmpty())
        statusBar()->showMessage(QFileInfo(fileName).fileName() + QStringLiteral(": ") + warning);

    // The work saved beside the recording comes back before any tool frame
    // sees the document.
    const AnalysisMarks marks = m_analyses.Restore(video);
    ActivateVideo(video);
    m_justOpened = video;
    // The axis takes the new document in; every document, the new one
    // included, goes to the common time.
    documentsChanged();
    if (marks.Set) {
        const VideoDocument* doc = video->document();
        m_playback->SetMarks(doc->TimeOfFrame(marks.InFrame), doc->TimeOfFrame(marks.OutFrame));
    }
    return true;
}

void TQorMain::documentsChanged()
{
    std::vector<DocumentTimeSpan> spans;
    for (TQORVideo* v : VideoWindows) {
        const VideoDocument* doc = v->document();
        const FrameClock clock = doc->Clock();
        if (clock.isValid())
            spans.push_back(SpanOfRecording(clock, doc->Info.FirstFrame, doc->Info.LastFrame));
    }
    m_playback->SetDocuments(spans);
}

void TQorMain::documentClosing(TQORVideo* video)
{
    m_analyses.Forget(video);
    VideoWindows.removeAll(video);
    video->disconnect(this);
    if (ActiveVideo == video) {
        ActiveVideo = VideoWindows.isEmpty() ? nullptr : VideoWindows.last();
        m_tools->SetActiveVideo(ActiveVideo);
    }
    // Playback goes on over the documents that are left (and stops cleanly
    // when none is).
    documentsChanged();
}

void TQorMain::CloseActiveVideo()
{
    if (ActiveVideo)
        ActiveVideo->close();
}

bool TQorMain::SaveAnalysis()
{
    if (!ActiveVideo)
        return false;
    if (!m_analyses.Save(ActiveVideo, MarksFor(ActiveVideo)))
        return false;
    statusBar()->showMessage(QStringLiteral("Analysis saved to ") + AnalysisKeeper::PathFor(ActiveVideo), 5000);
    return true;
}

AnalysisMarks TQorMain::MarksFor(const TQORVideo* video) const
{
    const PlaybackController& p = *m_playback;
    if (p.Range().IsEmpty() || (p.InTime() == p.Range().Start && p.OutTime() == p.Range().End))
        return {};
    const auto [in, out] = MarkedFrames(*video->document());
    return {.Set = true, .InFrame = in, .OutFrame = out};
}

std::pair<int, int> TQorMain::MarkedFrames(const VideoDocument& doc) const
{
    const int first = std::min(doc.Info.FirstFrame, doc.Info.LastFrame);
    const int last = std::max(doc.Info.FirstFrame, doc.Info.LastFrame);
    return {std::clamp(doc.FrameAtTime(m_playback->InTime()), first, last),
            std::clamp(doc.FrameAtTime(m_playback->OutTime()), first, last)};
}

QRect TQorMain::CascadePlace(const QRect& area, int k, const QSize& preferred, const QSize& minimum)
{
    const int step = 24 * (k % 10);
    const QSize size = preferred.boundedTo(QSize(area.width() - step, area.height() - step))
                           .expandedTo(minimum);
    QPoint topLeft = area.topLeft() + QPoint(step, step);
    // A picture area smaller than the smallest window: stay left and up.
    topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - size.width())));
    topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - size.height())));
    return QRect(topLeft, size);
}

QRect TQorMain::PictureArea() const
{
    if (m_pictureArea->isVisible())
        return QRect(m_pictureArea->mapToGlobal(QPoint(0, 0)), m_pictureArea->size());
    // Not laid out yet: the client area left of the control panel.
    const QRect client = geometry();
    const int top = client.top() + menuBar()->sizeHint().height();
    return QRect(client.left(), top, std::max(0, client.width() - 324),
                 std::max(0, client.bottom() - top - statusBar()->sizeHint().height()));
}

void TQorMain::AskRecordingRate()
{
    if (!ActiveVideo)
        return;
    const VideoDocument* doc = ActiveVideo->document();
    if (!doc->CanSetRecordingRate()) {
        ShowErrorBox(this, QFileInfo(doc->Info.FileName).fileName()
                               + QStringLiteral(" carries its own recording rate (%1 fps).").arg(doc->Info.FrameRate));
        return;
    }
    RecordingRateDialog dialog(doc->Info.FileName, doc->Info.FrameRate, doc->Info.TimeZeroFrame,
                               doc->Info.FirstFrame, doc->Info.LastFrame, this);
    if (dialog.exec() == QDialog::Accepted)
        SetRecordingRate(ActiveVideo, dialog.framesPerSecond(), dialog.timeZeroFrame());
}

bool TQorMain::SetRecordingRate(TQORVideo* video, int framesPerSecond, int timeZeroFrame)
{
    if (!video || !VideoWindows.contains(video))
        return false;
    if (!video->document()->SetRecordingRate(framesPerSecond, timeZeroFrame))
        return false;
    video->UpdateStatusBar();
    // The axis, the slider and every document follow the new time base.
    documentsChanged();
    return true;
}

void TQorMain::ActivateVideo(TQORVideo* video)
{
    if (!video || !VideoWindows.contains(video))
        return;
    ActiveVideo = video;
    m_tools->SetActiveVideo(video);
}

// ---------------------------------------------------------------- transport

void TQorMain::SetTime(const Rational& seconds)
{
    m_playback->SetTime(seconds);
}

void TQorMain::Step(bool backward)
{
    m_playback->Step(backward);
}

void TQorMain::Play(int direction)
{
    m_playback->Play(direction == 1 ? PlaybackTransport::Backward : PlaybackTransport::Forward);
}

void TQorMain::StopPlayback()
{
    m_playback->StopPlayback();
}

void TQorMain::broadcastTime(const Rational& seconds)
{
    // Histograms only for the active document, and only while a docked
    // frame shows them.
    const bool histograms = m_tools->ShowsHistograms();
    std::vector<TQORVideo*> windows;
    for (TQORVideo* v : VideoWindows) {
        VideoDocument* doc = v->document();
        doc->SetHistogramsWanted(histograms && v == ActiveVideo);
        // A document just opened already shows its first frame.
        if (v == m_justOpened && !doc->IsOutsideRecording() && doc->FrameAtTime(seconds) == doc->Info.CurrentFrame)
            continue;
        windows.push_back(v);
    }
    m_justOpened = nullptr;
    // Each document reads and renders its frame, and its view draws the
    // picture, on its own thread; the windows show the results here, on
    // the user-interface thread.
    std::vector<std::future<void>> others;
    for (size_t i = 1; i < windows.size(); ++i)
        others.push_back(std::async(std::launch::async, [v = windows[i], seconds] { v->PrepareTime(seconds); }));
    if (!windows.empty())
        windows.front()->PrepareTime(seconds);
    for (std::future<void>& f : others)
        f.get();
    for (TQORVideo* v : windows)
        v->document()->PublishFrame();
    for (TABgraph* graph : GraphWindows)
        graph->ShowCursorAt(seconds.toDouble());
    m_tools->ShowHistograms();
}

TABgraph* TQorMain::PlotChannels(std::vector<TABChannel> channels)
{
    auto* graph = new TABgraph(this);
    GraphWindows.append(graph);
    connect(graph, &TABgraph::closing, this, [this](TABgraph* g) {
        GraphWindows.removeAll(g);
        g->disconnect(this);
        activateWindow();
    });
    // A clicked sample becomes the common time, to the microsecond (far
    // finer than any frame interval, so every document finds that frame).
    connect(graph, &TABgraph::timeRequested, this,
            [this](double seconds) { SetTime(Rational(int64_t(std::llround(seconds * 1e6)), 1000000)); });
    graph->AddChannels(std::move(channels));
    graph->ShowCursorAt(m_playback->CommonTime().toDouble());
    // Each new graph window 30 pixels below the last.
    const QRect area = PictureArea();
    graph->move(area.left() + 20, area.top() + int(GraphWindows.size()) * 30 + 50 - 30);
    graph->show();
    return graph;
}

void TQorMain::showTransport()
{
    const PlaybackController& p = *m_playback;
    if (p.Range().IsEmpty()) {
        m_controls->ShowSlider(0, 0, 0, 0, 0);
        m_controls->ShowTimes(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"));
    } else {
        const SliderValues s = p.Slider();
        m_controls->ShowSlider(s.BegFrame, s.EndFrame, s.SubBegFrame, s.SubEndFrame, s.CurrentFrame);
        m_controls->ShowTimes(FormatSeconds(p.InTime()), FormatSeconds(p.CommonTime()), FormatSeconds(p.OutTime()));
    }
    m_controls->ShowLamp(p.LampLit());
    m_controls->ShowLoop(p.IsLooping());
}

bool TQorMain::eventFilter(QObject* watched, QEvent* event)
{
    // Left and right arrows step the common time wherever the focus is in
    // the main window, a document window or a graph window (not in text
    // boxes of dialogs). In a graph window the sample table and the axis
    // boxes keep their arrows for moving within them.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* top = widget ? widget->window() : nullptr;
        const bool graph = GraphWindows.contains(qobject_cast<TABgraph*>(top));
        const bool ours = top == this || VideoWindows.contains(qobject_cast<TQORVideo*>(top)) || graph;
        const bool widgetMovesWithArrows =
            qobject_cast<QSpinBox*>(widget)
            || (graph && (qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QLineEdit*>(widget)
                          || qobject_cast<QAbstractItemView*>(widget)));
        if (ours && key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) && !widgetMovesWithArrows) {
            Step(key->key() == Qt::Key_Left);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- other commands

void TQorMain::saveAs()
{
    if (!ActiveVideo || m_playback->Range().IsEmpty())
        return;
    VideoDocument* doc = ActiveVideo->document();
    std::tie(doc->Info.RangeFirst, doc->Info.RangeLast) = MarkedFrames(*doc);
    RunSaveAsDialog(ActiveVideo, *doc, doc->Info.RangeFirst, doc->Info.RangeLast, m_controls->PlaySpeed());
    Prefs.LastSave = LastSaveIndex();
    Prefs.SVFCon = SvfConversionPreference();
    const QString error = m_store.WriteSettings(Prefs);
    if (!error.isEmpty())
        ShowErrorBox(this, error);
    // The export moved the document through the range: every document, the
    // read-outs and the slider go back to the common time.
    m_playback->SetTime(m_playback->CommonTime());
}

void TQorMain::showPreferences()
{
    TPrefsForm dialog(Prefs.DefZoomMode, this);
    if (dialog.exec() == QDialog::Accepted)
        Prefs.DefZoomMode = dialog.selectedZoomMode();
    Prefs.SVFCon = SvfConversionPreference();
    const QString error = m_store.WriteSettings(Prefs);
    if (!error.isEmpty())
        ShowErrorBox(this, error);
}

void TQorMain::showAbout()
{
    TAboutform about(VersionText, this);
    about.exec();
}

void TQorMain::FixLocations()
{
    for (int k = 0; k < VideoWindows.size() && k < 10; ++k) {
        const QRect g = VideoWindows[k]->geometry();
        WindowPlaces[k] = {g.left(), g.top(), g.width(), g.height()};
    }
    m_store.WriteWindowPlaces(WindowPlaces);
}

void TQorMain::closeEvent(QCloseEvent* event)
{
    // A running export first stops; the program closes after it.
    if (!MayCloseDuringExport(this, nullptr)) {
        event->ignore();
        return;
    }
    // Unsaved work of every document is asked about before anything closes;
    // Cancel on any keeps the program open.
    for (TQORVideo* v : VideoWindows) {
        if (!m_analyses.MayClose(v, MarksFor(v))) {
            event->ignore();
            return;
        }
    }
    for (TQORVideo* v : VideoWindows)
        v->MayClose = nullptr;
    StopPlayback();
    m_tools->CloseToolFrames();
    const QRect g = geometry();
    Prefs.FormTop = g.top();
    Prefs.FormLeft = g.left();
    Prefs.FormWidth = g.width();
    Prefs.FormHeight = g.height();
    Prefs.SVFCon = SvfConversionPreference();
    m_store.WriteSettings(Prefs);
    // Owned windows go with the main window.
    const auto videos = VideoWindows;
    for (TQORVideo* v : videos)
        v->close();
    const auto graphs = GraphWindows;
    for (TABgraph* g : graphs)
        g->close();
    event->accept();
}

void TQorMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TQorMain::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    event->acceptProposedAction();
    // Open after the drop has finished so the source program is not blocked.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}
