#include "document/ui/ZoomFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum class Glyph { ZoomOut, Fit, Area, Watch, Percent, Reset };

// Small line-art icons drawn in code so the frame needs no resource files.
QIcon makeIcon(Glyph glyph)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen pen(QColor(40, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const auto lens = [&p](QPointF c, double r) {
        p.drawEllipse(c, r, r);
        p.drawLine(c + QPointF(r * 0.7, r * 0.7), c + QPointF(r * 1.9, r * 1.9));
    };
    switch (glyph) {
    case Glyph::ZoomOut:
        lens({13, 13}, 8);
        p.drawLine(QPointF(9, 13), QPointF(17, 13));
        break;
    case Glyph::Fit:
        p.drawRect(QRectF(5, 7, 22, 18));
        p.drawLine(QPointF(9, 11), QPointF(14, 14));
        p.drawLine(QPointF(23, 21), QPointF(18, 18));
        p.drawLine(QPointF(9, 11), QPointF(12, 11));
        p.drawLine(QPointF(9, 11), QPointF(9, 14));
        p.drawLine(QPointF(23, 21), QPointF(20, 21));
        p.drawLine(QPointF(23, 21), QPointF(23, 18));
        break;
    case Glyph::Area:
        p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::DashLine));
        p.drawRect(QRectF(4, 4, 16, 14));
        p.setPen(pen);
        lens({20, 19}, 5);
        break;
    case Glyph::Watch:
        p.drawRect(QRectF(4, 4, 24, 24));
        p.setBrush(QColor(120, 170, 230));
        p.drawRect(QRectF(10, 10, 12, 12));
        break;
    case Glyph::Percent:
        p.drawEllipse(QPointF(10, 10), 3.5, 3.5);
        p.drawEllipse(QPointF(22, 22), 3.5, 3.5);
        p.drawLine(QPointF(23, 7), QPointF(9, 25));
        break;
    case Glyph::Reset:
        lens({13, 13}, 8);
        p.setFont(QFont(QStringLiteral("Sans"), 7, QFont::Bold));
        p.drawText(QRectF(5, 5, 16, 16), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    }
    return QIcon(pm);
}

QToolButton* makeButton(QWidget* parent, Glyph glyph, const QString& hint, bool checkable)
{
    auto* b = new QToolButton(parent);
    b->setIcon(makeIcon(glyph));
    b->setIconSize(QSize(28, 28));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    b->setFixedSize(42, 40);
    return b;
}

} // namespace

