#include "sources/ui/SvfFrame.h"

#include "document/ui/ImageView.h"
#include "document/ui/ViewTool.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/svf/SvfSource.h"
#include "sources/ui/SvfCurveDialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

// Gain, gamma and enhance: the component's value for each item.
constexpr int kGains[] = {0, 6, 12};
constexpr int kGammas[] = {0, 2, 4};
constexpr int kEnhances[] = {0, 2, 4, 6};

template <size_t N>
int ValueForItem(const int (&values)[N], int index)
{
    return values[std::min<size_t>(size_t(index), N - 1)];
}

template <size_t N>
int ItemForValue(const int (&values)[N], int value)
{
    for (size_t i = 0; i < N; ++i)
        if (values[i] == value)
            return int(i);
    return -1;
}

struct MethodButton {
    int method;
    const char* name;
    const char* caption;
};
// In the order they stand in the frame.
constexpr MethodButton kMethodButtons[] = {
    {1, "CMASpeedBut", "A"}, {2, "CMB1SpeedBut", "B1"}, {5, "CMB2SpeedBut", "B2"}, {6, "CMB3SpeedBut", "B3"},
    {3, "CMCSpeedBut", "C"}, {4, "CMD1SpeedBut", "D1"}, {7, "CMD2SpeedBut", "D2"}, {8, "CMD3SpeedBut", "D3"},
};

} // namespace

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this))
{
    setAccessibleName(title);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setAccessibleName(title.isEmpty() ? items[i] : title + QStringLiteral(" ") + items[i]);
        m_group->addButton(b, i);
        layout->addWidget(b, i / columns, i % columns);
    }
}

int TRadioGroup::ItemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        item(index)->setChecked(true);
        return;
    }
    // An exclusive group keeps one button down: lift that rule to clear it.
    m_group->setExclusive(false);
    for (QAbstractButton* b : m_group->buttons())
        b->setChecked(false);
    m_group->setExclusive(true);
}

int TRadioGroup::count() const
{
    return int(m_group->buttons().size());
}

QRadioButton* TRadioGroup::item(int index) const
{
    return static_cast<QRadioButton*>(m_group->button(index));
}

QString TSVFFrame::MethodText(int method)
{
    switch (method) {
    case 1: return QStringLiteral("Method A : simple");
    case 2: return QStringLiteral("Method B1 : High Quality");
    case 3: return QStringLiteral("Method C : PCI card");
    case 4: return QStringLiteral("Method D : GPU High Quality");
    case 5: return QStringLiteral("Method B2 : ALEXA Compatible ");
    case 6: return QStringLiteral("Method B3 : Best Quality");
    case 7: return QStringLiteral("Method D2 : GPU ALEXA Compatible ");
    case 8: return QStringLiteral("Method D3 : GPU Best Quality");
    default: return QString();
    }
}

