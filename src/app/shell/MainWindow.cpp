#include "app/shell/MainWindow.h"

#include "app/shell/AboutForm.h"
#include "app/shell/PrefsForm.h"
#include "app/shell/ToolFrames.h"
#include "app/ui/RangeSlider.h"
#include "common/Rounding.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "export/ui/RunningExport.h"
#include "export/ui/SaveAsDialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const OpenFilter =
    "Supported Files (*.svf *.avi *.bvf *.SVF *.AVI *.BVF);;Qor Stravo File (*.svf *.SVF);;"
    "Brava File (*.BVF *.bvf);;Windows AVI File (*.AVI *.avi)";

// A small square icon with a short caption, for the tool buttons.
QIcon captionIcon(const QString& text, const QColor& colour)
{
    QPixmap pixmap(38, 38);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(30, 34, 40));
    p.setPen(colour);
    p.drawRoundedRect(QRectF(1, 1, 36, 36), 6, 6);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(text.size() > 3 ? 9 : 12);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 38, 38), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QLineEdit* timeBox(const QString& colour)
{
    auto* edit = new QLineEdit(QStringLiteral("0"));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setStyleSheet(QStringLiteral("background: black; color: %1; font: 16px 'DejaVu Sans';").arg(colour));
    return edit;
}

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
    layout->addWidget(buildRightPanel());
    setCentralWidget(central);

    buildMenus();
    statusBar()->addWidget(new QLabel(this), 1);

    m_playTimer = new QTimer(this);
    m_playTimer->setInterval(Transport.TimerInterval);
    connect(m_playTimer, &QTimer::timeout, this, &TQorMain::timerTick);
    setLamp(true);

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
    file->addAction(QStringLiteral("Close")); // no action, as before
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
    layout->addWidget(buildPlayBar());
    layout->addWidget(buildSliderPanel());
    layout->addWidget(buildSpeedBar());
    layout->addWidget(buildToolBar());

    m_dockPanel = new QWidget(panel);
    m_dockPanel->setObjectName(QStringLiteral("DockPanel"));
    m_dockLayout = new QVBoxLayout(m_dockPanel);
    m_dockLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_dockPanel, 1);

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

QWidget* TQorMain::buildPlayBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar2"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto add = [&](const char* name, QStyle::StandardPixmap icon, const QString& tip, auto slot) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, slot);
        layout->addWidget(b);
        return b;
    };
    add("ToolButton8", QStyle::SP_MediaSkipBackward, QStringLiteral("Go to start"), [this] {
        if (!Range.IsEmpty())
            SetTime(Range.Start);
    });
    add("ToolButton9", QStyle::SP_MediaSeekBackward, QStringLiteral("Step back"), [this] { Step(true); });
    m_playBackward = add("ToolButton10", QStyle::SP_MediaPlay, QStringLiteral("Play backward"), [this] { Play(1); });
    // A mirrored play icon for backward play.
    m_playBackward->setIcon(QIcon(style()->standardIcon(QStyle::SP_MediaPlay).pixmap(24).transformed(QTransform().scale(-1, 1))));
    add("ToolButton11", QStyle::SP_MediaStop, QStringLiteral("Stop"), [this] {
        setLoopImages(false);
        Transport.StopButton();
        m_playTimer->stop();
    });
    m_playForward = add("ToolButton12", QStyle::SP_MediaPlay, QStringLiteral("Play forward"), [this] { Play(0); });
    add("ToolButton14", QStyle::SP_MediaSeekForward, QStringLiteral("Step forward"), [this] { Step(false); });
    add("ToolButton13", QStyle::SP_MediaSkipForward, QStringLiteral("Go to end"), [this] {
        if (!Range.IsEmpty())
            SetTime(Range.End);
    });
    layout->addStretch();
    return bar;
}

