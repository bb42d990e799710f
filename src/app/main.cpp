// Qor Player: start-up. Everything else lives in the libraries.

#include "app/shell/MainWindow.h"
#include "common/RuntimeFolder.h"

#include <QApplication>
#include <QCommandLineParser>
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

    // --help and --version answer on the terminal and end the program.
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays and measures high-speed camera recordings (.bvf, .svf, .avi) on one time axis."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Recordings to open."),
                                 QStringLiteral("[files...]"));
    parser.process(app);

    TQorMain mainWindow;
    mainWindow.show();

    // Messages from start-up (a damaged settings store or font file) and
    // files named on the command line come once the window is up.
    const QStringList files = parser.positionalArguments();
    QTimer::singleShot(0, &mainWindow, [&mainWindow, files] {
        for (const QString& message : mainWindow.StartupMessages)
            QMessageBox::information(&mainWindow, QStringLiteral("Qor Player"), message);
        if (!files.isEmpty())
            mainWindow.OpenFiles(files);
    });
    return app.exec();
}
