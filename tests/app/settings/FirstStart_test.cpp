// A first start with an empty configuration folder: no message at all, the
// defaults written, and the recordings named at start opened.

#include "app/settings/Settings.h"
#include "app/shell/MainWindow.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/SampleScene.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QTemporaryDir* g_config = nullptr;

QString ConfigFolder()
{
    return g_config->path() + QStringLiteral("/QOR");
}

bool AnyMessageBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w) && w->isVisible())
            return true;
    return false;
}

QString Recording(const QTemporaryDir& dir, const QString& name)
{
    bvf::SampleOptions options;
    options.size = QSize(64, 48);
    options.frames = 4;
    const QString path = dir.filePath(name);
    QString error;
    EXPECT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();
    return path;
}

} // namespace

TEST(FirstStart, EmptyConfigFolderStartsSilentlyAndOpensTheFiles)
{
    QDir(ConfigFolder()).removeRecursively();
    QStringList boxes;
    SetErrorBoxSink([&boxes](const QString& m) { boxes << m; });
    QTemporaryDir recordings;
    const QStringList files{Recording(recordings, QStringLiteral("a.bvf")), Recording(recordings, QStringLiteral("b.bvf"))};
    {
        TQorMain main;
        main.show();
        EXPECT_TRUE(main.StartupMessages.isEmpty()) << main.StartupMessages.join(QLatin1Char('\n')).toStdString();
        main.OpenFiles(files);
        QApplication::processEvents();
        EXPECT_FALSE(AnyMessageBox());
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(main.VideoWindows.size(), 2);
        EXPECT_EQ(main.VideoWindows[0]->document()->Info.FileName, files[0]);
        EXPECT_EQ(main.VideoWindows[1]->document()->Info.FileName, files[1]);
        main.close();
    }
    // The defaults are on disk: the second start is silent too.
    QSettings written(ConfigFolder() + QStringLiteral("/QORPLAYER.conf"), QSettings::IniFormat);
    EXPECT_EQ(written.value(QStringLiteral("1.0/SVFCon")).toInt(), 1);
    TQorMain again;
    EXPECT_TRUE(again.StartupMessages.isEmpty());
    SetErrorBoxSink({});
}

TEST(FirstStart, DamagedSettingsFileIsNamedOnceAndKeptAsBackup)
{
    QDir(ConfigFolder()).removeRecursively();
    QDir().mkpath(ConfigFolder());
    const QString prefs = ConfigFolder() + QStringLiteral("/QORPLAYER.conf");
    {
        QFile file(prefs);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\0\1\2\3not settings", 17));
    }
    TQorMain main;
    ASSERT_EQ(main.StartupMessages.size(), 1);
    EXPECT_TRUE(main.StartupMessages[0].contains(QDir::toNativeSeparators(prefs)));
    EXPECT_TRUE(QFile::exists(prefs + QStringLiteral(".bak")));
    TQorMain again;
    EXPECT_TRUE(again.StartupMessages.isEmpty());
}

int main(int argc, char** argv)
{
    // An empty configuration folder of our own, as on a new user's machine.
    QTemporaryDir config;
    g_config = &config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
