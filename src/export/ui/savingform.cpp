#include "export/ui/savingform.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

Tsavingform::Tsavingform(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint)
{
    setWindowTitle(QStringLiteral("Saving..."));
    setModal(false);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);
    m_bar->setAccessibleName(QStringLiteral("Saving progress"));
    m_abortButton = new QPushButton(QStringLiteral("Abort"), this);
    m_abortButton->setAccessibleName(QStringLiteral("Abort"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_bar, 1);
    layout->addWidget(m_abortButton);
    resize(486, 55);
    connect(m_abortButton, &QPushButton::clicked, this, &Tsavingform::BitBtn1Click);
}

void Tsavingform::BitBtn1Click()
{
    m_abort = true;
}

void Tsavingform::reject()
{
    // Esc: abort, and stay until the export has stopped.
    if (!m_finished)
        BitBtn1Click();
    else
        QDialog::reject();
}

void Tsavingform::closeEvent(QCloseEvent* event)
{
    if (m_finished) {
        QDialog::closeEvent(event);
        return;
    }
    BitBtn1Click();
    event->ignore();
}

void Tsavingform::finish()
{
    m_finished = true;
    close();
}

bool Tsavingform::step(int done, int total)
{
    m_bar->setMaximum(std::max(total, 1));
    m_bar->setValue(done);
    // The export loop runs on this thread: letting events through here keeps
    // the windows painted and delivers the click on "Abort".
    QCoreApplication::processEvents();
    return !m_abort;
}