QWidget* TQorMain::buildSliderPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("SliderPAnel"));
    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_slider = new RangeSlider(panel);
    m_slider->setObjectName(QStringLiteral("ExSlider1"));
    m_slider->setMinimumSize(311, 30);
    layout->addWidget(m_slider, 0, 0, 1, 3);
    connect(m_slider, &RangeSlider::changeFrame, this, &TQorMain::sliderPositionChanged);
    connect(m_slider, &RangeSlider::changeSubBegFrame, this, &TQorMain::sliderInChanged);
    connect(m_slider, &RangeSlider::changeSubEndFrame, this, &TQorMain::sliderOutChanged);

    auto caption = [panel](const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), panel);
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("font-weight: bold; color: #404040;"));
        return l;
    };
    layout->addWidget(caption("START"), 1, 0);
    layout->addWidget(caption("CURRENT"), 1, 1);
    layout->addWidget(caption("END"), 1, 2);
    m_inEdit = timeBox(QStringLiteral("yellow"));
    m_curTimeEdit = timeBox(QStringLiteral("lime"));
    m_outEdit = timeBox(QStringLiteral("yellow"));
    m_inEdit->setObjectName(QStringLiteral("InEdit"));
    m_curTimeEdit->setObjectName(QStringLiteral("CURTimeEdit"));
    m_outEdit->setObjectName(QStringLiteral("OutEdit"));
    layout->addWidget(m_inEdit, 2, 0);
    layout->addWidget(m_curTimeEdit, 2, 1);
    layout->addWidget(m_outEdit, 2, 2);

    auto* markIn = new QToolButton(panel);
    markIn->setObjectName(QStringLiteral("MarkinBut"));
    markIn->setText(QStringLiteral("[ IN"));
    markIn->setToolTip(QStringLiteral("Mark in"));
    markIn->setFixedSize(45, 48);
    connect(markIn, &QToolButton::clicked, this, &TQorMain::markIn);
    auto* markOut = new QToolButton(panel);
    markOut->setObjectName(QStringLiteral("MarkoutBut"));
    markOut->setText(QStringLiteral("OUT ]"));
    markOut->setToolTip(QStringLiteral("Mark out"));
    markOut->setFixedSize(45, 48);
    connect(markOut, &QToolButton::clicked, this, &TQorMain::markOut);
    layout->addWidget(markIn, 3, 0, Qt::AlignLeft);
    layout->addWidget(markOut, 3, 2, Qt::AlignRight);
    return panel;
}

QWidget* TQorMain::buildSpeedBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("TZPAnel"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* zero = new QToolButton(bar);
    zero->setObjectName(QStringLiteral("ToolButton1"));
    zero->setText(QStringLiteral("T=0"));
    zero->setToolTip(QStringLiteral("Go to time 0"));
    zero->setFocusPolicy(Qt::NoFocus);
    connect(zero, &QToolButton::clicked, this, [this] { SetTime(0.0f); });
    layout->addWidget(zero);
    m_playSpeed = new QSpinBox(bar);
    m_playSpeed->setObjectName(QStringLiteral("PlaySPeedSpin"));
    m_playSpeed->setRange(1, 1000);
    m_playSpeed->setValue(15);
    m_playSpeed->setSuffix(QStringLiteral(" fps"));
    m_playSpeed->setStyleSheet(QStringLiteral("background: black; color: lime; font: 27px 'DejaVu Sans';"));
    connect(m_playSpeed, &QSpinBox::valueChanged, this, &TQorMain::SetPlaySpeed);
    layout->addWidget(m_playSpeed, 1);
    m_lamp = new QLabel(bar);
    m_lamp->setObjectName(QStringLiteral("JvLED1"));
    m_lamp->setFixedSize(18, 18);
    m_lamp->setToolTip(QStringLiteral("Lit while every frame is shown"));
    layout->addWidget(m_lamp);
    return bar;
}

