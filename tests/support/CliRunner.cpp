#include "CliRunner.h"

#include <QFile>
#include <QProcess>

QStringList CliRun::toolLines() const
{
    QStringList lines;
    for (const QString& line : errorText.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("qorplayer-cli:")))
            lines << line;
    return lines;
}

QString CliPath()
{
    return QStringLiteral(QOR_BINARY_DIR "/qorplayer-cli");
}

bool CliBuilt()
{
    return QFile::exists(CliPath());
}

CliRun RunCli(const QStringList& args)
{
    QProcess process;
    process.start(CliPath(), args);
    process.waitForFinished(120000);
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.outputText = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errorText = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
