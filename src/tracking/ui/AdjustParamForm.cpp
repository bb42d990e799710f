#include "tracking/ui/AdjustParamForm.h"

#include "common/Rounding.h"
#include "document/window/ErrorBox.h"
#include "tracking/engine/TrackingPoint.h"
#include "tracking/ui/FrameCorrelation.h"
#include "tracking/ui/FrameQuad.h"
#include "tracking/ui/FrameSpot.h"
#include "tracking/ui/ParamPreview.h"
#include "tracking/ui/ZoomPreview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ViewWidth = 512;
constexpr int ViewHeight = 576;

TMethodFrame* MethodPanelFor(int method, QWidget* parent)
{
    switch (method) {
    case tracking::MethodQuadrant:
        return new TQuadFrame(parent);
    case tracking::MethodLightSpot:
    case tracking::MethodDarkSpot:
        return new TSpotFrame(parent);
    default:
        return new TCorrelationFrame(parent);
    }
}

bool IsSpotMethod(int method)
{
    return method == tracking::MethodLightSpot || method == tracking::MethodDarkSpot;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& caption)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    check->setAccessibleName(caption);
    return check;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& caption, const QString& accessible)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    radio->setAccessibleName(accessible);
    return radio;
}

// Group boxes sit close together so the method panel fits below them.
void Compact(QLayout* layout)
{
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(4);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

} // namespace

TAdjustParamForm::TAdjustParamForm(TTrackingPoint& point, const Frame& working, QWidget* parent)
    : QDialog(parent)
    , m_point(point)
    , m_source(working)
{
    setObjectName(QStringLiteral("AdjustParamForm"));
    setWindowTitle(QStringLiteral("Adjust Parameter"));
    setAccessibleName(QStringLiteral("Adjust Parameter"));
    setFixedSize(898, 699);

    BitBtnOK = new QPushButton(QStringLiteral("&OK"), this);
    BitBtnOK->setObjectName(QStringLiteral("BitBtnOK"));
    BitBtnOK->setAccessibleName(QStringLiteral("OK"));
    BitBtnOK->setDefault(true);
    BitBtn1 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("Cancel"));

    auto* right = new QVBoxLayout;
    right->addWidget(BuildCorrelationGroup());
    auto* panelRightBottom = new QWidget(this);
    panelRightBottom->setObjectName(QStringLiteral("PanelRightBottom"));
    auto* panelLayout = new QVBoxLayout(panelRightBottom);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    MethodPanel = MethodPanelFor(m_point.Method(), panelRightBottom);
    panelLayout->addWidget(MethodPanel);
    right->addWidget(panelRightBottom, 1);

    right->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(BuildPreviewColumn());
    layout->addLayout(right, 1);

    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(TemplateSpinX, &QSpinBox::valueChanged, this, [this] { TemplateSpinChanged(TemplateSpinX, TemplateSpinY); });
    connect(TemplateSpinY, &QSpinBox::valueChanged, this, [this] { TemplateSpinChanged(TemplateSpinY, TemplateSpinX); });
    connect(SearchAreaSizeSpin, &QSpinBox::valueChanged, this, [this] { Repaint(); });
    connect(ZoomInButton, &QToolButton::clicked, this, [this] { ZoomBy(true); });
    connect(ZoomOutButton, &QToolButton::clicked, this, [this] { ZoomBy(false); });
    connect(ZoomPercent, &QComboBox::activated, this, &TAdjustParamForm::ZoomItemChosen);
    connect(ImageZoomView, &ZoomPreview::released, this, [this] { Repaint(); });
    MethodPanel->OnChange = [this] {
        if (!m_loading)
            Rerender();
    };

    LoadValues();
    CentreView();
    Rerender();
}

