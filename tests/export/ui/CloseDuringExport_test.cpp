// Closing a document window (or asking the program to close) while its range
// is being exported: the user is asked; on yes the export stops as Abort
// stops it, the file written so far stays readable, and the window closes
// only after the export has returned.

#include "FakeSource.h"
#include "document/window/VideoWindow.h"
#include "export/ExportRange.h"
#include "export/ui/RunningExport.h"
#include "export/ui/SaveAsDialog.h"
#include "export/ui/savingform.h"
#include "sources/avi/AviSource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Calls `action` once the progress bar of the export over `window` reaches
// `frame`, from the event loop, as a user's click would arrive.
void AtFrame(QWidget* window, int frame, std::function<void()> action)
{
    QTimer::singleShot(0, window, [window, frame, action] {
        auto* form = window->findChild<Tsavingform*>();
        ASSERT_NE(form, nullptr);
        QObject::connect(form->savingbar(), &QProgressBar::valueChanged, form, [frame, action](int value) {
            if (value == frame)
                QTimer::singleShot(0, action);
        });
    });
}

// Message boxes of the export ("Save Complete.") are closed as they open.
void DismissMessageBoxes()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            box->accept();
}

class CloseDuringExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_boxes = new QTimer;
        QObject::connect(m_boxes, &QTimer::timeout, DismissMessageBoxes);
        m_boxes->start(10);
    }
    void TearDown() override
    {
        delete m_boxes;
        SetExportQuestionSink({});
    }

    ExportRequest request(const QString& name) const
    {
        ExportRequest r;
        r.fileName = m_dir.filePath(name);
        r.filterIndex = 1;
        r.rangeFirst = 0;
        r.rangeLast = 299;
        return r;
    }

    QTemporaryDir m_dir;
    QTimer* m_boxes = nullptr;
};

std::unique_ptr<FakeSource> Pattern()
{
    return std::make_unique<FakeSource>(0, 299, 16, 8);
}

} // namespace

TEST_F(CloseDuringExport, YesAbortsCleanlyThenClosesTheWindow)
{
    QStringList questions;
    SetExportQuestionSink([&questions](const QString& q) { questions << q; return true; });
    QPointer<TQORVideo> window = new TQORVideo(nullptr);
    window->document()->AttachSource(Pattern(), QStringLiteral("/nonexistent/rec.bvf"));
    window->show();

    AtFrame(window, 5, [window] { window->close(); });
    const ExportResult result = RunExportWithProgress(window, *window->document(), request(QStringLiteral("cut.avi")));

    EXPECT_EQ(result.status, ExportResult::Aborted);
    EXPECT_EQ(questions.size(), 1);
    // The export came back with the window and its document still there.
    ASSERT_TRUE(window);
    EXPECT_FALSE(ExportRunning());
    // Then the window closes (and is freed) from the event loop.
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);

    QString error;
    auto avi = OpenAviSource(m_dir.filePath(QStringLiteral("cut.avi")), &error);
    ASSERT_TRUE(avi) << error.toStdString();
    EXPECT_GE(avi->frameCount(), 5);
    EXPECT_LT(avi->frameCount(), 300);
    Frame frame;
    ASSERT_TRUE(avi->readFrame(avi->frameCount() - 1, frame));
    EXPECT_EQ(frame, PatternFrame(avi->frameCount() - 1, 16, 8));
}

TEST_F(CloseDuringExport, NoKeepsTheExportAndTheWindow)
{
    SetExportQuestionSink([](const QString&) { return false; });
    auto* window = new TQORVideo(nullptr);
    QPointer<TQORVideo> alive = window;
    window->document()->AttachSource(Pattern(), QStringLiteral("/nonexistent/rec.bvf"));
    window->show();
    AtFrame(window, 5, [window] { window->close(); });
    const ExportResult result = RunExportWithProgress(window, *window->document(), request(QStringLiteral("whole.avi")));
    EXPECT_EQ(result.status, ExportResult::Completed) << result.error.toStdString();
    EXPECT_EQ(result.framesWritten, 300);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(alive);
    EXPECT_TRUE(window->isVisible());
    // Without an export the window closes at once, without a question.
    SetExportQuestionSink([](const QString&) -> bool { ADD_FAILURE() << "asked"; return false; });
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);
}

TEST_F(CloseDuringExport, EscapeAndTheCloseBoxOfTheProgressWindowAbort)
{
    for (bool escape : {true, false}) {
        QWidget owner;
        owner.show();
        auto doc = MakePatternDocument(0, 299, 16, 8);
        AtFrame(&owner, 3, [&owner, escape] {
            auto* form = owner.findChild<Tsavingform*>();
            if (escape) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(form, &key);
            } else {
                form->close();
            }
            EXPECT_TRUE(form->isVisible()); // stays until the export has stopped
        });
        const ExportResult result = RunExportWithProgress(&owner, *doc, request(escape ? QStringLiteral("esc.avi") : QStringLiteral("box.avi")));
        EXPECT_EQ(result.status, ExportResult::Aborted) << escape;
        EXPECT_LT(result.framesWritten, 300);
        EXPECT_FALSE(owner.findChild<Tsavingform*>());
    }
}

TEST_F(CloseDuringExport, ExistingFilesAreAskedForOnceAndOldFramesOffered)
{
    auto doc = MakePatternDocument(-20, 200, 4, 4);
    ExportRequest first = request(QStringLiteral("run.bmp"));
    first.filterIndex = 4;
    first.rangeFirst = -5;
    first.rangeLast = 10;
    ASSERT_EQ(ExportRange(*doc, first).status, ExportResult::Completed);

    QStringList questions;
    bool answer = false;
    SetExportQuestionSink([&](const QString& q) { questions << q; return answer; });
    ExportRequest shorter = first;
    shorter.rangeFirst = 0;
    shorter.rangeLast = 4;
    // No: nothing is replaced.
    EXPECT_FALSE(ConfirmExportTargets(nullptr, *doc, shorter));
    EXPECT_EQ(questions, QStringList{QStringLiteral("Replace 5 existing files?")});
    EXPECT_FALSE(shorter.replaceExisting);

    // Yes to both: replaced, and the frames outside the new range removed.
    questions.clear();
    answer = true;
    EXPECT_TRUE(ConfirmExportTargets(nullptr, *doc, shorter));
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[1].startsWith(QStringLiteral("11 older numbered files"))) << questions[1].toStdString();
    EXPECT_TRUE(shorter.replaceExisting);
    EXPECT_EQ(ExportRange(*doc, shorter).status, ExportResult::Completed);
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("run*.bmp")}, QDir::Files).size(), 5);
}