TZoomFrame::TZoomFrame(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(300, 167);

    ToolButton2 = makeButton(this, Glyph::ZoomOut, QStringLiteral("Zoom Out"), true);
    ToolButton5 = makeButton(this, Glyph::Fit, QStringLiteral("Fit"), false);
    ZoomRBToolBut = makeButton(this, Glyph::Area, QStringLiteral("Zoom Area"), true);
    ZoomwatchBut = makeButton(this, Glyph::Watch, QStringLiteral("Zoom Watch"), true);
    ToolButton6 = makeButton(this, Glyph::Percent, QStringLiteral("Zoom Percent"), false);
    SpeedButton1 = makeButton(this, Glyph::Reset, QStringLiteral("Reset Zoom"), false);
    ToolButton6->setPopupMode(QToolButton::InstantPopup);
    ToolButton6->setFixedSize(50, 40);

    auto* menu = new QMenu(this);
    m_percentGroup = new QActionGroup(this);
    m_percentGroup->setExclusive(true);
    for (int percent : {50, 100, 150, 200, 400, 800}) {
        QAction* action = menu->addAction(QStringLiteral("%1%").arg(percent));
        action->setCheckable(true);
        action->setChecked(percent == 100);
        action->setData(percent);
        m_percentGroup->addAction(action);
        if (percent == 100)
            menu->setDefaultAction(action);
    }
    ToolButton6->setMenu(menu);

    auto* modeLabel = new QLabel(QStringLiteral("Zoom Mode"), this);
    ZoomModeCombo = new QComboBox(this);
    ZoomModeCombo->setAccessibleName(QStringLiteral("Zoom Mode"));
    ZoomModeCombo->addItems({QStringLiteral("Basic"), QStringLiteral("Linear"), QStringLiteral("Quadratic"),
                             QStringLiteral("Advanced")});
    ZoomModeCombo->setStyleSheet(QStringLiteral(
        "QComboBox { background: black; color: yellow; padding: 2px 6px; }"
        "QComboBox QAbstractItemView { background: black; color: yellow; selection-background-color: #505050; }"));

    MagnLabel = new QLabel(QStringLiteral("Magnification:"), this);
    MagnMagnification = new QSlider(Qt::Horizontal, this);
    MagnMagnification->setAccessibleName(QStringLiteral("Magnification"));
    MagnMagnification->setRange(0, 50);
    MagnMagnification->setValue(10);
    showGauge(false);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* b : {ToolButton2, ToolButton5, ZoomRBToolBut, ZoomwatchBut, ToolButton6, SpeedButton1})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(modeLabel, 0, 0);
    grid->addWidget(ZoomModeCombo, 0, 1);
    grid->addWidget(MagnLabel, 1, 0);
    grid->addWidget(MagnMagnification, 1, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addLayout(grid);
    layout->addStretch();

    connect(ToolButton2, &QToolButton::toggled, this, &TZoomFrame::zoomOutToggled);
    connect(ToolButton5, &QToolButton::clicked, this, &TZoomFrame::fitClicked);
    connect(SpeedButton1, &QToolButton::clicked, this, &TZoomFrame::resetZoomClicked);
    connect(m_percentGroup, &QActionGroup::triggered, this,
            [this](QAction* action) { emit zoomPercentChosen(action->data().toInt()); });
    connect(ZoomModeCombo, &QComboBox::activated, this, &TZoomFrame::zoomKernelChanged);
    connect(MagnMagnification, &QSlider::valueChanged, this, &TZoomFrame::magnificationChanged);

    // "Zoom Area" and "Zoom Watch" form a group that allows both up: pressing
    // one raises the other, and the raised one reports it, so no magnifier is
    // left behind a raised button.
    connect(ZoomRBToolBut, &QToolButton::clicked, this, [this](bool down) {
        if (down && ZoomwatchBut->isChecked()) {
            ZoomwatchBut->setChecked(false);
            showGauge(false);
            emit zoomWatchToggled(false);
        }
        emit zoomAreaToggled(down);
    });
    connect(ZoomwatchBut, &QToolButton::clicked, this, [this](bool down) {
        if (down && ZoomRBToolBut->isChecked()) {
            ZoomRBToolBut->setChecked(false);
            emit zoomAreaToggled(false);
        }
        {
            const QSignalBlocker block(MagnMagnification);
            MagnMagnification->setValue(10);
        }
        showGauge(down);
        emit zoomWatchToggled(down);
    });
}

void TZoomFrame::showGauge(bool visible)
{
    MagnMagnification->setVisible(visible);
    MagnLabel->setVisible(visible);
}

void TZoomFrame::loadFrom(bool hasMagnifier, int magnifierLevel, int zoomKernel)
{
    setZoomWatchDown(hasMagnifier);
    {
        const QSignalBlocker block(MagnMagnification);
        MagnMagnification->setValue(hasMagnifier ? magnifierLevel : 10);
    }
    const QSignalBlocker block(ZoomModeCombo);
    ZoomModeCombo->setCurrentIndex(std::clamp(zoomKernel, 0, 3));
}

void TZoomFrame::setZoomAreaDown(bool down)
{
    const QSignalBlocker block(ZoomRBToolBut);
    ZoomRBToolBut->setChecked(down);
}

void TZoomFrame::setZoomOutDown(bool down)
{
    const QSignalBlocker block(ToolButton2);
    ToolButton2->setChecked(down);
}

void TZoomFrame::setZoomWatchDown(bool down)
{
    const QSignalBlocker block(ZoomwatchBut);
    ZoomwatchBut->setChecked(down);
    showGauge(down);
}

bool TZoomFrame::zoomOutDown() const { return ToolButton2->isChecked(); }
bool TZoomFrame::zoomAreaDown() const { return ZoomRBToolBut->isChecked(); }
bool TZoomFrame::zoomWatchDown() const { return ZoomwatchBut->isChecked(); }
int TZoomFrame::zoomKernel() const { return ZoomModeCombo->currentIndex(); }
int TZoomFrame::magnification() const { return MagnMagnification->value(); }
