// The tracking parameter dialog, driven offscreen: what it loads from a
// point, what OK stores back, its preview and its zoom.

#include "common/Frame.h"
#include "document/window/ErrorBox.h"
#include "tracking/engine/TrackingPoint.h"
#include "tracking/ui/AdjustParamForm.h"
#include "tracking/ui/FrameCorrelation.h"
#include "tracking/ui/FrameQuad.h"
#include "tracking/ui/FrameSpot.h"
#include "tracking/ui/ZoomPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

constexpr int SpotX = 60;
constexpr int SpotY = 40;

// A grey frame (luminance 40) with a bright square spot (luminance 200)
// of 5 x 5 pixels centred on pixel (SpotX, SpotY).
Frame SpotFrame()
{
    Frame frame(160, 120);
    frame.fill(40, 40, 40);
    for (int y = SpotY - 2; y <= SpotY + 2; ++y)
        for (int x = SpotX - 2; x <= SpotX + 2; ++x) {
            uint8_t* p = frame.pixel(x, y);
            p[0] = p[1] = p[2] = 200;
        }
    return frame;
}

TTrackingPoint PointAt(double x, double y, uint8_t method)
{
    TTrackingPoint point;
    point.Params.Method = method;
    point.SetDefaults();
    point.Name = QStringLiteral("Point 3");
    point.PosX = point.DisplayX = x;
    point.PosY = point.DisplayY = y;
    return point;
}

bool IsRed(const Frame& frame, int x, int y)
{
    const uint8_t* p = frame.pixel(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 255;
}

} // namespace

TEST(AdjustParamForm, LoadsThePointsValues)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(SpotX + 0.5, SpotY + 0.5, tracking::MethodQuadrant);
    point.UpdateTemplate = 0;
    point.PredictiveSearch = true;
    point.Params.Threshold = 0.8;
    point.Params.CentreDiameter = 65;
    point.Params.MaxCentreMove = 12;
    TAdjustParamForm form(point, frame);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Adjust Parameter"));
    EXPECT_EQ(form.PointNameEdit->text(), QStringLiteral("Point 3"));
    EXPECT_FALSE(form.PointNameEdit->isEnabled());
    EXPECT_TRUE(form.ForceSquareCheck->isChecked());
    EXPECT_EQ(form.TemplateSpinX->value(), 9);
    EXPECT_EQ(form.TemplateSpinY->value(), 9);
    EXPECT_EQ(form.SearchAreaSizeSpin->value(), 180);
    EXPECT_EQ(form.ThreshholdSpin->value(), 80);
    EXPECT_TRUE(form.PredSearchCheck->isChecked());
    EXPECT_FALSE(form.DynamicCheck->isChecked());
    EXPECT_TRUE(form.NoneUpdateRadio->isChecked());
    // A search width of 16 in a 512-pixel view: 512 / 32 = 16.
    EXPECT_EQ(form.PreviewScale(), 16);
    EXPECT_EQ(form.ZoomPercent->currentText(), QStringLiteral("1600 %"));
    auto* quad = qobject_cast<TQuadFrame*>(form.MethodPanel);
    ASSERT_NE(quad, nullptr);
    EXPECT_EQ(quad->QcentreSpin->value(), 65);
    EXPECT_EQ(quad->CentreMoveSpin->value(), 12);
}

TEST(AdjustParamForm, MethodPicksThePanel)
{
    const Frame frame = SpotFrame();
    for (uint8_t method : {0, 1, 2, 3}) {
        TTrackingPoint point = PointAt(SpotX, SpotY, method);
        TAdjustParamForm form(point, frame);
        EXPECT_EQ(qobject_cast<TQuadFrame*>(form.MethodPanel) != nullptr, method == 0);
        EXPECT_EQ(qobject_cast<TSpotFrame*>(form.MethodPanel) != nullptr, method == 1 || method == 2);
        EXPECT_EQ(qobject_cast<TCorrelationFrame*>(form.MethodPanel) != nullptr, method == 3);
        EXPECT_EQ(form.MethodPanel->parentWidget()->objectName(), QStringLiteral("PanelRightBottom"));
    }
}

