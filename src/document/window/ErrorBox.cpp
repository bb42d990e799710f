#include "document/window/ErrorBox.h"

#include <QMessageBox>

namespace {
std::function<void(const QString&)>& sink()
{
    static std::function<void(const QString&)> s;
    return s;
}
} // namespace

void ShowErrorBox(QWidget* parent, const QString& message)
{
    if (sink()) {
        sink()(message);
        return;
    }
    QMessageBox::critical(parent, QStringLiteral("Qor Player"), message);
}

void SetErrorBoxSink(std::function<void(const QString&)> s)
{
    sink() = std::move(s);
}
