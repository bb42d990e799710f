#pragma once
// Modal error boxes with the program's texts. Tests install a sink to
// collect the messages instead of blocking on a dialog.

#include <QString>
#include <functional>

class QWidget;

void ShowErrorBox(QWidget* parent, const QString& message);

// Replaces the dialog by `sink` (an empty function restores the dialog).
void SetErrorBoxSink(std::function<void(const QString&)> sink);
