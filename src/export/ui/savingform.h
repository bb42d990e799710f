#pragma once
// Tsavingform: the small "Saving..." window shown while a range is exported.
// It is the exporter's progress callback: every step moves the bar and lets
// pending events run, which is how a click on "Abort" reaches the loop.

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

private slots:
    void BitBtn1Click();

private:
    QProgressBar* m_bar;
    QPushButton* m_abortButton;
    bool m_abort = false;
};
