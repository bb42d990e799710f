#include "app/shell/AboutForm.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

TAboutform::TAboutform(const QString& versionText, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("About Qor Player"));
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QLabel(this);
    panel->setAutoFillBackground(true);
    panel->setStyleSheet(QStringLiteral("background: black; color: white; padding: 24px;"));
    panel->setPixmap(QPixmap(QStringLiteral(":/qorplayer/qorplayer.png")).scaled(256, 256, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    panel->setAlignment(Qt::AlignCenter);
    layout->addWidget(panel);
    layout->addWidget(new QLabel(QStringLiteral("Version 1.0"), this));
    layout->addWidget(new QLabel(QStringLiteral("Build : ") + versionText, this));
    auto* buttons = new QHBoxLayout;
    auto* web = new QPushButton(QStringLiteral("Web page"), this);
    connect(web, &QPushButton::clicked, this, [] {
        QDesktopServices::openUrl(QUrl(QStringLiteral("https://www.qor-player.example/")));
    });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(web);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}