TSVFFrame::TSVFFrame(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TSVFFrame"));
    setMinimumWidth(294);
    // The dock may be shorter than the frame: it scrolls rather than squeeze.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    auto* layout = new QGridLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);

    // Colour: saturation and hue.
    auto* colour = new QGroupBox(QStringLiteral("Colour"), content);
    auto* colourLayout = new QGridLayout(colour);
    colourLayout->setContentsMargins(4, 2, 4, 2);
    colorSpin = new QSpinBox(colour);
    colorSpin->setObjectName(QStringLiteral("colorSpin"));
    colorSpin->setRange(0, 200);
    colorSpin->setValue(0);
    colorSpin->setAccessibleName(QStringLiteral("Colour saturation in percent"));
    SVFHueTrack = new QSlider(Qt::Horizontal, colour);
    SVFHueTrack->setObjectName(QStringLiteral("SVFHueTrack"));
    SVFHueTrack->setRange(-180, 180);
    SVFHueTrack->setTickInterval(20);
    SVFHueTrack->setTickPosition(QSlider::TicksBelow);
    SVFHueTrack->setAccessibleName(QStringLiteral("Hue"));
    SVFHueST = new QLabel(QStringLiteral("0"), colour);
    SVFHueST->setObjectName(QStringLiteral("SVFHueST"));
    SVFHueST->setMinimumWidth(28);
    SVFHueST->setAccessibleName(QStringLiteral("Hue in degrees"));
    BitBtn24 = new QPushButton(QStringLiteral("Customize"), colour);
    BitBtn24->setObjectName(QStringLiteral("BitBtn24"));
    BitBtn24->setAccessibleName(QStringLiteral("Customize"));
    BitBtn24->hide();
    colourLayout->addWidget(colorSpin, 0, 0);
    colourLayout->addWidget(new QLabel(QStringLiteral("%"), colour), 0, 1);
    colourLayout->addWidget(new QLabel(QStringLiteral("Hue"), colour), 0, 2);
    colourLayout->addWidget(SVFHueTrack, 0, 3);
    colourLayout->addWidget(SVFHueST, 0, 4);
    layout->addWidget(colour, 1, 0, 1, 3);

    // White balance, with the pick and automatic buttons in a fourth column.
    WBRadio = new TRadioGroup(QStringLiteral("White Balance"), {QStringLiteral("NONE"), QStringLiteral("CUSTOM"),
                                          QStringLiteral("3100"), QStringLiteral("5000"), QStringLiteral("9000"),
                                          QStringLiteral("REG"), QStringLiteral("AUTO")}, 3, content);
    WBRadio->setObjectName(QStringLiteral("WBRadio"));
    SetCustomWBBut = new QToolButton(WBRadio);
    SetCustomWBBut->setObjectName(QStringLiteral("SetCustomWBBut"));
    SetCustomWBBut->setText(QStringLiteral("Pick"));
    SetCustomWBBut->setToolTip(QStringLiteral("Set Custom WB Point"));
    SetCustomWBBut->setAccessibleName(SetCustomWBBut->toolTip());
    SetCustomWBBut->setCheckable(true);
    AutoWBBut = new QPushButton(QStringLiteral("Auto"), WBRadio);
    AutoWBBut->setObjectName(QStringLiteral("AutoWBBut"));
    AutoWBBut->setToolTip(QStringLiteral("Calculate Auto WB from Current Frame"));
    AutoWBBut->setAccessibleName(AutoWBBut->toolTip());
    auto* wbLayout = static_cast<QGridLayout*>(WBRadio->layout());
    wbLayout->addWidget(SetCustomWBBut, 0, 3);
    wbLayout->addWidget(AutoWBBut, 2, 3);
    layout->addWidget(WBRadio, 2, 0, 1, 3);

    ConMethodRadio = new TRadioGroup(QStringLiteral("Conversion"), {QStringLiteral("Method A"), QStringLiteral("Method B"),
                                                                      QStringLiteral("PCI Card"), QStringLiteral("CUDA")}, 1, content);
    ConMethodRadio->setObjectName(QStringLiteral("ConMethodRadio"));
    ConMethodRadio->hide();

    const QStringList offOn{QStringLiteral("OFF"), QStringLiteral("ON")};
    GainRadio = new TRadioGroup(QStringLiteral("Gain"), {QStringLiteral("OFF"), QStringLiteral("NORMAL"), QStringLiteral("HIGH")}, 3, content);
    GainRadio->setObjectName(QStringLiteral("GainRadio"));
    GammaRadio = new TRadioGroup(QStringLiteral("Gamma"), {QStringLiteral("OFF"), QStringLiteral("LOW"), QStringLiteral("NORMAL")}, 3, content);
    GammaRadio->setObjectName(QStringLiteral("GammaRadio"));
    EnhanceRadio = new TRadioGroup(QStringLiteral("Enhance"), {QStringLiteral("OFF"), QStringLiteral("LOW"), QStringLiteral("NORMAL"),
                                                                QStringLiteral("HIGH")}, 2, content);
    EnhanceRadio->setObjectName(QStringLiteral("EnhanceRadio"));
    LUTRadio = new TRadioGroup(QStringLiteral("Luminance Encoding"), {QStringLiteral("NORMAL"), QStringLiteral("LINEAR"),
                                                                        QStringLiteral("CUSTOM")}, 3, content);
    LUTRadio->setObjectName(QStringLiteral("LUTRadio"));
    LUTRadio->SetItemIndex(0);
    CustLutBut = new QPushButton(QStringLiteral("Set"), LUTRadio);
    CustLutBut->setObjectName(QStringLiteral("CustLutBut"));
    CustLutBut->setAccessibleName(QStringLiteral("Set the custom luminance curve"));
    static_cast<QGridLayout*>(LUTRadio->layout())->addWidget(CustLutBut, 1, 2);
    CustLutBut->hide();
    KneeRadio = new TRadioGroup(QStringLiteral("Knee"), offOn, 2, content);
    KneeRadio->setObjectName(QStringLiteral("KneeRadio"));
    LowPAssRadio = new TRadioGroup(QStringLiteral("Low Pass Filter"), offOn, 2, content);
    LowPAssRadio->setObjectName(QStringLiteral("LowPAssRadio"));
    LowPAssRadio->SetItemIndex(0);
    RGBMCRadio = new TRadioGroup(QStringLiteral("RGB Correction"), offOn, 2, content);
    RGBMCRadio->setObjectName(QStringLiteral("RGBMCRadio"));
    layout->addWidget(GainRadio, 3, 0, 1, 3);
    layout->addWidget(GammaRadio, 4, 0, 1, 3);
    layout->addWidget(EnhanceRadio, 5, 0, 1, 3);
    layout->addWidget(LUTRadio, 6, 0, 1, 3);
    layout->addWidget(KneeRadio, 7, 0);
    layout->addWidget(LowPAssRadio, 7, 1, 1, 2);
    layout->addWidget(RGBMCRadio, 8, 0);

    // Conversion algorithm.
    auto* algorithm = new QGroupBox(QStringLiteral("Conversion Algorithm"), content);
    auto* algorithmLayout = new QGridLayout(algorithm);
    algorithmLayout->setContentsMargins(4, 2, 4, 2);
    algorithmLayout->setSpacing(2);
    m_methodButtons = new QButtonGroup(this);
    m_methodButtons->setExclusive(true);
    int column = 0;
    for (const MethodButton& m : kMethodButtons) {
        auto* b = new QToolButton(algorithm);
        b->setObjectName(QString::fromLatin1(m.name));
        b->setText(QString::fromLatin1(m.caption));
        b->setToolTip(MethodText(m.method).trimmed());
        b->setAccessibleName(b->toolTip());
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setMinimumWidth(28);
        m_methodButtons->addButton(b, m.method);
        algorithmLayout->addWidget(b, 0, column++);
        connect(b, &QToolButton::clicked, this, [this, b] { CMASpeedButClick(b); });
    }
    CMASpeedBut = methodButton(1);
    CMB1SpeedBut = methodButton(2);
    CMCSpeedBut = methodButton(3);
    CMD1SpeedBut = methodButton(4);
    CMB2SpeedBut = methodButton(5);
    CMB3SpeedBut = methodButton(6);
    CMD2SpeedBut = methodButton(7);
    CMD3SpeedBut = methodButton(8);
    CMCSpeedBut->hide();
    CMB1SpeedBut->setChecked(true);
    CAMethodtxt = new QLabel(QStringLiteral("Method B1"), algorithm);
    CAMethodtxt->setObjectName(QStringLiteral("CAMethodtxt"));
    CAMethodtxt->setAlignment(Qt::AlignCenter);
    CAMethodtxt->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CAMethodtxt->setAccessibleName(QStringLiteral("Conversion method"));
    algorithmLayout->addWidget(CAMethodtxt, 1, 0, 1, column);
    // The conversion method first: it changes the picture most.
    layout->addWidget(algorithm, 0, 0, 1, 3);
    layout->setRowStretch(9, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);

    connect(GainRadio->group(), &QButtonGroup::idClicked, this, [this] { GainRadioClick(); });
    connect(GammaRadio->group(), &QButtonGroup::idClicked, this, [this] { GammaRadioClick(); });
    connect(EnhanceRadio->group(), &QButtonGroup::idClicked, this, [this] { EnhanceRadioClick(); });
    connect(KneeRadio->group(), &QButtonGroup::idClicked, this, [this] { KneeRadioClick(); });
    connect(LowPAssRadio->group(), &QButtonGroup::idClicked, this, [this] { LowPAssRadioClick(); });
    connect(RGBMCRadio->group(), &QButtonGroup::idClicked, this, [this] { RGBMCRadioClick(); });
    connect(WBRadio->group(), &QButtonGroup::idClicked, this, [this] { WBRadioClick(); });
    connect(LUTRadio->group(), &QButtonGroup::idClicked, this, [this] { LUTRadioClick(); });
    connect(ConMethodRadio->group(), &QButtonGroup::idClicked, this, [this] { ConMethodRadioClick(); });
    connect(colorSpin, &QSpinBox::valueChanged, this, [this] { colorSpinChange(); });
    connect(SVFHueTrack, &QSlider::valueChanged, this, [this] { SVFHueTrackChange(); });
    connect(CustLutBut, &QPushButton::clicked, this, [this] { CustLutButClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(SetCustomWBBut, &QToolButton::toggled, this, [this] { SetCustomWBButClick(); });
    connect(AutoWBBut, &QPushButton::clicked, this, [this] { AutoWBButClick(); });

    m_whitePick = new PickTool(this);
    connect(m_whitePick, &PickTool::picked, this, [this](QPointF p) { takeWhitePoint(p); });
    // Another tool took the view over: the pick button is up again.
    connect(m_whitePick, &ViewTool::removed, this, [this] {
        const bool busy = m_busy;
        m_busy = true;
        SetCustomWBBut->setChecked(false);
        m_busy = busy;
    });
    SetCustomWBBut->setEnabled(false);
    AutoWBBut->setEnabled(false);
}

QToolButton* TSVFFrame::methodButton(int method) const
{
    return static_cast<QToolButton*>(m_methodButtons->button(method));
}

TFxSvffFc* TSVFFrame::component() const
{
    if (!m_video)
        return nullptr;
    auto* source = dynamic_cast<SvfSource*>(m_video->document()->Source());
    return source ? &source->converter() : nullptr;
}

void TSVFFrame::render()
{
    if (m_video)
        m_video->RequestRedisplay();
}

void TSVFFrame::LoadFromVideo(TQORVideo* video)
{
    if (m_video && m_video != video)
        m_video->view()->removeTool(m_whitePick);
    m_video = video;
    TFxSvffFc* c = component();
    setEnabled(c != nullptr);
    if (!c)
        return;
    LoadFromComponent(*c);
    // The method in use and the hue of this document, so that the frame
    // never shows another document's choice.
    const bool busy = m_busy;
    m_busy = true;
    if (QToolButton* b = methodButton(m_video->document()->Info.SvfSettingsA[5])) {
        b->setChecked(true);
        CAMethodtxt->setText(MethodText(m_video->document()->Info.SvfSettingsA[5]));
    }
    SVFHueTrack->setValue(c->Hue());
    SVFHueST->setText(QString::number(SVFHueTrack->value()));
    SetCustomWBBut->setChecked(m_video->view()->tool() == m_whitePick);
    m_busy = busy;
}

void TSVFFrame::LoadFromComponent(const TFxSvffFc& c)
{
    m_busy = true;
    if (const int i = ItemForValue(kGains, c.Gain()); i >= 0)
        GainRadio->SetItemIndex(i);
    if (c.LuminanceLut() >= 0 && c.LuminanceLut() <= 2)
        LUTRadio->SetItemIndex(c.LuminanceLut());
    CustLutBut->setVisible(LUTRadio->ItemIndex() == 2);
    if (const int i = ItemForValue(kGammas, c.Gamma()); i >= 0)
        GammaRadio->SetItemIndex(i);
    if (const int i = ItemForValue(kEnhances, c.Enhance()); i >= 0)
        EnhanceRadio->SetItemIndex(i);
    if (c.ConversionMethod() >= 1 && c.ConversionMethod() <= 4)
        ConMethodRadio->SetItemIndex(c.ConversionMethod() - 1);
    if (c.RgbCorrection() == 0 || c.RgbCorrection() == 1)
        RGBMCRadio->SetItemIndex(c.RgbCorrection());
    if (c.WhiteBalance() >= -1 && c.WhiteBalance() <= 5)
        WBRadio->SetItemIndex(c.WhiteBalance() + 1);
    if (c.Saturation() >= 0 && c.Saturation() <= 200)
        colorSpin->setValue(c.Saturation());
    if (c.Knee() == 0 || c.Knee() == 1)
        KneeRadio->SetItemIndex(c.Knee());
    if (c.LowPass() == 0 || c.LowPass() == 1)
        LowPAssRadio->SetItemIndex(c.LowPass());
    SetCustomWBBut->setEnabled(WBRadio->ItemIndex() == 1);
    AutoWBBut->setEnabled(WBRadio->ItemIndex() == 6);
    m_busy = false;
}

void TSVFFrame::GainRadioClick()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || GainRadio->ItemIndex() < 0)
        return;
    const int v = ValueForItem(kGains, GainRadio->ItemIndex());
    c->SetGain(int16_t(v));
    m_video->document()->Info.SvfSettingsA[0] = int16_t(v);
    render();
}

