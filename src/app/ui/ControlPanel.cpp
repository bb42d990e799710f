#include "app/ui/ControlPanel.h"

#include "app/ui/RangeSlider.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

QLineEdit* timeBox(const QString& colour, const char* name, const QString& accessibleName)
{
    auto* edit = new QLineEdit(QStringLiteral("0"));
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessibleName);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setStyleSheet(QStringLiteral("background: black; color: %1; font: 16px 'DejaVu Sans';").arg(colour));
    return edit;
}

int toInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

ControlPanel::ControlPanel(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildPlayBar());
    layout->addWidget(buildSliderPanel());
    layout->addWidget(buildSpeedBar());
    ShowLamp(true);
}

QWidget* ControlPanel::buildPlayBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar2"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto add = [&](const char* name, QStyle::StandardPixmap icon, const QString& tip, auto signal) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, signal);
        layout->addWidget(b);
        return b;
    };
    add("ToolButton8", QStyle::SP_MediaSkipBackward, QStringLiteral("Go to start"), &ControlPanel::goToStartClicked);
    add("ToolButton9", QStyle::SP_MediaSeekBackward, QStringLiteral("Step back"), &ControlPanel::stepBackClicked);
    m_playBackward = add("ToolButton10", QStyle::SP_MediaPlay, QStringLiteral("Play backward"),
                         &ControlPanel::playBackwardClicked);
    // A mirrored play icon for backward play.
    m_playBackward->setIcon(
        QIcon(style()->standardIcon(QStyle::SP_MediaPlay).pixmap(24).transformed(QTransform().scale(-1, 1))));
    add("ToolButton11", QStyle::SP_MediaStop, QStringLiteral("Stop"), &ControlPanel::stopClicked);
    m_playForward = add("ToolButton12", QStyle::SP_MediaPlay, QStringLiteral("Play forward"),
                        &ControlPanel::playForwardClicked);
    add("ToolButton14", QStyle::SP_MediaSeekForward, QStringLiteral("Step forward"), &ControlPanel::stepForwardClicked);
    add("ToolButton13", QStyle::SP_MediaSkipForward, QStringLiteral("Go to end"), &ControlPanel::goToEndClicked);
    layout->addStretch();
    return bar;
}

QWidget* ControlPanel::buildSliderPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("SliderPAnel"));
    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_slider = new RangeSlider(panel);
    m_slider->setObjectName(QStringLiteral("ExSlider1"));
    m_slider->setAccessibleName(QStringLiteral("Time slider"));
    m_slider->setMinimumSize(311, 30);
    m_slider->setSamplingTime(1000);
    layout->addWidget(m_slider, 0, 0, 1, 3);
    connect(m_slider, &RangeSlider::changeFrame, this, &ControlPanel::sliderMoved);
    connect(m_slider, &RangeSlider::changeSubBegFrame, this, &ControlPanel::inMoved);
    connect(m_slider, &RangeSlider::changeSubEndFrame, this, &ControlPanel::outMoved);

    auto caption = [panel](const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), panel);
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("font-weight: bold; color: #404040;"));
        return l;
    };
    layout->addWidget(caption("START"), 1, 0);
    layout->addWidget(caption("CURRENT"), 1, 1);
    layout->addWidget(caption("END"), 1, 2);
    m_inEdit = timeBox(QStringLiteral("yellow"), "InEdit", QStringLiteral("Start time"));
    m_curTimeEdit = timeBox(QStringLiteral("lime"), "CURTimeEdit", QStringLiteral("Current time"));
    m_outEdit = timeBox(QStringLiteral("yellow"), "OutEdit", QStringLiteral("End time"));
    layout->addWidget(m_inEdit, 2, 0);
    layout->addWidget(m_curTimeEdit, 2, 1);
    layout->addWidget(m_outEdit, 2, 2);

    auto markButton = [panel](const char* name, const char* text, const QString& tip) {
        auto* b = new QToolButton(panel);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromLatin1(text));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setFixedSize(45, 48);
        return b;
    };
    QToolButton* markIn = markButton("MarkinBut", "[ IN", QStringLiteral("Mark in"));
    QToolButton* markOut = markButton("MarkoutBut", "OUT ]", QStringLiteral("Mark out"));
    connect(markIn, &QToolButton::clicked, this, &ControlPanel::markInClicked);
    connect(markOut, &QToolButton::clicked, this, &ControlPanel::markOutClicked);
    layout->addWidget(markIn, 3, 0, Qt::AlignLeft);
    layout->addWidget(markOut, 3, 2, Qt::AlignRight);
    return panel;
}

