// The Stravo settings frame drives the active document's converter.

#include "document/ui/ImageView.h"
#include "document/ui/ViewTool.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/svf/SvfSource.h"
#include "sources/svf/SvfWriter.h"
#include "sources/ui/SvfFrame.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct SvfFrameTest : ::testing::Test {
    void SetUp() override
    {
        SetSvfConversionPreference(TFxSvffFc::MethodB1);
        bvf::SampleOptions options;
        options.size = QSize(64, 48);
        options.frames = 4;
        options.colour = true;
        path = dir.filePath(QStringLiteral("c.svf"));
        QString error;
        ASSERT_TRUE(svf::WriteSampleRecording(path, options, &error)) << error.toStdString();
        ASSERT_EQ(video.OpenRecording(path, 0), 0);
        // The main window renders again at the common time; here: in place.
        QObject::connect(&video, &TQORVideo::redisplayRequested, &video, [this] {
            ++renders;
            video.Redisplay();
        });
        SetErrorBoxSink([this](const QString& m) { messages << m; });
        frame.LoadFromVideo(&video);
    }
    void TearDown() override
    {
        SetErrorBoxSink({});
        SetSvfConversionPreference(TFxSvffFc::MethodB1);
    }

    TFxSvffFc& converter() { return static_cast<SvfSource*>(video.document()->Source())->converter(); }
    const Frame& shown() { return video.document()->DisplayBitmap; }

    QTemporaryDir dir;
    QString path;
    TQORVideo video{nullptr};
    TSVFFrame frame;
    QStringList messages;
    int renders = 0;
};

} // namespace

TEST_F(SvfFrameTest, MethodWithoutHardwareEndsOnB1WithOneMessage)
{
    EXPECT_TRUE(frame.CMB1SpeedBut->isChecked());
    EXPECT_TRUE(frame.CMCSpeedBut->isHidden());
    frame.CMD1SpeedBut->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Hardware not found for this  method. Choosing Method B1"));
    EXPECT_TRUE(frame.CMB1SpeedBut->isChecked());
    EXPECT_FALSE(frame.CMD1SpeedBut->isChecked());
    EXPECT_EQ(frame.CAMethodtxt->text(), QStringLiteral("Method B1 : High Quality"));
    EXPECT_EQ(SvfConversionPreference(), TFxSvffFc::MethodB1);
    EXPECT_EQ(converter().ConversionMethod(), TFxSvffFc::MethodB1);
    EXPECT_EQ(video.document()->Info.SvfSettingsA[5], TFxSvffFc::MethodB1);
    EXPECT_TRUE(converter().IsOpen());
}

TEST_F(SvfFrameTest, MethodButtonsReopenWithTheMethodAndKeepTheSettings)
{
    converter().SetGain(6);
    const Frame before = shown();
    frame.CMASpeedBut->click();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(frame.CAMethodtxt->text(), QStringLiteral("Method A : simple"));
    EXPECT_EQ(SvfConversionPreference(), TFxSvffFc::MethodA);
    EXPECT_EQ(converter().ConversionMethod(), TFxSvffFc::MethodA);
    EXPECT_EQ(video.document()->Info.SvfSettingsA[5], TFxSvffFc::MethodA);
    EXPECT_EQ(converter().Gain(), 6);
    EXPECT_NE(shown(), before);
    frame.CMB3SpeedBut->click();
    EXPECT_EQ(frame.CAMethodtxt->text(), QStringLiteral("Method B3 : Best Quality"));
    EXPECT_EQ(converter().ConversionMethod(), TFxSvffFc::MethodB3);
}

TEST_F(SvfFrameTest, LoadFromComponentMapsValuesAndLeavesUnknownOnes)
{
    TFxSvffFc& c = converter();
    c.SetWhiteBalance(-1);
    c.SetGain(6);
    c.SetGamma(4);
    c.SetEnhance(6);
    c.SetSaturation(150);
    c.SetLuminanceLut(2);
    frame.LoadFromComponent(c);
    EXPECT_EQ(frame.WBRadio->item(frame.WBRadio->ItemIndex())->text(), QStringLiteral("NONE"));
    EXPECT_EQ(frame.GainRadio->item(frame.GainRadio->ItemIndex())->text(), QStringLiteral("NORMAL"));
    EXPECT_EQ(frame.GammaRadio->ItemIndex(), 2);
    EXPECT_EQ(frame.EnhanceRadio->ItemIndex(), 3);
    EXPECT_EQ(frame.colorSpin->value(), 150);
    EXPECT_EQ(frame.KneeRadio->ItemIndex(), 1); // the opener switched the knee on
    EXPECT_FALSE(frame.CustLutBut->isHidden());
    EXPECT_EQ(converter().Saturation(), 150); // loading sends nothing back

    c.SetWhiteBalance(5);
    c.SetGain(3);
    c.SetLuminanceLut(0);
    frame.LoadFromComponent(c);
    EXPECT_EQ(frame.WBRadio->item(frame.WBRadio->ItemIndex())->text(), QStringLiteral("AUTO"));
    EXPECT_EQ(frame.GainRadio->ItemIndex(), 1); // gain 3 dB is none of the items
    EXPECT_TRUE(frame.CustLutBut->isHidden());
    EXPECT_TRUE(frame.AutoWBBut->isEnabled());
    EXPECT_FALSE(frame.SetCustomWBBut->isEnabled());
}

