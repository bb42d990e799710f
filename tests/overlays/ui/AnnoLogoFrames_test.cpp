// The annotation and logo frames: entries added to and deleted from the
// document's list, placing with the mouse, previews and refusals.

#include "FakeSource.h"
#include "MessageCatcher.h"
#include "adjust/AdjustmentEntry.h"
#include "document/ui/ImageView.h"
#include "document/window/VideoWindow.h"
#include "overlays/ui/FrameAnno.h"
#include "overlays/ui/FrameLogo.h"


#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

ViewMouse MouseAt(QPointF image, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    ViewMouse m;
    m.ImagePos = image;
    m.Button = button;
    m.Buttons = buttons;
    return m;
}

struct FramesTest : ::testing::Test {
    void SetUp() override
    {
        // 1000 frames per second: frame 250 is at 0.25 s.
        video.document()->AttachSource(std::make_unique<FakeSource>(0, 400, 160, 120, 1000),
                                       QStringLiteral("anno.bvf"));
        // The main window renders again at the common time; here: in place.
        QObject::connect(&video, &TQORVideo::redisplayRequested, &video, [this] { video.Redisplay(); });
        video.document()->LoadFrame(250);
    }
    VideoDocument& doc() { return *video.document(); }
    std::vector<const AnnotationEntry*> annotations()
    {
        std::vector<const AnnotationEntry*> found;
        for (const auto& e : doc().Adjustments)
            if (const AnnotationEntry* a = e->As<AnnotationEntry>())
                found.push_back(a);
        return found;
    }

    TQORVideo video{nullptr};
};

} // namespace

