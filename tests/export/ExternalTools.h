#pragma once
// Runs the command-line image tools the tests use to read our files back.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// Output of `program args` (stdout), or a null string when the program is
// missing or fails.
inline QByteArray RunTool(const QString& program, const QStringList& args)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return QByteArray();
    QProcess process;
    process.start(path, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

inline bool HaveTool(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}