QWidget* ControlPanel::buildSpeedBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("TZPAnel"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* zero = new QToolButton(bar);
    zero->setObjectName(QStringLiteral("ToolButton1"));
    zero->setText(QStringLiteral("T=0"));
    zero->setToolTip(QStringLiteral("Go to time 0"));
    zero->setAccessibleName(QStringLiteral("Go to time 0"));
    zero->setFocusPolicy(Qt::NoFocus);
    connect(zero, &QToolButton::clicked, this, &ControlPanel::goToZeroClicked);
    layout->addWidget(zero);
    m_playSpeed = new QSpinBox(bar);
    m_playSpeed->setObjectName(QStringLiteral("PlaySPeedSpin"));
    m_playSpeed->setAccessibleName(QStringLiteral("Play speed"));
    m_playSpeed->setRange(1, 1000);
    m_playSpeed->setValue(15);
    m_playSpeed->setSuffix(QStringLiteral(" fps"));
    m_playSpeed->setStyleSheet(QStringLiteral("background: black; color: lime; font: 27px 'DejaVu Sans';"));
    connect(m_playSpeed, &QSpinBox::valueChanged, this, &ControlPanel::playSpeedChanged);
    layout->addWidget(m_playSpeed, 1);
    m_lamp = new QLabel(bar);
    m_lamp->setObjectName(QStringLiteral("JvLED1"));
    m_lamp->setAccessibleName(QStringLiteral("Every frame shown"));
    m_lamp->setFixedSize(18, 18);
    m_lamp->setToolTip(QStringLiteral("Lit while every frame is shown"));
    layout->addWidget(m_lamp);
    return bar;
}

void ControlPanel::ShowSlider(int64_t begFrame, int64_t endFrame, int64_t subBegFrame, int64_t subEndFrame,
                              int64_t currentFrame)
{
    m_slider->setBegFrame(toInt(begFrame));
    m_slider->setEndFrame(toInt(endFrame));
    m_slider->setSubBegFrame(toInt(subBegFrame));
    m_slider->setSubEndFrame(toInt(subEndFrame));
    m_slider->setCurrentFrame(toInt(currentFrame));
}

void ControlPanel::ShowTimes(const QString& in, const QString& current, const QString& out)
{
    m_inEdit->setText(in);
    m_curTimeEdit->setText(current);
    m_outEdit->setText(out);
}

void ControlPanel::ShowLamp(bool lit)
{
    const QString style = lit ? QStringLiteral("background: #30ff30; border-radius: 9px; border: 1px solid #104010;")
                              : QStringLiteral("background: #204020; border-radius: 9px; border: 1px solid #104010;");
    // Shown after every time change: a style sheet set again costs a restyle.
    if (m_lamp->styleSheet() != style)
        m_lamp->setStyleSheet(style);
}

void ControlPanel::ShowLoop(bool loop)
{
    const QString style = loop ? QStringLiteral("background: #40e040;") : QString();
    if (m_playForward->styleSheet() == style)
        return;
    m_playBackward->setStyleSheet(style);
    m_playForward->setStyleSheet(style);
    m_playBackward->setToolTip(loop ? QStringLiteral("Loop play backward") : QStringLiteral("Play backward"));
    m_playForward->setToolTip(loop ? QStringLiteral("Loop play forward") : QStringLiteral("Play forward"));
}

int ControlPanel::PlaySpeed() const
{
    return m_playSpeed->value();
}
