#include "document/ui/ViewTool.h"

PickTool::PickTool(QObject* parent)
    : ViewTool(parent)
{
}

bool PickTool::press(const ViewMouse& mouse)
{
    if (mouse.Button != Qt::LeftButton)
        return false;
    m_dragging = true;
    emit picked(mouse.ImagePos, mouse.Modifiers);
    return true;
}

bool PickTool::move(const ViewMouse& mouse)
{
    // A drag cut short (the tool was removed and installed again meanwhile).
    if (m_dragging && !(mouse.Buttons & Qt::LeftButton))
        m_dragging = false;
    if (!m_dragging) {
        if (mouse.Buttons == Qt::NoButton)
            emit hovered(mouse.ImagePos);
        return false;
    }
    emit dragged(mouse.ImagePos);
    return true;
}

bool PickTool::release(const ViewMouse& mouse)
{
    if (!m_dragging || mouse.Button != Qt::LeftButton)
        return m_dragging;
    m_dragging = false;
    emit dropped(mouse.ImagePos);
    return true;
}