// What the controls store on OK.
TEST(AdjustParamForm, OkStoresTheControls)
{
    const Frame frame = SpotFrame();
    struct Case {
        const char* what;
        bool forceSquare;
        int width, height, percent, updateEvery, threshold;
        bool useFirst;
        // expected
        int storedWidth, storedHeight, searchWidth, searchHeight, marginX, marginY, storedUpdateEvery;
        double storedThreshold;
    };
    const Case cases[] = {
        {"11 x 11 at 180 %: Round(19.8)", true, 11, 11, 180, 5, 80, false, 11, 11, 20, 20, 9, 9, 5, 0.8},
        {"UpdateEvery 0 shows 1 and stores 1", true, 9, 9, 180, 0, 80, false, 9, 9, 16, 16, 7, 7, 1, 0.8},
        {"threshold 90 % stores 0.9", true, 9, 9, 180, 1, 90, true, 9, 9, 16, 16, 7, 7, 1, 0.9},
        {"not square: the sizes differ", false, 11, 15, 200, 3, 1, true, 11, 15, 22, 30, 11, 15, 3, 0.01},
        {"search area 100 %: no margin", true, 21, 21, 100, 1000, 100, false, 21, 21, 21, 21, 0, 0, 1000, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTrackingPoint point = PointAt(SpotX, SpotY, tracking::MethodCorrelation);
        point.UpdateEvery = c.updateEvery;
        TAdjustParamForm form(point, frame);
        EXPECT_EQ(form.UpdateFrequencySpin->value(), std::max(1, c.updateEvery));
        form.ForceSquareCheck->setChecked(c.forceSquare);
        form.TemplateSpinX->setValue(c.width);
        form.TemplateSpinY->setValue(c.height);
        form.SearchAreaSizeSpin->setValue(c.percent);
        form.ThreshholdSpin->setValue(c.threshold);
        (c.useFirst ? form.NoneUpdateRadio : form.ManualUpdateRadio)->setChecked(true);
        form.BitBtnOK->click();

        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(point.Params.TemplateWidth, c.storedWidth);
        EXPECT_EQ(point.Params.TemplateHeight, c.storedHeight);
        EXPECT_EQ(point.Params.SearchPercent, c.percent);
        EXPECT_EQ(point.Params.SearchWidth, c.searchWidth);
        EXPECT_EQ(point.Params.SearchHeight, c.searchHeight);
        EXPECT_EQ(point.Params.MarginX, c.marginX);
        EXPECT_EQ(point.Params.MarginY, c.marginY);
        EXPECT_EQ(point.UpdateEvery, c.storedUpdateEvery);
        EXPECT_DOUBLE_EQ(point.Params.Threshold, c.storedThreshold);
        EXPECT_EQ(point.ForceSquare, c.forceSquare);
        EXPECT_EQ(point.UpdateTemplate, c.useFirst ? 0 : 1);
        EXPECT_EQ(point.Params.Method, tracking::MethodCorrelation);
        // The template is captured again at the new size.
        EXPECT_EQ(point.Template.width, c.storedWidth);
        EXPECT_EQ(point.Template.height, c.storedHeight);
    }
}

TEST(AdjustParamForm, ForceSquareCopiesEitherSpinIntoTheOther)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(SpotX, SpotY, tracking::MethodQuadrant);
    TAdjustParamForm form(point, frame);
    form.TemplateSpinX->setValue(15);
    EXPECT_EQ(form.TemplateSpinY->value(), 15);
    form.TemplateSpinY->setValue(7);
    EXPECT_EQ(form.TemplateSpinX->value(), 7);
    form.ForceSquareCheck->setChecked(false);
    form.TemplateSpinX->setValue(13);
    EXPECT_EQ(form.TemplateSpinY->value(), 7);
}

TEST(AdjustParamForm, MethodPanelsStoreTheirFields)
{
    const Frame frame = SpotFrame();
    {
        TTrackingPoint point = PointAt(SpotX, SpotY, tracking::MethodQuadrant);
        TAdjustParamForm form(point, frame);
        auto* quad = qobject_cast<TQuadFrame*>(form.MethodPanel);
        quad->QcentreSpin->setValue(55);
        quad->CentreMoveSpin->setValue(35);
        form.BitBtnOK->click();
        EXPECT_EQ(point.Params.CentreDiameter, 55);
        EXPECT_EQ(point.Params.MaxCentreMove, 35);
    }
    {
        TTrackingPoint point = PointAt(SpotX, SpotY, tracking::MethodDarkSpot);
        TAdjustParamForm form(point, frame);
        auto* spot = qobject_cast<TSpotFrame*>(form.MethodPanel);
        spot->ThrStaticRadio->setChecked(true);
        spot->ThrMinSpin->setValue(15);
        spot->ThrMaxSpin->setValue(120);
        spot->ThrPercentSpin->setValue(44);
        spot->COGNormalRadio->setChecked(true);
        form.BitBtnOK->click();
        EXPECT_EQ(point.Params.FixedRange, 1);
        EXPECT_EQ(point.Params.RangeMin, 15);
        EXPECT_EQ(point.Params.RangeMax, 120);
        EXPECT_EQ(point.Params.ThresholdPercent, 44);
        EXPECT_EQ(point.Params.WeightedCog, 0);
    }
}