QWidget* TQorMain::buildToolBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* layout = new QGridLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(false); // at most one down, all up allowed

    struct ButtonInfo { const char* name; const char* hint; const char* caption; QColor colour; };
    const ButtonInfo buttons[ToolCount] = {
        {"ZoomToolBut", "ZOOM TOOLS", "ZOOM", QColor(240, 192, 32)},
        {"SVFToolBut", "SVF Settings", "CAM", QColor(64, 224, 64)},
        {"BCToolBut", "Brightness", "BRI", QColor(255, 255, 255)},
        {"ConToolBut", "Contrast", "CON", QColor(200, 200, 200)},
        {"GammaBut", "GAMMA", "GAM", QColor(180, 180, 255)},
        {"RGBBut", "RGB Colour Correction", "RGB", QColor(255, 96, 96)},
        {"HueSatBut", "Hue and Saturation", "HSV", QColor(255, 160, 64)},
        {"RotateBut", "Rotate", "ROT", QColor(96, 200, 255)},
        {"AnnoBut", "Annotate", "TXT", QColor(255, 255, 128)},
        {"logobut", "Logo", "LOGO", QColor(255, 128, 255)},
        {"calibbut", "Calibrate", "CAL", QColor(128, 255, 200)},
        {"Trackbut", "Tracking", "TRK", QColor(64, 255, 64)},
    };
    for (int kind = 0; kind < ToolCount; ++kind) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(buttons[kind].name));
        b->setToolTip(QString::fromLatin1(buttons[kind].hint));
        b->setIcon(captionIcon(QString::fromLatin1(buttons[kind].caption), buttons[kind].colour));
        b->setIconSize(QSize(38, 38));
        b->setFixedSize(45, 44);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        m_toolGroup->addButton(b, kind);
        m_toolButtons[kind] = b;
        layout->addWidget(b, kind / 6, kind % 6);
    }
    connect(m_toolGroup, &QButtonGroup::idClicked, this, &TQorMain::toolButtonClicked);

    m_panButton = new QToolButton(bar);
    m_panButton->setObjectName(QStringLiteral("Scrollbut"));
    m_panButton->setToolTip(QStringLiteral("Pan"));
    m_panButton->setIcon(captionIcon(QStringLiteral("PAN"), QColor(200, 200, 200)));
    m_panButton->setIconSize(QSize(38, 38));
    m_panButton->setFixedSize(45, 44);
    m_panButton->setCheckable(true);
    m_panButton->setFocusPolicy(Qt::NoFocus);
    connect(m_panButton, &QToolButton::toggled, this, [this](bool down) {
        PanMode = down;
        for (TQORVideo* v : VideoWindows)
            v->setPanMode(down);
    });
    layout->addWidget(m_panButton, 2, 0);

    auto* copy = new QToolButton(bar);
    copy->setObjectName(QStringLiteral("ToolButton2"));
    copy->setToolTip(QStringLiteral("Copy  To Clipboard"));
    copy->setIcon(captionIcon(QStringLiteral("COPY"), QColor(200, 200, 200)));
    copy->setIconSize(QSize(38, 38));
    copy->setFixedSize(45, 44);
    copy->setFocusPolicy(Qt::NoFocus);
    connect(copy, &QToolButton::clicked, this, [this] {
        if (ActiveVideo)
            ActiveVideo->CopyToClipboard();
    });
    layout->addWidget(copy, 2, 1);
    return bar;
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
    if (ActiveVideo)
        UpdateCameraSettingsButton();
}

