#include "app/settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QtEndian>

namespace {

QString configFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/QOR");
}

const QString Group = QStringLiteral("1.0");

// Reads one integer value; missing or unparsable values give the fallback.
int readInt(const QSettings& s, const QString& name, int fallback)
{
    // Value names are matched without regard to case.
    for (const QString& key : s.childKeys()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const int value = s.value(key).toInt(&ok);
            return ok ? value : fallback;
        }
    }
    return fallback;
}

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(configFolder() + QStringLiteral("/QORPLAYER.conf"),
                    configFolder() + QStringLiteral("/qorplayer.ini"))
{
}

SettingsStore::SettingsStore(const QString& preferencesFile, const QString& placesFile)
    : m_preferencesFile(preferencesFile), m_placesFile(placesFile)
{
}

QString SettingsStore::ReadSettings(TQORPregistry& prefs) const
{
    prefs.SVFCon = 1;
    prefs.DefZoomMode = 0;
    QSettings s(m_preferencesFile, QSettings::IniFormat);
    const bool keyExists = QFileInfo::exists(m_preferencesFile) && s.childGroups().contains(Group);
    if (!keyExists)
        return QStringLiteral("Cannot read key") + QString::fromLatin1(KeyName);
    if (s.status() != QSettings::NoError)
        return QStringLiteral("Unable to read to registry.\rThe settings file cannot be parsed.");
    s.beginGroup(Group);
    prefs.DefZoomMode = readInt(s, QStringLiteral("DefZoomMode"), 0);
    prefs.SVFCon = readInt(s, QStringLiteral("SVFCon"), 2);
    prefs.FormTop = readInt(s, QStringLiteral("Formtop"), -1);
    prefs.FormLeft = readInt(s, QStringLiteral("Formleft"), -1);
    prefs.FormWidth = readInt(s, QStringLiteral("Formwidth"), -1);
    prefs.FormHeight = readInt(s, QStringLiteral("Formheight"), -1);
    s.endGroup();
    return QString();
}

QString SettingsStore::WriteSettings(const TQORPregistry& prefs) const
{
    QDir().mkpath(QFileInfo(m_preferencesFile).absolutePath());
    QSettings s(m_preferencesFile, QSettings::IniFormat);
    s.beginGroup(Group);
    s.setValue(QStringLiteral("DefZoomMode"), prefs.DefZoomMode);
    s.setValue(QStringLiteral("Codec"), prefs.Codec);
    s.setValue(QStringLiteral("AVIQ"), prefs.AVIQ);
    s.setValue(QStringLiteral("AVIFCC"), prefs.AVIFCC);
    s.setValue(QStringLiteral("LastSave"), prefs.LastSave);
    s.setValue(QStringLiteral("SVFCon"), prefs.SVFCon);
    s.setValue(QStringLiteral("Formtop"), prefs.FormTop);
    s.setValue(QStringLiteral("FormLeft"), prefs.FormLeft);
    s.setValue(QStringLiteral("FormWidth"), prefs.FormWidth);
    s.setValue(QStringLiteral("FormHeight"), prefs.FormHeight);
    s.endGroup();
    s.sync();
    if (s.status() != QSettings::NoError)
        return QStringLiteral("Unable to write to registry.\r") +
               QStringLiteral("Cannot write %1").arg(m_preferencesFile);
    return QString();
}

WindowPlaceList SettingsStore::ReadWindowPlaces() const
{
    WindowPlaceList places;
    QSettings s(m_placesFile, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("FLOC"));
    auto read = [&s](const char* prefix, int n) {
        bool ok = false;
        const int v = s.value(QStringLiteral("%1%2]").arg(QLatin1String(prefix)).arg(n), -1).toInt(&ok);
        return ok ? v : -1;
    };
    for (int n = 0; n < 10; ++n) {
        places[n].Top = read("FLT[", n);
        places[n].Left = read("FLL[", n);
        places[n].Width = read("FLW[", n);
        places[n].Height = read("FLH[", n);
    }
    return places;
}

void SettingsStore::WriteWindowPlaces(const WindowPlaceList& places) const
{
    QDir().mkpath(QFileInfo(m_placesFile).absolutePath());
    QSettings s(m_placesFile, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("FLOC"));
    for (int n = 0; n < 10; ++n) {
        s.setValue(QStringLiteral("FLT[%1]").arg(n), places[n].Top);
        s.setValue(QStringLiteral("FLL[%1]").arg(n), places[n].Left);
        s.setValue(QStringLiteral("FLW[%1]").arg(n), places[n].Width);
        s.setValue(QStringLiteral("FLH[%1]").arg(n), places[n].Height);
    }
    s.endGroup();
    s.sync();
}

DefaultFontInfo LoadDefaultFont(const QString& path, QString* error)
{
    DefaultFontInfo font;
    QFile file(path);
    if (!file.exists())
        return font;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read the default font file %1").arg(path);
        return font;
    }
    const QByteArray b = file.read(267);
    if (b.size() < 267) {
        if (error)
            *error = QStringLiteral("The default font file %1 is too short (%2 of 267 bytes)").arg(path).arg(b.size());
        return font;
    }
    const char* d = b.constData();
    font.Size = qFromLittleEndian<int32_t>(d);
    font.Bold = d[4] != 0;
    font.Italic = d[5] != 0;
    font.Underline = d[6] != 0;
    font.StrikeOut = d[7] != 0;
    font.Colour = qFromLittleEndian<uint32_t>(d + 8);
    const int length = uint8_t(d[12]);
    // The name field holds at most 254 characters after its length byte.
    font.Name = QString::fromLatin1(d + 13, std::min(length, 254));
    return font;
}

QString DefaultFontPath()
{
    const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/system/deffnt.bin");
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    return configFolder() + QStringLiteral("/system/deffnt.bin");
}
