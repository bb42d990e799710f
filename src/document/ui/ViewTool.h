#pragma once
// The active tool of an image view. A tool frame (white pick, calibration
// points, annotation placing, tracking targets ...) installs one tool on the
// view; the view forwards the mouse to it in image coordinates, shows its
// cursor and lets it paint its own feedback over the picture. Only one tool
// is active at a time: installing another one removes the previous tool.

#include "overlays/ViewMapping.h"

#include <QCursor>
#include <QObject>
#include <QPointF>

class QPainter;

// One mouse event as a tool sees it.
struct ViewMouse {
    QPointF ViewPos;  // view pixels
    QPointF ImagePos; // image pixels (floating point)
    Qt::MouseButton Button = Qt::NoButton; // the button that changed (press, release)
    Qt::MouseButtons Buttons;              // buttons held
    Qt::KeyboardModifiers Modifiers;
};

class ViewTool : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QCursor cursor() const { return QCursor(Qt::CrossCursor); }

    // Each returns whether the tool used the event. A press the tool uses
    // makes the whole drag the tool's: the view neither pans nor nudges the
    // brightness with it. Moves arrive with and without a button held.
    virtual bool press(const ViewMouse&) { return false; }
    virtual bool move(const ViewMouse&) { return false; }
    virtual bool release(const ViewMouse&) { return false; }

    // Feedback drawn over the picture (below the magnifier), view coordinates.
    virtual void paint(QPainter&, const ViewMapping&) const {}

signals:
    // The feedback changed: the view repaints.
    void changed();
    // The view dropped the tool (another one was installed, or it was removed).
    void removed();
};

// A click-and-drag pick with the cross cursor: a left press reports the
// image point, a drag reports where the mouse goes, the release where it
// ended. Frames connect to the signals and do the rest themselves.
class PickTool : public ViewTool {
    Q_OBJECT
public:
    explicit PickTool(QObject* parent = nullptr);

    void setCursor(const QCursor& cursor) { m_cursor = cursor; }
    QCursor cursor() const override { return m_cursor; }

    bool press(const ViewMouse& mouse) override;
    bool move(const ViewMouse& mouse) override;
    bool release(const ViewMouse& mouse) override;

    bool dragging() const { return m_dragging; }

signals:
    void picked(QPointF imagePoint, Qt::KeyboardModifiers modifiers);
    void dragged(QPointF imagePoint);
    void dropped(QPointF imagePoint);
    // The mouse moved with no button down (placing follows the mouse).
    void hovered(QPointF imagePoint);

private:
    QCursor m_cursor{Qt::CrossCursor};
    bool m_dragging = false;
};
