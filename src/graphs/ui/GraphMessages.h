#pragma once
// The graph window's message boxes and save dialogs. Tests install sinks
// that collect the messages and answer the dialogs instead of blocking.

#include <QString>
#include <functional>

class QWidget;

// An error box (OK button) with one of the window's texts.
void ShowGraphError(QWidget* parent, const QString& message);
// An information box (OK button).
void ShowGraphInformation(QWidget* parent, const QString& message);
// Replaces both boxes by `sink` (an empty function restores the boxes).
void SetGraphMessageSink(std::function<void(const QString&)> sink);

// A save dialog that asks before replacing a file; an empty result means
// cancelled. A name typed without extension gets `defaultSuffix`.
QString AskGraphSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                             const QString& defaultSuffix);
// Replaces the dialog by `answer` (caption -> file name; empty cancels).
void SetGraphSaveFileAnswer(std::function<QString(const QString& caption)> answer);