void TSVFFrame::GammaRadioClick()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || GammaRadio->ItemIndex() < 0)
        return;
    const int v = ValueForItem(kGammas, GammaRadio->ItemIndex());
    c->SetGamma(int16_t(v));
    m_video->document()->Info.SvfSettingsA[1] = int16_t(v);
    render();
}

void TSVFFrame::EnhanceRadioClick()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || EnhanceRadio->ItemIndex() < 0)
        return;
    const int v = ValueForItem(kEnhances, EnhanceRadio->ItemIndex());
    c->SetEnhance(int16_t(v));
    m_video->document()->Info.SvfSettingsA[2] = int16_t(v);
    render();
}

void TSVFFrame::KneeRadioClick()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || KneeRadio->ItemIndex() < 0)
        return;
    c->SetKnee(int16_t(KneeRadio->ItemIndex()));
    m_video->document()->Info.SvfSettingsA[6] = int16_t(KneeRadio->ItemIndex());
    render();
}

void TSVFFrame::LowPAssRadioClick()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || LowPAssRadio->ItemIndex() < 0)
        return;
    c->SetLowPass(LowPAssRadio->ItemIndex());
    m_video->document()->Info.SvfSettingsD[0] = c->LowPass();
    render();
}

void TSVFFrame::RGBMCRadioClick()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || RGBMCRadio->ItemIndex() < 0)
        return;
    c->SetRgbCorrection(RGBMCRadio->ItemIndex());
    m_video->document()->Info.SvfSettingsE = int16_t(RGBMCRadio->ItemIndex());
    render();
}

