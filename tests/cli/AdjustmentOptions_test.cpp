#include "cli/AdjustmentOptions.h"

#include "document/VideoDocument.h"

#include <gtest/gtest.h>

namespace {

QStringList Args(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

TEST(AdjustmentOptions, AppendsEntriesInCommandLineOrder)
{
    VideoDocument doc;
    QString error;
    QStringList args = Args("in.avi --contrast 40 --out x.png --brightness -12 --gamma-slider 15 "
                            "--rgb 1,-2,3 --hue-sat -90,50 --rotate 2,1");
    args << QStringLiteral("--text") << QStringLiteral("10,20,45,Run 3, camera A");
    ASSERT_TRUE(ParseAdjustmentOptions(args, doc, &error)) << error.toStdString();
    ASSERT_EQ(doc.Adjustments.size(), 7u);
    const auto& a = doc.Adjustments;
    using P = AdjustmentEntry::Parameters;
    EXPECT_TRUE(a[0]->Params() == P(ContrastEntry{.Amount = 40}));
    EXPECT_TRUE(a[1]->Params() == P(BrightnessEntry{.Offset = -12}));
    ASSERT_EQ(a[2]->Kind(), KindGamma);
    EXPECT_EQ(a[2]->As<GammaEntry>()->Slider, 15);
    EXPECT_FLOAT_EQ(a[2]->As<GammaEntry>()->Exponent, 0.5f);
    EXPECT_TRUE(a[3]->Params() == P(RgbEntry{.Red = 1, .Green = -2, .Blue = 3}));
    EXPECT_TRUE(a[4]->Params() == P(HueSatEntry{.Hue = -90, .Saturation = 50, .Value = 0}));
    EXPECT_TRUE(a[5]->Params() == P(RotateEntry{.Mirror = 2, .Turn = 1}));
    ASSERT_EQ(a[6]->Kind(), KindText);
    const AnnotationEntry& text = *a[6]->As<AnnotationEntry>();
    EXPECT_EQ(std::tuple(text.AnnX, text.AnnY, text.AnnAngle), std::tuple(10, 20, 45));
    EXPECT_EQ(text.AnnDrawText, QStringLiteral("Run 3, camera A"));
}

TEST(AdjustmentOptions, BadValuesAreRejectedWithoutTouchingTheList)
{
    const char* bad[] = {
        "--brightness 255",
        "--brightness x",
        "--brightness",
        "--contrast 151",
        "--gamma-slider 0",
        "--gamma-slider 20",
        "--rgb 1,2",
        "--rgb 1,2,3,4",
        "--rgb 1,,3",
        "--hue-sat 181,0",
        "--hue-sat 0,-101",
        "--rotate 4,0",
        "--rotate 0",
        "--text 1,2,3",
        "--text 1,2,3,",
        "--text a,2,3,x",
        "--contrast 5 --contrast 6",
    };
    for (const char* text : bad) {
        VideoDocument doc;
        doc.AppendEntry(std::make_unique<AdjustmentEntry>(CalibrationGridEntry{}));
        QString error;
        EXPECT_FALSE(ParseAdjustmentOptions(Args("--brightness 3 ") + Args(text), doc, &error)) << text;
        EXPECT_FALSE(error.isEmpty()) << text;
        EXPECT_EQ(doc.Adjustments.size(), 1u) << text;
    }
    VideoDocument doc;
    QString error;
    EXPECT_FALSE(ParseAdjustmentOptions(QStringList{QStringLiteral("--text"), QStringLiteral("1,2,0,") + QString(256, QLatin1Char('x'))}, doc, &error));
}

TEST(AdjustmentOptions, NamesCoverEveryOptionForPositionalParsing)
{
    const QStringList names = AdjustmentOptionNames();
    for (const char* option : {"--brightness", "--contrast", "--gamma-slider", "--rgb", "--hue-sat", "--rotate", "--text"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(option))) << option;
    VideoDocument doc;
    QString error;
    EXPECT_TRUE(ParseAdjustmentOptions(Args("in.avi 3 --text 1,1,0,a --text 2,2,0,b"), doc, &error));
    EXPECT_EQ(doc.Adjustments.size(), 2u); // text entries may repeat
}
