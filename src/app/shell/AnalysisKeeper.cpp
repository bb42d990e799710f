#include "app/shell/AnalysisKeeper.h"

#include "document/VideoDocument.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QMessageBox>

AnalysisKeeper::AnalysisKeeper(QWidget* dialogParent)
    : m_parent(dialogParent)
{
    AskSave = [this](const QString& question) {
        const auto answer = QMessageBox::question(m_parent, QStringLiteral("Qor Player"), question,
                                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                                  QMessageBox::Save);
        return answer == QMessageBox::Save      ? Answer::Save
               : answer == QMessageBox::Discard ? Answer::Discard
                                                : Answer::Cancel;
    };
    ShowError = [this](const QString& message) { ShowErrorBox(m_parent, message); };
}

QString AnalysisKeeper::PathFor(const TQORVideo* video)
{
    return AnalysisPathFor(video->document()->Info.FileName);
}

AnalysisMarks AnalysisKeeper::Restore(TQORVideo* video)
{
    VideoDocument& doc = *video->document();
    Analysis analysis;
    QString message;
    const AnalysisProblem problem = LoadAnalysisFor(doc, PathFor(video), &analysis, &message);
    if (problem == AnalysisProblem::None) {
        ApplyAnalysis(analysis, doc);
        doc.Redisplay();
        video->UpdateOverlay();
    } else if (problem != AnalysisProblem::Missing) {
        ShowError(message + QStringLiteral("\nThe recording opens without it; the file is kept until you save."));
    }
    m_saved.insert(video, Fingerprint(CaptureAnalysis(doc)));
    return problem == AnalysisProblem::None ? analysis.Marks : AnalysisMarks{};
}

bool AnalysisKeeper::Save(TQORVideo* video, const AnalysisMarks& marks)
{
    Analysis analysis = CaptureAnalysis(*video->document());
    analysis.Marks = marks;
    QString error;
    if (!WriteAnalysisFile(PathFor(video), analysis, &error)) {
        ShowError(error);
        return false;
    }
    m_saved.insert(video, Fingerprint(std::move(analysis)));
    return true;
}

bool AnalysisKeeper::HasUnsavedWork(const TQORVideo* video) const
{
    const auto saved = m_saved.constFind(video);
    return saved != m_saved.constEnd() && *saved != Fingerprint(CaptureAnalysis(*video->document()));
}

bool AnalysisKeeper::MayClose(TQORVideo* video, const AnalysisMarks& marks)
{
    if (!HasUnsavedWork(video))
        return true;
    const QString name = QFileInfo(video->document()->Info.FileName).fileName();
    switch (AskSave(QStringLiteral("Save the analysis of %1 (adjustments, annotations, calibration and tracking "
                                   "points) before closing?")
                        .arg(name))) {
    case Answer::Save:
        return Save(video, marks);
    case Answer::Discard:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void AnalysisKeeper::Forget(const TQORVideo* video)
{
    m_saved.remove(video);
}

QByteArray AnalysisKeeper::Fingerprint(Analysis analysis)
{
    analysis.Marks = {};
    std::erase_if(analysis.Adjustments, [](const auto& entry) { return IsUntouchedEntry(*entry); });
    for (const auto& entry : analysis.Adjustments)
        if (AnnotationEntry* annotation = entry->As<AnnotationEntry>(); annotation && annotation->TimeStamp)
            annotation->AnnDrawText.clear();
    for (AnalysisPoint& point : analysis.Points)
        point.Point.Selected = false;
    // A digest, not the text: a document with long tracks would otherwise
    // keep megabytes of it for as long as it is open.
    return QCryptographicHash::hash(AnalysisToJson(analysis), QCryptographicHash::Sha256);
}