QWidget* TAdjustParamForm::BuildCorrelationGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Correlation Parameter"), this);
    group->setObjectName(QStringLiteral("CorrelationGroup"));

    auto* templ = new QGroupBox(QStringLiteral("Template"), group);
    templ->setObjectName(QStringLiteral("TemplateGroup"));
    PointNameEdit = new QLineEdit(templ);
    PointNameEdit->setObjectName(QStringLiteral("PointNameEdit"));
    PointNameEdit->setAccessibleName(QStringLiteral("Point name"));
    PointNameEdit->setEnabled(false);
    auto* templLayout = new QHBoxLayout(templ);
    Compact(templLayout);
    templLayout->addWidget(PointNameEdit);

    auto* size = new QGroupBox(QStringLiteral("Template Size"), group);
    size->setObjectName(QStringLiteral("TemplateSizeGroup"));
    TemplateSpinX = MakeParamSpin(size, QStringLiteral("TemplateSpinX"), QStringLiteral("Template width"), 3, 999, 2);
    TemplateSpinY = MakeParamSpin(size, QStringLiteral("TemplateSpinY"), QStringLiteral("Template height"), 3, 999, 2);
    ForceSquareCheck = MakeCheck(size, QStringLiteral("ForceSquareCheck"), QStringLiteral("Force square"));
    auto* sizeLayout = new QHBoxLayout(size);
    Compact(sizeLayout);
    sizeLayout->addWidget(TemplateSpinX);
    sizeLayout->addWidget(MakeLabel(size, QStringLiteral("x")));
    sizeLayout->addWidget(TemplateSpinY);
    sizeLayout->addSpacing(12);
    sizeLayout->addWidget(ForceSquareCheck);
    sizeLayout->addStretch();

    auto* update = new QGroupBox(QStringLiteral("Template Update"), group);
    update->setObjectName(QStringLiteral("TemplateUpdateGroup"));
    ManualUpdateRadio = MakeRadio(update, QStringLiteral("ManualUpdateRadio"), QStringLiteral("Update"),
                                  QStringLiteral("Update template every N frames"));
    NoneUpdateRadio = MakeRadio(update, QStringLiteral("NoneUpdateRadio"), QStringLiteral("Use First"),
                                QStringLiteral("Use first template for every frames"));
    auto* updateGroup = new QButtonGroup(this);
    updateGroup->addButton(ManualUpdateRadio);
    updateGroup->addButton(NoneUpdateRadio);
    UpdateFrequencySpin = MakeParamSpin(update, QStringLiteral("UpdateFrequencySpin"),
                                        QStringLiteral("Update template every, frames"), 1, 1000, 1);
    auto* updateLayout = new QGridLayout(update);
    Compact(updateLayout);
    updateLayout->addWidget(ManualUpdateRadio, 0, 0);
    updateLayout->addWidget(MakeLabel(update, QStringLiteral("Update template every"), UpdateFrequencySpin), 0, 1);
    updateLayout->addWidget(UpdateFrequencySpin, 0, 2);
    updateLayout->addWidget(MakeLabel(update, QStringLiteral("frames")), 0, 3);
    updateLayout->addWidget(NoneUpdateRadio, 1, 0);
    updateLayout->addWidget(MakeLabel(update, QStringLiteral("Use first template for every frames")), 1, 1, 1, 3);
    updateLayout->setColumnStretch(4, 1);

    auto* search = new QGroupBox(QStringLiteral("Search Area"), group);
    search->setObjectName(QStringLiteral("SearchAreaGroup"));
    SearchAreaSizeSpin = MakeParamSpin(search, QStringLiteral("SearchAreaSizeSpin"),
                                       QStringLiteral("Search Area Size, % of Template Size"), 100, 999, 5);
    PredSearchCheck = MakeCheck(search, QStringLiteral("PredSearchCheck"), QStringLiteral("Predictive Search"));
    DynamicCheck = MakeCheck(search, QStringLiteral("DynamicCheck"), QStringLiteral("Dynamic Search Area"));
    ThreshholdSpin = MakeParamSpin(search, QStringLiteral("ThreshholdSpin"), QStringLiteral("Threshold Limit, %"),
                                   1, 100, 5);
    auto* searchLayout = new QGridLayout(search);
    Compact(searchLayout);
    searchLayout->addWidget(MakeLabel(search, QStringLiteral("Search Area Size : "), SearchAreaSizeSpin), 0, 0);
    searchLayout->addWidget(SearchAreaSizeSpin, 0, 1);
    searchLayout->addWidget(MakeLabel(search, QStringLiteral("% of Template Size")), 0, 2);
    searchLayout->addWidget(PredSearchCheck, 1, 0, 1, 3);
    searchLayout->addWidget(DynamicCheck, 2, 0, 1, 3);
    searchLayout->addWidget(MakeLabel(search, QStringLiteral("Threshold Limit"), ThreshholdSpin), 3, 0);
    searchLayout->addWidget(ThreshholdSpin, 3, 1);
    searchLayout->addWidget(MakeLabel(search, QStringLiteral("%")), 3, 2);
    searchLayout->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(templ);
    layout->addWidget(size);
    layout->addWidget(update);
    layout->addWidget(search);
    return group;
}

