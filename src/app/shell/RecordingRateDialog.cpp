#include "app/shell/RecordingRateDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

RecordingRateDialog::RecordingRateDialog(const QString& fileName, int framesPerSecond, int timeZeroFrame,
                                         int firstFrame, int lastFrame, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Recording rate"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("%1 carries no recording rate of its own.\n"
                                            "Give the rate it was recorded at and the frame at time zero.")
                                 .arg(QFileInfo(fileName).fileName()),
                             this);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    m_rate = new QSpinBox(this);
    m_rate->setObjectName(QStringLiteral("RecordingRate"));
    m_rate->setAccessibleName(QStringLiteral("Frames per second"));
    m_rate->setRange(1, 10000000);
    m_rate->setValue(framesPerSecond);
    m_rate->setSuffix(QStringLiteral(" fps"));
    form->addRow(QStringLiteral("Frames per second"), m_rate);

    m_timeZero = new QSpinBox(this);
    m_timeZero->setObjectName(QStringLiteral("TimeZeroFrame"));
    m_timeZero->setAccessibleName(QStringLiteral("Frame at time zero"));
    m_timeZero->setRange(firstFrame, lastFrame);
    m_timeZero->setValue(timeZeroFrame);
    form->addRow(QStringLiteral("Frame at time zero"), m_timeZero);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int RecordingRateDialog::framesPerSecond() const
{
    return m_rate->value();
}

int RecordingRateDialog::timeZeroFrame() const
{
    return m_timeZero->value();
}
