#include "adjust/ui/FrameBriCon.h"
#include "adjust/ui/FrameContrast.h"
#include "adjust/ui/FrameGamma.h"
#include "adjust/ui/FrameHueSat.h"
#include "adjust/ui/FrameRGB.h"
#include "adjust/ui/FrameRotate.h"
#include "adjust/ui/HistogramGraph.h"

#include "adjust/FilterLibrary.h"
#include "adjust/PixelOps.h"
#include "FakeSource.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.AttachSource(MakeStillSource(), QStringLiteral("still.bvf"));
        source = doc.FrameBitmap;
    }
    VideoDocument doc;
    Frame source;
};

} // namespace

TEST_F(FrameTest, BrightnessSliderEditsTheEntryAndTheRenderedFrame)
{
    TBFFrame frame;
    EXPECT_FALSE(frame.isEnabled());
    EXPECT_EQ(frame.Caption(), QStringLiteral("BRIGHTNESS"));
    frame.LoadFromVideo(&doc);
    EXPECT_TRUE(frame.isEnabled());
    ASSERT_EQ(doc.Adjustments.size(), 1u);
    const BrightnessEntry* entry = doc.Adjustments[0]->As<BrightnessEntry>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(doc.Adjustments[0]->Kind(), KindBrightness);
    EXPECT_EQ(entry->Offset, 0);
    EXPECT_EQ(doc.DisplayBitmap, source);

    frame.JvxSlider1.slider->setValue(-60);
    EXPECT_EQ(entry->Offset, -60);
    EXPECT_EQ(frame.JvxSlider1.edit->text(), QStringLiteral("-60"));
    Frame expected = source;
    AdjustBrightness(expected, -60);
    EXPECT_EQ(doc.DisplayBitmap, expected);

    // Typing in the edit moves the slider.
    frame.JvxSlider1.edit->setText(QStringLiteral("25"));
    emit frame.JvxSlider1.edit->editingFinished();
    EXPECT_EQ(entry->Offset, 25);

    // Docking again (a new frame on the same document) reuses the entry.
    TBFFrame again;
    again.LoadFromVideo(&doc);
    EXPECT_EQ(doc.Adjustments.size(), 1u);
    EXPECT_EQ(again.JvxSlider1.slider->value(), 25);
    EXPECT_EQ(again.JvxSlider1.edit->text(), QStringLiteral("25"));

    again.JvxSlider1.reset->click();
    EXPECT_EQ(entry->Offset, 0);
    EXPECT_EQ(doc.DisplayBitmap, source);

    again.LoadFromVideo(nullptr);
    EXPECT_FALSE(again.isEnabled());
    EXPECT_EQ(again.Entry(), nullptr);
}

TEST_F(FrameTest, EntriesAreAppendedSoContrastActsBeforeBrightness)
{
    TConFrame contrast;
    contrast.LoadFromVideo(&doc);
    TBFFrame brightness;
    brightness.LoadFromVideo(&doc);
    ASSERT_EQ(doc.Adjustments.size(), 2u);
    EXPECT_EQ(doc.Adjustments[0]->Kind(), KindContrast);
    EXPECT_EQ(doc.Adjustments[1]->Kind(), KindBrightness);

    brightness.JvxSlider1.slider->setValue(70);
    contrast.JvxSlider1.slider->setValue(80); // moved last, still applied first
    Frame expected = source;
    NVIM_Contrast(expected, 80);
    AdjustBrightness(expected, 70);
    EXPECT_EQ(doc.DisplayBitmap, expected);
}

