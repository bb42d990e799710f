#include "export/ui/RunningExport.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

struct State {
    const VideoDocument* document = nullptr;
    std::function<void()> abort;
    bool active = false;
    QList<QPointer<QWidget>> closeAfter;
};

State& Current()
{
    static State state;
    return state;
}

std::function<bool(const QString&)>& QuestionSink()
{
    static std::function<bool(const QString&)> sink;
    return sink;
}

} // namespace

bool AskYesNo(QWidget* parent, const QString& question)
{
    if (QuestionSink())
        return QuestionSink()(question);
    return QMessageBox::question(parent, QStringLiteral("Qor Player"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void SetExportQuestionSink(std::function<bool(const QString& question)> sink)
{
    QuestionSink() = std::move(sink);
}

bool ExportRunning(const VideoDocument* document)
{
    const State& s = Current();
    return s.active && (!document || s.document == document);
}

bool MayCloseDuringExport(QWidget* window, const VideoDocument* document)
{
    if (!ExportRunning(document))
        return true;
    State& s = Current();
    if (!s.closeAfter.contains(window)) {
        if (!AskYesNo(window, QStringLiteral("An export is running. Abort it and close?")))
            return false;
        s.closeAfter << QPointer<QWidget>(window);
        if (s.abort)
            s.abort();
    }
    return false;
}

RunningExport::RunningExport(const VideoDocument* document, std::function<void()> abort)
{
    State& s = Current();
    s.document = document;
    s.abort = std::move(abort);
    s.active = true;
    s.closeAfter.clear();
}

RunningExport::~RunningExport()
{
    State& s = Current();
    s.active = false;
    s.document = nullptr;
    s.abort = nullptr;
    // The windows whose close waited for the export close now, from the
    // event loop, after the caller has finished with the document.
    for (const QPointer<QWidget>& window : s.closeAfter) {
        if (window)
            QTimer::singleShot(0, window.data(), &QWidget::close);
    }
    s.closeAfter.clear();
}
