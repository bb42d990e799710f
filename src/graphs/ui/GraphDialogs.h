#pragma once
// The two small dialogs of a graph window: rescaling a channel's values and
// units, and setting an axis range and label.

#include <QDialog>

class QLineEdit;
class QRadioButton;

// "Edit Axis Data For <title>": unit texts and multiplication factors.
class TScaleGraphFrm : public QDialog {
    Q_OBJECT
public:
    TScaleGraphFrm(const QString& title, const QString& xUnits, const QString& yUnits, QWidget* parent = nullptr);
    QLineEdit* XAxUnit = nullptr;
    QLineEdit* XAxMulti = nullptr;
    QLineEdit* YAxUnit = nullptr;
    QLineEdit* YAxMulti = nullptr;
};

// "Set Axis": automatic or manual range, and the label.
class TSetAxisFrm : public QDialog {
    Q_OBJECT
public:
    TSetAxisFrm(bool manual, double minimum, double maximum, const QString& label, int decimals,
                QWidget* parent = nullptr);
    bool manual() const;
    double minimum() const;
    double maximum() const;
    QString label() const;

    QRadioButton* AutoRadio = nullptr;
    QRadioButton* ManualRadio = nullptr;
    QLineEdit* MinEdit = nullptr;
    QLineEdit* MaxEdit = nullptr;
    QLineEdit* LabelEdit = nullptr;
};
