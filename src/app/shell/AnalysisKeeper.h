#pragma once
// The work a user builds on each open recording, kept in the analysis file
// beside it ("NAME.EXT.qora"): restored when the recording opens, written
// by File ▸ Save Analysis, and asked about before a document with unsaved
// work closes.
//
// "Unsaved" compares what the file would hold now with what it held when it
// was last read or written. The selection of points, the running text of
// time stamps, the marks on the common axis and the neutral entries a tool
// frame adds when it is docked are saved with the rest but do not count as
// changes on their own (they change by merely playing or looking).

#include "document/AnalysisFile.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>

class QWidget;
class TQORVideo;

class AnalysisKeeper {
public:
    // The answer to "save before closing?".
    enum class Answer { Save, Discard, Cancel };

    explicit AnalysisKeeper(QWidget* dialogParent);

    // Asks the question (a message box unless replaced, as tests do).
    std::function<Answer(const QString& question)> AskSave;
    // Shows an error (ShowErrorBox unless replaced).
    std::function<void(const QString& message)> ShowError;

    // A recording just opened: the analysis beside it, if any, is applied to
    // its document and its marks are returned. A file that cannot be taken
    // is named with its problem through ShowError; the recording stays as
    // it opened and the file is left alone until the user saves.
    AnalysisMarks Restore(TQORVideo* video);

    // Writes the document's analysis with `marks` beside its recording; false
    // (after ShowError) when it cannot be written.
    bool Save(TQORVideo* video, const AnalysisMarks& marks);
    // Whether the document holds work that is not in its analysis file.
    bool HasUnsavedWork(const TQORVideo* video) const;
    // True when the window may close: nothing unsaved, or the user saved it
    // or chose to discard it. False on Cancel or when saving failed.
    bool MayClose(TQORVideo* video, const AnalysisMarks& marks);
    // The window went.
    void Forget(const TQORVideo* video);

    static QString PathFor(const TQORVideo* video);

private:
    // What counts as a change: a digest of the file's content without
    // selection, the running stamp texts, the marks and untouched entries.
    static QByteArray Fingerprint(Analysis analysis);

    QWidget* m_parent;
    QHash<const TQORVideo*, QByteArray> m_saved;
};
