#pragma once
// One legend box of a graph window: a bar in the channel's colour, the Y and
// X read-outs, and a border while the channel is selected.

#include <QFrame>

class QLabel;

class LegendBox : public QFrame {
    Q_OBJECT
public:
    LegendBox(int index, const QColor& colour, const QString& title, QWidget* parent);
    void SetSelected(bool on);
    bool IsSelected() const { return m_selected; }
    void SetReadout(const QString& y, const QString& x);
    QString ReadoutY() const;
    QString ReadoutX() const;

signals:
    void pressed(int index, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_index;
    bool m_selected = false;
    QLabel* m_y = nullptr;
    QLabel* m_x = nullptr;
};