QWidget* TAdjustParamForm::BuildPreviewColumn()
{
    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("PreviewColumn"));
    column->setFixedWidth(ViewWidth);
    ImageZoomView = new ZoomPreview(column);
    ImageZoomView->setObjectName(QStringLiteral("ImageZoomView"));
    ImageZoomView->setAccessibleName(QStringLiteral("Magnified preview"));
    ImageZoomView->setFixedSize(ViewWidth, ViewHeight);

    ZoomInButton = new QToolButton(column);
    ZoomInButton->setObjectName(QStringLiteral("ZoomInButton"));
    ZoomInButton->setText(QStringLiteral("+"));
    ZoomInButton->setToolTip(QStringLiteral("Zoom In"));
    ZoomInButton->setAccessibleName(QStringLiteral("Zoom In"));
    ZoomOutButton = new QToolButton(column);
    ZoomOutButton->setObjectName(QStringLiteral("ZoomOutButton"));
    ZoomOutButton->setText(QStringLiteral("-"));
    ZoomOutButton->setToolTip(QStringLiteral("Zoom Out"));
    ZoomOutButton->setAccessibleName(QStringLiteral("Zoom Out"));
    ZoomPercent = new QComboBox(column);
    ZoomPercent->setObjectName(QStringLiteral("ZoomPercent"));
    ZoomPercent->setAccessibleName(QStringLiteral("Preview zoom"));
    // Editable but read-only, so it can show the scale in its own words
    // ("1600 %"), also for the button's 6400 %.
    ZoomPercent->setEditable(true);
    ZoomPercent->lineEdit()->setReadOnly(true);
    ZoomPercent->setInsertPolicy(QComboBox::NoInsert);
    ZoomPercent->addItems({QStringLiteral("100%"), QStringLiteral("200%"), QStringLiteral("400%"),
                           QStringLiteral("800%"), QStringLiteral("1600%"), QStringLiteral("3200%")});

    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(ZoomInButton);
    zoomRow->addWidget(ZoomOutButton);
    zoomRow->addWidget(ZoomPercent);
    zoomRow->addStretch();
    zoomRow->addWidget(BitBtnOK);
    zoomRow->addWidget(BitBtn1);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ImageZoomView);
    layout->addLayout(zoomRow);
    layout->addStretch();
    return column;
}

void TAdjustParamForm::LoadValues()
{
    m_loading = true;
    const tracking::SearchParameters& p = m_point.Params;
    ForceSquareCheck->setChecked(m_point.ForceSquare);
    PointNameEdit->setText(m_point.Name);
    TemplateSpinX->setValue(p.TemplateWidth);
    TemplateSpinY->setValue(p.TemplateHeight);
    // Out-of-range values come in clamped (an UpdateEvery of 0 shows 1).
    UpdateFrequencySpin->setValue(m_point.UpdateEvery);
    SearchAreaSizeSpin->setValue(p.SearchPercent);
    PredSearchCheck->setChecked(m_point.PredictiveSearch);
    DynamicCheck->setChecked(m_point.DynamicSearch);
    ThreshholdSpin->setValue(int(Round(p.Threshold * 100.0)));
    m_scale = paramview::PreviewScaleFor(ImageZoomView->width(), p.SearchWidth);
    ShowZoomText();
    (m_point.UpdateTemplate == 1 ? ManualUpdateRadio : NoneUpdateRadio)->setChecked(true);
    MethodPanel->LoadValues(p);
    m_loading = false;
}

tracking::SearchParameters TAdjustParamForm::EditedParameters() const
{
    tracking::SearchParameters p = m_point.Params;
    p.setSize(TemplateSpinX->value(), TemplateSpinY->value(), SearchAreaSizeSpin->value());
    p.Threshold = ThreshholdSpin->value() / 100.0;
    MethodPanel->StoreValues(p);
    return p;
}

