#include "export/ui/savingform.h"

#include "FakeSource.h"
#include "export/ExportRange.h"
#include "export/ui/SaveAsDialog.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Tsavingform, LooksLikeTheSavingWindow)
{
    Tsavingform form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Saving..."));
    EXPECT_EQ(form.BitBtn1()->text(), QStringLiteral("Abort"));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.abortRequested());
    EXPECT_TRUE(form.step(3, 10));
    EXPECT_EQ(form.savingbar()->maximum(), 10);
    EXPECT_EQ(form.savingbar()->value(), 3);
}

TEST(Tsavingform, AbortClickedDuringTheExportLoopStopsIt)
{
    QTemporaryDir dir;
    auto doc = MakePatternDocument(0, 199, 8, 8);
    Tsavingform form;
    form.show();
    // The click is an event like any user click: it can only arrive because
    // the loop lets events run at every step.
    int clicksAfterFrames = -1;
    QObject::connect(form.savingbar(), &QProgressBar::valueChanged, &form, [&](int done) {
        if (done == 6 && clicksAfterFrames < 0) {
            clicksAfterFrames = 5;
            QTimer::singleShot(0, form.BitBtn1(), &QPushButton::click);
        }
    });
    ExportRequest request;
    request.fileName = dir.path() + QStringLiteral("/run.avi");
    request.filterIndex = 1;
    request.rangeFirst = 0;
    request.rangeLast = 199;
    const ExportResult result = ExportRange(*doc, request, &form);
    EXPECT_EQ(result.status, ExportResult::Aborted);
    EXPECT_EQ(result.framesWritten, 6); // frames 0..5; the click is seen before frame 6
    EXPECT_TRUE(form.abortRequested());
}

TEST(SaveAsDialog, TitleNamesTheRange)
{
    EXPECT_EQ(ExportDialog::Title(-5, 200), QStringLiteral("Save As (For Frames -5 To 200)"));
}
