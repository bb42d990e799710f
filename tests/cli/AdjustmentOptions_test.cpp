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
    EXPECT_EQ(a[0]->Kind, KindContrast);
    EXPECT_EQ(a[0]->Value1, 40);
    EXPECT_EQ(a[1]->Kind, KindBrightness);
    EXPECT_EQ(a[1]->Value1, -12);
    EXPECT_EQ(a[2]->Kind, KindGamma);
    EXPECT_EQ(a[2]->Value1, 15);
    EXPECT_FLOAT_EQ(a[2]->RealValue, 0.5f);
    EXPECT_EQ(a[3]->Kind, KindRgb);
    EXPECT_EQ(std::tuple(a[3]->Value1, a[3]->Value2, a[3]->Value3), std::tuple(1, -2, 3));
    EXPECT_EQ(a[4]->Kind, KindHueSat);
    EXPECT_EQ(std::tuple(a[4]->Value1, a[4]->Value2, a[4]->Value3), std::tuple(-90, 50, 0));
    EXPECT_EQ(a[5]->Kind, KindRotate);
    EXPECT_EQ(std::tuple(a[5]->Value1, a[5]->Value2), std::tuple(2, 1));
    EXPECT_EQ(a[6]->Kind, KindText);
    EXPECT_EQ(std::tuple(a[6]->Value1, a[6]->Value2, a[6]->Value3), std::tuple(10, 20, 45));
    EXPECT_EQ(a[6]->AnnDrawText, QStringLiteral("Run 3, camera A"));
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
        doc.AppendEntry(std::make_unique<AdjustmentEntry>());
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
