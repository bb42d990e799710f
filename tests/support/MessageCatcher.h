#pragma once
// Closes the next message box as it opens and keeps its text, for tests of
// frames that tell the user something in a modal box.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

struct MessageCatcher {
    QString text;
    MessageCatcher()
    {
        QTimer::singleShot(0, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
            }
        });
    }
};
