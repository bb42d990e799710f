#pragma once

#include <QDialog>

class QSpinBox;

// Asks at what rate a recording without its own time base was made, and
// which of its frames lies at time zero.
class RecordingRateDialog : public QDialog {
    Q_OBJECT
public:
    RecordingRateDialog(const QString& fileName, int framesPerSecond, int timeZeroFrame,
                        int firstFrame, int lastFrame, QWidget* parent = nullptr);
    int framesPerSecond() const;
    int timeZeroFrame() const;

private:
    QSpinBox* m_rate;
    QSpinBox* m_timeZero;
};