bool TQorMain::OpenInNewWindow(const QString& fileName)
{
    auto* video = new TQORVideo(this);
    VideoWindows.append(video);
    const int k = int(VideoWindows.size()) - 1;
    connect(video, &TQORVideo::activated, this, &TQorMain::ActivateVideo);
    connect(video, &TQORVideo::closing, this, &TQorMain::documentClosing);
    connect(video, &TQORVideo::brightnessNudge, this, &TQorMain::NudgeBrightness);
    connect(video, &TQORVideo::redisplayRequested, this, [this](TQORVideo* v) { v->GotoTime(Transport.CommonTime); });
    video->setPanMode(PanMode);
    const QRect stored = k < 10 ? PlaceOnScreens(QRect(WindowPlaces[k].Left, WindowPlaces[k].Top, WindowPlaces[k].Width, WindowPlaces[k].Height),
                                                 AvailableScreens())
                                : QRect();
    if (!stored.isNull())
        video->setGeometry(stored);
    else
        video->move(geometry().topLeft() + QPoint(24 * (k % 10), 40 + 24 * (k % 10)));
    video->show();
    ActiveVideo = video;

    if (video->OpenRecording(fileName, Prefs.DefZoomMode) != 0) {
        VideoWindows.removeAll(video);
        if (ActiveVideo == video)
            ActiveVideo = nullptr;
        video->disconnect(this);
        video->close();
        video->deleteLater();
        ShowErrorBox(this, QStringLiteral("Cannot Open AVI - Possible no compatible codec installed"));
        return false;
    }

    recomputeTimeStep();
    const RecordingInfo& info = video->document()->Info;
    if (info.FrameRate > 0) {
        const DocumentTimeSpan span = SpanOfRecording(info.FrameRate, info.TimeZeroFrame, info.RangeFirst, info.RangeLast);
        Range.Widen(span.FirstTime, span.LastTime);
    }
    UpdateSliderRange();
    // Show the new document at the common time, like the others.
    video->GotoTime(Transport.CommonTime);
    UpdateSlider();
    ActivateVideo(video);
    return true;
}

void TQorMain::recomputeTimeStep()
{
    std::vector<DocumentTimeSpan> spans;
    for (TQORVideo* v : VideoWindows) {
        const RecordingInfo& info = v->document()->Info;
        if (info.FrameRate > 0)
            spans.push_back(SpanOfRecording(info.FrameRate, info.TimeZeroFrame, info.RangeFirst, info.RangeLast));
    }
    Transport.TimeStep = SmallestFrameInterval(spans);
}

void TQorMain::documentClosing(TQORVideo* video)
{
    const bool wasPlaying = m_playTimer->isActive();
    if (wasPlaying) {
        m_playTimer->stop();
        Transport.TimerBusy = false;
        QThread::msleep(std::min(m_playTimer->interval(), 500));
        QCoreApplication::processEvents();
    }
    CloseToolFrames();
    VideoWindows.removeAll(video);
    recomputeTimeStep();
    if (ActiveVideo == video)
        ActiveVideo = nullptr;
    if (wasPlaying && !VideoWindows.isEmpty())
        QTimer::singleShot(500, this, [this] {
            if (Transport.TimerRunning)
                m_playTimer->start();
        });
}

void TQorMain::ActivateVideo(TQORVideo* video)
{
    if (!video || !VideoWindows.contains(video))
        return;
    const bool changed = ActiveVideo != video;
    ActiveVideo = video;
    UpdateCameraSettingsButton();
    if (!changed)
        return;
    // The camera-settings frame belongs to one kind of recording.
    if (m_dockedKind == SvfTool) {
        const int kind = video->document()->Info.SourceKind;
        if (kind != 1 && kind != 7) {
            m_toolButtons[SvfTool]->setChecked(false);
            toolButtonClicked(SvfTool);
            return;
        }
    }
    // Frames that follow the active document reload from it. The hue and
    // saturation frame does too: otherwise it would go on editing the entry
    // of the document that was active before.
    static const int reloaded[] = {BrightnessTool, RotateTool, ContrastTool, RgbTool, GammaTool,
                                   AnnotateTool, ZoomTool, LogoTool, HueSatTool};
    for (int kind : reloaded)
        if (m_dockedKind == kind)
            refreshDockedFrame();
}

