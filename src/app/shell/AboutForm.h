#pragma once
#include <QDialog>

// Help ▸ About: version, build text and a link to the web page.
class TAboutform : public QDialog {
    Q_OBJECT
public:
    TAboutform(const QString& versionText, QWidget* parent = nullptr);
};