TEST_F(FrameTest, GammaSliderSetsTheExponent)
{
    TGammaFrame frame;
    frame.LoadFromVideo(&doc);
    ASSERT_NE(frame.Entry(), nullptr);
    const GammaEntry* entry = frame.Entry()->As<GammaEntry>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Slider, 10);
    EXPECT_FLOAT_EQ(entry->Exponent, 1.0f);
    EXPECT_EQ(frame.JvxSlider1.edit->text(), QStringLiteral("0"));

    frame.JvxSlider1.slider->setValue(19);
    EXPECT_FLOAT_EQ(entry->Exponent, 0.1f);
    EXPECT_EQ(frame.JvxSlider1.edit->text(), QStringLiteral("9"));
    Frame expected = source;
    ApplyGamma(expected, 0.1f);
    EXPECT_EQ(doc.DisplayBitmap, expected);

    frame.JvxSlider1.reset->click();
    EXPECT_EQ(entry->Slider, 10);
    EXPECT_FLOAT_EQ(entry->Exponent, 1.0f);
    EXPECT_EQ(doc.DisplayBitmap, source);
}

TEST_F(FrameTest, RgbAndHueSaturationWriteTheirFields)
{
    TRGBFrame rgb;
    rgb.LoadFromVideo(&doc);
    rgb.JvxSlider1.slider->setValue(10);
    rgb.JvxSlider2.slider->setValue(-20);
    rgb.JvxSlider3.slider->setValue(30);
    ASSERT_NE(rgb.Entry(), nullptr);
    EXPECT_TRUE(rgb.Entry()->Params() == AdjustmentEntry::Parameters(RgbEntry{.Red = 10, .Green = -20, .Blue = 30}));

    THueSatFrame hueSat;
    hueSat.HueSlider.slider->setValue(45); // before docking: no document yet
    hueSat.LoadFromVideo(&doc);
    ASSERT_NE(hueSat.Entry(), nullptr);
    const HueSatEntry* hs = hueSat.Entry()->As<HueSatEntry>();
    ASSERT_NE(hs, nullptr);
    // A new entry starts neutral, and the sliders show it.
    EXPECT_EQ(std::tuple(hs->Hue, hs->Saturation, hs->Value), std::tuple(0, 0, 0));
    EXPECT_EQ(hueSat.HueSlider.slider->value(), 0);
    hueSat.SatSlider.slider->setValue(-100);
    EXPECT_EQ(hs->Saturation, -100);
    EXPECT_EQ(hs->Value, 0);
    const uint8_t* p = doc.DisplayBitmap.pixel(5, 5);
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]); // no saturation left: grey
}

TEST_F(FrameTest, HueAndSaturationNeverLeakIntoAnotherDocument)
{
    VideoDocument other;
    other.AttachSource(MakeStillSource(), QStringLiteral("other.bvf"));
    const Frame otherSource = other.FrameBitmap;

    // Each row: the document the frame is loaded from, the sliders it must
    // show then, and the values the user sets there.
    struct Step {
        VideoDocument* doc;
        int shownHue, shownSat;
        int hue, sat;
    };
    const Step steps[] = {
        {&doc, 0, 0, 30, -40},
        {&other, 0, 0, 0, 0},     // a new entry: neutral, not 30 / −40
        {&doc, 30, -40, 30, -40}, // back: its own values
        {&other, 0, 0, -90, 20},
        {&doc, 30, -40, 30, -40},
        {&other, -90, 20, -90, 20},
    };
    THueSatFrame frame;
    for (const Step& step : steps) {
        frame.LoadFromVideo(step.doc);
        EXPECT_EQ(frame.HueSlider.slider->value(), step.shownHue);
        EXPECT_EQ(frame.SatSlider.slider->value(), step.shownSat);
        EXPECT_EQ(frame.HueSlider.edit->text(), QString::number(step.shownHue));
        frame.HueSlider.slider->setValue(step.hue);
        frame.SatSlider.slider->setValue(step.sat);
    }
    ASSERT_EQ(doc.Adjustments.size(), 1u);
    ASSERT_EQ(other.Adjustments.size(), 1u);
    EXPECT_TRUE(doc.Adjustments[0]->Params() ==
                AdjustmentEntry::Parameters(HueSatEntry{.Hue = 30, .Saturation = -40, .Value = 0}));
    EXPECT_TRUE(other.Adjustments[0]->Params() ==
                AdjustmentEntry::Parameters(HueSatEntry{.Hue = -90, .Saturation = 20, .Value = 0}));

    // Each picture shows its own document's values.
    Frame expected = source;
    NVIM_RGBBitmapToHSV(expected, 30, -40, 0);
    EXPECT_EQ(doc.DisplayBitmap, expected);
    Frame otherExpected = otherSource;
    NVIM_RGBBitmapToHSV(otherExpected, -90, 20, 0);
    EXPECT_EQ(other.DisplayBitmap, otherExpected);
}