void TQorMain::UpdateCameraSettingsButton()
{
    QToolButton* b = m_toolButtons[SvfTool];
    const int kind = ActiveVideo ? ActiveVideo->document()->Info.SourceKind : -1;
    if (kind == 1 || kind == 7) {
        b->setEnabled(true);
        b->setToolTip(kind == 7 ? QStringLiteral("Brava Settings") : QStringLiteral("SVF Settings"));
    } else {
        if (b->isChecked() && m_dockedKind == SvfTool)
            CloseToolFrames();
        b->setChecked(false);
        b->setEnabled(false);
    }
}

// ---------------------------------------------------------------- tool frames

void TQorMain::toolButtonClicked(int kind)
{
    QAbstractButton* pressed = m_toolButtons[kind];
    const bool down = pressed->isChecked();
    // At most one button of the group is down.
    for (int k = 0; k < ToolCount; ++k)
        if (k != kind)
            m_toolButtons[k]->setChecked(false);
    CloseToolFrames();
    if (down)
        dockFrame(kind);
}

void TQorMain::PressToolButton(int kind, bool down)
{
    if (kind < 0 || kind >= ToolCount)
        return;
    m_toolButtons[kind]->setChecked(down);
    toolButtonClicked(kind);
}

void TQorMain::dockFrame(int kind)
{
    const ToolFrameHooks hooks = ToolFrameFor(kind);
    if (hooks.needsDocument && !ActiveVideo)
        return;
    if (kind == SvfTool) {
        const int sourceKind = ActiveVideo->document()->Info.SourceKind;
        if (sourceKind != 1 && sourceKind != 7)
            return;
    }
    if (!hooks.create)
        return;
    QWidget* frame = hooks.create(m_dockPanel, ActiveVideo);
    if (!frame)
        return;
    m_dockLayout->addWidget(frame);
    m_dockedFrame = frame;
    m_dockedKind = kind;
    frame->show();
    if (hooks.load)
        hooks.load(frame, ActiveVideo);
    showHistogramsInDockedFrame();
}

void TQorMain::CloseToolFrames()
{
    if (m_dockedFrame) {
        m_dockLayout->removeWidget(m_dockedFrame);
        m_dockedFrame->hide();
        m_dockedFrame->deleteLater();
    }
    m_dockedFrame = nullptr;
    m_dockedKind = -1;
}

void TQorMain::refreshDockedFrame()
{
    if (!m_dockedFrame)
        return;
    const ToolFrameHooks hooks = ToolFrameFor(m_dockedKind);
    if (hooks.load)
        hooks.load(m_dockedFrame, ActiveVideo);
    showHistogramsInDockedFrame();
}

void TQorMain::showHistogramsInDockedFrame()
{
    if (!m_dockedFrame || !ActiveVideo)
        return;
    const ToolFrameHooks hooks = ToolFrameFor(m_dockedKind);
    if (hooks.showHistograms)
        hooks.showHistograms(m_dockedFrame, ActiveVideo);
}

void TQorMain::NotifyPicks()
{
    if (m_dockedKind == AnnotateTool || m_dockedKind == CalibrateTool)
        refreshDockedFrame();
}

void TQorMain::PassTrackingPick(QPointF imagePoint)
{
    if (m_dockedKind != TrackTool || !m_dockedFrame)
        return;
    QMetaObject::invokeMethod(m_dockedFrame, "SetTargetPosition", Q_ARG(QPointF, imagePoint));
}

void TQorMain::NudgeBrightness(bool up)
{
    if (m_dockedKind != BrightnessTool || !m_dockedFrame)
        return;
    if (const std::optional<int> value = NudgeBrightnessFrame(m_dockedFrame, up))
        statusBar()->showMessage(QStringLiteral("Brightness %1 (dragging up or down on the picture)").arg(*value), 3000);
}

// ---------------------------------------------------------------- transport

