#include "overlays/ui/FrameAnno.h"

#include "adjust/TextDrawing.h"
#include "common/Rounding.h"
#include "document/VideoDocument.h"
#include "document/ui/ImageView.h"
#include "document/ui/ViewTool.h"
#include "document/window/VideoWindow.h"
#include "overlays/ui/ListedEntries.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kLimeOnBlack = "color: lime; background-color: black;";

QSpinBox* spin(const QString& name, const QString& accessible, int low, int high, int value, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setAccessibleName(accessible);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

QButtonGroup* radioGroup(QGroupBox* box, const QStringList& items, QWidget* owner)
{
    auto* group = new QButtonGroup(owner);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        b->setAccessibleName(box->title() + QLatin1Char(' ') + items[i]);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    group->button(0)->setChecked(true);
    return group;
}

QString timingLabel(int infoKind)
{
    static const char* const labels[] = {"Time s", "Time ms", "Frame Number"};
    return QString::fromLatin1(labels[std::clamp(infoKind, 0, 2)]);
}

// The font of an annotation, its colour apart.
void CopyFontFace(const AnnotationEntry& from, AnnotationEntry& to)
{
    to.AnnFontName = from.AnnFontName;
    to.AnnFontSize = from.AnnFontSize;
    to.AnnFontBold = from.AnnFontBold;
    to.AnnFontItalic = from.AnnFontItalic;
    to.AnnFontUnderline = from.AnnFontUnderline;
    to.AnnFontStrikeOut = from.AnnFontStrikeOut;
}

bool isAnnotation(const AdjustmentEntry& entry)
{
    return entry.Kind() == KindText || entry.Kind() == KindTimeStamp;
}

} // namespace

