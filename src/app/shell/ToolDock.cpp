#include "app/shell/ToolDock.h"

#include "document/window/VideoWindow.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A small square icon with a short caption, for the tool buttons.
QIcon captionIcon(const QString& text, const QColor& colour)
{
    QPixmap pixmap(38, 38);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(30, 34, 40));
    p.setPen(colour);
    p.drawRoundedRect(QRectF(1, 1, 36, 36), 6, 6);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(text.size() > 3 ? 9 : 12);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 38, 38), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& hint, const QString& caption,
                        const QColor& colour)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setIcon(captionIcon(caption, colour));
    b->setIconSize(QSize(38, 38));
    b->setFixedSize(45, 44);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

bool hasCameraSettings(const TQORVideo* video)
{
    const int kind = video ? video->document()->Info.SourceKind : -1;
    return kind == 1 || kind == 7;
}

} // namespace

ToolDock::ToolDock(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildButtons());
    m_dockPanel = new QWidget(this);
    m_dockPanel->setObjectName(QStringLiteral("DockPanel"));
    m_dockLayout = new QVBoxLayout(m_dockPanel);
    m_dockLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_dockPanel, 1);
}

QWidget* ToolDock::buildButtons()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* layout = new QGridLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(false); // at most one down, all up allowed

    struct ButtonInfo { const char* name; const char* hint; const char* caption; QColor colour; };
    const ButtonInfo buttons[ToolCount] = {
        {"ZoomToolBut", "ZOOM TOOLS", "ZOOM", QColor(240, 192, 32)},
        {"SVFToolBut", "SVF Settings", "CAM", QColor(64, 224, 64)},
        {"BCToolBut", "Brightness", "BRI", QColor(255, 255, 255)},
        {"ConToolBut", "Contrast", "CON", QColor(200, 200, 200)},
        {"GammaBut", "GAMMA", "GAM", QColor(180, 180, 255)},
        {"RGBBut", "RGB Colour Correction", "RGB", QColor(255, 96, 96)},
        {"HueSatBut", "Hue and Saturation", "HSV", QColor(255, 160, 64)},
        {"RotateBut", "Rotate", "ROT", QColor(96, 200, 255)},
        {"AnnoBut", "Annotate", "TXT", QColor(255, 255, 128)},
        {"logobut", "Logo", "LOGO", QColor(255, 128, 255)},
        {"calibbut", "Calibrate", "CAL", QColor(128, 255, 200)},
        {"Trackbut", "Tracking", "TRK", QColor(64, 255, 64)},
    };
    for (int kind = 0; kind < ToolCount; ++kind) {
        const ButtonInfo& info = buttons[kind];
        QToolButton* b = toolButton(bar, info.name, QString::fromLatin1(info.hint), QString::fromLatin1(info.caption),
                                    info.colour);
        b->setCheckable(true);
        m_toolGroup->addButton(b, kind);
        m_toolButtons[kind] = b;
        layout->addWidget(b, kind / 6, kind % 6);
    }
    connect(m_toolGroup, &QButtonGroup::idClicked, this, &ToolDock::toolButtonClicked);

    m_panButton = toolButton(bar, "Scrollbut", QStringLiteral("Pan"), QStringLiteral("PAN"), QColor(200, 200, 200));
    m_panButton->setCheckable(true);
    connect(m_panButton, &QToolButton::toggled, this, &ToolDock::panToggled);
    layout->addWidget(m_panButton, 2, 0);

    QToolButton* copy = toolButton(bar, "ToolButton2", QStringLiteral("Copy  To Clipboard"), QStringLiteral("COPY"),
                                   QColor(200, 200, 200));
    connect(copy, &QToolButton::clicked, this, &ToolDock::copyClicked);
    layout->addWidget(copy, 2, 1);
    UpdateCameraSettingsButton();
    return bar;
}

void ToolDock::SetActiveVideo(TQORVideo* video)
{
    const bool changed = m_active != video;
    m_active = video;
    UpdateCameraSettingsButton();
    if (!changed)
        return;
    if (!video) {
        // Frames that work on a document have nothing left to work on.
        if (m_dockedKind >= 0 && ToolFrameFor(m_dockedKind).needsDocument)
            CloseToolFrames();
        else
            refreshDockedFrame();
        return;
    }
    // Every docked frame follows the active document; the hue and
    // saturation frame too, or it would go on editing the entry of the
    // document that was active before.
    refreshDockedFrame();
}

void ToolDock::UpdateCameraSettingsButton()
{
    QToolButton* b = m_toolButtons[SvfTool];
    if (hasCameraSettings(m_active)) {
        b->setEnabled(true);
        const bool brava = m_active->document()->Info.SourceKind == 7;
        b->setToolTip(brava ? QStringLiteral("Brava Settings") : QStringLiteral("SVF Settings"));
        b->setAccessibleName(b->toolTip());
    } else {
        if (m_dockedKind == SvfTool)
            CloseToolFrames();
        b->setChecked(false);
        b->setEnabled(false);
    }
}

void ToolDock::toolButtonClicked(int kind)
{
    const bool down = m_toolButtons[kind]->isChecked();
    // At most one button of the group is down.
    for (int k = 0; k < ToolCount; ++k)
        if (k != kind)
            m_toolButtons[k]->setChecked(false);
    CloseToolFrames();
    if (down)
        dockFrame(kind);
}

void ToolDock::PressToolButton(int kind, bool down)
{
    if (kind < 0 || kind >= ToolCount)
        return;
    m_toolButtons[kind]->setChecked(down);
    toolButtonClicked(kind);
}

void ToolDock::dockFrame(int kind)
{
    const ToolFrameHooks hooks = ToolFrameFor(kind);
    if (hooks.needsDocument && !m_active)
        return;
    if (kind == SvfTool && !hasCameraSettings(m_active))
        return;
    if (!hooks.create)
        return;
    QWidget* frame = hooks.create(m_dockPanel, m_active);
    if (!frame)
        return;
    m_dockLayout->addWidget(frame);
    m_dockedFrame = frame;
    m_dockedKind = kind;
    frame->show();
    if (hooks.load)
        hooks.load(frame, m_active);
    ShowHistograms();
}

void ToolDock::CloseToolFrames()
{
    if (m_dockedFrame) {
        m_dockLayout->removeWidget(m_dockedFrame);
        m_dockedFrame->hide();
        m_dockedFrame->deleteLater();
    }
    m_dockedFrame = nullptr;
    m_dockedKind = -1;
}

void ToolDock::refreshDockedFrame()
{
    if (!m_dockedFrame)
        return;
    const ToolFrameHooks hooks = ToolFrameFor(m_dockedKind);
    if (hooks.load)
        hooks.load(m_dockedFrame, m_active);
    ShowHistograms();
}

bool ToolDock::ShowsHistograms() const
{
    return m_dockedFrame && bool(ToolFrameFor(m_dockedKind).showHistograms);
}

void ToolDock::ShowHistograms()
{
    if (!m_dockedFrame || !m_active)
        return;
    const ToolFrameHooks hooks = ToolFrameFor(m_dockedKind);
    if (!hooks.showHistograms)
        return;
    m_active->document()->SetHistogramsWanted(true); // computed now if they were skipped
    hooks.showHistograms(m_dockedFrame, m_active);
}

std::optional<int> ToolDock::NudgeBrightness(bool up)
{
    if (m_dockedKind != BrightnessTool || !m_dockedFrame)
        return std::nullopt;
    return NudgeBrightnessFrame(m_dockedFrame, up);
}

void ToolDock::RaisePanButton()
{
    m_panButton->setChecked(false);
}