void TAdjustParamForm::StoreValues()
{
    // A number still being typed counts as entered.
    for (QAbstractSpinBox* spin : findChildren<QAbstractSpinBox*>())
        spin->interpretText();
    m_point.Params = EditedParameters();
    m_point.UpdateEvery = UpdateFrequencySpin->value();
    m_point.ForceSquare = ForceSquareCheck->isChecked();
    m_point.PredictiveSearch = PredSearchCheck->isChecked();
    m_point.DynamicSearch = DynamicCheck->isChecked();
    m_point.UpdateTemplate = NoneUpdateRadio->isChecked() ? 0 : 1;
}

void TAdjustParamForm::CentreView()
{
    if (m_scale <= 0)
        m_scale = 1;
    ImageZoomView->setScale(m_scale);
    ImageZoomView->setOrigin(paramview::CentredOrigin(m_point.PosX, m_point.PosY, ImageZoomView->width(),
                                                      ImageZoomView->height(), m_scale));
    Repaint();
}

void TAdjustParamForm::Rerender()
{
    const tracking::SearchParameters p = EditedParameters();
    const tracking::PixelRect r =
        paramview::PreviewTemplateRect(m_point.PosX, m_point.PosY, p.TemplateWidth, p.TemplateHeight);
    m_preview = m_source;
    if (IsSpotMethod(p.Method)) {
        const tracking::IntensityRange range = tracking::SpotRange(m_source, p, r);
        m_low = range.low;
        m_high = range.high;
        paramview::PaintRangeRed(m_preview, r, m_low, m_high);
    }
    ImageZoomView->setImage(m_preview.wrapAsImage());
    Repaint();
}

void TAdjustParamForm::Repaint()
{
    const tracking::SearchParameters p = EditedParameters();
    paramview::MarksInput in;
    in.x = m_point.PosX;
    in.y = m_point.PosY;
    in.templateWidth = p.TemplateWidth;
    in.templateHeight = p.TemplateHeight;
    in.searchPercent = p.SearchPercent;
    in.origin = ImageZoomView->origin();
    in.scale = m_scale;
    if (p.Method == tracking::MethodQuadrant) {
        in.circle = true;
        in.circlePercent = p.CentreDiameter;
    } else if (IsSpotMethod(p.Method)) {
        // The centre the run's centring step finds with the settings shown.
        const tracking::CentreResult c = tracking::SpotCentre(m_source, p, m_point.PosX, m_point.PosY, false);
        in.spotFound = c.found;
        in.spotX = c.x;
        in.spotY = c.y;
    }
    ImageZoomView->setMarks(paramview::MarksFor(in));
}

void TAdjustParamForm::TemplateSpinChanged(QSpinBox* changed, QSpinBox* other)
{
    if (m_loading)
        return;
    if (ForceSquareCheck->isChecked() && other->value() != changed->value()) {
        // The other spin's own change runs the preview.
        other->setValue(changed->value());
        return;
    }
    Rerender();
}

void TAdjustParamForm::ZoomBy(bool in)
{
    m_zoomBusy = true;
    if (in && m_scale < paramview::MaxButtonScale)
        m_scale *= 2;
    else if (!in && m_scale > 1)
        m_scale /= 2;
    ShowZoomText();
    CentreView();
    m_zoomBusy = false;
}

void TAdjustParamForm::ZoomItemChosen(int index)
{
    if (m_zoomBusy || index < 0 || index >= ZoomPercent->count())
        return;
    m_scale = 1 << index;
    ShowZoomText();
    // The point stays in the middle at the new scale.
    CentreView();
}

void TAdjustParamForm::ShowZoomText()
{
    ZoomPercent->setEditText(paramview::ZoomText(m_scale));
}

void TAdjustParamForm::accept()
{
    StoreValues();
    m_point.CaptureTemplate(m_source);
    QDialog::accept();
}

void TAdjustParamForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    CentreView();
}

void TAdjustParamForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - rect().center());
    }
    Repaint();
}

bool EditPointParameters(TTrackingPoint* point, const Frame& working, QWidget* parent)
{
    if (!point) {
        ShowErrorBox(parent, QStringLiteral("No Point Defined"));
        return false;
    }
    TAdjustParamForm form(*point, working, parent);
    return form.exec() == QDialog::Accepted;
}
