#pragma once
// Runs the built qorplayer-cli and keeps what it said.

#include <QString>
#include <QStringList>

struct CliRun {
    int exitCode = -1;  // -1 when the tool crashed or did not finish
    QString outputText; // stdout
    QString errorText;  // stderr
    // The tool's own stderr lines (Qt may add start-up notes of its own).
    QStringList toolLines() const;
};

QString CliPath();
bool CliBuilt();
CliRun RunCli(const QStringList& args);