void TSVFFrame::WBRadioClick()
{
    const int index = WBRadio->ItemIndex();
    TFxSvffFc* c = component();
    if (!m_busy && c && index >= 0) {
        c->SetWhiteBalance(int16_t(index - 1));
        m_video->document()->Info.SvfSettingsA[3] = int16_t(index - 1);
        render();
    }
    SetCustomWBBut->setEnabled(index == 1);
    AutoWBBut->setEnabled(index == 6);
    if (index != 1)
        SetCustomWBBut->setChecked(false);
}

void TSVFFrame::colorSpinChange()
{
    TFxSvffFc* c = component();
    if (m_busy || !c || colorSpin->text().isEmpty())
        return;
    bool ok = false;
    const int v = colorSpin->cleanText().toInt(&ok);
    if (!ok)
        return;
    c->SetSaturation(int16_t(v));
    m_video->document()->Info.SvfSettingsA[4] = int16_t(v);
    render();
}

void TSVFFrame::SVFHueTrackChange()
{
    TFxSvffFc* c = component();
    if (m_busy || !c)
        return;
    const int v = SVFHueTrack->value();
    SVFHueST->setText(QString::number(v));
    c->SetHue(int16_t(v));
    m_video->document()->Info.SvfSettingsC[0] = int16_t(v);
    render();
}