TEST(AdjustParamForm, CancelLeavesThePointAsItWas)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(SpotX, SpotY, tracking::MethodLightSpot);
    point.CaptureTemplate(frame);
    const tracking::SearchParameters before = point.Params;
    const std::vector<double> templateBefore = point.Template.values;
    TAdjustParamForm form(point, frame);
    form.TemplateSpinX->setValue(21);
    form.ThreshholdSpin->setValue(30);
    qobject_cast<TSpotFrame*>(form.MethodPanel)->ThrStaticRadio->setChecked(true);
    form.BitBtn1->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(point.Params.TemplateWidth, before.TemplateWidth);
    EXPECT_EQ(point.Params.SearchWidth, before.SearchWidth);
    EXPECT_DOUBLE_EQ(point.Params.Threshold, before.Threshold);
    EXPECT_EQ(point.Params.FixedRange, before.FixedRange);
    EXPECT_EQ(point.Template.values, templateBefore);
}

TEST(AdjustParamForm, SpotPreviewPaintsTheRangeRedAndFindsTheCentre)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(SpotX + 0.5, SpotY + 0.5, tracking::MethodLightSpot);
    point.Params.FixedRange = 0;
    point.Params.ThresholdPercent = 50;   // low = Round(200 * 0.5) = 100
    TAdjustParamForm form(point, frame);
    EXPECT_EQ(form.PreviewLow(), 100);
    EXPECT_EQ(form.PreviewHigh(), 255);
    EXPECT_TRUE(IsRed(form.PreviewBitmap(), SpotX, SpotY));
    EXPECT_TRUE(IsRed(form.PreviewBitmap(), SpotX + 2, SpotY - 2));
    EXPECT_FALSE(IsRed(form.PreviewBitmap(), SpotX + 3, SpotY));
    EXPECT_FALSE(IsRed(frame, SpotX, SpotY));   // the working bitmap stays as it is
    const paramview::PreviewMarks& marks = form.ImageZoomView->marks();
    ASSERT_TRUE(marks.hasSpotCentre);
    EXPECT_FALSE(marks.hasCircle);
    EXPECT_NEAR(marks.spotCentre.x(), marks.centre.x(), 1);
    EXPECT_NEAR(marks.spotCentre.y(), marks.centre.y(), 1);

    // A fixed range that the spot lies outside paints nothing and finds nothing.
    auto* spot = qobject_cast<TSpotFrame*>(form.MethodPanel);
    spot->ThrMinSpin->setValue(0);
    spot->ThrMaxSpin->setValue(30);
    spot->ThrStaticRadio->setChecked(true);
    EXPECT_EQ(form.PreviewLow(), 0);
    EXPECT_EQ(form.PreviewHigh(), 30);
    EXPECT_FALSE(IsRed(form.PreviewBitmap(), SpotX, SpotY));
    EXPECT_FALSE(form.ImageZoomView->marks().hasSpotCentre);
}

TEST(AdjustParamForm, DarkSpotRangeFollowsThePercent)
{
    Frame frame(80, 60);
    frame.fill(200, 200, 200);
    frame.pixel(30, 20)[0] = frame.pixel(30, 20)[1] = frame.pixel(30, 20)[2] = 55;
    TTrackingPoint point = PointAt(30.5, 20.5, tracking::MethodDarkSpot);
    point.Params.FixedRange = 0;
    TAdjustParamForm form(point, frame);
    qobject_cast<TSpotFrame*>(form.MethodPanel)->ThrPercentSpin->setValue(40);
    EXPECT_EQ(form.PreviewLow(), 0);
    EXPECT_EQ(form.PreviewHigh(), 175);   // Round(255 - 200 * 0.4)
    EXPECT_TRUE(IsRed(form.PreviewBitmap(), 30, 20));
    EXPECT_FALSE(IsRed(form.PreviewBitmap(), 31, 20));
}

