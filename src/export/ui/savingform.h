#pragma once
// Tsavingform: the small "Saving..." window shown while a range is exported.
// It is the exporter's progress callback: every step moves the bar and lets
// pending events run, which is how a click on "Abort" reaches the loop.
// Esc and the close box mean Abort too: the window stays until the export
// has stopped, so there is always a way to stop it.

#include "export/ExportRange.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

class Tsavingform : public QDialog, public ExportProgress {
    Q_OBJECT
public:
    explicit Tsavingform(QWidget* parent = nullptr);

    // Moves the bar, runs pending events; false once "Abort" was clicked.
    bool step(int done, int total) override;

    bool abortRequested() const { return m_abort; }
    QProgressBar* savingbar() const { return m_bar; }
    QPushButton* BitBtn1() const { return m_abortButton; }

    // Hides the window for good once the export has returned.
    void finish();

public slots:
    void BitBtn1Click();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* m_bar;
    QPushButton* m_abortButton;
    bool m_abort = false;
    bool m_finished = false;
};