TEST_F(SvfFrameTest, ControlsSendTheirValueAndTheDocumentRendersAgain)
{
    struct Control {
        const char* name;
        std::function<void()> use;
        std::function<bool()> sent;
    };
    const RecordingInfo& info = video.document()->Info;
    const Control controls[] = {
        {"gain", [&] { frame.GainRadio->item(2)->click(); }, [&] { return converter().Gain() == 12 && info.SvfSettingsA[0] == 12; }},
        {"gamma", [&] { frame.GammaRadio->item(1)->click(); }, [&] { return converter().Gamma() == 2 && info.SvfSettingsA[1] == 2; }},
        {"enhance", [&] { frame.EnhanceRadio->item(3)->click(); }, [&] { return converter().Enhance() == 6 && info.SvfSettingsA[2] == 6; }},
        {"saturation", [&] { frame.colorSpin->setValue(40); }, [&] { return converter().Saturation() == 40 && info.SvfSettingsA[4] == 40; }},
        {"hue", [&] { frame.SVFHueTrack->setValue(60); }, [&] { return converter().Hue() == 60 && info.SvfSettingsC[0] == 60 && frame.SVFHueST->text() == "60"; }},
        {"knee", [&] { frame.KneeRadio->item(0)->click(); }, [&] { return converter().Knee() == 0 && info.SvfSettingsA[6] == 0; }},
        {"low pass", [&] { frame.LowPAssRadio->item(1)->click(); }, [&] { return converter().LowPass() == 1 && info.SvfSettingsD[0] == 1; }},
        {"rgb", [&] { frame.RGBMCRadio->item(1)->click(); }, [&] { return converter().RgbCorrection() == 1 && info.SvfSettingsE == 1; }},
        {"lut", [&] { frame.LUTRadio->item(1)->click(); }, [&] { return converter().LuminanceLut() == 1; }},
        {"white balance", [&] { frame.WBRadio->item(2)->click(); }, [&] { return converter().WhiteBalance() == 1 && info.SvfSettingsA[3] == 1; }},
    };
    for (const Control& control : controls) {
        const Frame before = shown();
        const int rendered = renders;
        control.use();
        EXPECT_TRUE(control.sent()) << control.name;
        EXPECT_EQ(renders, rendered + 1) << control.name;
        EXPECT_NE(shown(), before) << control.name;
    }
}

TEST_F(SvfFrameTest, CustomWhitePointIsPickedInTheView)
{
    frame.WBRadio->item(1)->click(); // "CUSTOM"
    ASSERT_TRUE(frame.SetCustomWBBut->isEnabled());
    EXPECT_FALSE(frame.AutoWBBut->isEnabled());
    frame.SetCustomWBBut->click();
    EXPECT_EQ(video.view()->tool(), frame.whitePick());
    const Frame before = shown();
    // The sample's quadrant target: its white quarter lies right of the centre.
    emit frame.whitePick()->picked(QPointF(22.5, 20.5), Qt::NoModifier);
    const RecordingInfo& info = video.document()->Info;
    EXPECT_DOUBLE_EQ(info.SvfColour[0], converter().WhiteValue1());
    EXPECT_DOUBLE_EQ(info.SvfColour[2], converter().WhiteValue2());
    EXPECT_DOUBLE_EQ(info.SvfColour[1], 1.0);
    EXPECT_NE(shown(), before);

    frame.WBRadio->item(6)->click(); // "AUTO": the pick ends
    EXPECT_FALSE(frame.SetCustomWBBut->isChecked());
    EXPECT_NE(video.view()->tool(), frame.whitePick());
    frame.AutoWBBut->click();
    EXPECT_GE(info.SvfSettingsB[0], 0);
}

TEST_F(SvfFrameTest, CurveEditorRendersEveryTwoSecondsWhileOpen)
{
    frame.LUTRadio->item(2)->click();
    ASSERT_FALSE(frame.CustLutBut->isHidden());
    bool timerRan = false;
    converter().CustomLutEditor = [&](TFxSvffFc& c) {
        timerRan = frame.Timer1->isActive() && frame.Timer1->interval() == 2000;
        c.SetCustomLut({0, 10, 20, 30, 40});
        const int rendered = renders;
        const Frame before = shown();
        frame.Timer1Timer(); // what the timer does while the editor is open
        EXPECT_EQ(renders, rendered + 1);
        EXPECT_NE(shown(), before);
    };
    frame.CustLutBut->click();
    EXPECT_TRUE(timerRan);
    EXPECT_FALSE(frame.Timer1->isActive());
}
