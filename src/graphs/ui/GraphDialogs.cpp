#include "graphs/ui/GraphDialogs.h"

#include "common/NumberFormat.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLineEdit* namedEdit(const QString& name, const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name); // screen readers take the name from the form's label
    return edit;
}

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// An axis limit rounded to `digits` significant digits, printed with 7
// decimals.
QString limitText(double v, int digits)
{
    return FormatFixed(v, std::max(1, digits), 7);
}

} // namespace

TScaleGraphFrm::TScaleGraphFrm(const QString& title, const QString& xUnits, const QString& yUnits, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Edit Axis Data For ") + title);
    auto* form = new QFormLayout;
    XAxUnit = namedEdit(QStringLiteral("XAxUnit"), xUnits, this);
    XAxMulti = namedEdit(QStringLiteral("XAxMulti"), QStringLiteral("1"), this);
    YAxUnit = namedEdit(QStringLiteral("YAxUnit"), yUnits, this);
    YAxMulti = namedEdit(QStringLiteral("YAxMulti"), QStringLiteral("1"), this);
    form->addRow(QStringLiteral("X-Axis Unit Type:"), XAxUnit);
    form->addRow(QStringLiteral("X-Axis Unit Multiplication Factor:"), XAxMulti);
    form->addRow(QStringLiteral("Y-Axis Unit Type:"), YAxUnit);
    form->addRow(QStringLiteral("Y-Axis Unit Multiplication Factor:"), YAxMulti);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    resize(375, 164);
}

TSetAxisFrm::TSetAxisFrm(bool manual, double minimum, double maximum, const QString& label, int decimals,
                         QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Set Axis"));
    auto* group = new QGroupBox(QStringLiteral("Axis"), this);
    AutoRadio = new QRadioButton(QStringLiteral("Auto"), group);
    ManualRadio = new QRadioButton(QStringLiteral("Manual"), group);
    MinEdit = namedEdit(QStringLiteral("MinEdit"), limitText(minimum, decimals), group);
    MaxEdit = namedEdit(QStringLiteral("MaxEdit"), limitText(maximum, decimals), group);
    auto* form = new QFormLayout(group);
    form->addRow(AutoRadio);
    form->addRow(ManualRadio);
    form->addRow(QStringLiteral("Max"), MaxEdit);
    form->addRow(QStringLiteral("Min"), MinEdit);
    LabelEdit = namedEdit(QStringLiteral("LabelEdit"), label, this);
    auto* labelForm = new QFormLayout;
    labelForm->addRow(QStringLiteral("Label"), LabelEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(labelForm);
    layout->addWidget(okCancel(this));
    const auto enableEdits = [this] {
        MinEdit->setEnabled(ManualRadio->isChecked());
        MaxEdit->setEnabled(ManualRadio->isChecked());
    };
    connect(ManualRadio, &QRadioButton::toggled, this, enableEdits);
    (manual ? ManualRadio : AutoRadio)->setChecked(true);
    enableEdits();
}

bool TSetAxisFrm::manual() const
{
    return ManualRadio->isChecked();
}

double TSetAxisFrm::minimum() const
{
    return MinEdit->text().trimmed().toDouble();
}

double TSetAxisFrm::maximum() const
{
    return MaxEdit->text().trimmed().toDouble();
}

QString TSetAxisFrm::label() const
{
    return LabelEdit->text();
}