void TQorMain::SetTime(float seconds)
{
    Transport.CommonTime = seconds;
    BroadcastTime(seconds);
    UpdateSlider();
}

void TQorMain::BroadcastTime(float seconds)
{
    for (TQORVideo* v : VideoWindows)
        v->GotoTime(seconds);
    for (QWidget* g : GraphWindows)
        QMetaObject::invokeMethod(g, "ShowCursorAt", Q_ARG(float, seconds));
    showHistogramsInDockedFrame();
}

void TQorMain::UpdateSlider()
{
    SliderUpdating = true;
    m_slider->setCurrentFrame(int(TimeToTick(Transport.CommonTime, Transport.TimeStep)));
    SliderUpdating = false;
    m_curTimeEdit->setText(FormatSeconds(Transport.CommonTime));
}

void TQorMain::UpdateSliderRange()
{
    SliderValues values;
    values.CurrentFrame = m_slider->CurrentFrame();
    values.BegFrame = m_slider->BegFrame();
    values.EndFrame = m_slider->EndFrame();
    values.SubBegFrame = m_slider->SubBegFrame();
    values.SubEndFrame = m_slider->SubEndFrame();
    const bool full = ApplySliderRange(values, Transport.TimeStep, Range.Start, Range.End);
    SliderUpdating = true;
    m_slider->setBegFrame(int(values.BegFrame));
    m_slider->setEndFrame(int(values.EndFrame));
    m_slider->setSubBegFrame(int(values.SubBegFrame));
    m_slider->setSubEndFrame(int(values.SubEndFrame));
    m_slider->setSamplingTime(1000);
    SliderUpdating = false;
    if (full) {
        Transport.InTime = Range.Start;
        Transport.OutTime = Range.End;
        m_inEdit->setText(FormatSeconds(Transport.InTime));
        m_outEdit->setText(FormatSeconds(Transport.OutTime));
    }
}

void TQorMain::Step(bool backward)
{
    if (Range.IsEmpty())
        return; // nothing opened yet: there is no time range to move in
    syncRange();
    const float t = Transport.Step(backward ? PlaybackTransport::Backward : PlaybackTransport::Forward);
    setLamp(true);
    SetTime(t);
    QCoreApplication::processEvents();
}

void TQorMain::Play(int direction)
{
    if (Range.IsEmpty())
        return;
    syncRange();
    const bool loop = Transport.Play(direction == 1 ? PlaybackTransport::Backward : PlaybackTransport::Forward);
    setLoopImages(loop);
    if (Transport.TimerRunning && !m_playTimer->isActive())
        m_playTimer->start(Transport.TimerInterval);
}

void TQorMain::StopPlayback()
{
    Transport.StopPlayback();
    m_playTimer->stop();
}

void TQorMain::SetPlaySpeed(int framesPerSecond)
{
    Transport.SetPlaySpeed(framesPerSecond);
    m_playTimer->setInterval(Transport.TimerInterval);
}

void TQorMain::timerTick()
{
    QElapsedTimer clock;
    clock.start();
    syncRange();
    const TickStep step = Transport.BeginTick();
    if (!step.Run)
        return; // the previous tick is still rendering
    SetTime(step.Time);
    if (step.Stop)
        m_playTimer->stop();
    Transport.EndTick(clock.elapsed());
    setLamp(Transport.LampLit());
}

void TQorMain::syncRange()
{
    Transport.RangeStartTime = Range.Start;
    Transport.RangeEndTime = Range.End;
}

void TQorMain::setLoopImages(bool loop)
{
    const QColor tint = loop ? QColor(64, 224, 64) : QColor();
    for (QToolButton* b : {m_playBackward, m_playForward})
        b->setStyleSheet(loop ? QStringLiteral("background: %1;").arg(tint.name()) : QString());
    m_playBackward->setToolTip(loop ? QStringLiteral("Loop play backward") : QStringLiteral("Play backward"));
    m_playForward->setToolTip(loop ? QStringLiteral("Loop play forward") : QStringLiteral("Play forward"));
}

