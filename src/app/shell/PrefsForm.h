#pragma once
// File ▸ Preferences: the "Zoom Mode" radio group that sets the default
// resampling kernel of recordings opened afterwards.

#include <QDialog>

class QButtonGroup;

class TPrefsForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrefsForm(int defZoomMode, QWidget* parent = nullptr);
    // The selected item (0 Basic, 1 Linear, 2 Quadratic, 3 Advanced).
    int selectedZoomMode() const;

private:
    QButtonGroup* m_group;
};