TEST(AdjustParamForm, PointNearTheTopLeftCornerKeepsTheViewInsideTheImage)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(1.5, 2.5, tracking::MethodLightSpot);
    point.Params.FixedRange = 1;
    point.Params.RangeMin = 0;
    point.Params.RangeMax = 255;            // every pixel in range
    TAdjustParamForm form(point, frame);
    EXPECT_EQ(form.ImageZoomView->origin(), QPoint(0, 0));
    form.TemplateSpinX->setValue(21);       // the rectangle would start at -9
    // The template rectangle is moved to start at 0: pixels 0 ... 20 are red.
    EXPECT_TRUE(IsRed(form.PreviewBitmap(), 0, 0));
    EXPECT_TRUE(IsRed(form.PreviewBitmap(), 20, 20));
    EXPECT_FALSE(IsRed(form.PreviewBitmap(), 21, 0));
    form.ZoomOutButton->click();
    EXPECT_EQ(form.ImageZoomView->origin(), QPoint(0, 0));
    EXPECT_FALSE(form.ImageZoomView->grab().isNull());
}

TEST(AdjustParamForm, ZoomButtonsAndTheZoomBox)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(80.0, 60.0, tracking::MethodQuadrant);
    TAdjustParamForm form(point, frame);
    ASSERT_EQ(form.PreviewScale(), 16);
    form.ZoomInButton->click();
    form.ZoomInButton->click();
    form.ZoomInButton->click();
    EXPECT_EQ(form.PreviewScale(), 64);
    EXPECT_EQ(form.ZoomPercent->currentText(), QStringLiteral("6400 %"));
    EXPECT_EQ(form.ImageZoomView->origin(), QPoint(76, 56));   // 80 - 256 / 64, 60 - 288 / 64 (Round 55.5 = 56)
    for (int i = 0; i < 8; ++i)
        form.ZoomOutButton->click();
    EXPECT_EQ(form.PreviewScale(), 1);
    EXPECT_EQ(form.ZoomPercent->currentText(), QStringLiteral("100 %"));

    form.ZoomPercent->setCurrentIndex(2);
    emit form.ZoomPercent->activated(2);    // "400%"
    EXPECT_EQ(form.PreviewScale(), 4);
    EXPECT_EQ(form.ImageZoomView->scale(), 4);
    EXPECT_EQ(form.ImageZoomView->origin(), QPoint(16, 0));    // 80 - 64, 60 - 72 limited to 0
    // The centring circle: 80 % of 9 / 2 at scale 4.
    EXPECT_DOUBLE_EQ(form.ImageZoomView->marks().circleRadius, 0.8 * 4.5 * 4);
}

TEST(AdjustParamForm, NoPointMeansAMessageAndNoDialog)
{
    QStringList messages;
    SetErrorBoxSink([&](const QString& m) { messages << m; });
    const Frame frame = SpotFrame();
    EXPECT_FALSE(EditPointParameters(nullptr, frame, nullptr));
    SetErrorBoxSink({});
    EXPECT_EQ(messages, QStringList{QStringLiteral("No Point Defined")});
}

TEST(AdjustParamForm, EveryControlHasAnAccessibleName)
{
    const Frame frame = SpotFrame();
    for (uint8_t method : {0, 1}) {
        TTrackingPoint point = PointAt(SpotX, SpotY, method);
        TAdjustParamForm form(point, frame);
        for (QWidget* w : form.findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w)
                || qobject_cast<QComboBox*>(w) || w == form.ImageZoomView)
                EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
}

TEST(AdjustParamForm, WorksWithoutAFrameOrAPosition)
{
    const Frame empty;
    for (uint8_t method : {0, 1, 2, 3}) {
        TTrackingPoint point = PointAt(-1.0, -1.0, method);
        TAdjustParamForm form(point, empty);
        EXPECT_EQ(form.ImageZoomView->origin(), QPoint(0, 0));
        EXPECT_FALSE(form.ImageZoomView->grab().isNull());
        form.TemplateSpinX->setValue(15);
        form.BitBtnOK->click();
        EXPECT_EQ(point.Params.TemplateWidth, 15);
        EXPECT_TRUE(point.Template.isEmpty());   // nothing to capture without a position
    }
}

TEST(AdjustParamForm, ANumberStillBeingTypedCountsOnOk)
{
    const Frame frame = SpotFrame();
    TTrackingPoint point = PointAt(SpotX, SpotY, tracking::MethodQuadrant);
    TAdjustParamForm form(point, frame);
    form.SearchAreaSizeSpin->findChild<QLineEdit*>()->setText(QStringLiteral("250"));
    auto* quad = qobject_cast<TQuadFrame*>(form.MethodPanel);
    quad->CentreMoveSpin->findChild<QLineEdit*>()->setText(QStringLiteral("45"));
    form.BitBtnOK->click();
    EXPECT_EQ(point.Params.SearchPercent, 250);
    EXPECT_EQ(point.Params.SearchWidth, 22);   // Round(22.5) = 22
    EXPECT_EQ(point.Params.MaxCentreMove, 45);
}