TEST_F(FramesTest, AnnotationsAreAddedListedAndDeleted)
{
    TAnnoFrame frame;
    frame.LoadFromVideo(&video);
    frame.AnnText->setText(QStringLiteral("Run 7"));
    frame.AnPosXSpin->setValue(12);
    frame.AnPosYSpin->setValue(30);
    frame.TextAngleSpin->setValue(90);
    frame.txtBCRB->button(1)->click();
    frame.AddAnnoBut->click();
    frame.AnnTypeRadio->button(1)->click(); // "Timing (s)"
    EXPECT_TRUE(frame.DPSpin->isVisibleTo(&frame));
    frame.AddAnnoBut->click();
    frame.AnnTypeRadio->button(2)->click(); // "Timing (ms)"
    frame.AddAnnoBut->click();
    frame.AnnTypeRadio->button(3)->click(); // "Framing"
    EXPECT_FALSE(frame.DPSpin->isVisibleTo(&frame));
    frame.AddAnnoBut->click();

    const auto a = annotations();
    ASSERT_EQ(a.size(), 4u);
    EXPECT_FALSE(a[0]->TimeStamp);
    EXPECT_EQ(a[0]->AnnDrawText, QStringLiteral("Run 7"));
    EXPECT_EQ(std::tuple(a[0]->AnnX, a[0]->AnnY, a[0]->AnnAngle, a[0]->AnnBackground), std::tuple(12, 30, 90, 1));
    // The stamps were rewritten for the frame on show: 0.25 s with 3 decimals.
    EXPECT_EQ(a[1]->AnnDrawText, QStringLiteral("0.250 s"));
    EXPECT_EQ(a[2]->AnnDrawText, QStringLiteral("250.000 ms"));
    EXPECT_EQ(a[3]->AnnDrawText, QStringLiteral("250"));
    ASSERT_EQ(frame.ListBox1->count(), 4);
    const char* labels[] = {"Run 7", "Time s", "Time ms", "Frame Number"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(frame.ListBox1->item(i)->text(), QString::fromLatin1(labels[i]));

    // A time stamp follows the frame.
    doc().LoadFrame(12);
    EXPECT_EQ(annotations()[1]->AnnDrawText, QStringLiteral("0.012 s"));

    // Docking again lists the same entries.
    TAnnoFrame again;
    again.LoadFromVideo(&video);
    EXPECT_EQ(again.ListBox1->count(), 4);

    // Delete without a selection does nothing; with one, removes that entry.
    frame.BitBtn1->click();
    EXPECT_EQ(annotations().size(), 4u);
    frame.ListBox1->setCurrentRow(1);
    frame.BitBtn1->click();
    ASSERT_EQ(annotations().size(), 3u);
    EXPECT_EQ(annotations()[1]->AnnLabel, QStringLiteral("Time ms"));
    EXPECT_EQ(frame.ListBox1->count(), 3);
}

TEST_F(FramesTest, PlacingFollowsTheMouseAndOnlyAddCreatesAnEntry)
{
    TAnnoFrame frame;
    frame.LoadFromVideo(&video);
    frame.AnnText->setText(QStringLiteral("HERE"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    font.setBold(true);
    frame.ChooseFont(font);
    frame.ChooseColour(QColor(0, 255, 0));
    const Frame plain = doc().DisplayBitmap;

    frame.setAnnPos->click();
    ASSERT_TRUE(frame.AnnotationPlacing());
    ASSERT_EQ(video.view()->tool(), frame.placingTool());
    PickTool* tool = frame.placingTool();
    tool->move(MouseAt({40.4, 50.6}, Qt::NoButton, Qt::NoButton));
    ASSERT_NE(frame.PendingEntry(), nullptr);
    EXPECT_EQ(frame.PendingEntry()->AnnX, 40);
    EXPECT_EQ(frame.PendingEntry()->AnnY, 51);
    EXPECT_EQ(frame.AnPosXSpin->value(), 40); // the spins follow
    EXPECT_EQ(frame.AnPosYSpin->value(), 51);
    EXPECT_NE(doc().DisplayBitmap, plain);    // the preview is drawn
    EXPECT_TRUE(annotations().empty());       // but nothing is added

    tool->press(MouseAt({70, 20}, Qt::LeftButton, Qt::LeftButton));
    EXPECT_FALSE(frame.AnnotationPlacing());
    EXPECT_FALSE(frame.setAnnPos->isChecked());
    EXPECT_EQ(frame.AnPosXSpin->value(), 70);
    frame.AddAnnoBut->click();
    ASSERT_EQ(annotations().size(), 1u);
    EXPECT_EQ(std::tuple(annotations()[0]->AnnX, annotations()[0]->AnnY), std::tuple(70, 20));
    EXPECT_EQ(annotations()[0]->AnnFontColour, 0x0000FF00u); // green
    EXPECT_EQ(annotations()[0]->AnnFontSize, 20);
    EXPECT_TRUE(annotations()[0]->AnnFontBold);

    // Spins after Add move only the entry being placed.
    frame.AnPosXSpin->setValue(5);
    EXPECT_EQ(frame.PendingEntry()->AnnX, 5);
    EXPECT_EQ(annotations()[0]->AnnX, 70);
    // Releasing the button drops the preview entry.
    frame.setAnnPos->click();
    frame.setAnnPos->click();
    EXPECT_EQ(frame.PendingEntry(), nullptr);
}

TEST_F(FramesTest, LogosArePreviewedAddedAndRefusedForBadSizes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mark.png"));
    QImage logo(40, 20, QImage::Format_RGB888);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(path));

    TLogoFrame frame;
    frame.LoadFromVideo(&video);
    EXPECT_TRUE(frame.PendingEntry().LogoDisabled);
    frame.BitBtn2->click(); // nothing chosen: nothing added
    EXPECT_EQ(FindEntry(doc().Adjustments, KindLogo), nullptr);

    // A size that is no whole number is refused before anything changes.
    frame.earsizeCB->setCurrentText(QStringLiteral("50.5"));
    {
        MessageCatcher box;
        EXPECT_FALSE(frame.ChooseFile(path));
        EXPECT_TRUE(box.text.contains(QStringLiteral("50.5"))) << box.text.toStdString();
    }
    EXPECT_TRUE(frame.PendingEntry().LogoDisabled);
    EXPECT_TRUE(frame.PendingEntry().LogoFile.isEmpty());

    frame.earsizeCB->setCurrentText(QStringLiteral("50"));
    frame.PosEarRG->button(3)->click(); // bottom right
    frame.methodOverlayCB->setCurrentIndex(1); // "Solid"
    ASSERT_TRUE(frame.ChooseFile(path));
    const LogoEntry& pending = frame.PendingEntry();
    EXPECT_FALSE(pending.LogoDisabled);
    EXPECT_EQ(pending.LogoSize, 50);
    EXPECT_EQ(pending.LogoCorner, 3);
    EXPECT_EQ(pending.LogoMethod, 1);
    EXPECT_EQ(pending.LogoLabel, QStringLiteral("mark.png"));
    EXPECT_FALSE(frame.ImgView321->pixmap().isNull());
    // The preview: a 20 × 10 logo in the bottom-right corner of the shown frame.
    const Frame& shown = doc().DisplayBitmap;
    const uint8_t* p = shown.pixel(shown.width() - 1, shown.height() - 1);
    EXPECT_EQ(std::tuple(p[0], p[1], p[2]), std::tuple(0, 0, 255));
    EXPECT_EQ(FindEntry(doc().Adjustments, KindLogo), nullptr);

    frame.earsizeCB->setCurrentText(QStringLiteral("abc"));
    {
        MessageCatcher box;
        frame.earsizeCB->lineEdit()->editingFinished();
        EXPECT_FALSE(box.text.isEmpty());
    }
    EXPECT_EQ(frame.PendingEntry().LogoSize, 50);
    EXPECT_EQ(frame.earsizeCB->currentText(), QStringLiteral("50"));

    frame.BitBtn2->click();
    const AdjustmentEntry* added = FindEntry(doc().Adjustments, KindLogo);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->As<LogoEntry>()->LogoFile, path);
    EXPECT_TRUE(frame.PendingEntry().LogoDisabled); // a fresh pending entry
    ASSERT_EQ(frame.ListBox1->count(), 1);
    EXPECT_EQ(frame.ListBox1->item(0)->text(), QStringLiteral("mark.png"));
    // Every render carries it now.
    doc().LoadFrame(3);
    const uint8_t* q = doc().DisplayBitmap.pixel(159, 119);
    EXPECT_EQ(std::tuple(q[0], q[1], q[2]), std::tuple(0, 0, 255));

    // A missing file draws nothing.
    QFile::remove(path);
    doc().LoadFrame(4);
    const uint8_t* r = doc().DisplayBitmap.pixel(159, 119);
    EXPECT_NE(std::tuple(r[0], r[1], r[2]), std::tuple(0, 0, 255));

    frame.ListBox1->setCurrentRow(0);
    frame.BitBtn1->click();
    EXPECT_EQ(FindEntry(doc().Adjustments, KindLogo), nullptr);
}
