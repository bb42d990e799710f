// The document window's status bar at any width: panels side by side, never
// over each other; frame and time read-outs whole down to the window's
// smallest width; the file name ends in "…" when it has no room.

#include "FakeSource.h"
#include "document/window/StatusPanel.h"
#include "document/window/VideoWindow.h"

#include <QApplication>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

QList<StatusPanel*> Panels(const TQORVideo& window)
{
    QList<StatusPanel*> panels = window.findChild<QStatusBar*>()->findChildren<StatusPanel*>();
    std::sort(panels.begin(), panels.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    return panels;
}

} // namespace

TEST(DocumentStatusBar, PanelsNeverOverlapAndTheReadoutsStayWhole)
{
    TQORVideo window(nullptr);
    window.document()->AttachSource(std::make_unique<FakeSource>(0, 199, 32, 24),
                                    QStringLiteral("/data/a rather long name of a crash test recording.bvf"));
    window.show();
    window.UpdateStatusBar();
    const int smallest = window.minimumSizeHint().width();
    for (int width : {900, 600, 450, smallest, smallest - 60, 200}) {
        window.resize(width, 300);
        QApplication::processEvents();
        const QList<StatusPanel*> panels = Panels(window);
        ASSERT_EQ(panels.size(), 6);
        for (int i = 1; i < panels.size(); ++i)
            EXPECT_LE(panels[i - 1]->geometry().right(), panels[i]->x()) << "width " << width << " panel " << i;
        EXPECT_LE(panels.last()->geometry().right(), window.findChild<QStatusBar*>()->width()) << width;
        if (width >= smallest) {
            EXPECT_EQ(panels[0]->shownText(), QStringLiteral("0/200")) << width;
            EXPECT_EQ(panels[1]->shownText(), panels[1]->text()) << width;
            EXPECT_EQ(panels[5]->shownText(), panels[5]->text()) << width;
        }
    }
    const QList<StatusPanel*> panels = Panels(window);
    window.resize(450, 300);
    QApplication::processEvents();
    EXPECT_TRUE(panels[2]->shownText().endsWith(QStringLiteral("…"))) << panels[2]->shownText().toStdString();
    EXPECT_TRUE(panels[2]->text().startsWith(QStringLiteral("a rather long name")));
    window.resize(1400, 300);
    QApplication::processEvents();
    EXPECT_EQ(panels[2]->shownText(), panels[2]->text());
}
