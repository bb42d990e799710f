#pragma once
// TQORVideo: the window of one opened recording. It owns the document (the
// recording, its frames and display operations) and the view that shows the
// processed frame with its layers. Picks are view tools that the tool frames
// install on the view (ImageView::setTool).

#include "document/VideoDocument.h"

#include <QPoint>
#include <QPointF>
#include <QWidget>
#include <functional>
#include <optional>

class ImageView;
class QStatusBar;
class QLabel;

class TQORVideo : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the document stays in front of it.
    explicit TQORVideo(QWidget* owner);
    ~TQORVideo() override;

    VideoDocument* document() { return &m_document; }
    const VideoDocument* document() const { return &m_document; }
    ImageView* view() const { return m_view; }
    // Why the last OpenRecording failed.
    QString openError() const { return m_openError; }

    // Opens the recording; 0 on success, −1 on failure (the reader's message
    // has been shown for an unknown extension). `defZoomMode` is the
    // preferred resampling kernel.
    int OpenRecording(const QString& fileName, int defZoomMode);

    void GotoTime(const Rational& seconds);
    // The first half of GotoTime for the main window's tick: the document
    // reads and renders the frame and the view draws its picture, touching
    // no widget, so that windows can do it on worker threads at once. The
    // document's PublishFrame() then shows it.
    void PrepareTime(const Rational& seconds);
    // While the view is held (a tracking run between the paints it shows),
    // PrepareTime leaves the view alone: drawing a picture nobody sees costs
    // more than reading the frame. ShowDisplayBitmap brings it up to date.
    void HoldView(bool held) { m_viewHeld = held; }
    void Redisplay();
    void CopyToClipboard();
    void UpdateStatusBar();
    // Shows DisplayBitmap in the view without loading again.
    void ShowDisplayBitmap();
    // Asks the main window to render this document again at the common time.
    void RequestRedisplay() { emit redisplayRequested(this); }
    // The main window's "Pan" button.
    void setPanMode(bool on);

    // Which pixel of FrameBitmap the displayed (turned or mirrored) picture
    // shows at an image point of the view; none outside the picture. Picks
    // that read the frame as read (the white reference) go through this.
    std::optional<QPoint> FramePixelAt(QPointF displayedPoint) const;

    // What the overlay layer shows over the picture: the calibration grid
    // and the ruler. Tools that change them call UpdateOverlay.
    bool GridVisible = false;
    bool RulerOn = false;
    QPointF RulerStart;
    QPointF RulerEnd;
    float RulerDistance = 0.0f;
    // Moves the ruler's ends (image points) and measures it in calibration units.
    void SetRuler(QPointF start, QPointF end);
    // Pushes grid, ruler and calibration state to the view's overlay layer.
    void UpdateOverlay();

    // Asked before the window closes (after a running export has been
    // dealt with); false keeps it open. The main window asks about unsaved
    // work here.
    std::function<bool()> MayClose;

signals:
    // The window was activated or clicked: it becomes the active document.
    void activated(TQORVideo* window);
    // Sent while closing, before the window goes.
    void closing(TQORVideo* window);
    // Vertical drags that no tool uses nudge the brightness frame.
    void brightnessNudge(bool up);
    void redisplayRequested(TQORVideo* window);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    VideoDocument m_document;
    QString m_openError;
    ImageView* m_view = nullptr;
    bool m_viewHeld = false;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_panels[6] = {};
};