TAnnoFrame::TAnnoFrame(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("AnnoFrame"));
    setWindowTitle(QStringLiteral("ANNOTATE"));
    setMinimumSize(300, 380);

    auto* TextAnnBox = new QGroupBox(QStringLiteral("Text Annotation"), this);
    TextAnnBox->setObjectName(QStringLiteral("TextAnnBox"));
    auto* typeBox = new QGroupBox(QStringLiteral("Information"), TextAnnBox);
    AnnTypeRadio = radioGroup(typeBox, {QStringLiteral("Text"), QStringLiteral("Timing (s)"), QStringLiteral("Timing (ms)"),
                                        QStringLiteral("Framing")}, this);
    auto* backBox = new QGroupBox(QStringLiteral("Background"), TextAnnBox);
    txtBCRB = radioGroup(backBox, {QStringLiteral("Transparent"), QStringLiteral("Black"), QStringLiteral("White")}, this);

    AnPosXSpin = spin(QStringLiteral("AnPosXSpin"), QStringLiteral("Position X"), 0, 10000, 0, TextAnnBox);
    AnPosYSpin = spin(QStringLiteral("AnPosYSpin"), QStringLiteral("Position Y"), 0, 10000, 0, TextAnnBox);
    TextAngleSpin = spin(QStringLiteral("TextAngleSpin"), QStringLiteral("Angle"), -180, 180, 0, TextAnnBox);
    AnnText = new QLineEdit(TextAnnBox);
    AnnText->setObjectName(QStringLiteral("AnnText"));
    AnnText->setAccessibleName(QStringLiteral("Type in the text annotation"));
    AnnText->setMaxLength(255);
    AnnText->setStyleSheet(QString::fromLatin1(kLimeOnBlack));
    DPLab = new QLabel(QStringLiteral("Decimal Places"), TextAnnBox);
    DPLab->setObjectName(QStringLiteral("DPLab"));
    // More than 15 decimals would only show digits single precision never had.
    DPSpin = spin(QStringLiteral("DPSpin"), QStringLiteral("Decimal Places"), 0, 15, 3, TextAnnBox);
    FontChange = new QToolButton(TextAnnBox);
    FontChange->setObjectName(QStringLiteral("FontChange"));
    FontChange->setText(QStringLiteral("Font"));
    FontChange->setToolTip(QStringLiteral("Change Font"));
    FontChange->setAccessibleName(QStringLiteral("Change Font"));
    FontColour = new QToolButton(TextAnnBox);
    FontColour->setObjectName(QStringLiteral("FontColour"));
    FontColour->setText(QStringLiteral("Colour"));
    FontColour->setToolTip(QStringLiteral("Change Colour"));
    FontColour->setAccessibleName(QStringLiteral("Change Colour"));
    setAnnPos = new QToolButton(TextAnnBox);
    setAnnPos->setObjectName(QStringLiteral("setAnnPos"));
    setAnnPos->setText(QStringLiteral("Place"));
    setAnnPos->setToolTip(QStringLiteral("Set Position"));
    setAnnPos->setAccessibleName(QStringLiteral("Set Position"));
    setAnnPos->setCheckable(true);

    auto* box = new QGridLayout(TextAnnBox);
    box->addWidget(typeBox, 0, 0, 3, 1);
    box->addWidget(new QLabel(QStringLiteral("Position X"), TextAnnBox), 0, 1);
    box->addWidget(AnPosXSpin, 0, 2);
    box->addWidget(new QLabel(QStringLiteral("Position Y"), TextAnnBox), 1, 1);
    box->addWidget(AnPosYSpin, 1, 2);
    box->addWidget(new QLabel(QStringLiteral("Angle"), TextAnnBox), 2, 1);
    box->addWidget(TextAngleSpin, 2, 2);
    box->addWidget(new QLabel(QStringLiteral("Type in the text annotation"), TextAnnBox), 3, 0, 1, 3);
    box->addWidget(AnnText, 4, 0, 1, 3);
    box->addWidget(backBox, 5, 0, 3, 1);
    box->addWidget(DPLab, 5, 1);
    box->addWidget(DPSpin, 5, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FontChange);
    buttons->addWidget(FontColour);
    buttons->addWidget(setAnnPos);
    buttons->addStretch(1);
    box->addLayout(buttons, 6, 1, 1, 2);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Annotations"));
    ListBox1->setStyleSheet(QString::fromLatin1(kLimeOnBlack));
    AddAnnoBut = new QPushButton(QStringLiteral("Add"), this);
    AddAnnoBut->setObjectName(QStringLiteral("AddAnnoBut"));
    AddAnnoBut->setAccessibleName(QStringLiteral("Add annotation"));
    BitBtn1 = new QPushButton(QStringLiteral("Delete"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("Delete annotation"));
    auto* caption = new QLabel(QStringLiteral("ANNOTATE"), this);
    caption->setStyleSheet(QStringLiteral("color: grey; font-weight: bold;"));

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(ListBox1, 1);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(AddAnnoBut);
    listButtons->addWidget(BitBtn1);
    listButtons->addStretch(1);
    listButtons->addWidget(caption);
    listRow->addLayout(listButtons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(TextAnnBox);
    layout->addLayout(listRow, 1);

    m_placingTool = new PickTool(this);
    AnnTypeRadioClick();

    connect(AnnTypeRadio, &QButtonGroup::idClicked, this, &TAnnoFrame::AnnTypeRadioClick);
    connect(txtBCRB, &QButtonGroup::idClicked, this, &TAnnoFrame::controlsChanged);
    for (QSpinBox* s : {AnPosXSpin, AnPosYSpin, TextAngleSpin, DPSpin})
        connect(s, &QSpinBox::valueChanged, this, &TAnnoFrame::controlsChanged);
    connect(AnnText, &QLineEdit::textChanged, this, &TAnnoFrame::controlsChanged);
    connect(FontChange, &QToolButton::clicked, this, &TAnnoFrame::FontChangeClick);
    connect(FontColour, &QToolButton::clicked, this, &TAnnoFrame::FontColourClick);
    connect(setAnnPos, &QToolButton::toggled, this, &TAnnoFrame::setAnnPosClick);
    connect(AddAnnoBut, &QPushButton::clicked, this, &TAnnoFrame::AddAnnoButClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TAnnoFrame::BitBtn1Click);
    connect(m_placingTool, &PickTool::hovered, this, &TAnnoFrame::placingMoved);
    connect(m_placingTool, &PickTool::dragged, this, &TAnnoFrame::placingMoved);
    connect(m_placingTool, &PickTool::picked, this, &TAnnoFrame::placingPressed);
    // Another tool took the view over: placing ends, the preview goes.
    connect(m_placingTool, &ViewTool::removed, this, [this] {
        m_loading = true;
        setAnnPos->setChecked(false);
        m_loading = false;
        m_placing = false;
        m_pending.reset();
        if (m_video)
            m_video->RequestRedisplay();
    });
}

TAnnoFrame::~TAnnoFrame()
{
    dropTool();
}

void TAnnoFrame::dropTool()
{
    if (!m_video)
        return;
    const QSignalBlocker block(m_placingTool);
    m_video->view()->removeTool(m_placingTool);
}

void TAnnoFrame::SetDefaultFont(const AnnotationEntry& fontFields)
{
    m_font = fontFields;
}

const AnnotationEntry* TAnnoFrame::PendingEntry() const
{
    return m_pending ? m_pending->As<AnnotationEntry>() : nullptr;
}

void TAnnoFrame::LoadFromVideo(TQORVideo* video)
{
    if (m_video != video) {
        dropTool();
        m_placing = false;
        m_pending.reset();
        const QSignalBlocker block(setAnnPos);
        setAnnPos->setChecked(false);
    }
    m_video = video;
    setEnabled(video != nullptr);
    m_entries.clear();
    ListBox1->clear();
    if (!video)
        return;
    for (const auto& entry : video->document()->Adjustments) {
        if (!isAnnotation(*entry))
            continue;
        m_entries.push_back(entry.get());
        ListBox1->addItem(entry->As<AnnotationEntry>()->AnnLabel);
    }
}

AnnotationEntry TAnnoFrame::EntryFromControls() const
{
    AnnotationEntry e = m_font; // the font fields
    const int choice = std::max(0, AnnTypeRadio->checkedId());
    e.TimeStamp = choice > 0;
    e.AnnX = AnPosXSpin->value();
    e.AnnY = AnPosYSpin->value();
    e.AnnAngle = TextAngleSpin->value();
    e.AnnBackground = std::max(0, txtBCRB->checkedId());
    if (e.TimeStamp) {
        e.AnnInfoKind = choice - 1;
        e.AnnDecimals = DPSpin->value();
        e.AnnLabel = timingLabel(e.AnnInfoKind);
        e.AnnDrawText.clear(); // written before each drawing
    } else {
        e.AnnInfoKind = 0;
        e.AnnDecimals = 0;
        e.AnnDrawText = AnnText->text().left(255);
        e.AnnLabel = e.AnnDrawText;
    }
    return e;
}

void TAnnoFrame::AddAnnoButClick()
{
    if (!m_video)
        return;
    VideoDocument* doc = m_video->document();
    const AnnotationEntry entry = EntryFromControls();
    AddListedEntry(*doc, std::make_unique<AdjustmentEntry>(entry), entry.AnnLabel, ListBox1, m_entries);
    doc->RequestRender();
}

void TAnnoFrame::BitBtn1Click()
{
    if (m_video)
        RemoveSelectedEntry(*m_video->document(), ListBox1, m_entries);
}

void TAnnoFrame::setAnnPosClick(bool down)
{
    if (m_loading || !m_video)
        return;
    if (down) {
        m_pending = std::make_unique<AdjustmentEntry>(EntryFromControls());
        m_placing = true;
        m_video->view()->setTool(m_placingTool);
        drawPreview();
    } else {
        m_placing = false;
        m_pending.reset();
        dropTool();
        m_video->RequestRedisplay(); // the preview goes
    }
}

void TAnnoFrame::placingMoved(QPointF p)
{
    AnnotationEntry* pending = m_pending ? m_pending->As<AnnotationEntry>() : nullptr;
    if (!m_placing || !pending)
        return;
    pending->AnnX = int(Round(p.x()));
    pending->AnnY = int(Round(p.y()));
    drawPreview();
    UpdateReadouts();
}

void TAnnoFrame::placingPressed(QPointF p)
{
    placingMoved(p);
    // The click puts it down: the spins keep the place for "Add"; the entry
    // stays the preview until the button is pressed again.
    m_placing = false;
    dropTool();
    UpdateReadouts();
}

void TAnnoFrame::UpdateReadouts()
{
    if (const AnnotationEntry* pending = PendingEntry()) {
        m_loading = true;
        AnPosXSpin->setValue(pending->AnnX);
        AnPosYSpin->setValue(pending->AnnY);
        m_loading = false;
    }
    const QSignalBlocker block(setAnnPos);
    setAnnPos->setChecked(m_placing);
}

void TAnnoFrame::AnnTypeRadioClick()
{
    const bool timing = AnnTypeRadio->checkedId() == 1 || AnnTypeRadio->checkedId() == 2;
    DPSpin->setVisible(timing);
    DPLab->setVisible(timing);
    controlsChanged();
}

void TAnnoFrame::controlsChanged()
{
    if (m_loading || !m_pending)
        return;
    // The entry being placed takes the controls; added ones never change.
    AnnotationEntry* pending = m_pending->As<AnnotationEntry>();
    AnnotationEntry fresh = EntryFromControls();
    CopyFontFace(*pending, fresh);
    fresh.AnnFontColour = pending->AnnFontColour;
    *pending = fresh;
    drawPreview();
}

void TAnnoFrame::FontChangeClick()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, AnnotationFont(m_font), this, QStringLiteral("Font"));
    if (ok)
        ChooseFont(font);
}

