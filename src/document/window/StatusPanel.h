#pragma once
// One panel of a document window's status bar. At its preferred width it
// shows its whole text; when the window is too narrow for every panel the
// status bar gives it less room and the text ends in "…" inside the panel
// instead of running over its neighbours. A panel that may shrink below its
// text (`Shrinks`) gives up its room first; the others keep their whole text
// down to the window's smallest width.

#include <QLabel>

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    enum Room { KeepsText, Shrinks };
    StatusPanel(const QString& text, int preferredWidth, Room room, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as painted: the whole text, or its start followed by "…".
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int chrome() const;
    int textWidth() const;

    int m_preferredWidth;
    Room m_room;
};
