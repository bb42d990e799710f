#pragma once
// The export that runs now. Its loop lets events run, so a document window
// or the main window can be asked to close in the middle of it; freeing the
// document then would pull it from under the exporter. Windows ask here
// first:
//
//   void TQORVideo::closeEvent(QCloseEvent* e)
//   {
//       if (!MayCloseDuringExport(this, &m_document)) { e->ignore(); return; }
//       ...
//   }
//
// While an export runs, the user is asked whether to abort it. On yes the
// export stops as the Abort button stops it (the file written so far stays
// readable) and the window is closed again once the export has returned.

#include <QString>
#include <functional>

class QWidget;
class VideoDocument;

// True when `window` may close now. While an export of `document` runs (of
// any document when `document` is null) it asks first and returns false;
// on yes the export is aborted and `window` closed after it.
bool MayCloseDuringExport(QWidget* window, const VideoDocument* document);

// Whether an export runs (of `document`, or of any when null).
bool ExportRunning(const VideoDocument* document = nullptr);

// Yes/no questions of the export windows. Tests answer through a sink
// (an empty function restores the message box).
bool AskYesNo(QWidget* parent, const QString& question);
void SetExportQuestionSink(std::function<bool(const QString& question)> sink);

// Registers an export for as long as it lives; its abort flag is `abort`.
class RunningExport {
public:
    RunningExport(const VideoDocument* document, std::function<void()> abort);
    ~RunningExport();
    RunningExport(const RunningExport&) = delete;
    RunningExport& operator=(const RunningExport&) = delete;
};
