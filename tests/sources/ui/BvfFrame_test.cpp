// The Brava settings frame changes how the active document decodes.

#include "document/window/VideoWindow.h"
#include "sources/bvf/BvfSource.h"
#include "sources/bvf/SampleScene.h"
#include "sources/ui/BvfFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct BvfFrameTest : ::testing::Test {
    void SetUp() override
    {
        bvf::SampleOptions options;
        options.size = QSize(64, 48);
        options.frames = 4;
        options.colour = true;
        path = dir.filePath(QStringLiteral("c.bvf"));
        QString error;
        ASSERT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();
        ASSERT_EQ(video.OpenRecording(path, 0), 0);
        // The main window renders again at the common time; here: in place.
        QObject::connect(&video, &TQORVideo::redisplayRequested, &video, [this] { video.Redisplay(); });
    }

    TBVSCFILECAM& reader() { return static_cast<BvfSource*>(video.document()->Source())->reader(); }

    QTemporaryDir dir;
    QString path;
    TQORVideo video{nullptr};
};

} // namespace

TEST_F(BvfFrameTest, ListsShowTheReaderAndChangeThePicture)
{
    reader().setGammaMode(0);
    reader().setEnhanceLevel(0);
    video.Redisplay();
    TBVFFrame frame;
    frame.LoadFromVideo(&video);
    EXPECT_EQ(frame.BVGammaCombo->currentIndex(), 0);
    EXPECT_EQ(frame.BVChromaCombo->currentIndex(), reader().chroma() / 25);

    const Frame before = video.document()->DisplayBitmap;
    frame.BVGammaCombo->setCurrentIndex(2); // "HIGH"
    EXPECT_EQ(reader().gammaMode(), 2);
    EXPECT_NE(video.document()->DisplayBitmap, before);

    frame.BVChromaCombo->setCurrentIndex(0); // "0%": grey picture
    EXPECT_EQ(reader().chroma(), 0);
    const Frame& grey = video.document()->DisplayBitmap;
    const uint8_t* px = grey.pixel(10, 10);
    EXPECT_NEAR(px[0], px[2], 2);

    frame.BVWBSpeed->setChecked(true);
    EXPECT_TRUE(video.ColourPickMode);
}

TEST_F(BvfFrameTest, LoadingKeepsTheReaderAsItIs)
{
    reader().setWbMode(TBVSCFILECAM::WbTungsten);
    reader().setEnhanceLevel(3);
    TBVFFrame frame;
    frame.LoadFromVideo(&video);
    EXPECT_EQ(frame.BVWBCombo->currentIndex(), int(TBVSCFILECAM::WbTungsten));
    EXPECT_EQ(frame.BVEnhanceCombo->currentIndex(), 3);
    EXPECT_EQ(reader().wbMode(), int(TBVSCFILECAM::WbTungsten));
    EXPECT_EQ(reader().enhanceLevel(), 3);
}

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