void TQorMain::setLamp(bool lit)
{
    m_lamp->setStyleSheet(lit ? QStringLiteral("background: #30ff30; border-radius: 9px; border: 1px solid #104010;")
                              : QStringLiteral("background: #204020; border-radius: 9px; border: 1px solid #104010;"));
}

void TQorMain::sliderPositionChanged()
{
    if (SliderUpdating)
        return;
    SetTime(TickToTime(m_slider->CurrentFrame(), Transport.TimeStep));
}

// The in and out marks take the tick the marker was dragged to (the
// position marker may be elsewhere while a range marker is dragged).
void TQorMain::sliderInChanged(int tick)
{
    Transport.InTime = TickToTime(tick, Transport.TimeStep);
    m_inEdit->setText(FormatSeconds(Transport.InTime));
}

void TQorMain::sliderOutChanged(int tick)
{
    Transport.OutTime = TickToTime(tick, Transport.TimeStep);
    m_outEdit->setText(FormatSeconds(Transport.OutTime));
}

void TQorMain::markIn()
{
    m_slider->setSubBegFrame(m_slider->CurrentFrame());
    sliderInChanged(m_slider->CurrentFrame());
}

void TQorMain::markOut()
{
    m_slider->setSubEndFrame(m_slider->CurrentFrame());
    sliderOutChanged(m_slider->CurrentFrame());
}

bool TQorMain::eventFilter(QObject* watched, QEvent* event)
{
    // Left and right arrows step the common time wherever the focus is in
    // the main window or a document window (not in text boxes of dialogs).
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* top = widget ? widget->window() : nullptr;
        const bool ours = top == this || VideoWindows.contains(qobject_cast<TQORVideo*>(top));
        if (ours && key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) && !qobject_cast<QSpinBox*>(widget)) {
            Step(key->key() == Qt::Key_Left);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- other commands

void TQorMain::saveAs()
{
    if (!ActiveVideo)
        return;
    VideoDocument* doc = ActiveVideo->document();
    const double interval = doc->Info.FrameInterval;
    if (!(interval > 0))
        return;
    doc->Info.RangeFirst = int(Round(Transport.InTime / interval + doc->Info.TimeZeroFrame));
    doc->Info.RangeLast = int(Round(Transport.OutTime / interval + doc->Info.TimeZeroFrame));
    RunSaveAsDialog(ActiveVideo, *doc, doc->Info.RangeFirst, doc->Info.RangeLast, m_playSpeed->value());
    ActiveVideo->Redisplay();
    Prefs.LastSave = LastSaveIndex();
    const QString error = m_store.WriteSettings(Prefs);
    if (!error.isEmpty())
        ShowErrorBox(this, error);
}

void TQorMain::showPreferences()
{
    TPrefsForm dialog(Prefs.DefZoomMode, this);
    if (dialog.exec() == QDialog::Accepted)
        Prefs.DefZoomMode = dialog.selectedZoomMode();
    const QString error = m_store.WriteSettings(Prefs);
    if (!error.isEmpty())
        ShowErrorBox(this, error);
}

void TQorMain::showAbout()
{
    TAboutform about(VersionText, this);
    about.exec();
}

void TQorMain::RaisePanButton()
{
    m_panButton->setChecked(false);
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
    StopPlayback();
    CloseToolFrames();
    const QRect g = geometry();
    Prefs.FormTop = g.top();
    Prefs.FormLeft = g.left();
    Prefs.FormWidth = g.width();
    Prefs.FormHeight = g.height();
    m_store.WriteSettings(Prefs);
    // Owned windows go with the main window.
    const auto videos = VideoWindows;
    for (TQORVideo* v : videos)
        v->close();
    const auto graphs = GraphWindows;
    for (QWidget* g2 : graphs)
        g2->close();
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
