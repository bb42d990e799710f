#include "tracking/ui/PaintGate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PaintGate::~PaintGate()
{
    release();
}

void PaintGate::hold(QWidget* window)
{
    if (!window)
        return;
    window = window->window();
    for (const Held& h : m_held)
        if (h.window == window)
            return;
    window->installEventFilter(this);
    m_held.push_back({window, false});
}

void PaintGate::paintHeld()
{
    for (Held& h : m_held) {
        if (!h.window || !h.requested)
            continue;
        h.requested = false;
        // The window's own request: it paints every region marked since.
        h.window->removeEventFilter(this);
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(h.window, &request);
        h.window->installEventFilter(this);
    }
}

void PaintGate::release()
{
    paintHeld();
    for (const Held& h : m_held)
        if (h.window)
            h.window->removeEventFilter(this);
    m_held.clear();
}

bool PaintGate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::UpdateRequest)
        return false;
    for (Held& h : m_held) {
        if (h.window == watched) {
            h.requested = true;
            return true;
        }
    }
    return false;
}
