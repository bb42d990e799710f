#include "overlays/ui/FrameLogo.h"

#include "adjust/LogoOverlay.h"
#include "document/VideoDocument.h"
#include "document/window/VideoWindow.h"
#include "overlays/ui/ListedEntries.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaxLogoPercent = 1000;

LogoEntry freshPending()
{
    LogoEntry e;
    e.LogoDisabled = true; // nothing chosen yet: never drawn
    return e;
}

} // namespace

TLogoFrame::TLogoFrame(QWidget* parent)
    : QWidget(parent), m_pending(freshPending())
{
    setObjectName(QStringLiteral("LogoFrame"));
    setWindowTitle(QStringLiteral("LOGO"));
    setMinimumSize(300, 309);

    auto* Panel1 = new QGroupBox(QStringLiteral("Logo Image"), this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ImgView321 = new QLabel(Panel1);
    ImgView321->setObjectName(QStringLiteral("ImgView321"));
    ImgView321->setAccessibleName(QStringLiteral("Logo Image"));
    ImgView321->setAlignment(Qt::AlignCenter);
    ImgView321->setMinimumSize(120, 80);
    ImgView321->setStyleSheet(QStringLiteral("background-color: black;"));
    ImageOpen = new QToolButton(Panel1);
    ImageOpen->setObjectName(QStringLiteral("ImageOpen"));
    ImageOpen->setText(QStringLiteral("..."));
    ImageOpen->setToolTip(QStringLiteral("Browse"));
    ImageOpen->setAccessibleName(QStringLiteral("Browse"));
    auto* panel = new QHBoxLayout(Panel1);
    panel->addWidget(ImgView321, 1);
    panel->addWidget(ImageOpen, 0, Qt::AlignTop);

    auto* cornerBox = new QGroupBox(QStringLiteral("Position"), this);
    cornerBox->setObjectName(QStringLiteral("PosEarRG"));
    PosEarRG = new QButtonGroup(this);
    auto* corners = new QGridLayout(cornerBox);
    const char* const cornerNames[] = {"Top Left", "Top Right", "Bottom Left", "Bottom Right"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(cornerNames[i]), cornerBox);
        b->setAccessibleName(b->text());
        PosEarRG->addButton(b, i);
        corners->addWidget(b, i / 2, i % 2);
    }
    PosEarRG->button(0)->setChecked(true);

    auto* earmethodBox = new QGroupBox(QStringLiteral("Overlay Method"), this);
    earmethodBox->setObjectName(QStringLiteral("earmethodBox"));
    methodOverlayCB = new QComboBox(earmethodBox);
    methodOverlayCB->setObjectName(QStringLiteral("methodOverlayCB"));
    methodOverlayCB->setAccessibleName(QStringLiteral("Select the method of overlay"));
    methodOverlayCB->addItems({QStringLiteral("Hatch"), QStringLiteral("Solid"), QStringLiteral("Average"),
                               QStringLiteral("And"), QStringLiteral("Or")});
    auto* method = new QVBoxLayout(earmethodBox);
    auto* methodLabel = new QLabel(QStringLiteral("Select the method of overlay"), earmethodBox);
    methodLabel->setWordWrap(true);
    method->addWidget(methodLabel);
    method->addWidget(methodOverlayCB);

    auto* earsizeBox = new QGroupBox(QStringLiteral("Size"), this);
    earsizeBox->setObjectName(QStringLiteral("earsizeBox"));
    earsizeCB = new QComboBox(earsizeBox);
    earsizeCB->setObjectName(QStringLiteral("earsizeCB"));
    earsizeCB->setAccessibleName(QStringLiteral("Select the size of the image %"));
    earsizeCB->setEditable(true);
    earsizeCB->setInsertPolicy(QComboBox::NoInsert);
    earsizeCB->addItems({QStringLiteral("100"), QStringLiteral("75"), QStringLiteral("50"), QStringLiteral("25"),
                         QStringLiteral("10")});
    auto* size = new QVBoxLayout(earsizeBox);
    auto* sizeLabel = new QLabel(QStringLiteral("Select the size of the  image %"), earsizeBox);
    sizeLabel->setWordWrap(true);
    size->addWidget(sizeLabel);
    size->addWidget(earsizeCB);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Logos"));
    BitBtn2 = new QPushButton(QStringLiteral("Add"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAccessibleName(QStringLiteral("Add logo"));
    BitBtn1 = new QPushButton(QStringLiteral("Delete"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("Delete logo"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(earmethodBox);
    choices->addWidget(earsizeBox);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(ListBox1, 1);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(BitBtn2);
    listButtons->addWidget(BitBtn1);
    listButtons->addStretch(1);
    listRow->addLayout(listButtons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(Panel1);
    layout->addWidget(cornerBox);
    layout->addLayout(choices);
    layout->addLayout(listRow, 1);

    connect(ImageOpen, &QToolButton::clicked, this, &TLogoFrame::ImageOpenClick);
    connect(PosEarRG, &QButtonGroup::idClicked, this, &TLogoFrame::PosEarRGClick);
    connect(methodOverlayCB, &QComboBox::activated, this, &TLogoFrame::methodOverlayCBChange);
    // Typed sizes count when typing ends, not at every keystroke.
    connect(earsizeCB, &QComboBox::activated, this, &TLogoFrame::earsizeCBChange);
    connect(earsizeCB->lineEdit(), &QLineEdit::editingFinished, this, &TLogoFrame::earsizeCBChange);
    connect(BitBtn2, &QPushButton::clicked, this, &TLogoFrame::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TLogoFrame::BitBtn1Click);
    connect(ListBox1, &QListWidget::itemClicked, this, &TLogoFrame::ListBox1Click);
}

void TLogoFrame::LoadFromVideo(TQORVideo* video)
{
    m_video = video;
    setEnabled(video != nullptr);
    m_entries.clear();
    ListBox1->clear();
    m_pending = freshPending();
    ImgView321->clear();
    if (!video)
        return;
    for (const auto& entry : video->document()->Adjustments) {
        if (const LogoEntry* logo = entry->As<LogoEntry>()) {
            m_entries.push_back(entry.get());
            ListBox1->addItem(logo->LogoLabel);
        }
    }
}

std::optional<int> TLogoFrame::ReadSize()
{
    const QString text = earsizeCB->currentText().trimmed();
    bool ok = false;
    const int percent = text.toInt(&ok);
    if (ok && percent >= 1 && percent <= kMaxLogoPercent)
        return percent;
    QMessageBox::warning(this, QString(),
                         QStringLiteral("'%1' is not a valid size: give a whole number of percent from 1 to %2.")
                             .arg(text).arg(kMaxLogoPercent));
    return std::nullopt;
}

void TLogoFrame::ImageOpenClick()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open File To Overlay"), QString(),
        QStringLiteral("Windows Bitmap (*.bmp);;PNG (*.png);;JPEG (*.jpg *.jpeg)"));
    if (!path.isEmpty())
        ChooseFile(path);
}

bool TLogoFrame::ChooseFile(const QString& path)
{
    // The size is read first, so a bad one changes nothing.
    const std::optional<int> percent = ReadSize();
    if (!percent)
        return false;
    m_pending.LogoDisabled = false;
    m_pending.LogoFile = path;
    m_pending.LogoNumber = int(m_entries.size());
    m_pending.LogoCorner = std::max(0, PosEarRG->checkedId());
    m_pending.LogoMethod = methodOverlayCB->currentIndex();
    m_pending.LogoSize = *percent;
    m_pending.LogoLabel = QFileInfo(path).fileName().left(255);
    showPreviewFile(path);
    drawPending();
    return true;
}

void TLogoFrame::PosEarRGClick(int corner)
{
    m_pending.LogoCorner = corner;
    drawPending();
}

void TLogoFrame::methodOverlayCBChange(int method)
{
    m_pending.LogoMethod = method;
    drawPending();
}

void TLogoFrame::earsizeCBChange()
{
    if (earsizeCB->currentText().trimmed() == QString::number(m_pending.LogoSize) && !m_pending.LogoDisabled)
        return; // nothing new (editing ended without a change)
    const std::optional<int> percent = ReadSize();
    if (!percent) {
        const QSignalBlocker block(earsizeCB);
        earsizeCB->setCurrentText(QString::number(m_pending.LogoSize));
        return;
    }
    m_pending.LogoSize = *percent;
    drawPending();
}

void TLogoFrame::BitBtn2Click()
{
    // Without a chosen file there is nothing to add.
    if (!m_video || m_pending.LogoDisabled)
        return;
    VideoDocument* doc = m_video->document();
    AddListedEntry(*doc, std::make_unique<AdjustmentEntry>(m_pending), m_pending.LogoLabel, ListBox1, m_entries);
    m_pending = freshPending();
    ImgView321->clear();
    doc->RequestRender();
}

void TLogoFrame::BitBtn1Click()
{
    if (m_video)
        RemoveSelectedEntry(*m_video->document(), ListBox1, m_entries);
}

void TLogoFrame::ListBox1Click()
{
    const int row = ListBox1->currentRow();
    if (row >= 0 && row < int(m_entries.size()))
        showPreviewFile(m_entries[size_t(row)]->As<LogoEntry>()->LogoFile);
}

void TLogoFrame::showPreviewFile(const QString& path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        ImgView321->clear();
        return;
    }
    // Scaled to fit, centred, without smoothing.
    const QSize room = ImgView321->contentsRect().size().expandedTo(QSize(1, 1));
    ImgView321->setPixmap(QPixmap::fromImage(image.scaled(room, Qt::KeepAspectRatio, Qt::FastTransformation)));
}

void TLogoFrame::drawPending()
{
    if (!m_video || m_pending.LogoDisabled)
        return;
    VideoDocument* doc = m_video->document();
    doc->RenderFrame();
    DrawLogoEntry(doc->DisplayBitmap, m_pending);
    m_video->ShowDisplayBitmap();
}
