#pragma once
// Runs small Python reference scripts from the tests. The distribution's
// Python carries SciPy and openpyxl; a Python found first on PATH may not, so
// each candidate is tried in turn, and a test skips when none of them can
// import what the script needs.

#include <QProcess>
#include <QString>
#include <QStringList>

struct PythonRun {
    enum Outcome { Ok, Missing, Failed } outcome = Missing;
    QByteArray output; // standard output when Ok
    QString error;     // standard error when Failed
};

inline PythonRun RunPythonScript(const QStringList& modules, const QString& script, const QStringList& args)
{
    // Exit status 77 says "a module is missing" (and nothing else can give it).
    const QString guarded = QStringLiteral("import sys\ntry:\n    import %1\nexcept ImportError:\n    sys.exit(77)\n")
                                .arg(modules.join(QStringLiteral(", ")))
        + script;
    PythonRun run;
    for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess process;
        process.start(candidate, QStringList{QStringLiteral("-c"), guarded} + args);
        if (!process.waitForStarted(10000))
            continue;
        process.waitForFinished(120000);
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 77)
            continue;
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) {
            run.outcome = PythonRun::Ok;
            run.output = process.readAllStandardOutput();
        } else {
            run.outcome = PythonRun::Failed;
            run.error = QString::fromLocal8Bit(process.readAllStandardError());
        }
        return run;
    }
    return run;
}