void TSVFFrame::LUTRadioClick()
{
    TFxSvffFc* c = component();
    const int index = LUTRadio->ItemIndex();
    CustLutBut->setVisible(index == 2);
    if (!c || index < 0)
        return;
    c->SetLuminanceLut(int16_t(index));
    render();
}

void TSVFFrame::CustLutButClick()
{
    TFxSvffFc* c = component();
    if (!c)
        return;
    if (!c->CustomLutEditor)
        c->CustomLutEditor = [this](TFxSvffFc& converter) {
            SvfCurveDialog dialog(converter, this);
            dialog.exec();
        };
    // While the editor is open the picture follows it every two seconds.
    m_timerBusy = false;
    Timer1->start();
    c->EditCustomLut();
    Timer1->stop();
    render();
}

void TSVFFrame::Timer1Timer()
{
    if (m_timerBusy)
        return;
    m_timerBusy = true;
    render();
    m_timerBusy = false;
}

void TSVFFrame::SetCustomWBButClick()
{
    if (m_busy || !m_video)
        return;
    if (SetCustomWBBut->isChecked())
        m_video->view()->setTool(m_whitePick);
    else
        m_video->view()->removeTool(m_whitePick);
}

void TSVFFrame::takeWhitePoint(QPointF displayedPoint)
{
    TFxSvffFc* c = component();
    if (!c)
        return;
    // The converter sees the frame as converted, before any turn or mirror
    // of the display operations.
    const std::optional<QPoint> pixel = m_video->FramePixelAt(displayedPoint);
    if (!pixel)
        return;
    if (!c->SetWhitePoint(pixel->x(), pixel->y())) {
        if (auto* mainWindow = qobject_cast<QMainWindow*>(window()))
            mainWindow->statusBar()->showMessage(c->LastError(), 5000);
        return;
    }
    RecordingInfo& info = m_video->document()->Info;
    info.SvfColour[0] = c->WhiteValue1();
    info.SvfColour[2] = c->WhiteValue2();
    info.SvfColour[1] = c->WhiteValue3();
    render();
}

