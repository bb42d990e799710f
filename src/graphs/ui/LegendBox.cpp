#include "graphs/ui/LegendBox.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

LegendBox::LegendBox(int index, const QColor& colour, const QString& title, QWidget* parent)
    : QFrame(parent), m_index(index)
{
    setAccessibleName(QStringLiteral("Legend ") + title);
    setToolTip(title);
    setFixedHeight(60);
    auto* bar = new QFrame(this);
    bar->setFixedHeight(5);
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, colour);
    bar->setPalette(barPalette);
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
    QPalette textPalette = palette();
    // White and yellow lines stay readable in the read-outs.
    textPalette.setColor(QPalette::WindowText, colour.lightness() > 200 ? colour.darker(160) : colour);
    // The channel's title, cut to the box (the tool tip has all of it).
    auto* name = new QLabel(this);
    name->setFont(small);
    name->setAlignment(Qt::AlignCenter);
    name->setAttribute(Qt::WA_TransparentForMouseEvents);
    name->setText(QFontMetrics(small).elidedText(title, Qt::ElideLeft, 150));
    name->setMinimumWidth(10);
    m_y = new QLabel(this);
    m_x = new QLabel(this);
    for (QLabel* label : {m_y, m_x}) {
        label->setFont(small);
        label->setAlignment(Qt::AlignCenter);
        label->setPalette(textPalette);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->setSpacing(1);
    layout->addWidget(bar);
    layout->addWidget(name);
    layout->addWidget(m_y);
    layout->addWidget(m_x);
    SetSelected(false);
}

void LegendBox::SetSelected(bool on)
{
    m_selected = on;
    setFrameStyle(on ? QFrame::Box | QFrame::Plain : QFrame::Panel | QFrame::Raised);
    setLineWidth(on ? 2 : 1);
}

void LegendBox::SetReadout(const QString& y, const QString& x)
{
    m_y->setText(y);
    m_x->setText(x);
}

QString LegendBox::ReadoutY() const
{
    return m_y->text();
}

QString LegendBox::ReadoutX() const
{
    return m_x->text();
}

void LegendBox::mousePressEvent(QMouseEvent* event)
{
    emit pressed(m_index, event->button());
    event->accept();
}