namespace {

// Three different frames, so a render of the wrong frame shows.
std::unique_ptr<FakeSource> ThreeFrames()
{
    auto source = std::make_unique<FakeSource>(0, 2, 64, 48, 25);
    source->painter = [](int n, Frame& frame) { frame = RandomFrame(64, 48, 100 + unsigned(n)); };
    return source;
}

} // namespace

TEST(FrameRender, SliderChangesRenderTheCommonTimeNotAStaleFrame)
{
    VideoDocument video;
    video.AttachSource(ThreeFrames(), QStringLiteral("three.bvf"));
    // The common time is at frame 1; something (an export) left the
    // document on frame 2.
    const Rational commonTime = video.TimeOfFrame(1);
    QObject::connect(&video, &VideoDocument::renderRequested, &video,
                     [&video, commonTime] { video.GotoTime(commonTime); });
    video.LoadFrame(2);

    TBFFrame frame;
    frame.LoadFromVideo(&video);
    frame.JvxSlider1.slider->setValue(40);
    EXPECT_EQ(video.Info.CurrentFrame, 1);
    Frame expected = RandomFrame(64, 48, 101);
    AdjustBrightness(expected, 40);
    EXPECT_EQ(video.DisplayBitmap, expected);
}

TEST_F(FrameTest, RotateButtonsGiveTheCodes)
{
    TRotateFrame frame;
    frame.LoadFromVideo(&doc);
    ASSERT_NE(frame.Entry(), nullptr);
    const RotateEntry* entry = frame.Entry()->As<RotateEntry>();
    ASSERT_NE(entry, nullptr);
    frame.FlipVSpeed->click();
    frame.FlipHSpeed->click();
    EXPECT_EQ(entry->Mirror, 3);
    frame.FlipVSpeed->click();
    EXPECT_EQ(entry->Mirror, 2);
    frame.R90Speed->click();
    EXPECT_EQ(entry->Turn, 1);
    EXPECT_EQ(doc.DisplayBitmap.width(), 48);
    frame.R270Speed->click();
    EXPECT_EQ(entry->Turn, 2);
    frame.R180Speed->click();
    EXPECT_EQ(entry->Turn, 3);
    EXPECT_EQ(doc.DisplayBitmap.width(), 64);

    // Another frame on the same document shows the entry.
    TRotateFrame again;
    again.LoadFromVideo(&doc);
    EXPECT_TRUE(again.R180Speed->isChecked());
    EXPECT_TRUE(again.FlipHSpeed->isChecked());
    EXPECT_FALSE(again.FlipVSpeed->isChecked());
}

TEST_F(FrameTest, HistogramsFollowTheDocumentWhenShown)
{
    TBFFrame brightness;
    brightness.LoadFromVideo(&doc);
    brightness.show();
    auto* graph = brightness.findChild<HistogramGraph*>(QStringLiteral("PEGraph1"));
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->graphCount(), 1); // mode 0: luma
    EXPECT_EQ(graph->graph(0)->data()->size(), 255);
    brightness.JvxSlider1.slider->setValue(254); // nearly everything white (bin 255, not shown)
    double total = 0;
    for (auto it = graph->graph(0)->data()->constBegin(); it != graph->graph(0)->data()->constEnd(); ++it)
        total += it->value;
    EXPECT_LT(total, 64 * 48 / 10);

    TRGBFrame rgb;
    rgb.LoadFromVideo(&doc);
    rgb.show();
    auto* rgbGraph = rgb.findChild<HistogramGraph*>(QStringLiteral("PEGraph1"));
    ASSERT_NE(rgbGraph, nullptr);
    EXPECT_EQ(rgbGraph->graphCount(), 3); // mode 4: red, green, blue
}