void TSVFFrame::AutoWBButClick()
{
    TFxSvffFc* c = component();
    if (!c)
        return;
    c->CalculateAutoWhite();
    RecordingInfo& info = m_video->document()->Info;
    info.SvfColour[0] = c->WhiteValue1();
    info.SvfColour[1] = c->WhiteValue3();
    info.SvfColour[2] = c->WhiteValue2();
    c->GetWhiteArea(&info.SvfSettingsB[0], &info.SvfSettingsB[1]);
    render();
}

void TSVFFrame::CMASpeedButClick(QToolButton* button)
{
    const int method = m_methodButtons->id(button);
    button->setChecked(true);
    CAMethodtxt->setText(MethodText(method));
    TFxSvffFc* c = component();
    if (m_busy || !c)
        return;
    auto* source = static_cast<SvfSource*>(m_video->document()->Source());
    RecordingInfo& info = m_video->document()->Info;
    c->CloseFile();
    c->SetConversionMethod(int16_t(method));
    SetSvfConversionPreference(c->ConversionMethod());
    info.SvfSettingsA[5] = int16_t(method);
    // Open the recording again: with this method, or with B1 where it has no
    // hardware here.
    QString error;
    if (!source->Reopen(&error)) {
        ShowErrorBox(this, error);
        return;
    }
    const QString fileName = info.FileName;
    source->fillInfo(info);
    info.FileName = fileName;
    if (info.SvfSettingsA[5] != method) {
        ShowErrorBox(this, QStringLiteral("Hardware not found for this  method. Choosing Method B1"));
        CMB1SpeedBut->setChecked(true);
        CAMethodtxt->setText(MethodText(TFxSvffFc::MethodB1));
        CMASpeedButClick(CMB1SpeedBut);
        return;
    }
    render();
}
