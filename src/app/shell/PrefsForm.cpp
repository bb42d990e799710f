#include "app/shell/PrefsForm.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TPrefsForm::TPrefsForm(int defZoomMode, QWidget* parent)
    : QDialog(parent), m_group(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Preferences"));
    resize(384, 427);
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Zoom Mode"), this);
    auto* boxLayout = new QVBoxLayout(box);
    const char* items[] = {"Basic", "Linear", "Quadratic", "Advanced"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(items[i]), box);
        m_group->addButton(radio, i);
        boxLayout->addWidget(radio);
    }
    if (QAbstractButton* b = m_group->button(defZoomMode))
        b->setChecked(true);
    layout->addWidget(box);
    layout->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

int TPrefsForm::selectedZoomMode() const
{
    return m_group->checkedId();
}
