#pragma once
// TQORVideo: the window of one opened recording. It owns the document (the
// recording, its frames and display operations) and the view that shows the
// processed frame with its layers, and carries out the viewer's picks.

#include "document/VideoDocument.h"

#include <QPointF>
#include <QWidget>

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

    void GotoTime(float seconds);
    void Redisplay();
    void CopyToClipboard();
    void UpdateStatusBar();
    // Shows DisplayBitmap in the view without loading again.
    void ShowDisplayBitmap();
    // Asks the main window to render this document again at the common time.
    void RequestRedisplay() { emit redisplayRequested(this); }
    // The main window's "Pan" button.
    void setPanMode(bool on);

    // Pick modes set by tool frames and carried out on a click in the view.
    bool ColourPickMode = false;
    bool AnnotationPlacing = false;
    bool GridPositioning = false;
    bool TrackPickMode = false;
    bool RulerOn = false;
    int PointSelectState = 0;
    float RulerDistance = 0.0f;
    QPointF RulerStart;
    QPointF RulerEnd;
    bool GridVisible = false;
    // The magnifier level of "Zoom Watch" and the kernel live in the view.

signals:
    // The window was activated or clicked: it becomes the active document.
    void activated(TQORVideo* window);
    // Sent while closing, before the window goes.
    void closing(TQORVideo* window);
    // A click in the view handed to the tools (calibration, annotation).
    void picksChanged(TQORVideo* window);
    void trackingPick(TQORVideo* window, QPointF imagePoint);
    void colourPicked(TQORVideo* window, QPointF imagePoint);
    // Vertical mouse drags nudge the brightness frame (+1 up, −1 down).
    void brightnessNudge(bool up);
    void redisplayRequested(TQORVideo* window);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // Pushes grid, ruler and calibration state to the view's overlay layer.
    void UpdateOverlay();

private:
    void handleImagePress(QPointF imagePoint, Qt::MouseButton button, Qt::MouseButtons buttons);
    void handleImageMove(QPointF imagePoint, Qt::MouseButtons buttons);
    void takeWhiteReference(QPointF imagePoint);

    VideoDocument m_document;
    QString m_openError;
    ImageView* m_view = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_panels[6] = {};
};
