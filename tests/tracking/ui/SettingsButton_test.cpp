// The tracking frame's Settings button opens the parameter dialog for the
// current point over the frame as shown; OK stores and captures the
// template again; without a point the button only says so.

#include "app/shell/MainWindow.h"
#include "document/window/ErrorBox.h"
#include "sources/bvf/SampleScene.h"
#include "tracking/engine/TrackingPoint.h"
#include "tracking/ui/AdjustParamForm.h"
#include "tracking/ui/AutoTrackFrame.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SettingsButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxSink([this](const QString& m) { messages << m; });
        bvf::SampleOptions options;
        options.frames = 3;
        const QString sample = dir.filePath(QStringLiteral("s.bvf"));
        ASSERT_TRUE(bvf::WriteSampleRecording(sample, options, nullptr));
        main.Analyses().AskSave = [](const QString&) { return AnalysisKeeper::Answer::Discard; };
        main.OpenFiles({sample});
        main.PressToolButton(TQorMain::TrackTool, true);
        frame = qobject_cast<TAutoTRackFrame*>(main.DockedFrame());
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override { SetErrorBoxSink({}); }

    QTemporaryDir dir;
    TQorMain main;
    TAutoTRackFrame* frame = nullptr;
    QStringList messages;
};

} // namespace

TEST_F(SettingsButtonTest, WithoutAPointSaysSo)
{
    frame->BitBtn1->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("No Point Defined")});
}

TEST_F(SettingsButtonTest, OkStoresTheDialogsValuesInTheCurrentPoint)
{
    frame->PlaceArmed(tracking::MethodLightSpot, true);
    frame->PickReport(16, bvf::lightSpotCentreAt(0) + QPointF(0.5, 0.5));
    frame->PlaceArmed(tracking::MethodLightSpot, false);
    TTrackingPoint* point = frame->CurrentPoint();
    ASSERT_NE(point, nullptr);

    QString shownName;
    // Runs inside the dialog's own event loop.
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TAdjustParamForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        shownName = form->PointNameEdit->text();
        form->TemplateSpinX->setValue(21);
        form->BitBtnOK->click();
    });
    frame->BitBtn1->click();
    EXPECT_EQ(shownName, point->Name);
    EXPECT_EQ(point->Params.TemplateWidth, 21);
    EXPECT_EQ(point->Params.TemplateHeight, 21);   // "Force square"
    EXPECT_EQ(point->Params.SearchWidth, 38);      // Round(37.8)
    EXPECT_EQ(point->Template.width, 21);
    EXPECT_TRUE(messages.isEmpty());
}
