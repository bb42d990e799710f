#include "sources/ui/BvfFrame.h"

#include "document/ui/ImageView.h"
#include "document/ui/ViewTool.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/BvfSource.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QToolButton>

namespace {

QComboBox* makeList(QWidget* parent, const QString& hint, const QStringList& items, int defaultIndex)
{
    auto* combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setCurrentIndex(defaultIndex);
    combo->setToolTip(hint);
    combo->setAccessibleName(hint);
    combo->setStyleSheet(QStringLiteral("QComboBox { background: black; color: lime; }"
                                        "QComboBox QAbstractItemView { background: black; color: lime; }"));
    return combo;
}

TBVSCFILECAM* readerOf(TQORVideo* video)
{
    if (!video)
        return nullptr;
    auto* source = dynamic_cast<BvfSource*>(video->document()->Source());
    return source ? &source->reader() : nullptr;
}

} // namespace

TBVFFrame::TBVFFrame(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TBVFFrame"));
    setMinimumSize(261, 117);
    auto* layout = new QGridLayout(this);
    BVWBSpeed = new QToolButton(this);
    BVWBSpeed->setObjectName(QStringLiteral("BVWBSpeed"));
    BVWBSpeed->setText(QStringLiteral("Pick white"));
    BVWBSpeed->setToolTip(QStringLiteral("Click into the picture to take a white reference"));
    BVWBSpeed->setCheckable(true);
    BVWBCombo = makeList(this, QStringLiteral("White Balance"),
                         {QStringLiteral("OFF"), QStringLiteral("Tungsten"), QStringLiteral("Daylight"),
                          QStringLiteral("Fluorescent"), QStringLiteral("AUTO"), QStringLiteral("User Defined")}, 2);
    BVChromaCombo = makeList(this, QStringLiteral("Color"),
                             {QStringLiteral("0%"), QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"),
                              QStringLiteral("100%"), QStringLiteral("125%"), QStringLiteral("150%"),
                              QStringLiteral("175%"), QStringLiteral("200%")}, 4);
    BVGammaCombo = makeList(this, QStringLiteral("Gamma"),
                            {QStringLiteral("OFF"), QStringLiteral("LOW"), QStringLiteral("HIGH")}, 0);
    BVEnhanceCombo = makeList(this, QStringLiteral("Enhance"),
                              {QStringLiteral("OFF"), QStringLiteral("LOW"), QStringLiteral("NORMAL"),
                               QStringLiteral("HIGH"), QStringLiteral("X HIGH")}, 2);
    layout->addWidget(new QLabel(QStringLiteral("White Balance"), this), 0, 0);
    layout->addWidget(BVWBCombo, 0, 1);
    layout->addWidget(BVWBSpeed, 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("Color"), this), 1, 0);
    layout->addWidget(BVChromaCombo, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Gamma"), this), 2, 0);
    layout->addWidget(BVGammaCombo, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Enhance"), this), 3, 0);
    layout->addWidget(BVEnhanceCombo, 3, 1);
    layout->setRowStretch(4, 1);

    connect(BVWBCombo, &QComboBox::currentIndexChanged, this, &TBVFFrame::BVWBComboChange);
    connect(BVChromaCombo, &QComboBox::currentIndexChanged, this, &TBVFFrame::BVChromaComboChange);
    connect(BVGammaCombo, &QComboBox::currentIndexChanged, this, &TBVFFrame::BVGammaComboChange);
    connect(BVEnhanceCombo, &QComboBox::currentIndexChanged, this, &TBVFFrame::BVEnhanceComboChange);
    connect(BVWBSpeed, &QToolButton::toggled, this, &TBVFFrame::BVWBSpeedClick);

    m_whitePick = new PickTool(this);
    connect(m_whitePick, &PickTool::picked, this, [this](QPointF p) { takeWhiteReference(p); });
    // Another tool took the view over: the pipette is up again.
    connect(m_whitePick, &ViewTool::removed, this, [this] {
        m_loading = true;
        BVWBSpeed->setChecked(false);
        m_loading = false;
    });
}

void TBVFFrame::LoadFromVideo(TQORVideo* video)
{
    if (m_video && m_video != video)
        m_video->view()->removeTool(m_whitePick);
    m_video = video;
    TBVSCFILECAM* reader = readerOf(video);
    setEnabled(reader != nullptr);
    if (!reader)
        return;
    m_loading = true;
    BVWBCombo->setCurrentIndex(reader->wbMode());
    BVGammaCombo->setCurrentIndex(reader->gammaMode());
    BVEnhanceCombo->setCurrentIndex(reader->enhanceLevel());
    BVChromaCombo->setCurrentIndex(reader->chroma() / 25);
    BVWBSpeed->setChecked(video->view()->tool() == m_whitePick);
    m_loading = false;
}

void TBVFFrame::BVWBComboChange(int index)
{
    TBVSCFILECAM* reader = readerOf(m_video);
    if (m_loading || !reader)
        return;
    reader->setWbMode(index);
    reader->invalidateWhiteBalance();
    m_video->RequestRedisplay();
}

void TBVFFrame::BVChromaComboChange(int index)
{
    TBVSCFILECAM* reader = readerOf(m_video);
    if (m_loading || !reader)
        return;
    reader->setChroma(index * 25);
    m_video->RequestRedisplay();
}

void TBVFFrame::BVGammaComboChange(int index)
{
    TBVSCFILECAM* reader = readerOf(m_video);
    if (m_loading || !reader)
        return;
    reader->setGammaMode(index);
    m_video->RequestRedisplay();
}

void TBVFFrame::BVEnhanceComboChange(int index)
{
    TBVSCFILECAM* reader = readerOf(m_video);
    if (m_loading || !reader)
        return;
    reader->setEnhanceLevel(index);
    m_video->RequestRedisplay();
}

void TBVFFrame::BVWBSpeedClick(bool down)
{
    if (m_loading || !m_video)
        return;
    if (down)
        m_video->view()->setTool(m_whitePick);
    else
        m_video->view()->removeTool(m_whitePick);
}

void TBVFFrame::takeWhiteReference(QPointF displayedPoint)
{
    TBVSCFILECAM* reader = readerOf(m_video);
    if (!reader)
        return;
    // The reader sees the frame as read, before any turn or mirror of the
    // display operations.
    const std::optional<QPoint> pixel = m_video->FramePixelAt(displayedPoint);
    if (!pixel)
        return;
    // The reader takes the pixel's linear values as the user reference and
    // switches to "User Defined"; then the picture follows. A reference too
    // dark to balance against is refused and the balance stays as it was.
    QString refusal;
    if (!reader->pickWhiteReference(*pixel, &refusal)) {
        auto* mainWindow = qobject_cast<QMainWindow*>(window());
        if (mainWindow && !refusal.isEmpty())
            mainWindow->statusBar()->showMessage(refusal, 5000);
        return;
    }
    m_loading = true;
    BVWBCombo->setCurrentIndex(reader->wbMode());
    m_loading = false;
    m_video->RequestRedisplay();
}
