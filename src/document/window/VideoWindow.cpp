#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"

#include "adjust/ImageTurns.h"
#include "common/NumberFormat.h"
#include "document/ui/ImageView.h"
#include "document/window/StatusPanel.h"
#include "overlays/RulerGeometry.h"
#include "sources/SourceFactory.h"
#include "export/ui/RunningExport.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>
#include <vector>

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
    m_view->setTrackingPoints(&m_document.TrackingPoints());

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    const char* texts[6] = {"0/0", "0.00s", "filename", "x:000 ~ y:000", "RGB", "AUTOFIT %"};
    const int widths[6] = {80, 80, 150, 100, 50, 80};
    // In a narrow window the file name, the cursor and the colour read-outs
    // give up their room first; frame, time and zoom keep their whole text.
    const StatusPanel::Room rooms[6] = {StatusPanel::KeepsText, StatusPanel::KeepsText, StatusPanel::Shrinks,
                                        StatusPanel::Shrinks, StatusPanel::Shrinks, StatusPanel::KeepsText};
    for (int i = 0; i < 6; ++i) {
        m_panels[i] = new StatusPanel(QString::fromLatin1(texts[i]), widths[i], rooms[i], m_statusBar);
        m_statusBar->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }
    layout->addWidget(m_statusBar);

    connect(m_view, &ImageView::mousePressedAt, this, [this] {
        if (!isActiveWindow())
            emit activated(this);
    });
    connect(m_view, &ImageView::mouseMovedAt, this,
            [this](QPointF p) { m_panels[3]->setText(ImageView::cursorText(p)); });
    connect(m_view, &ImageView::zoomChanged, this, [this] { UpdateStatusBar(); });
    connect(m_view, &ImageView::brightnessNudge, this, &TQORVideo::brightnessNudge);
    connect(m_view, &ImageView::copyRequested, this, &TQORVideo::CopyToClipboard);
    // Tool frames that changed the document's operations ask for the frame
    // at the common time, which the main window owns.
    connect(&m_document, &VideoDocument::renderRequested, this, &TQORVideo::RequestRedisplay);
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
        const QString filter = kind == QLatin1String("SVF") ? QStringLiteral("Qor Stravo File (*.SVF *.svf)")
                                                             : QStringLiteral("%1 File (*.%2 *.%3)").arg(kind, kind.toLower(), kind);
        // The user is asked now: no busy cursor over the dialog.
        QApplication::restoreOverrideCursor();
        const QString found = QFileDialog::getOpenFileName(this, caption, missing, filter);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return found;
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

void TQORVideo::GotoTime(const Rational& seconds)
{
    m_document.GotoTime(seconds);
}

void TQORVideo::PrepareTime(const Rational& seconds)
{
    m_document.PrepareTime(seconds);
    if (!m_viewHeld)
        m_view->prepareFrame(m_document.DisplayBitmap);
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
    // A frame that could not be read shows black: say so, never silently.
    QString name = QFileInfo(m_document.Info.FileName).fileName();
    if (m_document.TimeBaseAssumed())
        name += QStringLiteral(" (time base assumed: %1 fps)").arg(m_document.Info.FrameRate);
    else if (m_document.CanSetRecordingRate())
        name += QStringLiteral(" (recorded at %1 fps)").arg(m_document.Info.FrameRate);
    m_panels[2]->setText(m_document.FrameReadError.isEmpty()
                             ? name
                             : QStringLiteral("damaged frame %1").arg(m_document.Info.CurrentFrame));
}

void TQORVideo::setPanMode(bool on)
{
    m_view->setPanMode(on);
}

void TQORVideo::UpdateOverlay()
{
    ImageView::OverlayState overlay;
    overlay.GridVisible = GridVisible;
    const AdjustmentEntry* gridEntry = m_document.GridEntry;
    if (const CalibrationGridEntry* grid = gridEntry ? gridEntry->As<CalibrationGridEntry>() : nullptr) {
        overlay.HasGridEntry = true;
        overlay.Grid.AngleDegrees = grid->AngleDegrees;
        overlay.Grid.StartX = grid->StartX;
        overlay.Grid.StartY = grid->StartY;
        overlay.Grid.GridSize = grid->GridSize;
        overlay.Grid.PixelsPerUnit = grid->PixelsPerUnit;
        overlay.Grid.Polar = grid->Polar;
    }
    overlay.RulerOn = RulerOn;
    overlay.RulerStart = RulerStart;
    overlay.RulerEnd = RulerEnd;
    overlay.RulerDistance = RulerDistance;
    overlay.CalUnitIndex = m_document.Info.CalUnitIndex;
    m_view->setOverlay(overlay);
}

void TQORVideo::SetRuler(QPointF start, QPointF end)
{
    RulerStart = start;
    RulerEnd = end;
    RulerDistance = float(::RulerDistance(start, end, m_document.Info.PixelsPerUnit));
    UpdateOverlay();
}

std::optional<QPoint> TQORVideo::FramePixelAt(QPointF shown) const
{
    // The rotate/mirror entries in list order, with the size of the frame
    // each one turns; every other entry keeps the size.
    struct Turn {
        int Mirror, TurnCode;
        QSize Before;
    };
    std::vector<Turn> turns;
    QSize size(m_document.FrameBitmap.width(), m_document.FrameBitmap.height());
    for (const auto& entry : m_document.Adjustments) {
        const RotateEntry* rotate = entry->As<RotateEntry>();
        if (!rotate)
            continue;
        turns.push_back({rotate->Mirror, rotate->Turn, size});
        size = RotateMirrorSize(size, rotate->Turn);
    }
    if (!(shown.x() >= 0.0 && shown.y() >= 0.0 && shown.x() < size.width() && shown.y() < size.height()))
        return std::nullopt;
    QPoint pixel(int(shown.x()), int(shown.y()));
    for (auto t = turns.rbegin(); t != turns.rend(); ++t)
        pixel = RotateMirrorSourcePixel(pixel, t->Before, t->Mirror, t->TurnCode);
    return pixel;
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
    if (!MayCloseDuringExport(this, &m_document) || (MayClose && !MayClose())) {
        event->ignore();
        return;
    }
    emit closing(this);
    event->accept();
}