void TAnnoFrame::FontColourClick()
{
    const unsigned c = m_font.AnnFontColour;
    const QColor colour = QColorDialog::getColor(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this,
                                                 QStringLiteral("Colour"));
    if (colour.isValid())
        ChooseColour(colour);
}

void TAnnoFrame::ChooseFont(const QFont& font)
{
    m_font.AnnFontName = font.family();
    // The character cell is given in pixels; point sizes at 96 dots per inch.
    m_font.AnnFontSize = font.pixelSize() > 0 ? font.pixelSize() : int(Round(font.pointSizeF() * 96.0 / 72.0));
    m_font.AnnFontBold = font.bold();
    m_font.AnnFontItalic = font.italic();
    m_font.AnnFontUnderline = font.underline();
    m_font.AnnFontStrikeOut = font.strikeOut();
    if (AnnotationEntry* pending = m_pending ? m_pending->As<AnnotationEntry>() : nullptr) {
        CopyFontFace(m_font, *pending);
        drawPreview();
    }
}

void TAnnoFrame::ChooseColour(const QColor& colour)
{
    m_font.AnnFontColour = unsigned(colour.red()) | unsigned(colour.green()) << 8 | unsigned(colour.blue()) << 16;
    if (AnnotationEntry* pending = m_pending ? m_pending->As<AnnotationEntry>() : nullptr) {
        pending->AnnFontColour = m_font.AnnFontColour;
        drawPreview();
    }
}

void TAnnoFrame::drawPreview()
{
    if (!m_video || !m_pending)
        return;
    VideoDocument* doc = m_video->document();
    doc->RenderFrame();
    doc->UpdateTimeStampText(*m_pending);
    DrawTextEntry(doc->DisplayBitmap, *m_pending->As<AnnotationEntry>());
    m_video->ShowDisplayBitmap();
}
