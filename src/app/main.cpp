// Qor Player: start-up. Everything else lives in the libraries.

#include "app/shell/MainWindow.h"
#include "common/RuntimeFolder.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

int main(int argc, char** argv)
{
    EnsureRuntimeFolder();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(qorplayer);
    QApplication::setApplicationName(QStringLiteral("Qor Player"));
    QApplication::setApplicationVersion(QStringLiteral(QOR_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qorplayer/qorplayer.png")));

    TQorMain mainWindow;
    mainWindow.show();

    // Messages from start-up (a missing settings store on first start, a
    // damaged font file) and files named on the command line come once the
    // window is up.
    QStringList files = app.arguments();
    files.removeFirst();
    QTimer::singleShot(0, &mainWindow, [&mainWindow, files] {
        for (const QString& message : mainWindow.StartupMessages)
            QMessageBox::information(&mainWindow, QStringLiteral("Qor Player"), message);
        if (!files.isEmpty())
            mainWindow.OpenFiles(files);
    });
    return app.exec();
}
