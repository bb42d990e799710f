// The Brava settings frame changes how the active document decodes.

#include "document/ui/ImageView.h"
#include "adjust/AdjustmentEntry.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/BvfSource.h"
#include "sources/bvf/SampleScene.h"
#include "sources/ui/BvfFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
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
    EXPECT_EQ(video.view()->tool(), frame.whitePick());
    frame.BVWBSpeed->setChecked(false);
    EXPECT_EQ(video.view()->tool(), nullptr);
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

TEST_F(BvfFrameTest, WhitePickOnATurnedPictureTakesTheFramePixelShownThere)
{
    // A quarter turn clockwise: the 64 × 48 frame is shown 48 × 64, and the
    // frame pixel (x, y) appears at (47 − y, x).
    auto turn = std::make_unique<AdjustmentEntry>(RotateEntry{.Mirror = 0, .Turn = 2});
    video.document()->Adjustments.push_back(std::move(turn));
    video.Redisplay();
    ASSERT_EQ(video.document()->DisplayBitmap.width(), 48);

    const QPoint shown(10, 40);
    const QPoint framePixel(40, 47 - 10);
    ASSERT_EQ(video.FramePixelAt(QPointF(shown) + QPointF(0.5, 0.5)), framePixel);
    EXPECT_EQ(video.FramePixelAt(QPointF(48.0, 3.0)), std::nullopt);
    EXPECT_EQ(video.FramePixelAt(QPointF(-0.5, 3.0)), std::nullopt);

    // What the reader takes at the right pixel, and at the unturned one.
    const auto referenceAt = [this](QPoint p) {
        reader().setWbMode(TBVSCFILECAM::WbDaylight);
        EXPECT_TRUE(reader().pickWhiteReference(p));
        return reader().userWhiteReference();
    };
    const auto expected = referenceAt(framePixel);
    ASSERT_NE(referenceAt(shown), expected) << "the test needs two different pixels";
    reader().setWbMode(TBVSCFILECAM::WbDaylight);
    video.Redisplay();

    TBVFFrame frame;
    frame.LoadFromVideo(&video);
    frame.BVWBSpeed->setChecked(true);
    ImageView* view = video.view();
    const QPointF at = view->mapToView(QPointF(shown) + QPointF(0.5, 0.5));
    QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &release);

    EXPECT_EQ(reader().userWhiteReference(), expected);
    EXPECT_EQ(reader().wbMode(), int(TBVSCFILECAM::WbUserDefined));
    EXPECT_EQ(frame.BVWBCombo->currentIndex(), int(TBVSCFILECAM::WbUserDefined));
    EXPECT_TRUE(frame.BVWBSpeed->isChecked()); // picking goes on until the button is raised
}
