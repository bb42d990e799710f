#include "graphs/ui/GraphMessages.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
std::function<void(const QString&)>& messageSink()
{
    static std::function<void(const QString&)> s;
    return s;
}
std::function<QString(const QString&)>& saveAnswer()
{
    static std::function<QString(const QString&)> s;
    return s;
}
} // namespace

void ShowGraphError(QWidget* parent, const QString& message)
{
    if (messageSink())
        return messageSink()(message);
    QMessageBox::critical(parent, QStringLiteral("Qor Player"), message);
}

void ShowGraphInformation(QWidget* parent, const QString& message)
{
    if (messageSink())
        return messageSink()(message);
    QMessageBox::information(parent, QStringLiteral("Qor Player"), message);
}

void SetGraphMessageSink(std::function<void(const QString&)> sink)
{
    messageSink() = std::move(sink);
}

QString AskGraphSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                             const QString& defaultSuffix)
{
    if (saveAnswer())
        return saveAnswer()(caption);
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void SetGraphSaveFileAnswer(std::function<QString(const QString&)> answer)
{
    saveAnswer() = std::move(answer);
}
