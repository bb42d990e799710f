#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "document/ui/ImageView.h"
#include "sources/SourceFactory.h"
#include "sources/bvf/BvfSource.h"
#include "export/ui/RunningExport.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

TQORVideo::TQORVideo(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Video"));
    resize(757, 520);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_view = new ImageView(this);
    m_view->setObjectName(QStringLiteral("ImgView321"));
    layout->addWidget(m_view, 1);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    const char* texts[6] = {"0/0", "0.00s", "filename", "x:000 ~ y:000", "RGB", "AUTOFIT %"};
    const int widths[6] = {80, 80, 150, 100, 50, 80};
    for (int i = 0; i < 6; ++i) {
        m_panels[i] = new QLabel(QString::fromLatin1(texts[i]), m_statusBar);
        m_panels[i]->setMinimumWidth(widths[i]);
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_statusBar->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }
    layout->addWidget(m_statusBar);

    connect(m_view, &ImageView::mousePressedAt, this,
            [this](QPointF p, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
                if (!isActiveWindow())
                    emit activated(this);
                handleImagePress(p, button, buttons);
            });
    connect(m_view, &ImageView::mouseMovedAt, this,
            [this](QPointF p, Qt::MouseButtons buttons, Qt::KeyboardModifiers) { handleImageMove(p, buttons); });
    connect(m_view, &ImageView::zoomChanged, this, [this] { UpdateStatusBar(); });
    connect(m_view, &ImageView::brightnessNudge, this, &TQORVideo::brightnessNudge);
    connect(m_view, &ImageView::copyRequested, this, &TQORVideo::CopyToClipboard);
    // Whoever loads a frame (transport, tool frames, export, tracking), the
    // view shows the result.
    connect(&m_document, &VideoDocument::frameLoaded, this, [this] {
        ShowDisplayBitmap();
        UpdateStatusBar();
    });
}

TQORVideo::~TQORVideo() = default;

int TQORVideo::OpenRecording(const QString& fileName, int defZoomMode)
{
    QString error;
    const LocateFileFunction locate = [this](const QString& missing, const QString& kind) {
        // The recording moved: let the user find it.
        const QString caption = kind == QLatin1String("AVI") ? QStringLiteral("Cannot file associated AVI File....")
                                                              : QStringLiteral("Cannot find associated %1 File....").arg(kind);
        return QFileDialog::getOpenFileName(this, caption, QFileInfo(missing).absolutePath(),
                                            QStringLiteral("%1 File (*.%2 *.%3)").arg(kind, kind.toLower(), kind));
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = OpenRecordingFile(m_document, fileName, &error, locate);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        if (error.endsWith(QLatin1String("files are not currently supported")))
            ShowErrorBox(this, error);
        m_openError = error;
        return -1;
    }
    setWindowTitle(m_document.Info.FileName);
    m_panels[2]->setText(QFileInfo(m_document.Info.FileName).fileName());
    // The first frame is already in the view (frameLoaded).
    m_view->setZoomKernel(std::clamp(defZoomMode, 0, 3));
    m_view->setFitMode(true);
    UpdateStatusBar();
    return 0;
}

void TQORVideo::GotoTime(float seconds)
{
    m_document.GotoTime(seconds);
}

void TQORVideo::Redisplay()
{
    m_document.Redisplay();
}

void TQORVideo::ShowDisplayBitmap()
{
    m_view->setFrame(m_document.DisplayBitmap);
    UpdateOverlay();
}

void TQORVideo::CopyToClipboard()
{
    QGuiApplication::clipboard()->setImage(m_document.DisplayBitmap.toImage());
}

void TQORVideo::UpdateStatusBar()
{
    m_panels[5]->setText(m_view->zoomText());
    m_panels[0]->setText(m_document.FrameReadout());
    m_panels[1]->setText(m_document.TimeReadout());
}

void TQORVideo::setPanMode(bool on)
{
    m_view->setPanMode(on);
}

void TQORVideo::UpdateOverlay()
{
    ImageView::OverlayState overlay;
    overlay.GridVisible = GridVisible;
    if (const AdjustmentEntry* grid = m_document.GridEntry) {
        overlay.HasGridEntry = true;
        overlay.Grid.AngleDegrees = grid->Value2;
        overlay.Grid.StartX = grid->GridStartX;
        overlay.Grid.StartY = grid->GridStartY;
        overlay.Grid.GridSize = grid->RealValue;
        overlay.Grid.PixelsPerUnit = grid->GridPixelsPerUnit;
        overlay.Grid.Polar = grid->GridPolar;
    }
    overlay.RulerOn = RulerOn;
    overlay.RulerStart = RulerStart;
    overlay.RulerEnd = RulerEnd;
    overlay.RulerDistance = RulerDistance;
    overlay.CalUnitIndex = m_document.Info.CalUnitIndex;
    m_view->setOverlay(overlay);
    m_view->setPickCursor(PointSelectState != 0 || GridPositioning || TrackPickMode || RulerOn);
}

void TQORVideo::handleImagePress(QPointF p, Qt::MouseButton, Qt::MouseButtons)
{
    // Several pick modes can be on at once; they run in this order.
    if (ColourPickMode)
        takeWhiteReference(p);
    if (AnnotationPlacing) {
        AnnotationPlacing = false;
        emit picksChanged(this);
    }
    if (PointSelectState != 0) {
        if (PointSelectState == 1) {
            m_document.Info.CalPoint1 = {float(p.x()), float(p.y())};
            PointSelectState = 2;
        } else {
            m_document.Info.CalPoint2 = {float(p.x()), float(p.y())};
            PointSelectState = 3;
        }
        emit picksChanged(this);
    }
    if (RulerOn) {
        RulerStart = p;
        RulerEnd = p;
    }
    if (GridPositioning && m_document.GridEntry) {
        m_document.GridEntry->GridStartX = int(Round(p.x()));
        m_document.GridEntry->GridStartY = int(Round(p.y()));
        UpdateOverlay();
    }
    if (TrackPickMode)
        emit trackingPick(this, p);
}

void TQORVideo::handleImageMove(QPointF p, Qt::MouseButtons buttons)
{
    m_panels[3]->setText(ImageView::cursorText(p));
    if (RulerOn && (buttons & Qt::LeftButton)) {
        RulerEnd = p;
        const double dx = RulerEnd.x() - RulerStart.x();
        const double dy = RulerEnd.y() - RulerStart.y();
        const float ppu = m_document.Info.PixelsPerUnit;
        RulerDistance = float(std::sqrt(dx * dx + dy * dy) / (ppu != 0.0f ? ppu : 1.0f));
        emit picksChanged(this);
        UpdateOverlay();
    }
}

void TQORVideo::takeWhiteReference(QPointF p)
{
    auto* source = dynamic_cast<BvfSource*>(m_document.Source());
    if (!source)
        return;
    // The reader decodes without white balance, takes the pixel as the user
    // reference and switches to "User Defined"; then the picture follows.
    source->reader().pickWhiteReference(QPoint(int(Trunc(p.x())), int(Trunc(p.y()))));
    RequestRedisplay();
}

void TQORVideo::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        emit activated(this);
    QWidget::changeEvent(event);
}

void TQORVideo::closeEvent(QCloseEvent* event)
{
    // An export of this document first stops; the window closes after it.
    if (!MayCloseDuringExport(this, &m_document)) {
        event->ignore();
        return;
    }
    emit closing(this);
    event->accept();
}
