#include "adjust/ui/FrameRotate.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* SpeedButton(const QString& name, const QString& text, const QString& hint, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint); // the captions are symbols
    button->setCheckable(true);
    button->setMinimumSize(40, 32);
    return button;
}

} // namespace

TRotateFrame::TRotateFrame(QWidget* parent)
    : AdjustmentFrame(KindRotate, QStringLiteral("ROTATE / MIRROR"), QSize(300, 96), parent)
{
    R0Speed = SpeedButton(QStringLiteral("R0Speed"), QStringLiteral("0°"), tr("No rotation"), this);
    R90Speed = SpeedButton(QStringLiteral("R90Speed"), QStringLiteral("90°"), tr("Rotate 90°"), this);
    R180Speed = SpeedButton(QStringLiteral("R180Speed"), QStringLiteral("180°"), tr("Rotate 180°"), this);
    R270Speed = SpeedButton(QStringLiteral("R270Speed"), QStringLiteral("270°"), tr("Rotate 270°"), this);
    FlipHSpeed = SpeedButton(QStringLiteral("FlipHSpeed"), QStringLiteral("⇆"), tr("Mirror left to right"), this);
    FlipVSpeed = SpeedButton(QStringLiteral("FlipVSpeed"), QStringLiteral("⇅"), tr("Mirror top to bottom"), this);

    m_turns = new QButtonGroup(this);
    m_turns->setExclusive(true);
    m_turns->addButton(R0Speed, 0);
    m_turns->addButton(R90Speed, 1);
    m_turns->addButton(R270Speed, 2);
    m_turns->addButton(R180Speed, 3);
    R0Speed->setChecked(true);

    auto* row = new QHBoxLayout;
    for (QToolButton* b : {R0Speed, R90Speed, R180Speed, R270Speed})
        row->addWidget(b);
    row->addSpacing(12);
    row->addWidget(FlipHSpeed);
    row->addWidget(FlipVSpeed);
    row->addStretch(1);
    m_layout->addLayout(row);
    m_layout->addStretch(1);

    connect(m_turns, &QButtonGroup::idClicked, this, [this] { TurnClicked(); });
    connect(FlipHSpeed, &QToolButton::clicked, this, [this] { FlipHSpeedClick(); });
    connect(FlipVSpeed, &QToolButton::clicked, this, [this] { FlipHSpeedClick(); });
}

int TRotateFrame::MirrorCode() const
{
    return (FlipVSpeed->isChecked() ? 1 : 0) + (FlipHSpeed->isChecked() ? 2 : 0);
}

int TRotateFrame::TurnCode() const
{
    return std::max(0, m_turns->checkedId());
}

void TRotateFrame::TurnClicked()
{
    if (RotateEntry* rotate = Entry() ? Entry()->As<RotateEntry>() : nullptr) {
        rotate->Turn = TurnCode();
        Redisplay();
    }
}

void TRotateFrame::FlipHSpeedClick()
{
    if (RotateEntry* rotate = Entry() ? Entry()->As<RotateEntry>() : nullptr) {
        rotate->Mirror = MirrorCode();
        Redisplay();
    }
}

AdjustmentEntry::Parameters TRotateFrame::NewEntry() const
{
    return RotateEntry{.Mirror = 0, .Turn = 0};
}

void TRotateFrame::LoadControls(const AdjustmentEntry& entry)
{
    // The buttons always show the entry, a new one included.
    const QSignalBlocker blockH(FlipHSpeed);
    const QSignalBlocker blockV(FlipVSpeed);
    const RotateEntry* rotate = entry.As<RotateEntry>();
    if (!rotate)
        return;
    if (QAbstractButton* turn = m_turns->button(rotate->Turn))
        turn->setChecked(true);
    else
        R0Speed->setChecked(true);
    FlipHSpeed->setChecked(rotate->Mirror == 2 || rotate->Mirror == 3);
    FlipVSpeed->setChecked(rotate->Mirror == 1 || rotate->Mirror == 3);
}
